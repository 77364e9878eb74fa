#include "processing/forms/TruncIPForm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCategoryAxis>
#include <QChart>
#include <QClipboard>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QLogValueAxis>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QScreen>
#include <QSplitter>
#include <QToolButton>
#include <QValueAxis>
#include <QWindow>

#include "app/CommandGuard.h"
#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "base/Exception.h"
#include "base/Gbk.h"
#include "chart/forms/ChartParts.h"
#include "chart/forms/PatternAxis.h"
#include "processing/forms/APPRESForm.h"

namespace {

QStringList Items(std::initializer_list<const char*> items)
{
    QStringList list;
    for (const char* item : items) list << Text(item);
    return list;
}

QPushButton* Button(const char* name, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(Text(caption), parent);
    button->setObjectName(name);
    return button;
}

QLabel* Label(const char* name, const char* caption, QWidget* parent)
{
    auto* label = new QLabel(Text(caption), parent);
    label->setObjectName(name);
    return label;
}

QScatterSeries* PointSeries(const char* title, bool present, const QColor& colour, Mark shape)
{
    auto* series = new QScatterSeries;
    series->setName(title);
    series->setColor(colour);
    series->setBorderColor(colour);
    if (present) {
        series->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        series->setMarkerSize(7);
    } else {
        series->setLightMarker(MarkImage(shape, colour, 9));
        series->setMarkerSize(9);
    }
    return series;
}

QLineSeries* LineSeries(const char* title)
{
    auto* series = new QLineSeries;
    series->setName(title);
    series->setPen(QPen(Qt::black, 1));
    return series;
}

QChart* NewChart(std::initializer_list<QAbstractSeries*> series)
{
    QChart* chart = WhiteChart(QMargins(2, 2, 2, 2));
    chart->legend()->setAlignment(Qt::AlignTop);
    for (QAbstractSeries* s : series) chart->addSeries(s);
    return chart;
}

QLogValueAxis* FrequencyAxis()
{
    auto* axis = new QLogValueAxis;
    axis->setTitleText("Frequency /Hz");
    axis->setLabelFormat("%g");
    return axis;
}

}  // namespace

// ---- RadioGroup --------------------------------------------------------------------------------

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this))
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setVerticalSpacing(0);
    const int rows = static_cast<int>((items.size() + columns - 1) / columns);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_->addButton(button, i);
        // Items fill the columns one after the other, top to bottom.
        layout->addWidget(button, i % rows, i / rows);
    }
    if (!items.isEmpty()) group_->button(0)->setChecked(true);
    connect(group_, &QButtonGroup::idToggled, this, Guarded([this](int id, bool checked) {
                if (checked) emit Clicked(id);
            }));
}

int RadioGroup::ItemIndex() const
{
    return group_->checkedId();
}

void RadioGroup::SetItemIndex(int index)
{
    QSignalBlocker blocker(group_);
    if (QAbstractButton* button = group_->button(index)) button->setChecked(true);
}

QRadioButton* RadioGroup::Button(int index) const
{
    return static_cast<QRadioButton*>(group_->button(index));
}

// ---- UpDownControl -----------------------------------------------------------------------------

UpDownControl::UpDownControl(int min, int max, int position, QWidget* parent)
    : QWidget(parent), min_(min), max_(max), position_(position)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    UpButton = new QToolButton(this);
    UpButton->setArrowType(Qt::UpArrow);
    DownButton = new QToolButton(this);
    DownButton->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {UpButton, DownButton}) {
        button->setFixedSize(17, 11);
        button->setAutoRepeat(true);
        layout->addWidget(button);
    }
    connect(UpButton, &QToolButton::clicked, this, Guarded([this] { Step(true); }));
    connect(DownButton, &QToolButton::clicked, this, Guarded([this] { Step(false); }));
}

void UpDownControl::SetMax(int max)
{
    max_ = std::max(max, min_);
    SetPosition(position_);
}

void UpDownControl::SetPosition(int position)
{
    position_ = std::clamp(position, min_, max_);
    if (Associate) Associate->setText(QString::number(position_));
}

