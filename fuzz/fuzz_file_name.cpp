// File names shown in boxes: any bytes read as text and written back are the same bytes, and
// the text never holds half of a surrogate pair except as an escaped byte.
#include "fuzz/fuzz_input.h"
#include "platform/file_name_codec.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string text = pkm::fileNameDecode(bytes);
    PKM_FUZZ_CHECK(pkm::fileNameEncode(text) == bytes);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF) {
            PKM_FUZZ_CHECK(i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF);
            ++i;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            PKM_FUZZ_CHECK(u >= 0xDC80 && u <= 0xDCFF);
        }
    }
    return 0;
}
