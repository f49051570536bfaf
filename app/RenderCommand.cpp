// The text picture: each character's glyph drawn into its own cell.
#include "app/RenderCommand.h"

#include "app/text_cells.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/TextCodec.h"
#include "templates/info_file.h"

#include <QBuffer>
#include <QPainter>

#include <algorithm>
#include <ostream>

namespace pkm {

namespace {

} // namespace

QImage RenderText(const std::string& bytes)
{
    using pkm::kCellHeight;
    using pkm::kCellWidth;
    const pkm::PictureSize size = pkm::PictureSizeOf(pkm::MeasureText(bytes));
    if (pkm::PictureTooLargeText("", size))
        return {};
    const pkm::TextCells cells = pkm::LayOutText(bytes);
    QImage picture(static_cast<int>(size.width), static_cast<int>(size.height), QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    picture.fill(kRenderBackground);

    QFont font = fixedTextFont();
    // Whole pixels of the two colours only, as the screen shows them.
    font.setStyleStrategy(QFont::NoAntialias);
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setPen(kRenderText);
    const int baseline = painter.fontMetrics().ascent();
    for (std::size_t row = 0; row < cells.rows.size(); ++row) {
        const std::u16string& text = cells.rows[row];
        for (std::size_t column = 0; column < text.size(); ++column) {
            if (text[column] == u' ')
                continue;
            const int x = static_cast<int>(column) * kCellWidth;
            const int y = static_cast<int>(row) * kCellHeight;
            // A glyph wider than its cell would cover its neighbour's.
            painter.setClipRect(x, y, kCellWidth, kCellHeight);
            painter.drawText(x, y + baseline, QString(QChar(text[column])));
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
    // Refused before a pixel is drawn: a picture of millions of lines takes gigabytes.
    if (const auto tooLarge = pkm::PictureTooLargeText(options.file,
                                                       pkm::PictureSizeOf(pkm::MeasureText(*read.bytes)))) {
        pkm::printFailure(err, kOutputErrorCaption, *tooLarge);
        return 1;
    }
    const QImage picture = RenderText(*read.bytes);
    if (picture.isNull()) {
        pkm::printFailure(err, kOutputErrorCaption, "Not enough memory for the picture of " + options.file + ".");
        return 1;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG") || png.isEmpty()) {
        pkm::printFailure(err, kOutputErrorCaption,
                          "The picture of " + options.file + " could not be made as a PNG file.");
        return 1;
    }
    // Written as the NFO itself is: an earlier picture stays whole when the write fails.
    switch (pkm::replaceFile(output, std::string_view(png.constData(), static_cast<std::size_t>(png.size())))) {
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
