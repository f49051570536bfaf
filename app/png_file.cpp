#include "app/png_file.h"

#include <zlib.h>

#include <stdexcept>

namespace pkm {

namespace {

void putBigEndian(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void putChunk(std::string& out, std::string_view type, std::string_view data)
{
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.append(type);
    out.append(data);
    const auto* crcFrom = reinterpret_cast<const Bytef*>(out.data() + start);
    putBigEndian(out, static_cast<std::uint32_t>(crc32(0, crcFrom, static_cast<uInt>(out.size() - start))));
}

// Each row behind its filter byte 0, deflated as one stream; the rows go in as they are, never
// copied into one buffer of their own.
std::string deflateRows(const PalettePicture& picture, std::size_t rowBytes, int level)
{
    z_stream stream {};
    if (deflateInit(&stream, level) != Z_OK)
        throw std::runtime_error("zlib: deflateInit failed");
    std::string out;
    std::string chunk(std::size_t(1) << 16, '\0');
    const auto drain = [&](int flush) {
        do {
            stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
            stream.avail_out = static_cast<uInt>(chunk.size());
            const int status = deflate(&stream, flush);
            if (status == Z_STREAM_ERROR) {
                deflateEnd(&stream);
                throw std::runtime_error("zlib: deflate failed");
            }
            out.append(chunk.data(), chunk.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    };
    Bytef noFilter = 0;
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        stream.next_in = &noFilter;
        stream.avail_in = 1;
        drain(Z_NO_FLUSH);
        stream.next_in = const_cast<Bytef*>(picture.rows + y * picture.bytesPerRow);
        stream.avail_in = static_cast<uInt>(rowBytes);
        drain(Z_NO_FLUSH);
    }
    drain(Z_FINISH);
    deflateEnd(&stream);
    return out;
}

} // namespace

std::string EncodePng(const PalettePicture& picture, int level)
{
    const std::size_t rowBytes =
        (static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.bitsPerPixel) + 7) / 8;
    std::string out("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    putBigEndian(header, picture.width);
    putBigEndian(header, picture.height);
    header += static_cast<char>(picture.bitsPerPixel);
    header += '\x03';       // colour type: palette
    header.append(3, '\0'); // deflate, adaptive filters, no interlace
    putChunk(out, "IHDR", header);
    std::string palette;
    for (const auto& rgb : picture.palette)
        palette.append(reinterpret_cast<const char*>(rgb.data()), rgb.size());
    putChunk(out, "PLTE", palette);
    putChunk(out, "IDAT", deflateRows(picture, rowBytes, level));
    putChunk(out, "IEND", {});
    return out;
}

} // namespace pkm
