// The Preview button of the NfoDiz page: generation of the NFO or DIZ file of the current
// mode, and its preview for a last edit.
#include "app/MainWindow.h"

#include "editor/TextWindow.h"
#include "platform/widgets/Dialogs.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/widgets/TextCodec.h"
#include "templates/NfoDizPage.h"
#include "templates/generator.h"
#include "templates/template_store.h"

#include <memory>
#include <optional>

namespace {

void ShowGenerationError(QWidget* parent)
{
    Dialogs().showMessage(parent, QString::fromLatin1(pkm::kGenerationErrorCaption),
                          QString::fromLatin1(pkm::kGenerationErrorText), MessageIcon::Error);
}

} // namespace

bool TForm1::GenerateInfoFile(std::string& outputPath)
{
    const pkm::TemplateSettings settings = pkm::ReadTemplateSettings(IniPath);
    const std::string programDir = programDirectory();

    const std::optional<std::string> templateBytes =
        pkm::readFileBytes(pkm::TemplatePath(programDir, NfoMode ? settings.NfoClone : settings.DizClone));
    if (!templateBytes) {
        ShowGenerationError(this);
        return false;
    }

    // The generator works on its own copy of the records: the user's sections never move.
    const pkm::GenerateResult result = pkm::GenerateLines(*templateBytes, currentSections());
    if (!result.ok())
        throw pkm::Error(result.errorMessage());

    const std::string path =
        pkm::OutputPath(programDir, settings.OutputDir, NfoMode ? settings.NfoOutput : settings.DizOutput);
    // Written beside the target and renamed over it: a failed write leaves an earlier output whole.
    switch (pkm::replaceFile(path, result.bytes)) {
    case pkm::WriteOutcome::Written:
        break;
    case pkm::WriteOutcome::CannotCreate:
        throw pkm::Error(pkm::formatMessage("Cannot create file %s", path));
    case pkm::WriteOutcome::WriteFailed:
        ShowGenerationError(this);
        return false;
    }
    outputPath = path;
    return true;
}

void TForm1::Button4Click()
{
    // Alt+W presses the button without moving the focus: a value being typed goes in first.
    Page1->CommitBoxEdit(focusWidget());
    std::string path;
    if (!GenerateInfoFile(path))
        return;

    // Destroyed however the preview ends, a failed save included.
    const auto preview = std::make_unique<TForm3>(this);
    preview->loadFromFile(path);
    preview->setWindowTitle(pathToQString(pkm::fileNameOf(path)));
    preview->setSizeable(true);
    if (Dialogs().execDialog(preview.get()) == QDialog::Accepted)
        preview->saveToFile(path);
}
