// The load commands of the main window: the load after the open dialog, reload all, the list of
// loaded files and the file help. The work is the load core's; this binds it to the window.

#include <QApplication>
#include <QCursor>
#include <exception>

#include "app/MainForm.h"
#include "app/ProgressDialog.h"
#include "app/SurveyWindows.h"
#include "import/LoadCommands.h"
#include "map/TxRx.h"

namespace {

// Busy cursor, pending messages and the map redraw of a load, for the window.
class WindowLoadHooks : public LoadHooks {
public:
    explicit WindowLoadHooks(TForm1* form) : form_(form) {}
    ~WindowLoadHooks() override { RestoreCursor(); }

    void ShowBusyCursor() override
    {
        if (busy_) return;
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        busy_ = true;
    }
    void RestoreCursor() override
    {
        if (!busy_) return;
        QApplication::restoreOverrideCursor();
        busy_ = false;
    }
    void ProcessMessages() override { QCoreApplication::processEvents(); }
    // The map is redrawn once the load has ended, unless it was cancelled: a cancelled load
    // leaves the map as it was.
    void RedrawMap() override { redraw_ = true; }
    void RedrawMapIfAsked()
    {
        if (!redraw_) return;
        redraw_ = false;
        // A load that leaves no Ex station leaves no picture of the survey before it either.
        if (form_->ExStations.empty())
            ClearLayoutMap();
        else
            DrawLayoutMap(form_);
    }

private:
    TForm1* form_;
    bool busy_ = false;
    bool redraw_ = false;
};

// Sets LoadRunning for the time of one load, whatever way the load ends.
class LoadRunningScope {
public:
    explicit LoadRunningScope(TForm1* form) : form_(form) { form_->LoadRunning = true; }
    ~LoadRunningScope() { form_->LoadRunning = false; }

private:
    TForm1* form_;
};

// Runs a load, then brings the windows that show survey data in line with the store, also
// after a failed load, and names the files that gave nothing. A cancelled load puts back the
// survey that the command found (before), and the windows stay as they were.
template <typename Load>
void RunWindowLoad(TForm1* form, SurveyStore before, Load load)
{
    std::vector<std::string> nothing;
    try {
        LoadRunningScope running(form);
        WindowLoadHooks hooks(form);
        try {
            ProgressDialog progress(form, QString::fromUtf8("加载数据"));
            nothing = load(hooks);
        } catch (const EAbort&) {
            static_cast<SurveyStore&>(*form) = std::move(before);
            return;
        } catch (...) {
            hooks.RedrawMapIfAsked();
            throw;
        }
        hooks.RedrawMapIfAsked();
    } catch (...) {
        // The load's own error is the one the user is shown.
        try {
            RefreshSurveyWindows(form);
        } catch (...) {
        }
        throw;
    }
    // The windows are in line before the box names the files; a station that fails in the
    // redrawn viewer is reported after it.
    std::exception_ptr refreshError;
    try {
        RefreshSurveyWindows(form);
    } catch (...) {
        refreshError = std::current_exception();
    }
    const std::string text = FilesWithoutRecordsText(nothing);
    // A short caption: the application's title does not fit the width of a box of file names.
    if (!text.empty()) SystemMessageBox(form, text, kFilesWithoutRecordsCaption, MB_OK);
    if (refreshError) std::rethrow_exception(refreshError);
}

}  // namespace

// The load after a confirmed open dialog of "追加数据".
void TForm1::AppendFiles()
{
    RunWindowLoad(this, *this, [this](LoadHooks& hooks) {
        return ::AppendFiles(*this, OpenDialog.Files, OpenDialog.FileName, hooks);
    });
}

// The survey emptied and the load after a confirmed open dialog of "打开".
void TForm1::OpenChosenFiles()
{
    // The survey before is moved aside rather than copied: the load starts from nothing.
    SurveyStore before = std::move(static_cast<SurveyStore&>(*this));
    ClearLoadedData();
    RunWindowLoad(this, std::move(before), [this](LoadHooks& hooks) {
        return ::AppendFiles(*this, OpenDialog.Files, OpenDialog.FileName, hooks);
    });
}

// "全部文件重新加载"
void TForm1::N29Click(QObject*)
{
    if (LoadRunning) return;
    RunWindowLoad(this, *this, [this](LoadHooks& hooks) { return ReloadAllFiles(*this, hooks); });
}

// "浏览加载的数据文件"
void TForm1::N24Click(QObject*)
{
    const std::string text = LoadedFilesText(*this);
    if (!text.empty()) ShowMessage(text);
}

// "文件操作说明"
void TForm1::N33Click(QObject*)
{
    ShowMessage(kFileHelpText);
}
