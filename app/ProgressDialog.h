#pragma once
// Long work of a command in the windows: the busy cursor from the start, and when the work goes
// on for a while a window-modal progress dialog that names the step. Its Cancel (the button,
// Escape or the frame's close box) makes the next report of the work throw EAbort, until the work
// reports that it has changed something: from then on the dialog offers no cancel at all.
// The reports of the work go to the dialog for its lifetime (see base/Progress.h).

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <functional>

#include "base/Progress.h"

class QProgressDialog;
class QWidget;
class StepDialog;

// The busy cursor for the lifetime of the scope: steps too short for a progress dialog.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

class ProgressDialog : public Progress {
public:
    ProgressDialog(QWidget* owner, const QString& step);
    ~ProgressDialog() override;
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    void Report(std::uint64_t done, std::uint64_t total) override;
    void ChangesMade() override;

    // How long work runs before its dialog shows (ms); tests show it at once.
    static int ShowAfter;
    // The least time between two looks at the window system (ms); tests look at every report.
    static int LookInterval;
    // Runs at every look of a shown dialog, after the window system's turn and before the
    // dialog's Cancel is read: tests press Cancel there at a moment of their choosing.
    static std::function<void(QProgressDialog& dialog)> OnLook;

private:
    BusyCursor busy_;
    QWidget* owner_;
    QString step_;
    QPointer<StepDialog> dialog_;
    QElapsedTimer clock_;
    qint64 nextLook_ = 0;
    bool cancellable_ = true;
    ProgressScope scope_;
};

// The width a progress dialog needs for its frame's title and its step, in pixels.
int ProgressDialogWidth(const QString& title, const QString& step);

// Runs a command's work under a ProgressDialog; false when it was cancelled, which ends it
// quietly. Other errors pass through.
template <typename Work>
bool WithProgress(QWidget* owner, const QString& step, Work work)
{
    try {
        ProgressDialog progress(owner, step);
        work();
    } catch (const EAbort&) {
        return false;
    }
    return true;
}
