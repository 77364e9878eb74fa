#include "model3d/forms/Save3DModel.h"

#include <QButtonGroup>
#include <QCategoryAxis>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <exception>

#include "app/CommandGuard.h"
#include "app/MainForm.h"
#include "app/ProgressDialog.h"
#include "base/Convert.h"
#include "base/Exception.h"
#include "chart/forms/ChartParts.h"
#include "chart/forms/MarkLayer.h"
#include "chart/forms/PatternAxis.h"
#include "model3d/Mesh.h"
#include "model3d/ModelFiles.h"
#include "model3d/Terrain.h"
#include "picture/forms/ReferencePicture.h"

TForm7* Form7 = nullptr;
std::function<void(std::unique_ptr<TForm7>)> TForm7::ModalRunner;

namespace {

const char* const kModelFilter = "3D Inversion Initial Model (*.m)|*.m";
const char* const kBackgroundFilter = "Background Res Model(*.*)|*.*";
const char* const kTerrainFilter = "Terrain info file(*.pos)|*.pos";

std::string Std(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

QLineEdit* NewEdit(const QString& text = QString())
{
    auto* edit = new QLineEdit(text);
    edit->setMaximumWidth(110);
    return edit;
}

QPushButton* NewButton(const char* caption)
{
    auto* button = new QPushButton(Text(caption));
    button->setAutoDefault(false);  // Return in an edit must not press a button
    return button;
}

QComboBox* NewSmoothing()
{
    auto* box = new QComboBox;
    box->setEditable(true);
    for (const char* item : {"1.00", "0.75", "0.50", "0.30", "0.10", "0.05", "0.01"})
        box->addItem(item);
    box->setCurrentText("0.30");
    box->setMaximumWidth(110);
    return box;
}

QList<QPointF> ChartPoints(const std::vector<MapPoint>& points)
{
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const MapPoint& p : points) list.append(QPointF(p.X, p.Y));
    return list;
}

}  // namespace

TerrainProgress ModelBuilderPendingMessages()
{
    return [](size_t done, size_t total) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        ReportProgress(done, total);  // the step's progress dialog, which may end it
        return true;
    };
}

// ---- controls ----

UpDown::UpDown(int minimum, int maximum, int position, QWidget* parent) : QSpinBox(parent)
{
    setRange(minimum, maximum);
    setValue(position);
    setMaximumWidth(110);
}

QLineEdit* UpDown::Edit() const
{
    return lineEdit();
}

void UpDown::stepBy(int steps)
{
    if (Changing) Changing();
    QSpinBox::stepBy(steps);
}

void LayerGrid::keyReleaseEvent(QKeyEvent* event)
{
    QTableWidget::keyReleaseEvent(event);
    if (KeyUp) KeyUp();
}

void LayerGrid::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta >= 0 || !WheelDown || !(event->modifiers() & Qt::ControlModifier)) {
        wheelDelta_ = 0;
        QTableWidget::wheelEvent(event);
        return;
    }
    event->accept();
    // Touchpads and fine wheels send parts of a notch; each whole notch continues once.
    wheelDelta_ += delta;
    while (wheelDelta_ <= -QWheelEvent::DefaultDeltasPerStep) {
        wheelDelta_ += QWheelEvent::DefaultDeltasPerStep;
        WheelDown(event->modifiers());
    }
}

ModelChartView::ModelChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent)
{
    setRenderHint(QPainter::Antialiasing);
}

QPointF ModelChartView::Value(QPointF viewPixel) const
{
    return chart()->mapToValue(chart()->mapFromScene(mapToScene(viewPixel.toPoint())), ValueSeries);
}

QPointF ModelChartView::Pixel(QPointF value) const
{
    return mapFromScene(chart()->mapToScene(chart()->mapToPosition(value, ValueSeries)));
}

void ModelChartView::mousePressEvent(QMouseEvent* event)
{
    if (Pressed) Pressed(event->button(), event->modifiers(), Value(event->position()));
    QChartView::mousePressEvent(event);
}

void ModelChartView::mouseMoveEvent(QMouseEvent* event)
{
    if (Moved) Moved(event->buttons(), event->modifiers(), Value(event->position()));
    QChartView::mouseMoveEvent(event);
}

void ModelChartView::mouseReleaseEvent(QMouseEvent* event)
{
    if (Released) Released(event->modifiers());
    QChartView::mouseReleaseEvent(event);
}

void ModelChartView::drawBackground(QPainter* painter, const QRectF& rect)
{
    painter->fillRect(rect, Qt::white);
    if (!Picture.isNull()) painter->drawImage(sceneRect(), Picture);
}

// ---- the dialog ----

