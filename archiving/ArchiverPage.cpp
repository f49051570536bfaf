// ArchiverPage, the part the Rar and Zip pages share.
#include "archiving/ArchiverPage.h"

#include <QLineEdit>
#include <QPushButton>

namespace pkm {

void ArchiverPage::setRunControls(QLineEdit* outputDirectory, QPushButton* start)
{
    outputDirectory_ = outputDirectory;
    start_ = start;
}

void ArchiverPage::setOutputDirectory(const QString& dir)
{
    outputDirectory_->setText(dir);
}

QString ArchiverPage::outputDirectory() const
{
    return outputDirectory_->text();
}

void ArchiverPage::offerOutputDirectory(const QString& dir)
{
    if (outputDirectory_->text().isEmpty())
        outputDirectory_->setText(dir);
}

bool ArchiverPage::isRunning() const
{
    return !start_->isEnabled();
}

} // namespace pkm
