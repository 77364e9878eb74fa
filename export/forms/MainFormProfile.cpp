// The profile response commands of the main window: the rectangle on the station map, its
// response file, its chart and the help on the gesture.

#include <QChartView>
#include <QMdiArea>
#include <memory>

#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "app/ProgressDialog.h"
#include "chart/forms/DisplayText.h"
#include "export/ProfileCurves.h"
#include "export/ProfileSelection.h"
#include "export/forms/TEMTrace.h"
#include "map/TxRx.h"

namespace {

// The response file's own filter in the main window's save dialog, for one run.
const char* const kProfileResponseFilter = "Profile Response Files(*.txt)|*.txt";

// The main window's save dialog and the exception box, for the response file.
class WindowProfileDialogs : public ProfileResponseDialogs {
public:
    explicit WindowProfileDialogs(TForm1* form) : form_(form) {}

    bool ExecuteSaveDialog(std::string& fileName) override
    {
        FileDialog& dialog = form_->SaveDialog;
        struct Restore {
            FileDialog& dialog;
            FileDialog kept;
            ~Restore()
            {
                dialog.Filter = kept.Filter;
                dialog.FilterIndex = kept.FilterIndex;
                dialog.DefaultExt = kept.DefaultExt;
                dialog.SaveExt = kept.SaveExt;
            }
        } restore{dialog, dialog};
        dialog.Filter = kProfileResponseFilter;
        dialog.FilterIndex = 1;
        dialog.DefaultExt = "txt";
        dialog.SaveExt = ".txt";
        if (!dialog.Execute()) return false;
        fileName = dialog.FileName;
        return true;
    }
    void ReportWriteError(const std::string& message) override { ShowExceptionBox(message); }

private:
    TForm1* form_;
};

}  // namespace

// A rectangle dragged on the map with Shift, Ctrl or Alt. Cancelled, it leaves the selection
// of the rectangle before and writes no file.
bool TForm1::SelectProfileStations(double X1, double Y1, double X2, double Y2)
{
    if (LoadRunning || !Form2) return false;
    WindowProfileDialogs dialogs(this);
    ProfilePick.reset();
    std::vector<int> indices = ProfileIndices;
    std::vector<std::string> selected = Form2->SelectedStations;
    const bool done = WithProgress(this, QString::fromUtf8("选择剖面"), [&] {
        ::SelectProfileStations(*this, Form2->SelectedStations, X1, Y1, X2, Y2, dialogs);
        if (!Form2->SelectedStations.empty())
            ProfilePick =
                std::make_shared<ExProfilePick>(PickExProfile(*this, Form2->SelectedStations));
    });
    if (!done) {
        ProfileIndices = std::move(indices);
        Form2->SelectedStations = std::move(selected);
        ProfilePick.reset();
    }
    return done;
}

// The profile chart of the stations the last rectangle picked.
void TForm1::ShowExProfileChart()
{
    static const std::vector<std::string> none;
    const std::vector<std::string>& picked = Form2 ? Form2->SelectedStations : none;
    // The pick the rectangle gathered serves the chart right after it, of the same names.
    std::shared_ptr<const ExProfilePick> pick = std::move(ProfilePick);
    ProfilePick.reset();
    if (!HasExProfileSelection(*this, picked)) {
        SystemMessageBox(nullptr, kNoProfileSelectedText, kNoProfileSelectedCaption,
                         MB_OK | MB_ICONWARNING);
        return;
    }
    // The curves, the window and its first showing each report their share of the progress;
    // a cancel at any of them leaves no window.
    std::unique_ptr<TTEMTraceForm> chart;
    if (!WithProgress(this, QString::fromUtf8("剖面图"), [&] {
            ExProfileChartData data;
            {
                ProgressShare curves(0, 10, 100);
                if (!pick || pick->Names != picked)
                    pick = std::make_shared<ExProfilePick>(PickExProfile(*this, picked));
                data = BuildExProfileChart(*this, *pick);
            }
            {
                ProgressShare window(10, 40, 100);
                chart = std::make_unique<TTEMTraceForm>(this, std::move(data.Profiles),
                                                        std::move(data.Names));
            }
            // Area and HyName are survey bytes, the rest is ours: each is made displayable on
            // its own.
            const info& first = ExStations.front().Info;
            chart->SetTitleLines({DisplayText(first.Area) + QString::fromUtf8("工区") +
                                      DisplayText(first.HyName) +
                                      QString::fromUtf8("测线电场Ex剖面图"),
                                  QString()});
            chart->SetLegendVisible(true);
            ProgressShare showing(40, 100, 100);
            chart->ShowFirst();
        }))
        return;
    MdiArea->setActiveSubWindow(chart.release());
}

// "输出剖面响应"
void TForm1::N31Click(QObject*)
{
    ShowMessage(kProfileHelpText);
}

void TForm1::CloseProfileCharts()
{
    for (QMdiSubWindow* window : MdiArea->subWindowList()) {
        if (auto* profile = qobject_cast<TTEMTraceForm*>(window)) {
            // A profile chart holds the curves of the stations picked then; the map picks anew.
            profile->close();
            delete profile;
        }
    }
}
