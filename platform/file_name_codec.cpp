#include "platform/file_name_codec.h"

namespace pkm {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Length, smallest code point and leading bits of the sequence a byte starts; 0 when it
// starts none.
struct Lead {
    int length;
    char32_t smallest;
    char32_t bits;
};

Lead leadOf(unsigned char b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return {2, 0x80, b & 0x1Fu};
    if (b >= 0xE0 && b <= 0xEF)
        return {3, 0x800, b & 0x0Fu};
    if (b >= 0xF0 && b <= 0xF4)
        return {4, 0x10000, b & 0x07u};
    return {0, 0, 0};
}

void appendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
        return;
    }
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::u16string fileNameDecode(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        const Lead lead = leadOf(b);
        bool valid = lead.length > 0 && i + static_cast<std::size_t>(lead.length) <= bytes.size();
        char32_t cp = lead.bits;
        for (int k = 1; valid && k < lead.length; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            valid = isContinuation(c);
            cp = (cp << 6) | (c & 0x3Fu);
        }
        // Overlong forms, surrogates and code points beyond U+10FFFF are not UTF-8.
        valid = valid && cp >= lead.smallest && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        if (valid) {
            appendUtf16(out, cp);
            i += static_cast<std::size_t>(lead.length);
        } else {
            out += static_cast<char16_t>(kEscapeBase + b);
            ++i;
        }
    }
    return out;
}

std::string fileNameEncode(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF) {
            out += static_cast<char>(u - kEscapeBase);
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += '?';
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

} // namespace pkm
