#include "processing/forms/SEC.h"

#include <QCategoryAxis>
#include <QCheckBox>
#include <QGraphicsLayout>
#include <QGraphicsRectItem>
#include <QLegend>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>
#include <initializer_list>

#include "app/CommandGuard.h"
#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "chart/forms/MarkLayer.h"
#include "chart/forms/PatternAxis.h"
#include "chart/forms/ReadableChart.h"
#include "app/Pictures.h"
#include "base/Exception.h"
#include "chart/forms/ChartParts.h"

TForm4* Form4 = nullptr;

namespace {

constexpr double kGrabPixels = 5.0;     // how near the mouse must come to a point to grab it
constexpr int kLegendGap = 10;          // pixels between the legend's band and the plot
constexpr int kPanelHeight = 49;        // the panel with the hint text
constexpr int kCompactPanelMargin = 3;  // above and below the button, when the hint text is gone
constexpr const char* kStaticShiftFile = "SEC.txt";

QList<double> Values(std::initializer_list<const QList<QPointF>*> lists, bool x)
{
    QList<double> values;
    for (const QList<QPointF>* points : lists)
        for (const QPointF& p : *points) values.append(x ? p.x() : p.y());
    return values;
}

}  // namespace

StaticShiftChartView::StaticShiftChartView(QChart* chart, TForm4* form)
    : QChartView(chart), form_(form)
{
    setRenderHint(QPainter::Antialiasing);
}

void StaticShiftChartView::mousePressEvent(QMouseEvent* event)
{
    RunGuarded([&] {
        form_->Chart1MouseDown(this, event->button(), event->modifiers(), event->position());
    });
    QChartView::mousePressEvent(event);
}

void StaticShiftChartView::mouseMoveEvent(QMouseEvent* event)
{
    RunGuarded([&] { form_->Chart1MouseMove(this, event->modifiers(), event->position()); });
    QChartView::mouseMoveEvent(event);
}

void StaticShiftChartView::mouseReleaseEvent(QMouseEvent* event)
{
    RunGuarded([&] {
        form_->Chart1MouseUp(this, event->button(), event->modifiers(), event->position());
    });
    QChartView::mouseReleaseEvent(event);
}