TForm7::TForm7(TForm1* Owner) : QDialog(Owner), owner_(Owner)
{
    Form7 = this;
    setObjectName("Form7");
    setWindowTitle(Text("三维反演初始模型"));
    resize(720, 560);

    BuildPages();
    BuildGeometryPage();
    BuildBackgroundPage();
    BuildCoordinatePage();
    BuildSmoothingPage();
    BuildSourcePage();
    BuildMapPage();
    BuildButtonRow();

    SaveDialog1.Filter = kModelFilter;
    SaveDialog1.SaveExt = ".m";
    SaveDialog1.Owner = this;
    OpenDialog1.Owner = this;

    ConnectHandlers();
    PageControl1->setCurrentIndex(0);
    TabSheet1Show();
}

// The six pages, in their order.
void TForm7::BuildPages()
{
    PageControl1 = new QTabWidget;
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    TabSheet5 = new QWidget;
    TabSheet6 = new QWidget;
    TabSheet4 = new QWidget;
    PageControl1->addTab(TabSheet1, Text("几何参数"));
    PageControl1->addTab(TabSheet2, Text("背景电阻率"));
    PageControl1->addTab(TabSheet3, Text("数据坐标系信息"));
    PageControl1->addTab(TabSheet5, Text("设置模型光滑性"));
    PageControl1->addTab(TabSheet6, Text("源信息"));
    PageControl1->addTab(TabSheet4, Text("显示模型与测区"));
}

// "几何参数": the cell counts, widths and growth ratios of the three axes.
void TForm7::BuildGeometryPage()
{
    Nx = new UpDown(5, 1000, 20);
    NxS = new UpDown(2, 1000, 2);
    Ny = new UpDown(5, 1000, 20);
    NyS = new UpDown(2, 1000, 2);
    Nz = new UpDown(5, 1000, 20);
    NzS = new UpDown(2, 1000, 2);
    NzAir = new UpDown(20, 1000, 20);
    NxEdit = Nx->Edit();
    Edit2 = NxS->Edit();
    Edit5 = Ny->Edit();
    Edit6 = NyS->Edit();
    Edit9 = Nz->Edit();
    Edit10 = NzS->Edit();
    Edit1 = NzAir->Edit();
    Dx = NewEdit();
    NxScale = NewEdit();
    Dy = NewEdit();
    NyScale = NewEdit();
    Dz = NewEdit();
    NzScale = NewEdit();
    fZsEdit = NewEdit("1.10");
    auto horizontalGroup = [](const char* title, UpDown* count, QLineEdit* width, UpDown* boundary,
                              QLineEdit* ratio) {
        auto* group = new QGroupBox(Text(title));
        auto* form = new QFormLayout(group);
        form->addRow(Text("网格个数"), count);
        form->addRow(Text("平均宽度"), width);
        form->addRow(Text("边界网格个数"), boundary);
        form->addRow(Text("扩边系数"), ratio);
        return group;
    };
    auto* zGroup = new QGroupBox(Text("z--坐标"));
    auto* zForm = new QFormLayout(zGroup);
    zForm->addRow(Text("网格个数"), Nz);
    zForm->addRow(Text("第一层厚度"), Dz);
    zForm->addRow(Text("厚度增大比例"), fZsEdit);
    zForm->addRow(Text("边界网格个数"), NzS);
    zForm->addRow(Text("扩边系数"), NzScale);
    zForm->addRow(Text("空气网格个数"), NzAir);
    auto* geometry = new QHBoxLayout(TabSheet1);
    geometry->addWidget(horizontalGroup("x--坐标", Nx, Dx, NxS, NxScale));
    geometry->addWidget(horizontalGroup("y--坐标", Ny, Dy, NyS, NyScale));
    geometry->addWidget(zGroup);
}

