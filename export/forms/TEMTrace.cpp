#include "export/forms/TEMTrace.h"

#include <QApplication>
#include <QChartView>
#include <QCategoryAxis>
#include <QClipboard>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QLogValueAxis>
#include <QMdiArea>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "app/CommandGuard.h"
#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "base/Progress.h"
#include "chart/forms/ChartParts.h"
#include "chart/forms/ColumnLegend.h"
#include "chart/forms/PatternAxis.h"
#include "chart/forms/ReadableChart.h"
#include "chart/forms/PointLabels.h"

const char* const kProfileChartCaption = "Voltage profiles of Loop TEM";

namespace {

const char* const kBottomRangeInputPrompt = "输入水平轴最小与最大值，数据用','隔开.";
const char* const kNoDefaultPrinter = "There is no default printer currently selected";
const char* const kPrintingFailed = "Printing failed";

QColor TraceColour(std::uint32_t colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

void SetAxisRange(QAbstractAxis* axis, AxisRange range)
{
    if (auto* linear = qobject_cast<QValueAxis*>(axis)) linear->setRange(range.Min, range.Max);
    if (auto* logarithmic = qobject_cast<QLogValueAxis*>(axis))
        logarithmic->setRange(range.Min, range.Max);
}

AxisRange AxisRangeOf(const QAbstractAxis* axis)
{
    if (auto* linear = qobject_cast<const QValueAxis*>(axis)) return {linear->min(), linear->max()};
    if (auto* logarithmic = qobject_cast<const QLogValueAxis*>(axis))
        return {logarithmic->min(), logarithmic->max()};
    return {};
}

}  // namespace

TTEMTraceForm::TTEMTraceForm(TForm1* Owner, std::vector<Profile> profiles,
                             std::vector<std::string> names)
    : BottomAxis(nullptr), LeftAxis(nullptr)
{
    setObjectName("TEMTraceForm");
    setWindowTitle(kProfileChartCaption);
    setAttribute(Qt::WA_DeleteOnClose);

    QLinearGradient background(0, 0, 0, 1);
    background.setCoordinateMode(QGradient::ObjectBoundingMode);
    background.setColorAt(0, QColor(210, 225, 245));
    background.setColorAt(1, Qt::white);
    QChart* chart = PlainChart(QBrush(background), std::nullopt);
    QFont titleFont = chart->titleFont();
    titleFont.setPixelSize(16);
    chart->setTitleFont(titleFont);
    chart->setTitle("TChart");
    titleLines_ = {"TChart"};
    Legend = new ColumnLegend(chart);

    Chart = new QChartView(chart);
    Chart->setObjectName("Chart");
    // A chart of many stations holds thousands of names: kept in the scene's index, every
    // resize of the chart would take each of them out of the index and put it back, one search
    // of the index each.
    Chart->scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    Chart->setRenderHint(QPainter::Antialiasing);
    Chart->setContextMenuPolicy(Qt::CustomContextMenu);
    // The legend takes room as it is laid out for the chart's height, or none where it stands
    // back.
    const int rightMargin = chart->margins().right();
    KeepChartReadable(Chart)->SetPassing(
        [chart, rightMargin] { return QSize(chart->margins().right() - rightMargin, 0); });
    ReplaceAxis(true, bottomLogarithmic_);
    ReplaceAxis(false, leftLogarithmic_);

    Panel2 = new QWidget;
    Panel2->setObjectName("Panel2");
    Panel2->setFixedWidth(102);
    Panel2->setMinimumHeight(200);
    StaticText1 = new QLabel(QString::fromUtf8("可见时间道"));
    StaticText1->setAlignment(Qt::AlignCenter);
    CheckListBox = new QListWidget;
    CheckListBox->setObjectName("CheckListBox");
    BitBtn5 = new QPushButton(QString::fromUtf8("全选"));
    BitBtn1 = new QPushButton(QString::fromUtf8("打印"));
    BitBtn2 = new QPushButton(QString::fromUtf8("复制"));
    auto* side = new QVBoxLayout(Panel2);
    side->setContentsMargins(4, 4, 4, 4);
    side->addWidget(StaticText1);
    side->addWidget(CheckListBox, 1);
    for (QPushButton* button : {BitBtn5, BitBtn1, BitBtn2}) side->addWidget(button);

    auto* client = new QWidget;
    auto* row = new QHBoxLayout(client);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(Chart, 1);
    row->addWidget(Panel2);
    setWidget(client);

    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addMenu("Curve &Properties");
    x1 = N1->addAction("&X is linear");
    x2 = N1->addAction("&Y is linear");
    R1 = N1->addMenu("Change &range");
    X3 = R1->addAction("x-direction");
    V1 = R1->addAction("y-direction");
    T1 = N1->addAction("Change &Title");
    L1 = N1->addAction("&Hide legends");
    PopupMenu1->addSeparator();
    N3 = PopupMenu1->addAction("Smooth &horizontally");

    connect(x1, &QAction::triggered, this, Guarded([this] { x1Click(x1); }));
    connect(x2, &QAction::triggered, this, Guarded([this] { x2Click(x2); }));
    connect(X3, &QAction::triggered, this, Guarded([this] { X3Click(X3); }));
    connect(V1, &QAction::triggered, this, Guarded([this] { R1Click(V1); }));
    connect(T1, &QAction::triggered, this, Guarded([this] { T1Click(T1); }));
    connect(L1, &QAction::triggered, this, Guarded([this] { L1Click(L1); }));
    connect(N3, &QAction::triggered, this, Guarded([this] { N3Click(N3); }));
    connect(BitBtn5, &QPushButton::clicked, this, Guarded([this] { BitBtn5Click(BitBtn5); }));
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(BitBtn1); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(BitBtn2); }));
    connect(CheckListBox, &QListWidget::itemChanged, this,
            Guarded([this](QListWidgetItem* item) { CheckListBoxClickCheck(item); }));
    connect(Chart, &QWidget::customContextMenuRequested, this,
            Guarded([this](const QPoint& at) { PopupMenu1->popup(Chart->mapToGlobal(at)); }));
    connect(chart, &QChart::plotAreaChanged, this, [this] { PlaceLabels(); });
    // Qt lays the chart out only where it holds its margins, the legend's among them: a chart
    // made narrower than that keeps its last layout until the legend, laid out for the new
    // size, stands back.
    connect(
        chart, &QGraphicsWidget::geometryChanged, this, [this] { Legend->Layout(); },
        Qt::QueuedConnection);
    ShowMarkLabelTips(Chart, [this](const QXYSeries* series, int index) {
        // The series holds the displayable points of its profile, in their order.
        const auto trace = std::find(TraceSeries.begin(), TraceSeries.end(), series);
        if (trace == TraceSeries.end()) return QString();
        const Profile& profile = Profiles[static_cast<size_t>(trace - TraceSeries.begin())];
        int k = -1;
        for (size_t j = 0; j < std::min(profile.X.size(), profile.Y.size()); ++j) {
            if (Displayable(profile.X[j], profile.Y[j]) && ++k == index)
                return DisplayText(ProfilePointLabel(profile, j));
        }
        return QString();
    });

    Profiles = std::move(profiles);
    TraceNames = std::move(names);

    resize(871, 541);
    if (Owner) {
        Owner->MdiArea->addSubWindow(this);
        const QSize area = Owner->MdiArea->viewport()->size();
        move(std::max(0, (area.width() - width()) / 2),
             std::max(0, (area.height() - height()) / 2));
    }
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);

    FormCreate();
}

