#include "processing/forms/StationViewer.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLogValueAxis>
#include <QMenu>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QXYSeries>

#include "app/CommandGuard.h"
#include "app/MainForm.h"
#include "chart/forms/ChartParts.h"
#include "chart/forms/PatternAxis.h"
#include "chart/forms/ReadableChart.h"

bool KeepCurrentStation(TForm1* form)
{
    const size_t n = form->ExStations.size();
    if (form->CurrentStation >= 0 && static_cast<size_t>(form->CurrentStation) < n) return false;
    form->CurrentStation = 0;
    return true;
}

const TStation* ShownStation(TForm1* form)
{
    KeepCurrentStation(form);
    if (form->ExStations.empty()) return nullptr;
    return &form->ExStations[static_cast<size_t>(form->CurrentStation)];
}

bool StepStation(TForm1* form, int step)
{
    if (KeepCurrentStation(form)) return true;
    const int to = form->CurrentStation + step;
    if (to < 0 || to >= static_cast<int>(form->ExStations.size())) return false;
    form->CurrentStation = to;
    return true;
}

QChart* ViewerChart(const QList<QXYSeries*>& series)
{
    QChart* chart = WhiteChart(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setBackgroundVisible(false);
    chart->legend()->setBorderColor(Qt::transparent);
    for (QXYSeries* s : series) chart->addSeries(s);
    return chart;
}

void AttachFrequencyAxes(QChart* chart, QLogValueAxis*& bottomAxis, QLogValueAxis*& leftAxis)
{
    bottomAxis = new QLogValueAxis;
    bottomAxis->setReverse(true);
    bottomAxis->setTitleText("freq/Hz");
    leftAxis = new QLogValueAxis;
    AttachAxes(chart, bottomAxis, leftAxis);
    FitLogAxes(bottomAxis, leftAxis, {});
    PatternDecadeLabels(chart, bottomAxis, Qt::AlignBottom, "######");
    PatternDecadeLabels(chart, leftAxis, Qt::AlignLeft, "#####");
}

QChartView* ViewerChartView(QChart* chart, QMenu* menu)
{
    auto* view = new QChartView(chart);
    view->setObjectName("Chart1");
    view->setRenderHint(QPainter::Antialiasing);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    KeepChartReadable(view);
    QObject::connect(
        view, &QWidget::customContextMenuRequested, menu,
        Guarded([view, menu](const QPoint& at) { menu->popup(view->mapToGlobal(at)); }));
    return view;
}

QToolButton* StepButton(const char* name, const char* caption)
{
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(Text(caption));
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumWidth(80);
    return button;
}

QHBoxLayout* StepPanel(QWidget* panel, QToolButton* previous, QToolButton* next)
{
    panel->setObjectName("Panel1");
    panel->setFixedHeight(50);
    auto* row = new QHBoxLayout(panel);
    row->addWidget(previous);
    row->addWidget(next);
    row->addSpacing(24);
    return row;
}

QLabel* InfoImage(const QWidget* window)
{
    auto* image = new QLabel;
    image->setObjectName("Image1");
    image->setPixmap(window->style()->standardIcon(QStyle::SP_FileDialogInfoView).pixmap(24, 24));
    return image;
}

void ChartOverPanel(QWidget* host, QWidget* chart, QWidget* panel)
{
    auto* column = new QVBoxLayout(host);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(chart, 1);
    column->addWidget(panel);
}
