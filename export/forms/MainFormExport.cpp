// The export commands of the main window: the output dialog with its writers, and the station
// position list.

#include <memory>

#include "app/MainForm.h"
#include "app/ProgressDialog.h"
#include "export/ExportCommand.h"
#include "export/ExportErrors.h"
#include "export/StnWriter.h"
#include "export/forms/SN_Freq.h"

// "输出数据" / "输出处理结果"
void TForm1::OUTMTD1Click(QObject*)
{
    if (LoadRunning) return;
    if (ExStations.empty()) {
        ::ShowMessage(kNoExStationMessage);
        return;
    }
    CollectFrequencies(*this);
    const auto dialog = std::make_unique<TForm3>(this);
    Form3 = dialog.get();
    Form3->FillFromSurvey(*this);
    if (Form3->ShowModal() != QDialog::Accepted) return;
    // A cancelled export writes no file and leaves the frequencies as the dialog found them.
    std::vector<float> frequencies = OutputFreqs;
    if (!WithProgress(this, QString::fromUtf8("输出数据"), [this] {
            RunExport(*this, Form3->Settings(),
                      [](const std::string& text) { ::ShowMessage(text); });
        }))
        OutputFreqs = std::move(frequencies);
}

// "保存点位数据"
void TForm1::N6Click(QObject*)
{
    if (ExStations.empty()) {
        ::ShowMessage(kNoExStationMessage);
        return;
    }
    if (!SaveDialog.Execute()) return;
    WithProgress(this, QString::fromUtf8("保存点位数据"),
                 [this] { WriteStnFile(*this, SaveDialog.FileName); });
}
