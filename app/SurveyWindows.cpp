#include "app/SurveyWindows.h"

#include <QMdiArea>

#include "app/MainForm.h"
#include "export/forms/TEMTrace.h"
#include "processing/forms/RES_PREVIEW.h"
#include "processing/forms/SEC.h"

void RefreshSurveyWindows(TForm1* Form)
{
    TForm5* viewer = nullptr;
    for (QMdiSubWindow* window : Form->MdiArea->subWindowList()) {
        if (auto* staticShift = qobject_cast<TForm4*>(window)) {
            staticShift->close();
            delete staticShift;  // gone from the area at once, so the command makes a new one
        } else if (auto* profile = qobject_cast<TTEMTraceForm*>(window)) {
            // A profile chart holds the curves of the stations picked then; the map picks anew.
            profile->close();
            delete profile;
        } else if (auto* sounding = qobject_cast<TForm5*>(window)) {
            viewer = sounding;
        }
    }
    if (!viewer) return;
    if (Form->ExStations.empty() || Form->HyStations.empty()) {
        viewer->close();
        delete viewer;
        return;
    }
    ShowSoundingCurves(viewer);
}
