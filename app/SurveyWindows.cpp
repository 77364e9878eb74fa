#include "app/SurveyWindows.h"

#include "app/MainForm.h"

void RefreshSurveyWindows(TForm1* Form)
{
    Form->CloseStaticShiftWindows();
    Form->CloseProfileCharts();
    Form->RedrawSoundingCurveViewer();
}
