#pragma once
// TForm4, the "Zip files" dialog: the name of the first zip of a series and how many zips it has.
#include <QDialog>

class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace pkm {
class NumericErrorNotice;
class TUpDown;
} // namespace pkm

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    // The name the dialog opens with; OK is enabled while the name is not empty.
    void proposeFirstName(const QString& name);
    // The name of the first zip as it stands.
    QString firstName() const;
    // The count the series gets: the field's number, 1 when the field is empty, not a number
    // or below 1 (the repair the field makes when it is left).
    int Count() const;

public slots:
    // OK repairs the count as leaving the field does; text that is not a number keeps the
    // dialog open with the same message.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void Edit1Change();
    // True when the key press is let through.
    bool Edit2KeyPress(const QKeyEvent& key) const;
    // False when the text does not convert (the message is then on its way).
    bool Edit2Exit();

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    pkm::TUpDown* UpDown1;
    QPushButton* Button1;
    pkm::NumericErrorNotice* numericError_;
};