void UpDownControl::Step(bool up)
{
    SetPosition(position_ + (up ? 1 : -1));
    emit Clicked(position_, up);
}

// ---- EditorChartView ---------------------------------------------------------------------------

EditorChartView::EditorChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent)
{
    setRenderHint(QPainter::Antialiasing);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void EditorChartView::mousePressEvent(QMouseEvent* event)
{
    const QPointF scene = mapToScene(event->position().toPoint());
    if (OnPress)
        RunGuarded(
            [&] { OnPress(chart()->mapFromScene(scene), event->button(), event->modifiers()); });
    event->accept();
}

// ---- TTruncIPForm ------------------------------------------------------------------------------

TTruncIPForm::TTruncIPForm(QWidget* Owner) : QDialog(Owner), Session(*Form1)
{
    setObjectName("TruncIPForm");
    setWindowTitle(Text("Murovane编辑数据"));
    setFixedSize(896, 627);

    QSplitter* charts = BuildCharts();
    QWidget* right = BuildRightPanel();
    QWidget* bottom = BuildBottomPanel();
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    top->addWidget(charts, 1);
    top->addWidget(right);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top, 1);
    layout->addWidget(bottom);

    ConnectHandlers();

    // The window sees every key before its controls.
    qApp->installEventFilter(this);
}

// The charts, phase above and amplitude below, in a splitter.
QSplitter* TTruncIPForm::BuildCharts()
{
    Series1 = PointSeries("Present", true, Qt::red, Mark::Circle);
    Series2 = LineSeries("Raw");
    Series3 = PointSeries("Previous", false, Qt::blue, Mark::Triangle);
    Series4 = PointSeries("Next", false, Qt::cyan, Mark::DownTriangle);
    PointSeries1 = PointSeries("Present", true, Qt::red, Mark::Circle);
    FastLineSeries1 = LineSeries("Raw");
    FastLineSeries2 = PointSeries("Previous", false, Qt::blue, Mark::Triangle);
    FastLineSeries3 = PointSeries("Next", false, Qt::cyan, Mark::DownTriangle);

    QChart* amplitude = NewChart({Series1, Series2, Series3, Series4});
    ChartBottomAxis = FrequencyAxis();
    AttachAxis(amplitude, ChartBottomAxis, Qt::AlignBottom);
    ChartLeftLogAxis = new QLogValueAxis;
    ChartLeftLogAxis->setLabelFormat("%.0E");
    ChartLeftLogAxis->setMinorTickCount(1);
    ChartLeftLinearAxis = PatternAxis("0.E+00");
    ChartLeftLinearAxis->setMinorTickCount(1);
    ChartLeftLinearAxis->setParent(this);  // until the real/imaginary form puts it on the chart
    AttachAxis(amplitude, ChartLeftLogAxis, Qt::AlignLeft);
    amplitudeLogarithmic_ = true;

    QChart* phase = NewChart({PointSeries1, FastLineSeries1, FastLineSeries2, FastLineSeries3});
    Chart1BottomAxis = FrequencyAxis();
    AttachAxis(phase, Chart1BottomAxis, Qt::AlignBottom);
    Chart1LeftAxis = PatternAxis("0.E+00");
    Chart1LeftAxis->setTitleText("Phase /Arc");
    Chart1LeftAxis->setMinorTickCount(0);
    AttachAxis(phase, Chart1LeftAxis, Qt::AlignLeft);

    Chart = new EditorChartView(amplitude, this);
    Chart->setObjectName("Chart");
    Chart->OnPress = [this](QPointF at, Qt::MouseButton button, Qt::KeyboardModifiers) {
        ChartMouseDown(at, button);
    };
    Chart1 = new EditorChartView(phase, this);
    Chart1->setObjectName("Chart1");
    Chart1->OnPress = [this](QPointF at, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
        Chart1MouseDown(at, button, keys);
    };
    auto* charts = new QSplitter(Qt::Vertical, this);
    charts->setObjectName("Splitter1");
    charts->addWidget(Chart1);
    charts->addWidget(Chart);
    charts->setChildrenCollapsible(false);
    return charts;
}