// "背景电阻率": the layer grid, its buttons and the layer profile chart.
void TForm7::BuildBackgroundPage()
{
    ResModel = new LayerGrid(1, 3);
    ResModel->setHorizontalHeaderLabels({"#", Text("电阻率"), Text("厚度")});
    ResModel->verticalHeader()->hide();
    ResModel->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ResModel->setColumnWidth(0, 40);
    ResModel->setColumnWidth(1, 80);
    ResModel->setColumnWidth(2, 80);
    ResModel->setEditTriggers(QAbstractItemView::AllEditTriggers);
    ResModel->setTabKeyNavigation(true);
    ResModel->setSelectionMode(QAbstractItemView::ContiguousSelection);
    ResModel->setContextMenuPolicy(Qt::ActionsContextMenu);
    N1 = new QAction(Text("插入一层"), ResModel);
    N2 = new QAction(Text("删除当前层"), ResModel);
    ResModel->addAction(N1);
    ResModel->addAction(N2);
    StaticText22 = new QLabel;

    QChart* layerChart = PlainChart(std::nullopt, QMargins(4, 4, 4, 4));
    layerChart->legend()->hide();
    layerChart->setBackgroundVisible(false);
    Series5 = new QLineSeries;
    Series5->setPen(QPen(Qt::blue, 3));
    Series6 = new QScatterSeries;
    layerChart->addSeries(Series5);
    layerChart->addSeries(Series6);
    Chart2Bottom = new QLogValueAxis;
    Chart2Bottom->setBase(10);
    Chart2Bottom->setRange(1, 10000);
    Chart2Bottom->setLabelFormat("%g");
    Chart2Left = new QValueAxis;
    Chart2Left->setReverse(true);
    Chart2Left->setRange(0, 1000);
    Chart2Left->setLabelFormat("%.0f");
    AttachAxes(layerChart, Chart2Bottom, Chart2Left);
    Chart2 = new ModelChartView(layerChart);
    Chart2->ValueSeries = Series5;
    BitBtn1 = NewButton("加载");
    BitBtn2 = NewButton("保存");
    BitBtn3 = NewButton("网格融合");
    BitBtn6 = NewButton("参考模型图像");
    CheckBox1 = new QCheckBox(Text("扩边背景模型反演中不变"));
    CheckBox1->setChecked(true);
    auto* layerLeft = new QVBoxLayout;
    layerLeft->addWidget(ResModel, 1);
    layerLeft->addWidget(StaticText22);
    auto* layerButtons = new QHBoxLayout;
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3, BitBtn6}) layerButtons->addWidget(b);
    layerLeft->addLayout(layerButtons);
    layerLeft->addWidget(CheckBox1);
    auto* background = new QHBoxLayout(TabSheet2);
    background->addLayout(layerLeft, 2);
    background->addWidget(Chart2, 3);
}

// "数据坐标系信息": the data range, the model origin and its rotation.
void TForm7::BuildCoordinatePage()
{
    DxMin = NewEdit();
    DxMax = NewEdit();
    DyMin = NewEdit();
    DyMax = NewEdit();
    for (QLineEdit* e : {DxMin, DxMax, DyMin, DyMax}) e->setReadOnly(true);
    MxRefEdit = NewEdit();
    MyRefEdit = NewEdit();
    MzRefEdit = NewEdit("0");
    MRotEdit = NewEdit("0");
    auto* range = new QGroupBox(Text("数据坐标范围"));
    auto* rangeGrid = new QGridLayout(range);
    rangeGrid->addWidget(new QLabel("x:"), 0, 0);
    rangeGrid->addWidget(DxMin, 0, 1);
    rangeGrid->addWidget(new QLabel("--"), 0, 2);
    rangeGrid->addWidget(DxMax, 0, 3);
    rangeGrid->addWidget(new QLabel("y:"), 1, 0);
    rangeGrid->addWidget(DyMin, 1, 1);
    rangeGrid->addWidget(new QLabel("--"), 1, 2);
    rangeGrid->addWidget(DyMax, 1, 3);
    rangeGrid->setColumnStretch(4, 1);
    auto* origin = new QGroupBox(Text("模型参考坐标原点"));
    auto* originForm = new QFormLayout(origin);
    originForm->addRow(Text("x方向坐标"), MxRefEdit);
    originForm->addRow(Text("y方向坐标"), MyRefEdit);
    originForm->addRow(Text("z方向坐标"), MzRefEdit);
    auto* coordinates = new QVBoxLayout(TabSheet3);
    coordinates->addWidget(range);
    coordinates->addWidget(origin);
    auto* rotation = new QFormLayout;
    rotation->addRow(Text("模型x-坐标旋转到测线方向角度(度)"), MRotEdit);
    coordinates->addLayout(rotation);
    coordinates->addStretch();
}

// "设置模型光滑性": the smoothing factors of the three axes.
void TForm7::BuildSmoothingPage()
{
    ComboBox1 = NewSmoothing();
    ComboBox2 = NewSmoothing();
    ComboBox3 = NewSmoothing();
    auto* smoothing = new QVBoxLayout(TabSheet5);
    auto* smoothingForm = new QFormLayout;
    smoothingForm->addRow(Text("x方向光滑系数"), ComboBox1);
    smoothingForm->addRow(Text("y方向光滑系数"), ComboBox2);
    smoothingForm->addRow(Text("z方向光滑系数"), ComboBox3);
    smoothing->addLayout(smoothingForm);
    smoothing->addWidget(new QLabel(Text("说明:")));
    smoothing->addWidget(new QLabel(Text("光滑系数越大,模型越光滑,分辨率越低.")));
    smoothing->addWidget(
        new QLabel(Text("为了得到较高的模型分辨率,可以适当降低模型光滑系数,比如变为0.05")));
    smoothing->addStretch();
}

