// The text picture: each character's glyph drawn into its own cell.
#include "app/RenderCommand.h"

#include "app/png_file.h"
#include "app/sauce_record.h"
#include "app/text_cells.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/TextCodec.h"
#include "templates/info_file.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <ostream>
#include <unordered_map>
#include <vector>

namespace pkm {

namespace {

// zlib's fastest level: two-colour rows of text art still come out a fraction of the size
// ansilove writes, in a third of the time level 6 takes.
constexpr int kPngLevel = 1;

// A glyph as the font draws it in its cell: one byte a row, the leftmost pixel the highest bit.
using Glyph = std::array<unsigned char, kCellHeight>;

// The glyphs of the characters a text uses, each drawn once: a text of thousands of lines has
// a few dozen different characters.
class GlyphCache {
public:
    explicit GlyphCache(const QFont& font)
        : font_(font)
        , baseline_(QFontMetrics(font).ascent())
    {
    }

    const Glyph& glyph(char16_t c)
    {
        auto found = glyphs_.find(c);
        if (found == glyphs_.end())
            found = glyphs_.emplace(c, draw(c)).first;
        return found->second;
    }

private:
    Glyph draw(char16_t c) const
    {
        // A glyph wider than its cell is cut at the cell's edge.
        QImage cell(kCellWidth, kCellHeight, QImage::Format_RGB32);
        cell.fill(Qt::black);
        {
            QPainter painter(&cell);
            painter.setFont(font_);
            painter.setPen(Qt::white);
            painter.drawText(0, baseline_, QString(QChar(c)));
        }
        Glyph glyph {};
        for (int y = 0; y < kCellHeight; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(cell.constScanLine(y));
            for (int x = 0; x < kCellWidth; ++x) {
                // Whole pixels of the two colours only, as the screen shows them.
                if (qGray(row[x]) >= 128)
                    glyph[static_cast<std::size_t>(y)] |= static_cast<unsigned char>(0x80 >> x);
            }
        }
        return glyph;
    }

    QFont font_;
    int baseline_;
    std::unordered_map<char16_t, Glyph> glyphs_;
};

// The bits of one glyph row, each `scale` times, from bit `x` of `line` on (x a multiple of 8).
void putRow(uchar* line, std::size_t x, unsigned char bits, int scale)
{
    if (scale == 1) {
        line[x / 8] = bits;
        return;
    }
    for (int bit = 0; bit < kCellWidth; ++bit) {
        if ((bits & (0x80 >> bit)) == 0)
            continue;
        for (int k = 0; k < scale; ++k) {
            const std::size_t at = x + static_cast<std::size_t>(bit * scale + k);
            line[at / 8] = static_cast<uchar>(line[at / 8] | (0x80 >> (at % 8)));
        }
    }
}

} // namespace

QImage RenderText(const std::string& bytes, std::size_t leastColumns, int scale)
{
    using pkm::kCellHeight;
    using pkm::kCellWidth;
    scale = std::clamp(scale, 1, 4);
    const pkm::PictureSize size = pkm::PictureSizeOf(pkm::MeasureText(bytes), leastColumns, scale);
    if (pkm::PictureTooLargeText("", size))
        return {};
    const pkm::TextCells cells = pkm::LayOutText(bytes);
    // Two colours, one bit a pixel: a PC screen's picture, and a PNG a fraction of the size of
    // one in true colour, written in a fraction of the time.
    QImage picture(static_cast<int>(size.width), static_cast<int>(size.height), QImage::Format_Mono);
    if (picture.isNull())
        return picture;
    picture.setColorTable({kRenderBackground.rgb(), kRenderText.rgb()});
    picture.fill(0);

    QFont font = fixedTextFont();
    font.setStyleStrategy(QFont::NoAntialias);
    GlyphCache glyphs(font);
    std::vector<const Glyph*> rowGlyphs;
    for (std::size_t row = 0; row < cells.rows.size(); ++row) {
        const std::u16string& text = cells.rows[row];
        rowGlyphs.assign(text.size(), nullptr);
        for (std::size_t column = 0; column < text.size(); ++column) {
            if (text[column] != u' ')
                rowGlyphs[column] = &glyphs.glyph(text[column]);
        }
        for (int y = 0; y < kCellHeight; ++y) {
            const int top = (static_cast<int>(row) * kCellHeight + y) * scale;
            uchar* line = picture.scanLine(top);
            for (std::size_t column = 0; column < text.size(); ++column) {
                if (rowGlyphs[column] != nullptr)
                    putRow(line, column * kCellWidth * static_cast<std::size_t>(scale),
                           (*rowGlyphs[column])[static_cast<std::size_t>(y)], scale);
            }
            for (int k = 1; k < scale; ++k)
                std::memcpy(picture.scanLine(top + k), line, static_cast<std::size_t>(picture.bytesPerLine()));
        }
    }
    return picture;
}

int RunRender(const pkm::RenderOptions& options, std::ostream& out, std::ostream& err)
{
    const pkm::FileRead read = pkm::readInputFile(options.file);
    if (!read.bytes) {
        pkm::printFailure(err, pkm::kInputErrorCaption, pkm::InputFailureText(options.file, read.failure));
        return 1;
    }
    const std::string output = options.output.empty() ? options.file + ".png" : options.output;
    // The art editors' record of title and author is not part of the picture.
    const std::string text(pkm::WithoutSauce(*read.bytes));
    const auto leastColumns = static_cast<std::size_t>(std::max(options.columns, 0));
    // Refused before a pixel is drawn: a picture of millions of lines takes gigabytes.
    if (const auto tooLarge = pkm::PictureTooLargeText(
            options.file, pkm::PictureSizeOf(pkm::MeasureText(text), leastColumns, options.scale))) {
        pkm::printFailure(err, kOutputErrorCaption, *tooLarge);
        return 1;
    }
    const QImage picture = RenderText(text, leastColumns, options.scale);
    if (picture.isNull()) {
        pkm::printFailure(err, kOutputErrorCaption, "Not enough memory for the picture of " + options.file + ".");
        return 1;
    }
    // Written by zlib directly: Qt's image writer would first load every image format plugin.
    pkm::PalettePicture palette;
    palette.width = static_cast<std::uint32_t>(picture.width());
    palette.height = static_cast<std::uint32_t>(picture.height());
    palette.bitsPerPixel = 1;
    for (const QColor& colour : {kRenderBackground, kRenderText})
        palette.palette.push_back({static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                                   static_cast<std::uint8_t>(colour.blue())});
    palette.bytesPerRow = static_cast<std::size_t>(picture.bytesPerLine());
    palette.rows = picture.constBits();
    std::string png;
    try {
        png = pkm::EncodePng(palette, kPngLevel);
    } catch (const std::exception&) {
        pkm::printFailure(err, kOutputErrorCaption,
                          "The picture of " + options.file + " could not be made as a PNG file.");
        return 1;
    }
    // Written as the NFO itself is: an earlier picture stays whole when the write fails.
    switch (pkm::replaceFile(output, png)) {
    case pkm::WriteOutcome::Written:
        break;
    case pkm::WriteOutcome::CannotCreate:
        pkm::printFailure(err, "", pkm::writeFailureText(pkm::WriteOutcome::CannotCreate, output));
        return 1;
    case pkm::WriteOutcome::WriteFailed:
        pkm::printFailure(err, "", pkm::writeFailureText(pkm::WriteOutcome::WriteFailed, output));
        return 1;
    }
    out << output << '\n';
    return 0;
}

} // namespace pkm
