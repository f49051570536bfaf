#pragma once
// Takes typed values off the front of a fuzzer's input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace pkmfuzz {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : data_(reinterpret_cast<const char*>(data))
        , size_(size)
    {
    }

    bool empty() const { return pos_ >= size_; }

    std::uint8_t byte() { return pos_ < size_ ? static_cast<std::uint8_t>(data_[pos_++]) : 0; }
    std::uint16_t u16()
    {
        const std::uint16_t low = byte();
        return static_cast<std::uint16_t>(low | (byte() << 8));
    }
    // A string whose length is given by one leading byte.
    std::string shortString() { return take(byte()); }
    std::string take(std::size_t n)
    {
        n = std::min(n, size_ - std::min(pos_, size_));
        std::string out(data_ + pos_, n);
        pos_ += n;
        return out;
    }
    std::string rest() { return take(size_); }

private:
    const char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace pkmfuzz

#define PKM_FUZZ_CHECK(condition)                                                                                      \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            __builtin_printf("check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                            \
            __builtin_trap();                                                                                          \
        }                                                                                                              \
    } while (0)
