#pragma once
// Page 2 of the wizard ("Rar"): compresses a directory into disk-sized volumes.
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TForm1;
class TLogBox;

class RarPage : public QWidget {
    Q_OBJECT
public:
    RarPage(TForm1& form, QWidget* parent);

    QLabel* Label9;
    QLineEdit* InDirEdit;
    QToolButton* BitBtn6;
    QLabel* Label10;
    QLineEdit* OutDirEdit;
    QToolButton* BitBtn7;
    QLabel* Label11;
    QLineEdit* NameEdit;
    QCheckBox* CheckBox6;
    QLabel* Label12;
    QLineEdit* VolumeEdit;
    QPushButton* Button5;
    TLogBox* Memo1;

private:
    TForm1& form_;
};
