// The main window's commands of the station and transmitter geometry.

#include <memory>

#include "app/MainForm.h"
#include "geometry/Rotation.h"
#include "geometry/StationGrid.h"
#include "geometry/forms/Rotate.h"
#include "geometry/forms/TxPos.h"
#include "geometry/forms/XY.h"
#include "map/TxRx.h"

// "编辑点位"
void TForm1::N19Click(QObject*)
{
    if (LoadRunning || ExStations.empty()) return;
    const auto editor = std::make_unique<TChangeXY>(nullptr);
    ChangeXY = editor.get();
    ChangeXY->Stations = this;
    ChangeXY->SetGrid(MakePositionGrid(*this));
    if (ChangeXY->exec() != QDialog::Accepted) return;
    ApplyPositionGrid(*this, ChangeXY->Grid());
    DrawLayoutMap(this);
}

// "坐标旋转(斜测线变为水平测线)"
void TForm1::N28Click(QObject*)
{
    if (LoadRunning) return;
    const auto dialog = std::make_unique<TForm8>(this);
    Form8 = dialog.get();
    Form8->UpDown1->setValue(RotationPreset(*this));
    if (Form8->exec() != QDialog::Accepted) return;
    RotateSurvey(*this, Form8->UpDown1->value());
    DrawLayoutMap(this);
}

// "修改发射源位置(V8可选;GDP32必须)"
void TForm1::N15Click(QObject*)
{
    if (LoadRunning) return;
    const auto dialog = std::make_unique<TTxPosForm>(this, *this);
    dialog->exec();
    DrawLayoutMap(this);
}