void TTEMTraceForm::FormCreate()
{
    TraceColours = AssignTraceColours(Profiles.size());
    QChart* chart = Chart->chart();
    // The curves join the chart without a look at the window system between them: once the
    // window system has had its turn, Qt lays out every curve as it joins, which takes longer
    // than the whole window without.
    for (size_t i = 0; i < Profiles.size(); ++i) {
        auto* series = new QLineSeries;
        // A curve of one point still shows its mark.
        series->setPointsVisible(true);
        TraceSeries.push_back(series);
        FillSeries(i);
        chart->addSeries(series);
        series->attachAxis(BottomAxis);
        series->attachAxis(LeftAxis);
        series->setColor(TraceColour(TraceColours[i]));
    }
    UpdateLegend();

    const QSignalBlocker quiet(CheckListBox);
    CheckListBox->clear();
    for (QLineSeries* series : TraceSeries) {
        auto* item = new QListWidgetItem(series->name(), CheckListBox);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }

    leftRange_ = ProfileAmplitudeRange(Profiles);
    Redraw();
    RebuildLabels();
    ReportProgress(1, 1);
}

void TTEMTraceForm::FillSeries()
{
    for (size_t i = 0; i < Profiles.size() && i < TraceSeries.size(); ++i) FillSeries(i);
}

