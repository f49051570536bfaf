#pragma once
// RarPage, page 2 of the wizard ("Rar"): compresses a directory into disk-sized volumes.
#include "archiving/ArchiverPage.h"
#include "archiving/PageContext.h"

#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TPiper;

namespace pkm {

class NumericErrorNotice;
class TLogBox;

class RarPage : public ArchiverPage {
    Q_OBJECT
public:
    RarPage(const PageContext& context, QWidget* parent);

    // The run.
    void Button5Click();
    // Browse for the input / output directory.
    void SpeedButton2Click();
    void SpeedButton1Click();
    // Leaving the size field: 0 or less becomes 1; text that is no number is reported.
    void VolumeEditExit();
    // One line of the archiver's output.
    void VolumeLogLine(TPiper* sender, const std::string& line);

signals:
    // A run is over and its output directory holds volumes: the folder they lie in (ending in a
    // separator) and their base name.
    void volumesMade(const QString& directory, const QString& baseName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* InDirEdit;
    QLineEdit* OutDirEdit;
    QLineEdit* NameEdit;
    QCheckBox* CheckBox6;
    QLineEdit* VolumeEdit;
    QPushButton* Button5;
    TLogBox* Memo1;

    PageContext context_;
    NumericErrorNotice* numericError_;
};

} // namespace pkm