// "源信息": the source centre.
void TForm7::BuildSourcePage()
{
    Edit3 = NewEdit();
    Edit4 = NewEdit();
    Edit7 = NewEdit();
    auto* centre = new QGroupBox(Text("源中心位置"));
    auto* centreForm = new QFormLayout(centre);
    centreForm->addRow("X=", Edit3);
    centreForm->addRow("Y=", Edit4);
    centreForm->addRow("Z=", Edit7);
    auto* source = new QVBoxLayout(TabSheet6);
    source->addWidget(centre);
    source->addStretch();
}

// "显示模型与测区": the stations, the model outline, its nodes and the boundary.
void TForm7::BuildMapPage()
{
    QChart* mapChart = PlainChart(std::nullopt, QMargins(4, 4, 4, 4));
    mapChart->setTitle(Text("测点位置(红点)与反演模型坐标范围(绿线)及网格(黄十字)关系"));
    mapChart->legend()->hide();
    Series1 = new QScatterSeries;
    Series1->setLightMarker(MarkImage(Mark::DownTriangle, Qt::red, 13, {QColor(), 2, 1}));
    Series1->setMarkerSize(11);
    Series1->setColor(Qt::red);
    Series2 = new QLineSeries;
    Series2->setPen(QPen(QColor(0, 160, 0), 3));
    Series3 = new QScatterSeries;
    Series3->setLightMarker(MarkImage(Mark::Cross, QColor(230, 200, 0), 13));
    Series3->setMarkerSize(9);
    Series3->setColor(Qt::yellow);
    Series4 = new QLineSeries;
    Series4->setPen(QPen(QColor(128, 0, 0), 3));
    Chart1Bottom = PatternAxis("0");
    Chart1Left = PatternAxis("0");
    for (QAbstractSeries* s :
         {static_cast<QAbstractSeries*>(Series3), static_cast<QAbstractSeries*>(Series2),
          static_cast<QAbstractSeries*>(Series4), static_cast<QAbstractSeries*>(Series1)})
        mapChart->addSeries(s);
    AttachAxes(mapChart, Chart1Bottom, Chart1Left);
    AddMarkLayer(Series3);
    AddMarkLayer(Series1);
    Chart1 = new ModelChartView(mapChart);
    Chart1->ValueSeries = Series1;
    auto* map = new QVBoxLayout(TabSheet4);
    map->addWidget(Chart1);
}

