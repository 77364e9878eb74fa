// The main window's commands of the curves, the correction and the static shift.

#include <QMdiArea>

#include "app/MainForm.h"
#include "app/ProgressDialog.h"
#include "processing/forms/NTC_PREVIEW.h"
#include "processing/forms/RES_PREVIEW.h"
#include "processing/forms/SEC.h"

void TForm1::N8Click(QObject*)  // "数据浏览" / "单点数据浏览"
{
    BusyCursor busy;
    OpenSoundingCurveViewer(this);
}

void TForm1::N13Click(QObject*)  // "近区和过渡区校正" / "过渡区校正"
{
    BusyCursor busy;
    OpenCorrectionViewer(this);
}

void TForm1::SEC1Click(QObject*)  // "显示静态效应" / "静态效应"
{
    WithProgress(this, QString::fromUtf8("显示静态效应"), [this] { OpenStaticShiftWindow(this); });
}

void TForm1::CloseStaticShiftWindows()
{
    for (QMdiSubWindow* window : MdiArea->subWindowList()) {
        if (auto* staticShift = qobject_cast<TForm4*>(window)) {
            staticShift->close();
            delete staticShift;  // gone from the area at once, so the command makes a new one
        }
    }
}

void TForm1::RedrawSoundingCurveViewer()
{
    TForm5* viewer = nullptr;
    for (QMdiSubWindow* window : MdiArea->subWindowList())
        if (auto* sounding = qobject_cast<TForm5*>(window)) viewer = sounding;
    if (!viewer) return;
    if (ExStations.empty() || HyStations.empty()) {
        viewer->close();
        delete viewer;
        return;
    }
    ShowSoundingCurves(viewer);
}
