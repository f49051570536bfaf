#pragma once
// A section: one named field of a release template, placed at (Line, Start) with Width
// characters. The section creator uses Diz to say which template it belongs to; the wizard
// keeps NFO and DIZ sections in two lists instead and ignores it.
#include <cstdint>
#include <string>
#include <vector>

namespace pkm {

class TParam {
public:
    std::string Name = "Default name";
    std::string Value;
    std::uint16_t Line = 1;
    std::uint16_t Start = 1;
    std::uint16_t Width = 1;
    bool Diz = false;
    bool Caps = false;
    bool Style = false;         // false: one-line value (edit); true: multi-line value (memo)
    std::uint8_t Alignment = 0; // 0 left, 1 right, 2 center

    void SetDefaults();
};

// An ordered list of sections that owns its records.
using SectionList = std::vector<TParam>;

} // namespace pkm