// Below the pages: the boundary buttons, terrain, create and cancel; the window's layout.
void TForm7::BuildButtonRow()
{
    BitBtn4 = NewButton("创建模型");
    BitBtn5 = NewButton("取消");
    BitBtn7 = NewButton("加载地形");
    SpeedButton1 = new QToolButton;
    SpeedButton1->setText(Text("构造有效区域"));
    SpeedButton2 = new QToolButton;
    SpeedButton2->setText(Text("保存构造边界"));
    speedButtons_ = new QButtonGroup(this);
    for (QToolButton* b : {SpeedButton1, SpeedButton2}) {
        b->setCheckable(true);
        speedButtons_->addButton(b);
    }
    speedButtons_->setExclusive(true);
    SpeedButton1->setChecked(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(SpeedButton2);
    buttons->addStretch();
    buttons->addWidget(BitBtn7);
    buttons->addWidget(BitBtn4);
    buttons->addWidget(BitBtn5);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
}

// The handlers of the controls.
void TForm7::ConnectHandlers()
{
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int index) { Run([this, index] { PageChanged(index); }); });
    // Leaving one of these edits rebuilds the meshes even when its text is unchanged, which the
    // edit's own editing-finished signal would not report.
    for (QLineEdit* e : {Dx, NxScale, Dy, NyScale, Dz, NzScale}) e->installEventFilter(this);
    for (UpDown* u : {Nx, NxS, Ny, NyS, Nz, NzS, NzAir})
        connect(u, &QSpinBox::editingFinished, this, Command(&TForm7::TabSheet1Exit));
    Nx->Changing = Command(&TForm7::NxChanging);
    Ny->Changing = Command(&TForm7::NyChanging);
    Nz->Changing = Command(&TForm7::NzChanging);
    NzS->Changing = Command(&TForm7::NzChanging);
    ResModel->KeyUp = Command(&TForm7::ResModelKeyUp);
    ResModel->WheelDown = [this](Qt::KeyboardModifiers keys) {
        Run([this, keys] { ResModelMouseWheelDown(keys); });
    };
    connect(ResModel, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_) Run([this, item] { CellEdited(item->row(), item->column()); });
    });
    connect(ResModel, &QTableWidget::cellClicked, this,
            [this](int row, int) { Run([this, row] { ResModelClick(row + 1); }); });
    connect(N1, &QAction::triggered, this, Command(&TForm7::N1Click));
    connect(N2, &QAction::triggered, this, Command(&TForm7::N2Click));
    Chart2->Pressed = [this](Qt::MouseButton, Qt::KeyboardModifiers keys, QPointF at) {
        Run([this, keys, at] { Chart2MouseDown(keys, at); });
    };
    Chart2->Released = [this](Qt::KeyboardModifiers keys) {
        Run([this, keys] { ResModelMouseUp(keys); });
    };
    Chart1->Pressed = [this](Qt::MouseButton button, Qt::KeyboardModifiers keys, QPointF at) {
        Run([this, button, keys, at] { Chart1MouseDown(button, keys, at); });
    };
    Chart1->Moved = [this](Qt::MouseButtons held, Qt::KeyboardModifiers keys, QPointF at) {
        Run([this, held, keys, at] { Chart1MouseMove(held, keys, at); });
    };
    connect(BitBtn1, &QPushButton::clicked, this, Command(&TForm7::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, Command(&TForm7::BitBtn2Click));
    connect(BitBtn3, &QPushButton::clicked, this, Command(&TForm7::BitBtn3Click));
    connect(BitBtn6, &QPushButton::clicked, this, Command(&TForm7::BitBtn6Click));
    connect(BitBtn4, &QPushButton::clicked, this, Command(&TForm7::BitBtn4Click));
    connect(BitBtn5, &QPushButton::clicked, this, Guarded([this] { reject(); }));
    connect(BitBtn7, &QPushButton::clicked, this, Command(&TForm7::BitBtn7Click));
    connect(SpeedButton1, &QToolButton::clicked, this, Command(&TForm7::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this, Command(&TForm7::SpeedButton2Click));
}

TForm7::~TForm7()
{
    if (Form7 == this) Form7 = nullptr;
}

bool TForm7::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // Another window taking the focus, or a pop-up menu, does not leave the edit.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            Run([this] { TabSheet1Exit(); });
    }
    return QDialog::eventFilter(watched, event);
}

void TForm7::Run(const std::function<void()>& command)
{
    if (!Busy) RunGuarded(command);
}

std::function<void()> TForm7::Command(void (TForm7::*handler)())
{
    return [this, handler] { Run([this, handler] { (this->*handler)(); }); };
}

void TForm7::ShowModal(std::unique_ptr<TForm7> form)
{
    if (ModalRunner)
        ModalRunner(std::move(form));
    else
        form->exec();
}

ModelSettings TForm7::Settings() const
{
    ModelSettings s;
    s.Nx = Nx->value();
    s.Dx = Std(Dx);
    s.NxS = NxS->value();
    s.NxScale = Std(NxScale);
    s.Ny = Ny->value();
    s.Dy = Std(Dy);
    s.NyS = NyS->value();
    s.NyScale = Std(NyScale);
    s.Nz = Nz->value();
    s.Dz = Std(Dz);
    s.NzS = NzS->value();
    s.NzScale = Std(NzScale);
    s.fZsEdit = Std(fZsEdit);
    s.MxRefEdit = Std(MxRefEdit);
    s.MyRefEdit = Std(MyRefEdit);
    s.MzRefEdit = Std(MzRefEdit);
    s.MRotEdit = Std(MRotEdit);
    s.ComboBox1 = ComboBox1->currentText().toStdString();
    s.ComboBox2 = ComboBox2->currentText().toStdString();
    s.ComboBox3 = ComboBox3->currentText().toStdString();
    s.CheckBox1 = CheckBox1->isChecked();
    s.Edit3 = Std(Edit3);
    s.Edit4 = Std(Edit4);
    s.Edit7 = Std(Edit7);
    return s;
}

