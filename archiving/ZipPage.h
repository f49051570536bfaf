#pragma once
// Page 3 of the wizard ("Zip"): a numbered series of zip files and what goes into each.
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class TForm1;
class TLogBox;

class ZipPage : public QWidget {
    Q_OBJECT
public:
    ZipPage(TForm1& form, QWidget* parent);

    QLabel* Label13;
    QListWidget* ListBox1;
    QToolButton* BitBtn1;
    QToolButton* BitBtn2;
    QLabel* Label14;
    QListWidget* ListBox2;
    QToolButton* BitBtn4;
    QToolButton* BitBtn5;
    QLabel* Label15;
    QLineEdit* OutDirEdit2;
    QToolButton* BitBtn8;
    QPushButton* Button6;
    TLogBox* Memo2;

private:
    TForm1& form_;
};
