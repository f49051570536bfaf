#include "platform/widgets/Application.h"

#include "platform/paths.h"
#include "platform/program_paths.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/TextCodec.h"

namespace pkm {

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QString::fromLatin1(kApplicationTitle));
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(std::runtime_error("Unknown error"));
    }
    return false;
}

void ShowException(const std::exception& error)
{
    Dialogs().showMessage(QApplication::activeWindow(), QString::fromLatin1(kApplicationTitle),
                          QString::fromLocal8Bit(error.what()), MessageIcon::Error);
}

std::string applicationDirectory()
{
    const std::string dir = runningProgramDir();
    return dir.empty() ? withTrailingSeparator(pathFromQString(QCoreApplication::applicationDirPath())) : dir;
}

} // namespace pkm
