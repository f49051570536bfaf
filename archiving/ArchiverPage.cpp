// ArchiverPage, the part the Rar and Zip pages share.
#include "archiving/ArchiverPage.h"

#include "archiving/ArchiverRun.h"
#include "archiving/RunState.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace pkm {

void ArchiverPage::setRunControls(const RunControls& controls, std::shared_ptr<RunState> runs)
{
    controls_ = controls;
    runs_ = std::move(runs);
    controls_.stop->hide();
    controls_.progress->setRange(0, 100);
    controls_.progress->setValue(0);
    // A page made while another page's run goes starts out waiting for it.
    connect(runs_.get(), &RunState::changed, this, [this] { followRuns(); });
    followRuns();
}

void ArchiverPage::followRuns()
{
    // This page's own run keeps its Start button as "Working..." itself.
    if (runs_->owner() == this)
        return;
    controls_.start->setEnabled(!runs_->busy());
    controls_.start->setToolTip(runs_->reason());
}

void ArchiverPage::prepareRun(ArchiverRun& run, RunKind kind, const QString& othersWait) const
{
    run.startButton = controls_.start;
    run.stopButton = controls_.stop;
    run.progressBar = controls_.progress;
    run.timeLabel = controls_.time;
    run.kind = kind;
    run.runs = runs_.get();
    run.page = this;
    run.othersWait = othersWait;
}

void ArchiverPage::setOutputDirectory(const QString& dir)
{
    controls_.outputDirectory->setText(dir);
}

QString ArchiverPage::outputDirectory() const
{
    return controls_.outputDirectory->text();
}

void ArchiverPage::offerOutputDirectory(const QString& dir)
{
    if (controls_.outputDirectory->text().isEmpty())
        controls_.outputDirectory->setText(dir);
}

bool ArchiverPage::isRunning() const
{
    return !controls_.start->isEnabled();
}

} // namespace pkm
