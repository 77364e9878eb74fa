#pragma once
// The curve editor's companion chart: the "MT" apparent resistivity of the shown station and of
// the stations before and after it, in a small window beside the editor that owns it.

#include <QWidget>

#include "processing/CurveEditing.h"

class QChartView;
class QLineSeries;
class QLogValueAxis;

class TAPPRESForm : public QWidget {
    Q_OBJECT
public:
    explicit TAPPRESForm(QWidget* Owner);
    ~TAPPRESForm() override;

    QChartView* Chart1;
    QLineSeries* Series1;       // the shown station, red circles
    QLineSeries* Series2;       // the station before it, blue triangles
    QLineSeries* Series3;       // the station after it, aqua down-triangles
    QLogValueAxis* BottomAxis;  // frequency, falling from left to right
    QLogValueAxis* LeftAxis;    // apparent resistivity

    // Draws the three curves: shown, previous, next.
    void ShowCurves(const ChartSeries (&curves)[3]);
};

extern TAPPRESForm* APPRESForm;  // the companion chart of the editor that is open