void TForm7::SetSettings(const ModelSettings& s)
{
    Nx->setValue(s.Nx);
    Dx->setText(Text(s.Dx));
    NxS->setValue(s.NxS);
    NxScale->setText(Text(s.NxScale));
    Ny->setValue(s.Ny);
    Dy->setText(Text(s.Dy));
    NyS->setValue(s.NyS);
    NyScale->setText(Text(s.NyScale));
    Nz->setValue(s.Nz);
    Dz->setText(Text(s.Dz));
    NzS->setValue(s.NzS);
    NzScale->setText(Text(s.NzScale));
    fZsEdit->setText(Text(s.fZsEdit));
    MxRefEdit->setText(Text(s.MxRefEdit));
    MyRefEdit->setText(Text(s.MyRefEdit));
    MzRefEdit->setText(Text(s.MzRefEdit));
    MRotEdit->setText(Text(s.MRotEdit));
    ComboBox1->setCurrentText(Text(s.ComboBox1));
    ComboBox2->setCurrentText(Text(s.ComboBox2));
    ComboBox3->setCurrentText(Text(s.ComboBox3));
    CheckBox1->setChecked(s.CheckBox1);
    Edit3->setText(Text(s.Edit3));
    Edit4->setText(Text(s.Edit4));
    Edit7->setText(Text(s.Edit7));
}

void TForm7::PageChanged(int index)
{
    const int left = page_;
    page_ = index;
    if (left == 0) TabSheet1Exit();
    if (left == 1) TabSheet2Exit();
    QWidget* shown = PageControl1->widget(index);
    if (shown == TabSheet1) TabSheet1Show();
    if (shown == TabSheet2) TabSheet2Show();
    if (shown == TabSheet4) TabSheet4Show();
}

// ---- geometry ----

void TForm7::TabSheet1Show()
{
    NxEdit->setFocus();
}

void TForm7::TabSheet1Exit()
{
    geometryUnread_ = true;
    ModelSettings s = Settings();
    RebuildMeshesKeepingCentre(s, *this);
    MxRefEdit->setText(Text(s.MxRefEdit));
    MyRefEdit->setText(Text(s.MyRefEdit));
    geometryUnread_ = false;
}

void TForm7::NxChanging()
{
    int width;
    if (MeanRegularWidth(CellDx, NxS->value(), Nx->value(), width))
        Dx->setText(QString::number(width));
}

void TForm7::NyChanging()
{
    int width;
    if (MeanRegularWidth(CellDy, NyS->value(), Ny->value(), width))
        Dy->setText(QString::number(width));
}

void TForm7::NzChanging()
{
    LayerDz.clear();
    LayerRho.clear();
}

// ---- map ----

void TForm7::TabSheet4Show()
{
    BusyCursor busy;
    DrawModelOnMap();
    FitMapAxes();
}

void TForm7::DrawModelOnMap()
{
    MeshDrawing drawing = MeshOnMap(Settings(), *this);
    ReplaceSeriesPoints(Chart1->chart(), {{Series2, ChartPoints(drawing.Outline)},
                                          {Series3, ChartPoints(drawing.Nodes)}});
}

void TForm7::DrawBoundary()
{
    std::vector<MapPoint> points;
    for (size_t i = 0; i < std::min(BoundaryX.size(), BoundaryY.size()); ++i)
        points.push_back({BoundaryX[i], BoundaryY[i]});
    Series4->replace(ChartPoints(points));
}

void TForm7::FitMapAxes()
{
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    for (QXYSeries* s : {static_cast<QXYSeries*>(Series1), static_cast<QXYSeries*>(Series2),
                         static_cast<QXYSeries*>(Series4)})
        for (const QPointF& p : ShownPoints(s)) {
            x0 = std::min(x0, p.x());
            x1 = std::max(x1, p.x());
            y0 = std::min(y0, p.y());
            y1 = std::max(y1, p.y());
        }
    if (x0 > x1) return;
    double mx = std::max((x1 - x0) * 0.05, 1.0), my = std::max((y1 - y0) * 0.05, 1.0);
    Chart1Bottom->setRange(x0 - mx, x1 + mx);
    Chart1Left->setRange(y0 - my, y1 + my);
}

void TForm7::Chart1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPointF At)
{
    LastCursorX = At.x();
    LastCursorY = At.y();
    if (SpeedButton1->isChecked()) {
        BoundaryX.push_back(At.x());
        BoundaryY.push_back(At.y());
        DrawBoundary();
    }
}

void TForm7::Chart1MouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, QPointF At)
{
    if ((Shift & Qt::ControlModifier) || !(Buttons & Qt::LeftButton)) return;
    double x = StrToFloat(Std(MxRefEdit)) + (At.x() - LastCursorX);
    double y = StrToFloat(Std(MyRefEdit)) + (At.y() - LastCursorY);
    MxRefEdit->setText(Text(TruncatedText(x)));
    MyRefEdit->setText(Text(TruncatedText(y)));
    LastCursorX = At.x();
    LastCursorY = At.y();
    DrawModelOnMap();
}

void TForm7::SpeedButton1Click()
{
    if (!SpeedButton1->isChecked()) return;
    BoundaryX.clear();
    BoundaryY.clear();
    Series4->clear();
}

