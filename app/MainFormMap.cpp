// The main window as the owner of the station map.

#include <QMenu>

#include "app/CommandGuard.h"
#include "app/MainForm.h"

const SurveyStore& TForm1::MapSurvey() const
{
    return *this;
}

const std::string& TForm1::MapFileName() const
{
    return OpenDialog.FileName;
}

QMdiArea* TForm1::MapArea() const
{
    return MdiArea;
}

bool TForm1::MapWaitsForLoad() const
{
    return LoadRunning;
}

void TForm1::PickProfile(double X1, double Y1, double X2, double Y2)
{
    if (SelectProfileStations(X1, Y1, X2, Y2)) ShowExProfileChart();
}

void TForm1::PopupMapMenu(QPoint globalPosition)
{
    PopupMenu1->popup(globalPosition);
}

void TForm1::RunMapGesture(const std::function<void()>& gesture)
{
    RunGuarded(gesture);
}
