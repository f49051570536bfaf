#pragma once
#include <QFont>

namespace pkm {

// The TrueType copy of the IBM PC's 8 x 16 VGA text font (Debian fonts-pc-extra).
inline constexpr const char* kVgaFontFamily = "Px IBM VGA8";

// The window font: "MS Sans Serif" when installed, else the desktop's sans-serif at 11 pixels.
QFont windowFont();
// A window font of another pixel size and weight, e.g. the log boxes' bold text.
QFont windowFont(int pixelSize, bool bold);

// The fixed-pitch font of the text window: "Terminal" (any case) when the font database has
// it, else "FixedSys" when present, else a fixed-pitch font with NFO block and box-drawing
// characters and an 8-pixel advance: kVgaFontFamily, then GNU Unifont, then DejaVu Sans Mono.
// terminalFound tells whether "Terminal" was found.
QFont fixedTextFont(bool* terminalFound = nullptr);
// The font a caller asks for by name ("FixedSys"), resolved the same way when missing.
QFont fixedTextFontNamed(const QString& family);

} // namespace pkm
