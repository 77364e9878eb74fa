#include "processing/forms/APPRESForm.h"

#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QVBoxLayout>

#include "chart/forms/ChartParts.h"
#include "chart/forms/PatternAxis.h"

TAPPRESForm* APPRESForm = nullptr;

TAPPRESForm::TAPPRESForm(QWidget* Owner) : QWidget(Owner, Qt::Tool)
{
    setObjectName("APPRESForm");
    setWindowTitle("APPRESForm");
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(401, 192);

    // Room on the right for the half of the last frequency label that stands beyond the plot.
    QChart* chart = WhiteChart(QMargins(2, 2, 10, 2));
    chart->setTitle("TChart");
    chart->legend()->setAlignment(Qt::AlignTop);

    struct Look {
        QLineSeries** series;
        QColor colour;
        Mark shape;
    } looks[] = {{&Series1, Qt::red, Mark::Circle},
                 {&Series2, Qt::blue, Mark::Triangle},
                 {&Series3, Qt::cyan, Mark::DownTriangle}};
    for (const Look& look : looks) {
        auto* series = new QLineSeries;
        series->setColor(look.colour);
        series->setPointsVisible(true);
        series->setLightMarker(MarkImage(look.shape, look.colour, 7));
        series->setMarkerSize(7);
        chart->addSeries(series);
        *look.series = series;
    }

    BottomAxis = new QLogValueAxis;
    BottomAxis->setReverse(true);
    LeftAxis = new QLogValueAxis;
    AttachAxes(chart, BottomAxis, LeftAxis);
    // Labelled as the station viewers' frequency and resistivity axes.
    PatternDecadeLabels(chart, BottomAxis, Qt::AlignBottom, "######");
    PatternDecadeLabels(chart, LeftAxis, Qt::AlignLeft, "#####");

    Chart1 = new QChartView(chart, this);
    Chart1->setObjectName("Chart1");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Chart1);
}

TAPPRESForm::~TAPPRESForm()
{
    if (APPRESForm == this) APPRESForm = nullptr;
}

void TAPPRESForm::ShowCurves(const ChartSeries (&curves)[3])
{
    QLineSeries* targets[] = {Series1, Series2, Series3};
    for (int k = 0; k < 3; ++k) ShowSeries(targets[k], curves[k]);
    FitLogAxes(BottomAxis, LeftAxis, {Series1, Series2, Series3});
}
