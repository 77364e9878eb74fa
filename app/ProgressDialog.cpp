#include "app/ProgressDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFontMetrics>
#include <QProgressDialog>
#include <algorithm>

int ProgressDialog::ShowAfter = 500;
int ProgressDialog::LookInterval = 50;
std::function<void(QProgressDialog&)> ProgressDialog::OnLook;

namespace {

constexpr int kSteps = 1000;
// Beside the title, a window manager's frame holds the window's icon and its buttons: room for
// four of them and the padding between.
constexpr int kFrameRoom = 160;
constexpr int kStepRoom = 48;  // the dialog's margins beside its step

}  // namespace

// A progress dialog whose Escape and close box do nothing once the work may not be ended.
class StepDialog : public QProgressDialog {
public:
    StepDialog(const QString& step, QWidget* owner)
        : QProgressDialog(step, QString::fromUtf8("取消"), 0, kSteps, owner)
    {
    }

    bool Cancellable = true;

    void reject() override
    {
        if (Cancellable) QProgressDialog::reject();
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (Cancellable)
            QProgressDialog::closeEvent(event);
        else
            event->ignore();
    }
};

int ProgressDialogWidth(const QString& title, const QString& step)
{
    // Window managers write titles in a bold face, mostly of the desktop's size.
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int titleWidth = QFontMetrics(bold).horizontalAdvance(title) + kFrameRoom;
    const int stepWidth = QFontMetrics(QApplication::font()).horizontalAdvance(step) + kStepRoom;
    return std::max(titleWidth, stepWidth);
}

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
    nextLook_ = now + LookInterval;
    if (!dialog_) {
        dialog_ = new StepDialog(step_, owner_);
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumDuration(0);
        const QString title = dialog_->windowTitle().isEmpty()
                                  ? QGuiApplication::applicationDisplayName()
                                  : dialog_->windowTitle();
        dialog_->setMinimumWidth(ProgressDialogWidth(title, step_));
        if (!cancellable_) {
            dialog_->setCancelButton(nullptr);
            dialog_->Cancellable = false;
        }
        dialog_->show();
    }
    if (total == 0) {
        dialog_->setRange(0, 0);
    } else {
        dialog_->setRange(0, kSteps);
        dialog_->setValue(static_cast<int>(std::min(done, total) * kSteps / total));
    }
    QCoreApplication::processEvents();
    if (!dialog_) return;
    if (OnLook) OnLook(*dialog_);
    if (cancellable_ && dialog_->wasCanceled()) throw EAbort();
}

void ProgressDialog::ChangesMade()
{
    cancellable_ = false;
    if (!dialog_) return;
    dialog_->setCancelButton(nullptr);
    dialog_->Cancellable = false;
}