TForm4::TForm4(TForm1* Owner) : owner_(Owner)
{
    setObjectName("Form4");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Text("静位移校正设置"));

    QChart* chart1 = WhiteChart(QMargins(4, 2, 4, 2));
    chart1->legend()->setAlignment(Qt::AlignTop);
    // The silver band stands behind the legend but stops short of the plot, so that the top
    // axis label and the points at the top of the plot keep clear of it.
    QLegend* legend = chart1->legend();
    qreal left = 0, top = 0, right = 0, bottom = 0;
    legend->getContentsMargins(&left, &top, &right, &bottom);
    legend->setContentsMargins(left, top, right, bottom + kLegendGap);
    legendMargins_ = QMarginsF(left, top, right, bottom);
    LegendBand = new QGraphicsRectItem(chart1);
    LegendBand->setBrush(QColor(192, 192, 192));
    LegendBand->setPen(Qt::NoPen);
    LegendBand->setZValue(legend->zValue() - 1);
    connect(legend, &QGraphicsWidget::geometryChanged, this, [this, legend] {
        LegendBand->setRect(legend->geometry().adjusted(0, 0, 0, -kLegendGap));
        LegendBand->setVisible(legend->isVisible() && !compact_);
    });
    Series1 = MarkedLine("MT", Qt::red, Mark::Square, 5);
    Series2 = Scatter("MT-RAW", QScatterSeries::MarkerShapeCircle, 5, QColor(0, 128, 0),
                      QColor(0, 80, 0));
    Series4 = new QScatterSeries;
    Series4->setName("REF");
    Series4->setMarkerSize(5);
    Series4->setBrush(QBrush(Qt::black));
    Series4->setLightMarker(MarkImage(Mark::Star, Qt::black, 5));
    chart1->addSeries(Series1);
    chart1->addSeries(Series2);
    chart1->addSeries(Series4);
    BottomAxis1 = PatternAxis("######");
    LeftAxis1 = PatternAxis("######");
    AttachAxes(chart1, BottomAxis1, LeftAxis1);
    AddMarkLayer(Series2);
    AddMarkLayer(Series4);
    Chart1 = new StaticShiftChartView(chart1, this);
    Chart1->setObjectName("Chart1");
    readable1_ = KeepChartReadable(Chart1);
    Chart1->setContextMenuPolicy(Qt::CustomContextMenu);

    SEC_CHECKBOX = new QCheckBox(Text("获得静位移曲线"), Chart1);
    SEC_CHECKBOX->setObjectName("SEC_CHECKBOX");
    SEC_CHECKBOX->setChecked(true);
    SEC_CHECKBOX->move(6, 4);

    QChart* chart2 = WhiteChart(QMargins(4, 2, 4, 2));
    chart2->legend()->hide();
    Series3 = new QLineSeries;
    Series3->setName("SEC");
    Series3->setPen(QPen(Qt::red, 1));
    chart2->addSeries(Series3);
    BottomAxis2 = PatternAxis("######");  // the stations of the chart above
    LeftAxis2 = PatternAxis("0.00", 2);   // more labels would not fit the low chart
    AttachAxes(chart2, BottomAxis2, LeftAxis2);
    Chart2 = new QChartView(chart2);
    Chart2->setObjectName("Chart2");
    Chart2->setRenderHint(QPainter::Antialiasing);
    readable2_ = KeepChartReadable(Chart2, QSize(kReadablePlotWidth, kReadableStripHeight));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    N1 = PopupMenu1->addAction(Text("复制静态效应对比曲线"));
    N1->setObjectName("N1");
    N2 = PopupMenu1->addAction(Text("输出静态效应曲线"));
    N2->setObjectName("N2");
    N2->setVisible(false);
    connect(N1, &QAction::triggered, this, Guarded([this] { N1Click(N1); }));
    connect(Chart1, &QWidget::customContextMenuRequested, this, Guarded([this](const QPoint& at) {
                SetDragPoint(-1);  // the menu swallows the release that would end a drag
                PopupMenu1->popup(Chart1->mapToGlobal(at));
            }));

    Panel1 = new QWidget;
    Panel1->setObjectName("Panel1");
    auto* row = new QHBoxLayout(Panel1);
    panelRow_ = row;
    panelMargins_ = row->contentsMargins();
    StaticText1 =
        new QLabel(Text("用鼠标连续在REF曲线的适当位置上选择合适的点作为静态效应校正参考点"));
    StaticText1->setObjectName("StaticText1");
    StaticText1->setWordWrap(true);  // a narrow window keeps the button in view
    SpeedButton1 = new QToolButton;
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setText(Text("校正静位移"));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setMinimumWidth(90);
    Label1 = new QLabel;
    Label1->setObjectName("Label1");
    row->addWidget(StaticText1);
    row->addStretch(1);
    row->addWidget(SpeedButton1);
    row->addWidget(Label1);
    connect(SpeedButton1, &QToolButton::clicked, this,
            Guarded([this] { SpeedButton1Click(SpeedButton1); }));

    auto* client = new QWidget;
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    // The charts share the height the panel leaves in the proportions they open with.
    column->addWidget(Chart1, 233);
    column->addWidget(Chart2, 96);
    column->addWidget(Panel1);
    Panel1->setFixedHeight(kPanelHeight);
    setWidget(client);
    client_ = client;
    client->installEventFilter(this);
    readable1_->SetSpare([this] { return QSize(0, compact_ ? 0 : kLegendGap); });
    for (ReadableChart* readable : {readable1_, readable2_})
        connect(readable, &ReadableChart::MinimumChanged, this, &TForm4::FitToSize,
                Qt::QueuedConnection);

    // A tool window: caption and close box only.
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    Owner->MdiArea->addSubWindow(this);
    // Opens with a client of 791 x 378; the contents follow the window's size from then on.
    adjustSize();
    resize(size() - client->size() + QSize(791, 378));
    const QRect area = Owner->MdiArea->viewport()->rect();
    move(std::max(0, area.center().x() - width() / 2),
         std::max(0, area.center().y() - height() / 2));
    show();
}

TForm4::~TForm4()
{
    if (Form4 == this) Form4 = nullptr;
}

int TForm4::CompactPanelHeight() const
{
    return SpeedButton1->sizeHint().height() + 2 * kCompactPanelMargin;
}