// The right-hand panel: the station list, the component and form choices, the point count, the
// smoothing and file buttons and the scaling of the electric field.
QWidget* TTruncIPForm::BuildRightPanel()
{
    auto* right = new QWidget(this);
    right->setObjectName("Panel2");
    right->setFixedWidth(236);
    auto* panel = new QVBoxLayout(right);
    panel->setContentsMargins(4, 4, 4, 4);
    panel->setSpacing(3);
    StaticText1 = Label("StaticText1", "测点列表", right);
    SList = new QListWidget(right);
    SList->setObjectName("SList");
    REIM = new RadioGroup(Text("复数分部"), Items({"振幅/相位", "实部/虚部"}), 2, right);
    REIM->setObjectName("REIM");
    ExHy = new RadioGroup(Text("参数选择"), Items({"Ex", "Hy", "Ey", "Hx", "Ez", "Hz"}), 3, right);
    ExHy->setObjectName("ExHy");
    TRL = new RadioGroup(Text("截断方式"), Items({"向右截断", "向左截断", "不截断"}), 3, right);
    TRL->setObjectName("TRL");
    TRL->setEnabled(false);
    TotalST = Label("TotalST", "Totally 0 points", right);
    PresentST = Label("PresentST", "目前已选择", right);
    NumT = new QLineEdit("1", right);
    NumT->setObjectName("NumT");
    NumT->setReadOnly(true);
    NumT->setFixedWidth(64);
    UpDown1 = new UpDownControl(1, 10000, 1, right);
    UpDown1->setObjectName("UpDown1");
    UpDown1->Associate = NumT;
    UpDown1->setEnabled(false);
    BitBtn5 = Button("BitBtn5", "光滑当前点数据", right);
    BitBtn1 = Button("BitBtn1", "打印", right);
    BitBtn8 = Button("BitBtn8", "保存", right);
    BitBtn2 = Button("BitBtn2", "复制A", right);
    BitBtn6 = Button("BitBtn6", "复制P", right);
    StaticText2 = Label("StaticText2", "电场幅值调整", right);
    UpDown2 = new UpDownControl(0, 1000, 500, right);
    UpDown2->setObjectName("UpDown2");
    RadioGroup1 =
        new RadioGroup(Text("调整范围"), Items({"全部", "当前鼠标左侧", "当前鼠标右侧"}), 1, right);
    RadioGroup1->setObjectName("RadioGroup1");

    panel->addWidget(StaticText1);
    panel->addWidget(SList, 1);
    panel->addWidget(REIM);
    panel->addWidget(ExHy);
    panel->addWidget(TRL);
    panel->addWidget(TotalST);
    auto* count = new QHBoxLayout;
    count->addWidget(PresentST);
    count->addWidget(NumT);
    count->addWidget(UpDown1);
    count->addStretch();
    panel->addLayout(count);
    panel->addWidget(BitBtn5);
    auto* files = new QGridLayout;
    files->addWidget(BitBtn1, 0, 0);
    files->addWidget(BitBtn8, 0, 1);
    files->addWidget(BitBtn2, 1, 0);
    files->addWidget(BitBtn6, 1, 1);
    panel->addLayout(files);
    auto* scale = new QHBoxLayout;
    scale->addWidget(StaticText2);
    scale->addWidget(UpDown2);
    scale->addStretch();
    panel->addLayout(scale);
    panel->addWidget(RadioGroup1);
    return right;
}

// The bottom panel: the hints and OK, Cancel and Help.
QWidget* TTruncIPForm::BuildBottomPanel()
{
    auto* bottom = new QWidget(this);
    bottom->setObjectName("Panel1");
    auto* hints = new QVBoxLayout;
    Label1 = Label("Label1", "使用方法：[1] 鼠标左键点击特定频点光滑电场或者磁场数据", bottom);
    Label2 = Label("Label2", "[2] 右击鼠标设置当前频点数据有效标志（红色有效，绿色无效）", bottom);
    hints->addWidget(Label1);
    hints->addWidget(Label2);
    BitBtn4 = Button("BitBtn4", "确定", bottom);
    BitBtn4->setDefault(true);
    BitBtn3 = Button("BitBtn3", "取消", bottom);
    BitBtn7 = Button("BitBtn7", "&Help", bottom);
    auto* buttons = new QHBoxLayout(bottom);
    buttons->setContentsMargins(6, 2, 6, 4);
    buttons->addLayout(hints);
    buttons->addStretch();
    buttons->addWidget(BitBtn4);
    buttons->addWidget(BitBtn3);
    buttons->addWidget(BitBtn7);
    return bottom;
}