void TForm7::SpeedButton2Click()
{
    if (std::min(BoundaryX.size(), BoundaryY.size()) == 0) {
        ShowMessage(kNoBoundaryMessage);
        return;
    }
    // The boundary file takes the chosen name with ".bln"; the dialog asks about that file.
    const std::string saveExt = SaveDialog1.SaveExt;
    SaveDialog1.SaveExt = ".bln";
    struct Restore {
        FileDialog& dialog;
        std::string saveExt;
        ~Restore() { dialog.SaveExt = saveExt; }
    } restore{SaveDialog1, saveExt};
    if (!SaveDialog1.Execute()) return;
    SaveBoundaryBln(*this, SaveDialog1.FileName);
}

// ---- files ----

void TForm7::ReportUnwritten(const FileSetOutcome& outcome)
{
    if (outcome.Saved()) return;
    ShowMessage(FileSetMessage(outcome));
}

void TForm7::BitBtn4Click()
{
    const int left = page_;
    PageControl1->setCurrentWidget(TabSheet4);
    TabSheet4->setFocus();
    // A page whose texts could not be taken leaves the model behind what the dialog shows: the
    // command ends on that error. A page left earlier is read again, to show its error anew.
    if (geometryUnread_ || layersUnread_) {
        if (left != 0 && geometryUnread_) TabSheet1Exit();
        if (left != 1 && layersUnread_) TabSheet2Exit();
        if (geometryUnread_ || layersUnread_) return;
    }
    if (!SaveDialog1.Execute()) return;
    SaveDialog1.DefaultExt = ".m";
    if (LayerDz.empty()) FillLayerGrid();
    ModelSettings s = Settings();
    if (CellDx.empty()) BuildXMesh(s, *this);
    if (CellDy.empty()) BuildYMesh(s, *this);
    if (std::min(LayerDz.size(), LayerRho.size()) == 0) {
        ShowMessage(kNoLayerMessage);
        return;
    }
    if (!MeshWidthsUsable(*this)) {
        ShowMessage(kBadCellWidthMessage);
        return;
    }
    const std::string name = SaveDialog1.FileName;
    FileSetOutcome unwritten;
    {
        // Paints may run during the terrain search; no input reaches a command meanwhile.
        Busy = true;
        struct Release {
            bool& busy;
            ~Release() { busy = false; }
        } release{Busy};
        WithProgress(this, Text("创建模型"), [&] {
            ReportProgress(0, 0);
            unwritten = WriteModelFileSet(owner_->Transmitters, s, *this, name,
                                          ModelBuilderPendingMessages());
        });
    }
    ReportUnwritten(unwritten);
}

void TForm7::BitBtn7Click()
{
    OpenDialog1.Filter = kTerrainFilter;
    if (!OpenDialog1.Execute()) return;
    switch (LoadTerrainFile(OpenDialog1.FileName, *this)) {
    case TerrainLoad::NotOpened:
        break;
    case TerrainLoad::NoPoint:
        ShowMessage(kNoTerrainPointMessage);
        break;
    case TerrainLoad::Loaded:
        ShowMessage(kTerrainLoadedMessage);
        break;
    }
}

void TForm7::BitBtn2Click()
{
    if (std::min(LayerDz.size(), LayerRho.size()) == 0) {
        ShowMessage(kNoLayerToSaveMessage);
        return;
    }
    const std::string filter = SaveDialog1.Filter, saveExt = SaveDialog1.SaveExt;
    SaveDialog1.Filter = kBackgroundFilter;
    SaveDialog1.SaveExt = ".pri";
    struct Restore {
        FileDialog& dialog;
        std::string filter, saveExt;
        ~Restore()
        {
            dialog.Filter = filter;
            dialog.SaveExt = saveExt;
        }
    } restore{SaveDialog1, filter, saveExt};
    if (!SaveDialog1.Execute()) return;
    const std::string name = SaveDialog1.FileName;
    if (!WriteBackgroundModel(owner_->Transmitters, Settings(), *this, name)) {
        FileSetOutcome outcome;
        outcome.Unwritten = {ChangeFileExt(name, ".pri")};
        ReportUnwritten(outcome);
    }
}

void TForm7::BitBtn1Click()
{
    OpenDialog1.Filter = kBackgroundFilter;
    if (!OpenDialog1.Execute()) return;
    if (!ReadBackgroundModel(OpenDialog1.FileName, *this)) {
        ShowMessage(kNoBackgroundLayerMessage);
        return;
    }
    FillLayerGrid();
}

void TForm7::BitBtn3Click()
{
    FillLayerGrid();
}

