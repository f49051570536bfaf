#include "app/ViewerWindow.h"

#include "app/command_line.h"
#include "app/sauce_record.h"
#include "editor/TextWindow.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/TextCodec.h"
#include "templates/info_file.h"

#include <iostream>

namespace pkm {

std::unique_ptr<TForm3> OpenViewer(const std::string& path, QWidget* parent)
{
    // Read as every input file is: a FIFO or a device is refused before it is opened.
    const FileRead read = readInputFile(path);
    if (!read.bytes) {
        const std::string text = InputFailureText(path, read.failure);
        printFailure(std::cerr, kInputErrorCaption, text);
        Dialogs().showMessage(parent, QString::fromLatin1(kInputErrorCaption), pathToQString(text), MessageIcon::Error);
        return nullptr;
    }
    auto viewer = std::make_unique<TForm3>(parent);
    viewer->setObjectName(QStringLiteral("Viewer"));
    viewer->setUpAsViewer();
    viewer->setSizeable(true);
    viewer->fitToText();
    // The art editors' record of title and author is not part of the picture.
    viewer->setMemoText(std::string(WithoutSauce(*read.bytes)));
    viewer->setWindowTitle(pathToQString(fileNameOf(path)));
    return viewer;
}

int RunViewer(const std::string& path)
{
    const std::unique_ptr<TForm3> viewer = OpenViewer(path);
    if (!viewer)
        return 1;
    Dialogs().execDialog(viewer.get());
    return 0;
}

} // namespace pkm
