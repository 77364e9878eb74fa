#include "app/ProgressDialog.h"

#include <QApplication>
#include <QCursor>
#include <QProgressDialog>
#include <algorithm>

int ProgressDialog::ShowAfter = 500;

namespace {

constexpr qint64 kLookInterval = 50;  // ms between two looks at the window system
constexpr int kSteps = 1000;

}  // namespace

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor()
{
    QApplication::restoreOverrideCursor();
}

ProgressDialog::ProgressDialog(QWidget* owner, const QString& step)
    : owner_(owner), step_(step), scope_(this)
{
}

ProgressDialog::~ProgressDialog()
{
    delete dialog_.data();
}

void ProgressDialog::Report(std::uint64_t done, std::uint64_t total)
{
    // The work starts with its first report: a file dialog before it is not the work's time.
    if (!clock_.isValid()) clock_.start();
    // The work's end is always looked at: a cancel pressed since the last look still holds then.
    if (total != 0 && done >= total) nextLook_ = 0;
    const qint64 now = clock_.elapsed();
    if (now < nextLook_ || now < ShowAfter) return;
    nextLook_ = now + kLookInterval;
    if (!dialog_) {
        dialog_ = new QProgressDialog(step_, QString::fromUtf8("取消"), 0, kSteps, owner_);
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumDuration(0);
        if (!cancellable_) dialog_->setCancelButton(nullptr);
        dialog_->show();
    }
    if (total == 0) {
        dialog_->setRange(0, 0);
    } else {
        dialog_->setRange(0, kSteps);
        dialog_->setValue(static_cast<int>(std::min(done, total) * kSteps / total));
    }
    QCoreApplication::processEvents();
    if (cancellable_ && dialog_ && dialog_->wasCanceled()) throw EAbort();
}

void ProgressDialog::ChangesMade()
{
    cancellable_ = false;
    if (dialog_) dialog_->setCancelButton(nullptr);
}