QSize TForm4::minimumSizeHint() const
{
    const QSize hint = QMdiSubWindow::minimumSizeHint();
    if (compact_ || isMinimized() || !widget()) return hint;
    return hint - QSize(0, kPanelHeight - CompactPanelHeight());
}

bool TForm4::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize) FitToSize();
    return QMdiSubWindow::eventFilter(watched, event);
}

void TForm4::FitToSize()
{
    // The charts' minimums leave out the band's gap, which they give up first.
    const int charts = readable1_->Minimum().height() + readable2_->Minimum().height();
    SetCompact(client_->height() < charts + kLegendGap + kPanelHeight);
    // A hint text that would not show whole beside the button gives up its room as well.
    const QMargins& m = panelMargins_;
    const int room = client_->width() - m.left() - m.right() - 3 * panelRow_->spacing() -
                     SpeedButton1->sizeHint().width() - Label1->sizeHint().width();
    StaticText1->setVisible(!compact_ && room > 0 &&
                            StaticText1->heightForWidth(room) <=
                                kPanelHeight - m.top() - m.bottom());
}

void TForm4::SetCompact(bool compact)
{
    if (compact == compact_) return;
    // The gap counts as spare room of the chart from before it comes until it has gone.
    if (!compact) compact_ = false;
    QLegend* legend = Chart1->chart()->legend();
    const QMarginsF& m = legendMargins_;
    legend->setContentsMargins(m.left(), m.top(), m.right(),
                               m.bottom() + (compact ? 0 : kLegendGap));
    compact_ = compact;
    LegendBand->setVisible(legend->isVisible() && !compact);
    int left = 0, top = 0, right = 0, bottom = 0;
    panelRow_->getContentsMargins(&left, &top, &right, &bottom);
    if (compact) {
        panelRow_->setContentsMargins(left, kCompactPanelMargin, right, kCompactPanelMargin);
        Panel1->setFixedHeight(CompactPanelHeight());
    } else {
        panelRow_->setContentsMargins(left, panelMargins_.top(), right, panelMargins_.bottom());
        Panel1->setFixedHeight(kPanelHeight);
    }
    updateGeometry();
}

void TForm4::PlacePoints(const std::vector<StaticShiftValue>& values)
{
    Points.clear();
    try {
        PlaceStaticShiftPoints(*owner_, values, Points);
    } catch (...) {
        FillSeries();
        throw;
    }
    FillSeries();
}

void TForm4::FillSeries()
{
    QList<QPointF> mt, raw, ref, sec;
    for (const StaticShiftPoint& p : Points) {
        mt.push_back(QPointF(p.X, p.MT));
        raw.push_back(QPointF(p.X, p.MTRaw));
        ref.push_back(QPointF(p.X, p.REF));
        sec.push_back(QPointF(p.X, p.SEC));
    }
    // The axes are fitted while the lines are empty: every range change lays a line's whole
    // path out again.
    ReplaceSeriesPoints(Chart1->chart(), {{Series1, {}}, {Series2, raw}, {Series4, ref}});
    ReplaceSeriesPoints(Chart2->chart(), {{Series3, {}}});
    FitValueAxis(BottomAxis1, Values({&mt, &raw, &ref}, true), FlatMargin::AtLeastOne);
    FitValueAxis(LeftAxis1, Values({&mt, &raw, &ref}, false), FlatMargin::AtLeastOne);
    FitValueAxis(LeftAxis2, Values({&sec}, false), FlatMargin::AtLeastOne);
    BottomAxis2->setRange(BottomAxis1->min(), BottomAxis1->max());  // stations one above the other
    // The new axis labels resize the plots: laid out now, before the lines hold their points.
    for (QChartView* view : {static_cast<QChartView*>(Chart1), Chart2})
        if (view->chart()->layout()) view->chart()->layout()->activate();
    ReplaceSeriesPoints(Chart1->chart(), {{Series1, mt}});
    ReplaceSeriesPoints(Chart2->chart(), {{Series3, sec}});
}

QPointF TForm4::ChartPixel(QPointF value) const
{
    QChart* chart = Chart1->chart();
    return Chart1->mapFromScene(chart->mapToScene(chart->mapToPosition(value, Series1)));
}

