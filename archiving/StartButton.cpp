#include "archiving/StartButton.h"

#include <QApplication>
#include <QPushButton>

StartButtonRun::StartButtonRun(QPushButton* button)
    : button_(button)
    , hadFocus_(button->hasFocus())
{
    button_->setText(QStringLiteral("Working..."));
    button_->setEnabled(false);
    if (hadFocus_)
        focusMovedTo_ = QApplication::focusWidget();
}

StartButtonRun::~StartButtonRun()
{
    end();
}

void StartButtonRun::end()
{
    if (ended_)
        return;
    ended_ = true;
    button_->setEnabled(true);
    button_->setText(QStringLiteral("&Start"));
    if (hadFocus_ && QApplication::focusWidget() == focusMovedTo_)
        button_->setFocus();
}
