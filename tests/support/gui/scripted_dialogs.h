#pragma once
// A stand-in for the program's dialogs: records every message box, answers folder and file
// requests from a script, and runs modal dialogs through a callback instead of a modal loop.
#include "platform/widgets/Dialogs.h"
#include "support/gui/qt_printers.h"

#include <QDialog>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

struct RecordedMessage {
    QString caption;
    QString text;
    pkm::MessageIcon icon;
};

struct RecordedQuestion {
    QString caption;
    QString text;
};

class ScriptedDialogs : public pkm::DialogService {
public:
    // Installs itself for the lifetime of the object.
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void showMessage(QWidget* parent, const QString& caption, const QString& text, pkm::MessageIcon icon) override;
    bool askYesNo(QWidget* parent, const QString& caption, const QString& text) override;
    int execDialog(QDialog* dialog) override;
    std::optional<QString> browseForFolder(QWidget* parent, const pkm::FolderRequest& request) override;
    QStringList openFileNames(QWidget* parent, const pkm::OpenFilesRequest& request) override;

    std::vector<RecordedMessage> messages;
    // Yes/No questions, answered from yesNoAnswers in order, No when none is left.
    std::vector<RecordedQuestion> questions;
    std::deque<bool> yesNoAnswers;
    std::vector<pkm::FolderRequest> folderRequests;
    std::vector<pkm::OpenFilesRequest> fileRequests;

    // Answers, taken in order. A folder answer of nullopt is a cancel; an empty file list too.
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<QStringList> fileAnswers;
    // Each modal dialog is handed to the next handler, which returns its result. Without a
    // handler the dialog is rejected.
    std::deque<std::function<int(QDialog*)>> dialogHandlers;
    std::vector<QString> dialogTitles;

    QString lastMessageText() const { return messages.empty() ? QString() : messages.back().text; }
};