void TForm4::Chart1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, QPointF Position)
{
    if (!SEC_CHECKBOX->isChecked()) return;
    int grabbed = -1;
    double nearest = kGrabPixels;
    for (int i = 0; i < Series1->count(); ++i) {
        const QPointF d = ChartPixel(Series1->at(i)) - Position;
        const double distance = std::hypot(d.x(), d.y());
        if (distance <= nearest) {
            nearest = distance;
            grabbed = i;
        }
    }
    SetDragPoint(grabbed);
}

void TForm4::SetDragPoint(int point)
{
    // Every change of the "MT" line would paint the whole plot again, with all its marks.
    if ((DragPoint < 0) != (point < 0))
        Chart1->setViewportUpdateMode(point < 0 ? QGraphicsView::MinimalViewportUpdate
                                                : QGraphicsView::NoViewportUpdate);
    DragPoint = point;
}

// The dragged point's mark and the segments on both sides of it, in Chart1's pixels.
QRectF TForm4::DragSpan() const
{
    const QPointF at = ChartPixel(Series1->at(DragPoint));
    QPointF low = at, high = at;
    for (int i : {DragPoint - 1, DragPoint + 1}) {
        if (i < 0 || i >= Series1->count()) continue;
        const QPointF p = ChartPixel(Series1->at(i));
        low = QPointF(std::min(low.x(), p.x()), std::min(low.y(), p.y()));
        high = QPointF(std::max(high.x(), p.x()), std::max(high.y(), p.y()));
    }
    return QRectF(low, high);
}

void TForm4::Chart1MouseMove(QObject*, Qt::KeyboardModifiers, QPointF Position)
{
    if (DragPoint < 0 || DragPoint >= static_cast<int>(Points.size())) return;
    QChart* chart = Chart1->chart();
    const QPointF value =
        chart->mapToValue(chart->mapFromScene(Chart1->mapToScene(Position.toPoint())), Series1);
    StaticShiftPoint& p = Points[static_cast<size_t>(DragPoint)];
    DragStaticShiftPoint(p, value.y());
    const QRectF before = DragSpan();
    Series1->replace(DragPoint, p.X, p.MT);
    // Around the marks and line of both places: half a mark and a pen from the points, one
    // pixel of smoothed edges and one of rounding. The other series' marks that reach into it
    // are painted again with it.
    const int reach =
        static_cast<int>(std::ceil(Series1->markerSize() / 2 + Series1->pen().widthF())) + 2;
    const QRectF after = DragSpan();
    const QRectF span(
        QPointF(std::min(before.left(), after.left()), std::min(before.top(), after.top())),
        QPointF(std::max(before.right(), after.right()),
                std::max(before.bottom(), after.bottom())));
    DragRepaint = span.toAlignedRect().adjusted(-reach, -reach, reach, reach);
    Chart1->viewport()->update(DragRepaint);
    Series3->replace(DragPoint, p.X, p.SEC);
    // The stations' axis stays that of the chart above.
    FitValueAxis(LeftAxis2, SeriesValues({Series3}, false), FlatMargin::AtLeastOne);
}

void TForm4::Chart1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, QPointF)
{
    // The axes stay put while dragging, so that the point follows the mouse; now they take in
    // the moved point.
    const bool dragged = DragPoint != -1;
    SetDragPoint(-1);
    if (dragged) FillSeries();
}

void TForm4::SpeedButton1Click(QObject*)
{
    if (owner_->LoadRunning) return;
    ApplyStaticShiftFactors(*owner_, Points);
    if (!WriteStaticShiftFile(kStaticShiftFile, owner_->StaticFactors, Points))
        ShowMessage(EFCreateError(kStaticShiftFile).what());
}

void TForm4::N1Click(QObject*)
{
    CopyChartToClipboard(Chart1);
}

void OpenStaticShiftWindow(TForm1* Form)
{
    if (Form->ExStations.empty() || Form->HyStations.empty()) return;
    const QList<QMdiSubWindow*> windows = Form->MdiArea->subWindowList();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!qobject_cast<TForm4*>(*it)) continue;
        if ((*it)->isMinimized()) (*it)->showNormal();
        (*it)->raise();
        Form->MdiArea->setActiveSubWindow(*it);
        (*it)->setFocus();
        return;
    }
    const std::vector<StaticShiftValue> values = ComputeStaticShiftValues(*Form);
    Form4 = new TForm4(Form);
    Form4->PlacePoints(values);
}