void TTEMTraceForm::FillSeries(size_t i)
{
    const Profile& profile = Profiles[i];
    QList<QPointF> points;
    const size_t n = std::min(profile.X.size(), profile.Y.size());
    points.reserve(static_cast<qsizetype>(n));
    for (size_t j = 0; j < n; ++j) {
        if (Displayable(profile.X[j], profile.Y[j]))
            points.push_back(QPointF(profile.X[j], profile.Y[j]));
    }
    TraceSeries[i]->replace(points);
    TraceSeries[i]->setName(QString::fromStdString(ProfileSeriesTitle(profile.Value)));
}

void TTEMTraceForm::UpdateLegend()
{
    std::vector<ColumnLegend::Entry> entries;
    for (size_t i = 0; i < TraceSeries.size(); ++i)
        entries.push_back({TraceSeries[i]->name(), TraceSeries[i]->color()});
    Legend->SetEntries(std::move(entries));
}

bool TTEMTraceForm::LegendVisible() const
{
    return Legend->Shown();
}

void TTEMTraceForm::SetLegendVisible(bool visible)
{
    Legend->SetShown(visible);
}

void TTEMTraceForm::ShowFirst()
{
    // Qt lays the chart out while it shows it and paints it whole: neither can be cut in steps,
    // so each is one step of the progress, and a cancel pressed during either is seen after it.
    // The chart is painted once, when it has its size and the legend its room.
    ReportProgress(0, 3);
    Chart->setUpdatesEnabled(false);
    show();
    raise();
    ReportProgress(1, 3);
    Legend->Layout();
    if (QGraphicsLayout* layout = Chart->chart()->layout()) layout->activate();
    ReportProgress(2, 3);
    Chart->setUpdatesEnabled(true);
    Chart->viewport()->repaint();
    ReportProgress(3, 3);
}

void TTEMTraceForm::ReplaceAxis(bool bottom, bool logarithmic)
{
    QChart* chart = Chart->chart();
    // Either scale writes its labels in the axis's own number pattern.
    const std::string pattern = bottom ? "#,##0." : "#.#E-0";
    const Qt::Alignment side = bottom ? Qt::AlignBottom : Qt::AlignLeft;
    QAbstractAxis* axis = nullptr;
    if (logarithmic) {
        auto* log = new QLogValueAxis;
        log->setBase(10);
        log->setMinorTickCount(-1);
        axis = log;
    } else {
        axis = PatternAxis(pattern);
    }
    axis->setTitleText(bottom ? "Locations" : "V/v");
    QAbstractAxis*& slot = bottom ? BottomAxis : LeftAxis;
    QAbstractAxis*& decades = bottom ? bottomDecades_ : leftDecades_;
    if (decades) {
        chart->removeAxis(decades);
        delete decades;
        decades = nullptr;
    }
    if (slot) {
        chart->removeAxis(slot);
        delete slot;
    }
    AttachAxis(chart, axis, side);
    slot = axis;
    if (logarithmic)
        decades = PatternDecadeLabels(chart, static_cast<QLogValueAxis*>(axis), side, pattern);
    if (bottom) {
        QAbstractAxis* labelled = decades ? decades : axis;
        QFont font = labelled->labelsFont();
        font.setFamilies({QString::fromUtf8("幼圆"), "YouYuan"});
        labelled->setLabelsFont(font);
    }
}