void TForm7::BitBtn6Click()
{
    OpenDialog1.Filter.clear();
    struct Clear {
        FileDialog& dialog;
        ~Clear() { dialog.Filter.clear(); }
    } clear{OpenDialog1};
    if (!OpenDialog1.Execute()) return;
    Chart2->Picture = LoadReferencePicture(OpenDialog1.FileName);
    Chart2->viewport()->update();
}

// ---- layers ----

std::vector<LayerGridRow> TForm7::GridRows() const
{
    std::vector<LayerGridRow> rows;
    for (int r = 0; r < ResModel->rowCount(); ++r) {
        LayerGridRow row =
            static_cast<size_t>(r) < layerRows_.size() ? layerRows_[r] : LayerGridRow();
        auto cell = [this, r](int c) {
            QTableWidgetItem* item = ResModel->item(r, c);
            return item ? item->text().toStdString() : std::string();
        };
        row.Number = cell(0);
        row.Rho = cell(1);
        row.Dz = cell(2);
        rows.push_back(row);
    }
    return rows;
}

void TForm7::ShowGridRows(const std::vector<LayerGridRow>& rows)
{
    filling_ = true;
    layerRows_ = rows;
    ResModel->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const LayerGridRow& row = rows[r];
        const std::string* texts[] = {&row.Number, &row.Rho, &row.Dz};
        for (int c = 0; c < 3; ++c) {
            QTableWidgetItem* item = ResModel->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                if (c == 0) {  // the fixed column
                    item->setFlags(Qt::ItemIsEnabled);
                    item->setBackground(palette().button());
                }
                ResModel->setItem(r, c, item);
            }
            item->setText(Text(*texts[c]));
        }
    }
    filling_ = false;
}

void TForm7::FillLayerGrid()
{
    ShowGridRows(::FillLayerGrid(*this));
    DrawLayerProfile();
}

void TForm7::DrawLayerProfile()
{
    QList<QPointF> points;
    double deepest = 0;
    for (const LayerProfilePoint& p : LayerProfile(*this, NzS->value())) {
        points.append(QPointF(p.Rho, p.Depth));
        deepest = std::max(deepest, p.Depth);
    }
    Series5->replace(points);
    if (points.size() > 1) {
        Chart2Left->setRange(0, deepest * 1.05);
        Chart2Left->applyNiceNumbers();
    }
}

void TForm7::TabSheet2Show()
{
    FillLayerGrid();
}

void TForm7::TabSheet2Exit()
{
    layersUnread_ = true;
    ReadLayerGrid(GridRows(), *this);
    layersUnread_ = false;
}

void TForm7::CellEdited(int row, int column)
{
    QTableWidgetItem* item = ResModel->item(row, column);
    if (!item) return;
    SetLayerFromCell(*this, row + 1, column, item->text().toStdString());
    DrawLayerProfile();
}

void TForm7::ResModelKeyUp()
{
    if (ResModel->currentRow() < 0) return;
    CellEdited(ResModel->currentRow(), ResModel->currentColumn());
}

void TForm7::ResModelClick(int Row)
{
    StaticText22->setText(Text(LayerBottomText(*this, Row)));
}

void TForm7::ResModelMouseWheelDown(Qt::KeyboardModifiers Shift)
{
    if (!(Shift & Qt::ControlModifier)) return;
    std::vector<LayerGridRow> rows = GridRows();
    if (ContinueColumn(rows, ResModel->currentRow() + 1, ResModel->currentColumn()))
        ShowGridRows(rows);
}

void TForm7::N1Click()
{
    std::vector<LayerGridRow> rows = GridRows();
    InsertLayerRow(rows, ResModel->currentRow() + 1);
    ShowGridRows(rows);
}

void TForm7::N2Click()
{
    std::vector<LayerGridRow> rows = GridRows();
    DeleteLayerRow(rows, ResModel->currentRow() + 1);
    ShowGridRows(rows);
}

void TForm7::Chart2MouseDown(Qt::KeyboardModifiers Shift, QPointF At)
{
    if (Shift & Qt::ControlModifier) {
        AddLayerPick(*this, At.y(), At.x());
        if (PickDepth.size() < 2) return;  // a first pick does nothing more, Shift or not
        FillLayerGrid();
    }
    if (Shift & Qt::ShiftModifier) {
        SetLayerAtDepth(*this, At.y(), At.x());
        FillLayerGrid();
    }
}

void TForm7::ResModelMouseUp(Qt::KeyboardModifiers Shift)
{
    if (Shift & Qt::ControlModifier) return;
    ClearLayerPicks(*this);
    Series6->clear();
}
