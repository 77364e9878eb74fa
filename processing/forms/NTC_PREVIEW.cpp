#include "processing/forms/NTC_PREVIEW.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMenu>
#include <QPushButton>
#include <QScatterSeries>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>
#include <memory>

#include "app/CommandGuard.h"
#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "app/Pictures.h"
#include "base/Exception.h"
#include "chart/forms/ChartParts.h"
#include "processing/forms/StationViewer.h"

TForm6* Form6 = nullptr;

namespace {

void ShowName(TForm6* form, const TStation* station)
{
    const QString name = station ? DisplayText(station->Name) : QString();
    form->STN->setText(name);
    form->Chart1->chart()->setTitle(Text("点频率测深改正曲线") + name);
}

bool IsViewerKey(int key, Qt::KeyboardModifiers modifiers)
{
    if ((modifiers & Qt::ControlModifier) && (key == Qt::Key_C || key == Qt::Key_S)) return true;
    return key == Qt::Key_Right || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Up;
}

}  // namespace

TForm6::TForm6(TForm1* Owner) : QDialog(Owner), owner_(Owner)
{
    setObjectName("Form6");
    setWindowTitle(Text("CSEM近区-过渡区改正效果图"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Series1 = MarkedLine("E/H_N", Qt::red, Mark::DownTriangle, 7);
    Series2 =
        Scatter("MT", QScatterSeries::MarkerShapeRectangle, 5, QColor(0, 128, 0), QColor(0, 80, 0));
    Series3 = MarkedLine("NTC", Qt::black, Mark::Star, 5);
    Series4 = new QLineSeries;
    Series4->setName("Ex/Hy_N");
    Series5 = new QLineSeries;
    Series5->setName("MT");
    QChart* chart = ViewerChart({Series1, Series2, Series3, Series4, Series5});
    Series4->setVisible(false);
    Series5->setVisible(false);
    AttachFrequencyAxes(chart, BottomAxis, LeftAxis);

    // The keys act through FormKeyUp only; the menu shows them as text.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    N1 = PopupMenu1->addAction(Text("复制图形") + '\t' +
                               QKeySequence(Qt::CTRL | Qt::Key_C).toString());
    N1->setObjectName("N1");
    N2 = PopupMenu1->addAction(Text("保存数据") + '\t' +
                               QKeySequence(Qt::CTRL | Qt::Key_S).toString());
    N2->setObjectName("N2");
    connect(N1, &QAction::triggered, this, Guarded([this] { N1Click(N1); }));
    connect(N2, &QAction::triggered, this, Guarded([this] { N2Click(N2); }));
    Chart1 = ViewerChartView(chart, PopupMenu1);

    Panel1 = new QWidget;
    SpeedButton1 = StepButton("SpeedButton1", "上一测点");
    SpeedButton2 = StepButton("SpeedButton2", "下一测点");
    QHBoxLayout* row = StepPanel(Panel1, SpeedButton1, SpeedButton2);
    StaticText1 = new QLabel(Text("当前测点为："));
    StaticText1->setObjectName("StaticText1");
    STN = new QLabel("STN");
    STN->setObjectName("STN");
    STN->setMinimumWidth(80);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), "&Help");
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setAutoDefault(false);
    Image1 = InfoImage(this);
    row->addWidget(StaticText1);
    row->addWidget(STN);
    row->addStretch(1);
    row->addWidget(BitBtn1);
    row->addWidget(Image1);
    connect(SpeedButton1, &QToolButton::clicked, this,
            Guarded([this] { SpeedButton1Click(SpeedButton1); }));
    connect(SpeedButton2, &QToolButton::clicked, this,
            Guarded([this] { SpeedButton2Click(SpeedButton2); }));
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(BitBtn1); }));

    ChartOverPanel(this, Chart1, Panel1);
    setFixedSize(688, 382);
    if (Owner) move(Owner->geometry().center() - rect().center());

    // The window sees every key before its controls do; the open pop-up menu keeps its own
    // arrow keys.
    for (QWidget* child : findChildren<QWidget*>())
        if (child != PopupMenu1 && !PopupMenu1->isAncestorOf(child))
            child->installEventFilter(this);
}

