#include "support/gui/scripted_dialogs.h"

using namespace pkm;

ScriptedDialogs::ScriptedDialogs()
{
    setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    setDialogs(nullptr);
}

void ScriptedDialogs::showMessage(QWidget*, const QString& caption, const QString& text, MessageIcon icon)
{
    messages.push_back({caption, text, icon});
}

bool ScriptedDialogs::askYesNo(QWidget*, const QString& caption, const QString& text)
{
    questions.push_back({caption, text});
    if (yesNoAnswers.empty())
        return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

int ScriptedDialogs::execDialog(QDialog* dialog)
{
    dialogTitles.push_back(dialog->windowTitle());
    if (dialogHandlers.empty())
        return QDialog::Rejected;
    auto handler = std::move(dialogHandlers.front());
    dialogHandlers.pop_front();
    return handler(dialog);
}

std::optional<QString> ScriptedDialogs::browseForFolder(QWidget*, const FolderRequest& request)
{
    folderRequests.push_back(request);
    std::optional<QString> answer;
    if (!folderAnswers.empty()) {
        answer = std::move(folderAnswers.front());
        folderAnswers.pop_front();
    }
    return answer;
}

QStringList ScriptedDialogs::openFileNames(QWidget*, const OpenFilesRequest& request)
{
    fileRequests.push_back(request);
    if (fileAnswers.empty())
        return {};
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}