// The handlers of the controls.
void TTruncIPForm::ConnectHandlers()
{
    connect(SList, &QListWidget::currentRowChanged, this,
            Guarded([this](int row) { SListClick(row); }));
    connect(ExHy, &RadioGroup::Clicked, this, Guarded([this](int index) { ExHyClick(index); }));
    connect(REIM, &RadioGroup::Clicked, this, Guarded([this](int index) { REIMClick(index); }));
    connect(RadioGroup1, &RadioGroup::Clicked, this,
            Guarded([this](int index) { RadioGroup1Click(index); }));
    connect(UpDown2, &UpDownControl::Clicked, this,
            Guarded([this](int position, bool up) { UpDown2Click(position, up); }));
    connect(BitBtn4, &QPushButton::clicked, this, Guarded([this] { BitBtn4Click(); }));
    connect(BitBtn3, &QPushButton::clicked, this, Guarded([this] { BitBtn3Click(); }));
    connect(BitBtn7, &QPushButton::clicked, this, Guarded([this] { BitBtn7Click(); }));
    connect(BitBtn5, &QPushButton::clicked, this, Guarded([this] { BitBtn5Click(); }));
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    connect(BitBtn8, &QPushButton::clicked, this, Guarded([this] { BitBtn8Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
    connect(BitBtn6, &QPushButton::clicked, this, Guarded([this] { BitBtn6Click(); }));
}

void TTruncIPForm::Open()
{
    Session.Open();
    ExHy->SetItemIndex(Session.ComponentIndex);
    PaintList();
    UpDown1->SetMax(Session.PointCount);
    PaintCount();
    Chart->chart()->setTitle(Text("可控源振幅数据"));
    Chart1->chart()->setTitle(Text("可控源相位数据"));
    PaintCharts();
}

void TTruncIPForm::SListClick(int row)
{
    Session.SListClick(row);
    PaintCharts();
    PaintCount();
    PaintCompanion();
}

void TTruncIPForm::ExHyClick(int component)
{
    if (!Session.ExHyClick(component)) {
        ExHy->SetItemIndex(Session.ComponentIndex);
        return;
    }
    PaintList();
    UpDown2->setEnabled(Session.ScaleEnabled);
    PaintCharts();
    PaintCount();
    PaintCompanion();
    SList->setFocus();
}

void TTruncIPForm::BitBtn4Click()
{
    Session.OkClick();
    accept();
}

void TTruncIPForm::BitBtn3Click()
{
    reject();
}

void TTruncIPForm::REIMClick(int index)
{
    Session.DisplayFormIndex = index;
}

void TTruncIPForm::RadioGroup1Click(int index)
{
    Session.ScaleRangeIndex = index;
    SList->setFocus();
}

void TTruncIPForm::UpDown2Click(int position, bool up)
{
    Session.UpDown2Click(position, up);
    PaintCharts();
}

void TTruncIPForm::ChartMouseDown(QPointF chartPosition, Qt::MouseButton button)
{
    const QPointF value = Chart->chart()->mapToValue(chartPosition, Series1);
    Session.ChartMouseDown(value.x(), value.y(), button == Qt::RightButton);
    PaintCharts();
}

void TTruncIPForm::Chart1MouseDown(QPointF chartPosition, Qt::MouseButton button,
                                   Qt::KeyboardModifiers modifiers)
{
    const QPointF value = Chart1->chart()->mapToValue(chartPosition, PointSeries1);
    const bool shiftOrCtrl = modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
    Session.Chart1MouseDown(value.x(), value.y(), button == Qt::LeftButton,
                            button == Qt::RightButton, shiftOrCtrl);
    PaintCharts();
}

void TTruncIPForm::PrintChart(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer)) throw Exception("Printer selected is not valid");
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    Chart->render(&painter, QRectF(0, 0, page.width(), page.height()), Chart->viewport()->rect(),
                  Qt::KeepAspectRatio);
}

void TTruncIPForm::BitBtn1Click()
{
    QPrinter printer;
    try {
        PrintChart(printer);
    } catch (const Exception& e) {
        ShowExceptionBox(e.what());
    }
}

void TTruncIPForm::BitBtn2Click()
{
    QApplication::clipboard()->setPixmap(Chart->grab());
}

void TTruncIPForm::BitBtn6Click()
{
    QApplication::clipboard()->setPixmap(Chart1->grab());
}

void TTruncIPForm::BitBtn5Click()
{
    Session.SmoothClick();
    PaintCharts();
    PaintCount();
    PaintCompanion();
}

void TTruncIPForm::BitBtn8Click()
{
    FileDialog dialog(FileDialog::Save);
    dialog.Owner = this;
    dialog.Filter = "Model response files(*.txt)|*.txt";
    dialog.SaveExt = ".txt";  // the response is saved as a ".txt" file whatever was typed
    dialog.FileName = DisplayTextUtf8(Session.SelectedName());
    if (!dialog.Execute()) return;
    try {
        Session.SaveModelResponse(dialog.FileName);
    } catch (const Exception& e) {
        ShowExceptionBox(e.what());
    }
}

void TTruncIPForm::BitBtn7Click()
{
    ShowMessage(kCurveEditorHelpText);
}

void TTruncIPForm::FormKeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    if (key != Qt::Key_S || !(modifiers & Qt::ControlModifier)) return;
    try {
        Session.WriteComponentFile();
    } catch (const Exception& e) {
        ShowExceptionBox(e.what());
    }
}