TForm6::~TForm6()
{
    if (Form6 == this) Form6 = nullptr;
}

void TForm6::FillSeries()
{
    const StationCurves& c = Shown.Curves;
    Series1->replace(LogPoints(c.Freq, c.RhoExHyN));
    Series2->replace(LogPoints(Shown.StoredFreq, Shown.UncorrectedMT));
    Series3->replace(LogPoints(c.Freq, c.RhoMT));
    FitLogAxes(BottomAxis, LeftAxis, {Series1, Series2, Series3});
}

void TForm6::SpeedButton1Click(QObject*)
{
    if (StepStation(owner_, -1)) ShowCorrectionCurves(this);
}

void TForm6::SpeedButton2Click(QObject*)
{
    if (StepStation(owner_, +1)) ShowCorrectionCurves(this);
}

void TForm6::N1Click(QObject*)
{
    CopyChartToClipboard(Chart1);
}

void TForm6::N2Click(QObject*)
{
    // Drawing again raises once more the error of a station whose curves failed: no file then.
    if (KeepCurrentStation(owner_) || !ShownComplete) ShowCorrectionCurves(this);
    if (owner_->ExStations.empty()) return;
    const std::string name = ResistivityComparisonFileName(ShownName);
    if (!WriteResistivityComparisonFile(name, Shown)) ShowMessage(EFCreateError(name).what());
}

void TForm6::BitBtn1Click(QObject*)
{
    ShowMessage(std::string("键盘快速操作\n\n") + "Ctrl+C      ::复制图象到剪贴板\n" +
                "Ctrl+S      ::保存对比数据到测点同名的文本文件中\n" +
                "Up||Left    ::浏览上个测点\n" + "DOWN||RIGHT ::浏览下个测点\n\n" + "试试效果。\n");
}

void TForm6::FormKeyUp(QObject*, int Key, Qt::KeyboardModifiers Shift)
{
    const bool ctrl = Shift & Qt::ControlModifier;
    if (ctrl && Key == Qt::Key_C)
        N1Click(this);
    else if (ctrl && Key == Qt::Key_S)
        N2Click(this);
    else if (Key == Qt::Key_Right || Key == Qt::Key_Down)
        SpeedButton2Click(this);
    else if (Key == Qt::Key_Left || Key == Qt::Key_Up)
        SpeedButton1Click(this);
}

bool TForm6::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsViewerKey(key->key(), key->modifiers())) {
            if (!key->isAutoRepeat())
                RunGuarded([&] { FormKeyUp(watched, key->key(), key->modifiers()); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm6::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        RunGuarded([&] { FormKeyUp(this, event->key(), event->modifiers()); });
}

void TForm6::done(int result)
{
    owner_->CurrentStation = 0;
    QDialog::done(result);
}

void ShowCorrectionCurves(TForm6* Form)
{
    TForm1* owner = Form->Owner();
    const TStation* station = ShownStation(owner);
    CorrectionCurves curves;
    std::exception_ptr failure;
    try {
        if (station) ComputeCorrectionCurves(*owner, station->Name, curves);
    } catch (...) {
        failure = std::current_exception();
        curves = CorrectionCurves();
    }
    // A station whose curves fail is named over empty series, never over another's curves.
    ShowName(Form, station);
    Form->Shown = std::move(curves);
    Form->ShownName = station ? station->Name : std::string();
    Form->ShownComplete = !failure;
    Form->FillSeries();
    if (failure) std::rethrow_exception(failure);
}

void OpenCorrectionViewer(TForm1* Form)
{
    if (Form->ExStations.empty() || Form->HyStations.empty()) return;
    const TStation* station = ShownStation(Form);
    CorrectionCurves curves;
    ComputeCorrectionCurves(*Form, station->Name, curves);

    const auto viewer = std::make_unique<TForm6>(Form);
    Form6 = viewer.get();
    ShowName(Form6, station);
    Form6->Series1->setName(Text("近区"));
    Form6->Series2->setName(Text("远区"));
    Form6->Series3->setName(Text("改正后"));
    Form6->Shown = std::move(curves);
    Form6->ShownName = station->Name;
    Form6->ShownComplete = true;
    Form6->FillSeries();
    Form6->exec();
}
