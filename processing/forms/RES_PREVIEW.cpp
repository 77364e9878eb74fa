#include "processing/forms/RES_PREVIEW.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMdiArea>
#include <QMenu>
#include <QScatterSeries>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/MainForm.h"
#include "app/Pictures.h"
#include "processing/StationCurves.h"
#include "processing/forms/ViewerCharts.h"

TForm5* Form5 = nullptr;

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

const TStation* ShownStation(TForm1* form)
{
    KeepCurrentStation(form);
    if (form->ExStations.empty()) return nullptr;
    return &form->ExStations[static_cast<size_t>(form->CurrentStation)];
}

void SetTitle(TForm5* form, const TStation* station)
{
    form->Chart1->chart()->setTitle(Text("点频率测深曲线") +
                                    (station ? DisplayText(station->Name) : QString()));
}

}  // namespace

RefFreqSpinBox::RefFreqSpinBox(QWidget* parent) : QSpinBox(parent) {}

void RefFreqSpinBox::stepBy(int steps)
{
    QSpinBox::stepBy(steps);
    emit Click();
}

TForm5::TForm5(TForm1* Owner) : owner_(Owner)
{
    setObjectName("Form5");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Text("CSEM测深视电阻率曲线"));

    auto* chart = new QChart;
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundVisible(false);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setBackgroundVisible(false);
    chart->legend()->setBorderColor(Qt::transparent);

    Series1 = new QLineSeries;
    Series1->setName("Ex_N");
    Series1->setPen(QPen(Qt::red, 1));
    Series1->setPointsVisible(true);
    Series1->setLightMarker(ViewerMarkImage(ViewerMark::DownTriangle, Qt::red, 7));
    Series1->setMarkerSize(7);
    Series2 = new QScatterSeries;
    Series2->setName("Ex_F");
    Series2->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    Series2->setMarkerSize(5);
    Series2->setBrush(QBrush(QColor(0, 128, 0)));
    Series2->setBorderColor(QColor(0, 80, 0));
    Series3 = new QScatterSeries;
    Series3->setName("Hy_F");
    Series3->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    Series3->setMarkerSize(9);
    Series3->setBrush(QBrush(Qt::yellow));
    Series3->setBorderColor(QColor(150, 150, 0));
    Series4 = new QLineSeries;
    Series4->setName("Ex/Hy_N");
    Series4->setPen(QPen(Qt::blue, 1));
    Series5 = new QLineSeries;
    Series5->setName("MT");
    Series5->setPen(QPen(Qt::black, 1));
    Series5->setPointsVisible(true);
    Series5->setLightMarker(ViewerMarkImage(ViewerMark::Star, Qt::black, 7));
    Series5->setMarkerSize(7);
    for (QXYSeries* s : {static_cast<QXYSeries*>(Series1), static_cast<QXYSeries*>(Series2),
                         static_cast<QXYSeries*>(Series3), static_cast<QXYSeries*>(Series4),
                         static_cast<QXYSeries*>(Series5)})
        chart->addSeries(s);

    BottomAxis = new QLogValueAxis;
    BottomAxis->setReverse(true);  // high frequencies on the left
    BottomAxis->setTitleText("freq/Hz");
    BottomAxis->setLabelFormat("%.0f");
    BottomAxis->setMinorTickCount(-1);
    LeftAxis = new QLogValueAxis;
    LeftAxis->setLabelFormat("%.0f");
    LeftAxis->setMinorTickCount(-1);
    chart->addAxis(BottomAxis, Qt::AlignBottom);
    chart->addAxis(LeftAxis, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(BottomAxis);
        s->attachAxis(LeftAxis);
    }
    FitLogAxes(BottomAxis, LeftAxis, {});

    Chart1 = new QChartView(chart);
    Chart1->setObjectName("Chart1");
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    N1 = PopupMenu1->addAction(Text("复制图形"));
    N1->setObjectName("N1");
    N1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    N1->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    N2 = PopupMenu1->addAction(Text("保存对比数据"));
    N2->setObjectName("N2");
    N2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    N2->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(N1);
    addAction(N2);
    connect(N1, &QAction::triggered, this, [this] { N1Click(N1); });
    connect(Chart1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(Chart1->mapToGlobal(at)); });

    Panel1 = new QWidget;
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(50);
    auto* row = new QHBoxLayout(Panel1);
    SpeedButton1 = new QToolButton;
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setText(Text("上一测点"));
    SpeedButton2 = new QToolButton;
    SpeedButton2->setObjectName("SpeedButton2");
    SpeedButton2->setText(Text("下一测点"));
    for (QToolButton* b : {SpeedButton1, SpeedButton2}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumWidth(80);
    }
    StaticText1 = new QLabel(Text("静位移参考频点为："));
    StaticText1->setObjectName("StaticText1");
    UpDown1 = new RefFreqSpinBox;
    UpDown1->setObjectName("UpDown1");
    UpDown1->setRange(1, 100);
    UpDown1->setValue(4);
    UpDown1->setWrapping(false);
    UpDown1->setMinimumWidth(60);
    Edit1 = UpDown1->Edit();
    Edit1->setObjectName("Edit1");
    Image1 = new QLabel;
    Image1->setObjectName("Image1");
    Image1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogInfoView).pixmap(24, 24));
    row->addWidget(SpeedButton1);
    row->addWidget(SpeedButton2);
    row->addSpacing(24);
    row->addWidget(StaticText1);
    row->addWidget(UpDown1);
    row->addStretch(1);
    row->addWidget(Image1);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(SpeedButton1); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(SpeedButton2); });
    connect(UpDown1, &RefFreqSpinBox::Click, this, [this] { UpDown1Click(UpDown1); });

    auto* client = new QWidget;
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(Chart1, 1);
    column->addWidget(Panel1);
    setWidget(client);

    Owner->MdiArea->addSubWindow(this);
    resize(696, 412);
}