CompanionPlacement CompanionPosition(const QRect& editorFrame, const QSize& companionFrame,
                                     const QRect& area)
{
    constexpr int kGap = 2;
    // The start of a length moved as little as it takes to lie within start..start+room.
    const auto inside = [](int at, int length, int start, int room) {
        return std::max(start, std::min(at, start + room - length));
    };
    const QSize editor = editorFrame.size();
    const QSize chart = companionFrame;
    CompanionPlacement place;
    if (chart.height() + kGap + editor.height() <= area.height()) {
        const int top =
            inside(editorFrame.top(), editor.height(), area.top() + chart.height() + kGap,
                   area.height() - chart.height() - kGap);
        const int left = inside(editorFrame.left(), editor.width(), area.left(), area.width());
        place.Editor = QPoint(left, top);
        place.Companion = QPoint(inside(left + editor.width() / 2 - chart.width() / 2,
                                        chart.width(), area.left(), area.width()),
                                 top - kGap - chart.height());
        return place;
    }
    const int top = inside(editorFrame.top(), editor.height(), area.top(), area.height());
    if (editor.width() + kGap + chart.width() <= area.width()) {
        const int chartTop = inside(top, chart.height(), area.top(), area.height());
        const int right = area.left() + area.width();
        if (editorFrame.left() + editor.width() + kGap + chart.width() <= right ||
            editorFrame.left() - kGap - chart.width() < area.left()) {
            const int left = inside(editorFrame.left(), editor.width() + kGap + chart.width(),
                                    area.left(), area.width());
            place.Editor = QPoint(left, top);
            place.Companion = QPoint(left + editor.width() + kGap, chartTop);
        } else {
            // An editor partly off the right edge comes back onto the area.
            const int left = inside(editorFrame.left(), editor.width(), area.left(), area.width());
            place.Editor = QPoint(left, top);
            place.Companion = QPoint(left - kGap - chart.width(), chartTop);
        }
        return place;
    }
    place.Editor =
        QPoint(inside(editorFrame.left(), editor.width(), area.left(), area.width()), top);
    place.Companion = QPoint(area.left() + std::max(0, area.width() - chart.width()),
                             area.top() + std::max(0, area.height() - chart.height()));
    return place;
}

