#pragma once
// What BBS and archive software reads of a FILE_ID.DIZ: at most 45 characters a line and 10
// lines. Longer lines are cut and further lines are lost there, so a DIZ past them is said.
#include <optional>
#include <string>
#include <string_view>

namespace pkm {

inline constexpr std::size_t kDizLineWidth = 45;
inline constexpr std::size_t kDizLines = 10;

// The notice for a DIZ text past those limits, naming its lines (1-based), lines separated by
// a carriage return; nothing for a DIZ within them.
std::optional<std::string> DizLimitsNotice(std::string_view bytes);

} // namespace pkm