bool TTEMTraceForm::Displayable(double x, double y) const
{
    return (!bottomLogarithmic_ || x > 0) && (!leftLogarithmic_ || y > 0);
}

void TTEMTraceForm::SwitchScale(bool bottom)
{
    // Emptied first, so that no axis meets a point it cannot show.
    for (QLineSeries* series : TraceSeries) series->clear();
    ReplaceAxis(bottom, bottom ? bottomLogarithmic_ : leftLogarithmic_);
    FillSeries();
}

void TTEMTraceForm::Redraw()
{
    const AxisRange bottom = bottomFixed_ ? UsableAxisRange(bottomRange_, bottomLogarithmic_)
                                          : ProfileDistanceRange(Profiles, bottomLogarithmic_);
    SetAxisRange(BottomAxis, bottom);
    SetAxisRange(LeftAxis, UsableAxisRange(leftRange_, leftLogarithmic_));
    PlaceLabels();
}

AxisRange TTEMTraceForm::BottomRange() const
{
    return AxisRangeOf(BottomAxis);
}

AxisRange TTEMTraceForm::LeftRange() const
{
    return AxisRangeOf(LeftAxis);
}

// One label per station, in the order the stations first come in the curves.
void TTEMTraceForm::RebuildLabels()
{
    for (QGraphicsSimpleTextItem* item : labelItems_) delete item;
    labelItems_.clear();
    labelPoints_.clear();
    std::map<std::string, size_t> station;
    for (size_t i = 0; i < Profiles.size(); ++i) {
        for (size_t j = 0; j < Profiles[i].X.size(); ++j) {
            const std::string label = ProfilePointLabel(Profiles[i], j);
            if (label.empty()) continue;
            const auto [found, added] = station.emplace(label, labelItems_.size());
            if (added) {
                auto* item = new QGraphicsSimpleTextItem(DisplayText(label), Chart->chart());
                item->setZValue(100);
                item->setBrush(Qt::black);
                labelItems_.push_back(item);
                labelPoints_.emplace_back();
            }
            labelPoints_[found->second].push_back({i, j});
        }
    }
    PlaceLabels();
}

// Each station's name stands above the highest of its points on the curves shown.
void TTEMTraceForm::PlaceLabels()
{
    QChart* chart = Chart->chart();
    std::vector<std::optional<QPointF>> points(labelItems_.size());
    for (size_t k = 0; k < labelItems_.size(); ++k) {
        for (const auto& [i, j] : labelPoints_[k]) {
            QLineSeries* series = i < TraceSeries.size() ? TraceSeries[i] : nullptr;
            const Profile& profile = Profiles[i];
            if (!series || !series->isVisible() || j >= profile.X.size() || j >= profile.Y.size() ||
                !Displayable(profile.X[j], profile.Y[j]))
                continue;
            const QPointF at = chart->mapToPosition(QPointF(profile.X[j], profile.Y[j]), series);
            if (!chart->plotArea().adjusted(-1, -1, 1, 1).contains(at)) continue;
            if (!points[k] || at.y() < points[k]->y()) points[k] = at;
        }
    }
    PlacePointLabels(labelItems_, points, chart->plotArea(), 4);
}

void TTEMTraceForm::SetTitleLines(const QStringList& lines)
{
    titleLines_ = lines;
    QStringList escaped;
    for (const QString& line : lines) escaped.push_back(line.toHtmlEscaped());
    Chart->chart()->setTitle(escaped.join("<br>"));
}