namespace {

// Calls call once, after window has been exposed: only then has the window manager framed it.
void WhenExposed(QWindow* window, QObject* context, std::function<void()> call)
{
    struct Watch : QObject {
        std::function<void()> call;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
                watched->removeEventFilter(this);
                QMetaObject::invokeMethod(parent(), call, Qt::QueuedConnection);
                deleteLater();
            }
            return false;
        }
    };
    if (window->isExposed()) {
        QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
        return;
    }
    auto* watch = new Watch;
    watch->setParent(context);
    watch->call = std::move(call);
    window->installEventFilter(watch);
}

}  // namespace

void TTruncIPForm::FormShow()
{
    Session.FormShow();
    if (!Session.CompanionExists) return;
    Companion = new TAPPRESForm(this);
    APPRESForm = Companion;
    PaintCompanion();
    // Shown once the modal editor is on the screen, so that it stacks above the editor and its
    // owner and is placed by the editor's frame.
    WhenExposed(windowHandle(), this, [this] { ShowCompanion(); });
}

void TTruncIPForm::ShowCompanion()
{
    if (!Companion || !isVisible()) return;
    PlaceCompanion();
    Companion->show();
    Companion->raise();
    // Its own frame is known only now; a frame unlike the editor's moves it once more. The
    // window manager may have stacked the editor again meanwhile.
    WhenExposed(Companion->windowHandle(), Companion, [this] {
        PlaceCompanion();
        RaiseCompanion();
    });
}

void TTruncIPForm::PlaceCompanion()
{
    // Before it is framed, the companion is taken to get a frame like the editor's.
    const QSize frame = Companion->isVisible()
                            ? Companion->frameGeometry().size()
                            : Companion->size() + (frameGeometry().size() - size());
    const QScreen* shown = screen();
    const QRect area = shown ? shown->availableGeometry() : frameGeometry();
    const CompanionPlacement place = CompanionPosition(frameGeometry(), frame, area);
    if (place.Editor != frameGeometry().topLeft()) move(place.Editor);
    Companion->move(place.Companion);
}

// The companion follows the editor that the user moves or resizes. Where the placement keeps the
// editor where it is, the chart goes to its place at once; where it would take the editor back
// onto the area or below the chart, the chart steps aside from the editor until the editor has
// settled, and the pair is placed then, so that the chart never covers the editor's title bar or
// buttons.
void TTruncIPForm::FollowEditor()
{
    if (!Companion || !Companion->isVisible()) return;
    const QRect editor = frameGeometry();
    const QScreen* shown = screen();
    const QRect area = shown ? shown->availableGeometry() : editor;
    const QSize frame = Companion->frameGeometry().size();
    const CompanionPlacement place = CompanionPosition(editor, frame, area);
    if (place.Editor == editor.topLeft()) {
        Companion->move(place.Companion);
        return;
    }
    if (QRect(place.Companion, frame).intersects(editor)) {
        // Beside the editor or, where the area's right has no room, beside its left.
        const QPoint right(editor.left() + editor.width() + 2, editor.top());
        const QPoint left(editor.left() - 2 - frame.width(), editor.top());
        Companion->move(right.x() + frame.width() <= area.left() + area.width() ? right : left);
    } else {
        Companion->move(place.Companion);
    }
    if (!settle_) {
        settle_ = new QTimer(this);
        settle_->setSingleShot(true);
        settle_->setInterval(300);
        connect(settle_, &QTimer::timeout, this, [this] {
            if (Companion && Companion->isVisible()) PlaceCompanion();
        });
    }
    settle_->start();
}

void TTruncIPForm::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    FollowEditor();
}

void TTruncIPForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FollowEditor();
}

void TTruncIPForm::RaiseCompanion()
{
    if (Companion && Companion->isVisible()) Companion->raise();
}

// The companion goes and comes with the editor.
void TTruncIPForm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (Companion) Companion->hide();
}

