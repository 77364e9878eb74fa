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
#include <exception>

#include "app/CommandGuard.h"
#include "app/MainForm.h"
#include "app/Pictures.h"
#include "chart/forms/ChartParts.h"
#include "processing/StationCurves.h"
#include "processing/forms/StationViewer.h"

TForm5* Form5 = nullptr;

namespace {

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

    Series1 = MarkedLine("Ex_N", Qt::red, Mark::DownTriangle, 7);
    Series2 = Scatter("Ex_F", QScatterSeries::MarkerShapeRectangle, 5, QColor(0, 128, 0),
                      QColor(0, 80, 0));
    Series3 =
        Scatter("Hy_F", QScatterSeries::MarkerShapeCircle, 9, Qt::yellow, QColor(150, 150, 0));
    Series4 = new QLineSeries;
    Series4->setName("Ex/Hy_N");
    Series4->setPen(QPen(Qt::blue, 1));
    Series5 = MarkedLine("MT", Qt::black, Mark::Star, 5);
    QChart* chart = ViewerChart({Series1, Series2, Series3, Series4, Series5});
    AttachFrequencyAxes(chart, BottomAxis, LeftAxis);

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
    connect(N1, &QAction::triggered, this, Guarded([this] { N1Click(N1); }));
    Chart1 = ViewerChartView(chart, PopupMenu1);

    Panel1 = new QWidget;
    SpeedButton1 = StepButton("SpeedButton1", "上一测点");
    SpeedButton2 = StepButton("SpeedButton2", "下一测点");
    QHBoxLayout* row = StepPanel(Panel1, SpeedButton1, SpeedButton2);
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
    Image1 = InfoImage(this);
    row->addWidget(StaticText1);
    row->addWidget(UpDown1);
    row->addStretch(1);
    row->addWidget(Image1);
    connect(SpeedButton1, &QToolButton::clicked, this,
            Guarded([this] { SpeedButton1Click(SpeedButton1); }));
    connect(SpeedButton2, &QToolButton::clicked, this,
            Guarded([this] { SpeedButton2Click(SpeedButton2); }));
    connect(UpDown1, &RefFreqSpinBox::Click, this, Guarded([this] { UpDown1Click(UpDown1); }));

    auto* client = new QWidget;
    ChartOverPanel(client, Chart1, Panel1);
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
    if (StepStation(owner_, -1)) ShowSoundingCurves(this);
}

void TForm5::SpeedButton2Click(QObject*)
{
    if (StepStation(owner_, +1)) ShowSoundingCurves(this);
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
    StationCurves curves;
    std::exception_ptr failure;
    try {
        if (station) ComputeStationCurves(*owner, station->Name, curves);
    } catch (...) {
        failure = std::current_exception();
        curves = StationCurves();
    }
    // A station whose curves fail is named over empty series, never over another's curves.
    SetTitle(Form, station);
    Form->FillSeries(curves);
    if (failure) std::rethrow_exception(failure);
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