void TTEMTraceForm::x1Click(QObject*)
{
    const ScaleToggle toggle = ToggleScale(x1->text().toStdString(), 'x');
    x1->setText(QString::fromStdString(toggle.Caption));
    if (toggle.Logarithmic != bottomLogarithmic_) {
        bottomLogarithmic_ = toggle.Logarithmic;
        SwitchScale(true);
    }
    Redraw();
}

void TTEMTraceForm::x2Click(QObject*)
{
    const ScaleToggle toggle = ToggleScale(x2->text().toStdString(), 'y');
    x2->setText(QString::fromStdString(toggle.Caption));
    if (toggle.Logarithmic != leftLogarithmic_) {
        leftLogarithmic_ = toggle.Logarithmic;
        SwitchScale(false);
    }
    Redraw();
}

void TTEMTraceForm::X3Click(QObject*)
{
    const std::string text =
        InputBox(kProfileInputCaption, kBottomRangeInputPrompt, kBottomRangeInputDefault);
    bottomRange_ = ParseAxisRangeText(text, bottomLogarithmic_);
    bottomFixed_ = true;
    Redraw();
}

void TTEMTraceForm::R1Click(QObject*)
{
    const std::string text =
        InputBox(kProfileInputCaption, kLeftRangeInputPrompt, kLeftRangeInputDefault);
    leftRange_ = ParseAxisRangeText(text, bottomLogarithmic_);
    Redraw();
}

void TTEMTraceForm::T1Click(QObject*)
{
    const std::string first = titleLines_.value(0).toStdString();
    const std::string reply = InputBox(kProfileInputCaption, kTitleInputPrompt, first);
    QStringList lines = titleLines_;
    if (lines.isEmpty()) lines.push_back(QString());
    lines[0] = QString::fromStdString(reply);
    SetTitleLines(lines);
}

void TTEMTraceForm::L1Click(QObject*)
{
    const LegendToggle toggle = ToggleLegend(L1->text().toStdString(), LegendVisible());
    L1->setText(QString::fromStdString(toggle.Caption));
    SetLegendVisible(toggle.Visible);
}

void TTEMTraceForm::N3Click(QObject*)
{
    SmoothProfilesHorizontally(Profiles);
    // The smoothed points are no station's values any more.
    for (Profile& profile : Profiles) profile.Labels.clear();
    FillSeries();
    RebuildLabels();
}

void TTEMTraceForm::BitBtn5Click(QObject*)
{
    {
        const QSignalBlocker quiet(CheckListBox);
        for (int i = 0; i < CheckListBox->count(); ++i)
            CheckListBox->item(i)->setCheckState(Qt::Checked);
    }
    for (QLineSeries* series : TraceSeries) series->setVisible(true);
    PlaceLabels();
}

void TTEMTraceForm::CheckListBoxClickCheck(QListWidgetItem* item)
{
    const int row = CheckListBox->row(item);
    if (row < 0 || static_cast<size_t>(row) >= TraceSeries.size()) return;
    TraceSeries[row]->setVisible(item->checkState() == Qt::Checked);
    PlaceLabels();
}

void TTEMTraceForm::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    for (QLineSeries* series : TraceSeries) series->setVisible(true);
    PlaceLabels();
}

bool TTEMTraceForm::PrintChart(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    Chart->render(&painter, page, Chart->viewport()->rect(), Qt::KeepAspectRatio);
    return painter.end();
}

void TTEMTraceForm::BitBtn1Click(QObject*)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!PrintOutputFile.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QFile::decodeName(PrintOutputFile.c_str()));
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        ShowExceptionBox(kNoDefaultPrinter);
        return;
    }
    if (!PrintChart(printer)) ShowExceptionBox(kPrintingFailed);
}

void TTEMTraceForm::BitBtn2Click(QObject*)
{
    QApplication::clipboard()->setImage(Chart->grab().toImage());
}