void TTruncIPForm::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QMetaObject::invokeMethod(
            this, [this] { RaiseCompanion(); }, Qt::QueuedConnection);
}

void TTruncIPForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (shown_) {
        if (Companion && !Companion->isVisible()) ShowCompanion();
        return;
    }
    shown_ = true;
    SList->setFocus();
    FormShow();
}

bool TTruncIPForm::eventFilter(QObject* watched, QEvent* event)
{
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (event->type() != QEvent::KeyRelease && !press) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    if (press) {
        // The window manager raises the editor on a click in it; the chart goes back on top.
        QMetaObject::invokeMethod(
            this, [this] { RaiseCompanion(); }, Qt::QueuedConnection);
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat() || key->key() != Qt::Key_S) return false;
    RunGuarded([&] { FormKeyUp(key->key(), key->modifiers()); });
    // Taken here, so that its way up through the parents does not bring it back.
    return true;
}

void TTruncIPForm::PaintCharts()
{
    const EditorCharts& charts = Session.Charts;
    // The axis first: which points the series can show depends on it.
    SetAmplitudeAxis(Session.AmplitudeAxisLogarithmic);
    ShowSeries(Series1, charts.Amplitude.Present);
    ShowSeries(Series2, charts.Amplitude.Raw);
    ShowSeries(Series3, charts.Amplitude.Previous);
    ShowSeries(Series4, charts.Amplitude.Next);
    ShowSeries(PointSeries1, charts.Phase.Present);
    ShowSeries(FastLineSeries1, charts.Phase.Raw);
    ShowSeries(FastLineSeries2, charts.Phase.Previous);
    ShowSeries(FastLineSeries3, charts.Phase.Next);

    const QString title = Text(Session.AmplitudeAxisTitle);
    ChartLeftLogAxis->setTitleText(title);
    ChartLeftLinearAxis->setTitleText(title);

    const QList<QXYSeries*> amplitude = {Series1, Series2, Series3, Series4};
    const QList<QXYSeries*> phase = {PointSeries1, FastLineSeries1, FastLineSeries2,
                                     FastLineSeries3};
    FitLogAxis(ChartBottomAxis, SeriesValues(amplitude, true));
    if (amplitudeLogarithmic_)
        FitLogAxis(ChartLeftLogAxis, SeriesValues(amplitude, false));
    else
        FitValueAxis(ChartLeftLinearAxis, SeriesValues(amplitude, false), FlatMargin::Tenth);
    FitLogAxis(Chart1BottomAxis, SeriesValues(phase, true));
    FitValueAxis(Chart1LeftAxis, SeriesValues(phase, false), FlatMargin::Tenth);
}

void TTruncIPForm::SetAmplitudeAxis(bool logarithmic)
{
    if (logarithmic == amplitudeLogarithmic_) return;
    QChart* chart = Chart->chart();
    QAbstractAxis* off = logarithmic ? static_cast<QAbstractAxis*>(ChartLeftLinearAxis)
                                     : static_cast<QAbstractAxis*>(ChartLeftLogAxis);
    QAbstractAxis* on = logarithmic ? static_cast<QAbstractAxis*>(ChartLeftLogAxis)
                                    : static_cast<QAbstractAxis*>(ChartLeftLinearAxis);
    chart->removeAxis(off);
    off->setParent(this);
    AttachAxis(chart, on, Qt::AlignLeft);
    amplitudeLogarithmic_ = logarithmic;
}

void TTruncIPForm::PaintList()
{
    QSignalBlocker blocker(SList);
    SList->clear();
    for (const std::string& name : Session.ListItems) SList->addItem(DisplayText(name));
    SList->setCurrentRow(Session.SelectedItem);
}

void TTruncIPForm::PaintCount()
{
    TotalST->setText(Text(Session.TotalCaption));
    if (Session.PointCount > UpDown1->Max()) UpDown1->SetMax(Session.PointCount);
    UpDown1->SetPosition(Session.PointCount);
}

void TTruncIPForm::PaintCompanion()
{
    if (Companion) Companion->ShowCurves(Session.AppResCurves);
}
