// The main window's command of the 3-D starting model builder.

#include <QLineEdit>
#include <QScatterSeries>
#include <cmath>
#include <memory>

#include "app/MainForm.h"
#include "base/FileName.h"
#include "chart/forms/MarkLayer.h"
#include "model3d/Mesh.h"
#include "model3d/ModelTemplate.h"
#include "model3d/forms/Save3DModel.h"

// "输出反演模型" / "输出三维电阻率模型"
void TForm1::N25Click(QObject* Sender)
{
    (void)Sender;
    if (LoadRunning) return;
    ModelPoints points;
    double length = 1.0, cx = 0, cy = 0, cz = 0;
    if (!ExStations.empty()) {
        points = GatherStationPoints(*this);
    } else {
        // The open dialog reads an IMP template for this one run.
        struct Restore {
            FileDialog& dialog;
            std::string filter;
            int index;
            ~Restore()
            {
                dialog.Filter = filter;
                dialog.FilterIndex = index;
            }
        } restore{OpenDialog, OpenDialog.Filter, OpenDialog.FilterIndex};
        OpenDialog.Filter = "Imp Files (*.imp)|*.imp";
        OpenDialog.FilterIndex = 1;
        if (OpenDialog.Execute()) {
            ModelTemplate model = ReadModelTemplate(OpenDialog.FileName);
            points = model.Points;
            cx = model.Cx;
            cy = model.Cy;
            cz = model.Cz;
            if (model.LongHeader == 1)
                length =
                    SourceLengthFromText(InputBox("Palvex Hint...", "请输入电流源长度(m)", "1000"));
        }
    }
    if (points.Count() == 0) {
        ShowMessage(kNoModelDataMessage);
        return;
    }
    if (!Transmitters.empty()) {
        cx = Transmitters.front().Cx;
        cy = Transmitters.front().Cy;
        cz = Transmitters.front().Cz;
    }

    auto form = std::make_unique<TForm7>(this);
    form->Tag = static_cast<int>(std::trunc(length));
    ModelSettings settings = form->Settings();
    const ModelDefaults defaults = ComputeModelDefaults(points);
    ApplyModelDefaults(defaults, settings);
    settings.Edit3 = TruncatedText(cx);
    settings.Edit4 = TruncatedText(cy);
    settings.Edit7 = TruncatedText(cz);
    form->SetSettings(settings);
    form->ShowGridRows({LayerGridRow()});
    form->DxMin->setText(QString::fromStdString(defaults.DxMin));
    form->DxMax->setText(QString::fromStdString(defaults.DxMax));
    form->DyMin->setText(QString::fromStdString(defaults.DyMin));
    form->DyMax->setText(QString::fromStdString(defaults.DyMax));
    QList<QPointF> stations;
    for (int i = 0; i < points.Count(); ++i) stations.append(QPointF(points.X[i], points.Y[i]));
    ReplaceSeriesPoints(form->Chart1->chart(), {{form->Series1, stations}});
    BuildXMesh(settings, *form);
    BuildYMesh(settings, *form);
    form->SaveDialog1.FileName = ChangeFileExt(OpenDialog.FileName, "");
    for (int i = 0; i < points.Count(); ++i) {
        form->TerrainX.push_back(static_cast<float>(points.X[i]));
        form->TerrainY.push_back(static_cast<float>(points.Y[i]));
        form->TerrainZ.push_back(static_cast<float>(points.Z[i]));
    }
    form->FitMapAxes();
    TForm7::ShowModal(std::move(form));
}
