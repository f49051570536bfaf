#pragma once
// `pakmaster render`: a code page 437 text file drawn as a PNG picture in the text window's
// fixed font. Needs a QGuiApplication; the offscreen platform does, so no display is needed.
#include "app/command_line.h"

#include <QColor>
#include <QImage>

#include <iosfwd>
#include <string>

namespace pkm {

// Light grey on black, the colours of a PC text screen.
inline const QColor kRenderText(0xAA, 0xAA, 0xAA);
inline const QColor kRenderBackground(0x00, 0x00, 0x00);

// The picture of a text (null when it would be larger than pkm::PictureTooLargeText allows):
// at least one cell and `leastColumns`, as many columns as its longest line and a row of cells
// per line, each pixel `scale` x `scale`. A picture of the two colours, one bit a pixel.
QImage RenderText(const std::string& bytes, std::size_t leastColumns = 0, int scale = 1);

// Reads the file, writes the picture (of the file without its SAUCE record) and prints its
// path on `out`. Returns the exit status: 0, or 1 with the failure on `err`; an earlier
// picture at the output stays as it was then.
int RunRender(const pkm::RenderOptions& options, std::ostream& out, std::ostream& err);

} // namespace pkm