TForm5::~TForm5()
{
    if (Form5 == this) Form5 = nullptr;
}

void TForm5::FillSeries(const StationCurves& c)
{
    Series1->replace(LogPoints(c.Freq, c.RhoExN));
    Series2->replace(LogPoints(c.Freq, c.RhoExF));
    Series3->replace(LogPoints(c.Freq, c.RhoHyF));
    Series4->replace(SortedByX(LogPoints(c.Freq, c.RhoExHyN)));
    Series5->replace(SortedByX(LogPoints(c.Freq, c.RhoMT)));
    FitLogAxes(BottomAxis, LeftAxis, {Series1, Series2, Series3, Series4, Series5});
}

void TForm5::SpeedButton1Click(QObject*)
{
    if (KeepCurrentStation(owner_)) {
        ShowSoundingCurves(this);  // another survey: start again at its first station
        return;
    }
    if (owner_->CurrentStation <= 0) return;
    --owner_->CurrentStation;
    ShowSoundingCurves(this);
}

void TForm5::SpeedButton2Click(QObject*)
{
    if (KeepCurrentStation(owner_)) {
        ShowSoundingCurves(this);
        return;
    }
    if (owner_->CurrentStation >= static_cast<int>(owner_->ExStations.size()) - 1) return;
    ++owner_->CurrentStation;
    ShowSoundingCurves(this);
}

void TForm5::N1Click(QObject*)
{
    CopyChartToClipboard(Chart1);
}

void TForm5::UpDown1Click(QObject*)
{
    owner_->RefFreqIndex = UpDown1->value() - 1;
}

void TForm5::closeEvent(QCloseEvent* event)
{
    owner_->CurrentStation = 0;
    QMdiSubWindow::closeEvent(event);
}

void ShowSoundingCurves(TForm5* Form)
{
    TForm1* owner = Form->Owner();
    const TStation* station = ShownStation(owner);
    SetTitle(Form, station);
    StationCurves curves;
    if (station) ComputeStationCurves(*owner, station->Name, curves);
    Form->FillSeries(curves);
}

void OpenSoundingCurveViewer(TForm1* Form)
{
    const QList<QMdiSubWindow*> windows = Form->MdiArea->subWindowList();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!qobject_cast<TForm5*>(*it)) continue;
        if ((*it)->isMinimized()) (*it)->showNormal();
        Form->MdiArea->setActiveSubWindow(*it);
        (*it)->setFocus();
        return;
    }
    if (Form->ExStations.empty() || Form->HyStations.empty()) return;

    const TStation* station = ShownStation(Form);
    StationCurves curves;
    ComputeStationCurves(*Form, station->Name, curves);

    Form5 = new TForm5(Form);
    SetTitle(Form5, station);
    Form5->UpDown1->setMaximum(std::max<int>(1, static_cast<int>(station->Amplitude.X.size())));
    Form5->UpDown1->setValue(Form->RefFreqIndex + 1);
    Form5->FillSeries(curves);
    Form5->show();
}
