#include <QtTest>

#include <QCategoryAxis>
#include <QChartView>
#include <QClipboard>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLineSeries>
#include <QListWidget>
#include <QLogValueAxis>
#include <QMdiArea>
#include <QToolTip>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QValueAxis>
#include <cmath>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ScriptedUserInterface.h"
#include "chart/forms/DisplayText.h"
#include "export/ProfileCurves.h"
#include "export/ProfileSelection.h"
#include "export/forms/TEMTrace.h"
#include "map/TxRx.h"
#include "tests/export/forms/ProfileChartChecks.h"
#include "tests/support/TempFiles.h"
#include "tests/support/forms/WindowFixture.h"
#include "tests/support/forms/ChartReading.h"

namespace {

TStation Station(const char* name, float x, float y, std::vector<float> freqs,
                 std::vector<float> amps)
{
    TStation s;
    s.Name = name;
    s.Info.X = x;
    s.Info.Y = y;
    s.Info.Area = "East";
    s.Info.HyName = "L7";
    s.Amplitude.X = freqs;
    s.Amplitude.Y = std::move(amps);
    s.Phase.X = std::move(freqs);
    s.Phase.Y.assign(s.Amplitude.X.size(), 0.5f);
    return s;
}

// Three stations on a line 500 m apart; the third lacks 10 Hz; one more far away.
std::vector<TStation> LineSurvey()
{
    return {Station("101", 0, 0, {1, 10, 100}, {10, 20, 30}),
            Station("102", 300, 400, {1, 10.3f, 100}, {11, 21, 31}),
            Station("103", 600, 800, {1, 100}, {12, 32}),
            Station("999", 5000, 5000, {1, 10, 100}, {1, 2, 3})};
}

void Gesture(double x1, double y1, double x2, double y2)
{
    Form2->PressAt(x1, y1, true);
    Form2->ReleaseAt(x2, y2, true);
}

QList<TTEMTraceForm*> ProfileWindows()
{
    QList<TTEMTraceForm*> windows;
    for (QMdiSubWindow* w : Form1->MdiArea->subWindowList())
        if (auto* chart = qobject_cast<TTEMTraceForm*>(w)) windows << chart;
    return windows;
}

TTEMTraceForm* NewestWindow()
{
    const QList<TTEMTraceForm*> windows = ProfileWindows();
    return windows.isEmpty() ? nullptr : windows.back();
}

QStringList LabelTexts(const TTEMTraceForm* form)
{
    QStringList texts;
    for (const QGraphicsSimpleTextItem* item : form->PointLabels()) texts << item->text();
    return texts;
}

bool Near(double a, double b)
{
    return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(b));
}

// An axis range that the axis can show.
bool Usable(AxisRange r, bool logarithmic)
{
    return std::isfinite(r.Min) && std::isfinite(r.Max) && r.Min < r.Max &&
           (!logarithmic || r.Min > 0);
}

}  // namespace

class ProfileChartTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        StartMainForm();
        QApplication::setActiveWindow(Form1);
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        QVERIFY(dir_.isValid());
    }

    void cleanupTestCase() { delete Form1; }

    void init()
    {
        for (TTEMTraceForm* w : ProfileWindows()) delete w;
        Form1->ExStations = LineSurvey();
        Form1->LoadRunning = false;
        DrawLayoutMap(Form1);
    }

    // The rectangle (corners in either order) picks the line, writes its file and opens a chart
    // with one curve per frequency, labelled by the station each point stands at.
    void gestureWritesTheFileAndOpensTheChart()
    {
        ScriptedUserInterface ui;
        const QString chosen = dir_.filePath("line.stn");
        ui.FileAnswers.push_back({{chosen.toStdString()}});
        Gesture(700, 900, -10, -10);

        QCOMPARE(Form2->SelectedStations, std::vector<std::string>({"101", "102", "103"}));
        QCOMPARE(Form1->ProfileIndices, std::vector<int>({0, 1, 2}));
        QCOMPARE(ui.Dialogs.size(), size_t(1));
        QCOMPARE(ui.Dialogs[0].DialogKind, FileDialog::Save);
        // The response file has a filter of its own; the dialog keeps the station list's.
        QCOMPARE(ui.Dialogs[0].Filter, std::string("Profile Response Files(*.txt)|*.txt"));
        QCOMPARE(ui.Dialogs[0].SaveExt, std::string(".txt"));
        QCOMPARE(Form1->SaveDialog.Filter,
                 std::string("STN Files(*.stn)|*.stn|Pos Files(*.pos)|*.pos"));
        QVERIFY(Form1->SaveDialog.SaveExt.empty());
        const std::string file = ReadBytes(dir_.filePath("line.txt").toStdString());
        QVERIFY(file.rfind("Palvex Ex response along Prifle\r\n", 0) == 0);
        QCOMPARE(std::count(file.begin(), file.end(), '\n'), 6L);
        QVERIFY(!QFile::exists(chosen));

        QCOMPARE(ProfileWindows().size(), 1);
        QVERIFY(!Form1->ProfilePick);  // the chart took what the rectangle gathered
        TTEMTraceForm* w = NewestWindow();
        QCOMPARE(w->windowTitle(), QString("Voltage profiles of Loop TEM"));
        QVERIFY(w->isVisible());
        QCOMPARE(Form1->MdiArea->activeSubWindow(), w);
        QCOMPARE(w->size(), QSize(871, 541));
        QCOMPARE(w->TitleLines(), QStringList({Text("East工区L7测线电场Ex剖面图"), QString()}));
        QVERIFY(w->LegendVisible());

        QCOMPARE(w->TraceSeries.size(), size_t(3));
        QStringList names;
        for (QLineSeries* s : w->TraceSeries) names << s->name();
        QCOMPARE(names, QStringList({"1m", "10m", "100m"}));
        QCOMPARE(w->TraceSeries[1]->points(), QList<QPointF>({{0, 20}, {500, 21}}));
        QCOMPARE(w->TraceSeries[2]->points(), QList<QPointF>({{0, 30}, {500, 31}, {1000, 32}}));
        QCOMPARE(w->TraceSeries[0]->color(), QColor(0, 0, 255));
        QCOMPARE(w->TraceSeries[1]->color(), QColor(127, 0, 127));
        QCOMPARE(w->TraceSeries[2]->color(), QColor(255, 0, 0));
        QCOMPARE(w->TraceNames, std::vector<std::string>({"101", "102", "103"}));

        // Each station is named once, above its highest point; 103 has no 10 Hz sample, and the
        // 100 Hz curve's third point is still 103's.
        QCOMPARE(LabelTexts(w), QStringList({"101", "102", "103"}));
        QTest::qWait(20);
        const QGraphicsSimpleTextItem* last = w->PointLabels().back();
        const QPointF at = w->Chart->chart()->mapToPosition(QPointF(1000, 32), w->TraceSeries[2]);
        // Above its point, kept within the plot's sides: the point is on the right side.
        QVERIFY(last->isVisible());
        const QRectF box = last->sceneBoundingRect();
        const QRectF plot = w->Chart->chart()->mapRectToScene(w->Chart->chart()->plotArea());
        QVERIFY(std::fabs(box.right() - plot.right()) < 1);
        QVERIFY(box.left() <= w->Chart->chart()->mapToScene(at).x());
        QVERIFY(box.bottom() <= w->Chart->chart()->mapToScene(at).y());
        const QGraphicsSimpleTextItem* first = w->PointLabels().front();
        QVERIFY(std::fabs(first->sceneBoundingRect().left() - plot.left()) < 1);
        // A mark's tip names its station.
        const QPoint mark = w->Chart->mapFromScene(w->Chart->chart()->mapToScene(
            w->Chart->chart()->mapToPosition(QPointF(500, 21), w->TraceSeries[1])));
        QHelpEvent help(QEvent::ToolTip, mark, w->Chart->viewport()->mapToGlobal(mark));
        QApplication::sendEvent(w->Chart->viewport(), &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QString("102"));
        QToolTip::hideText();

        QCOMPARE(w->CheckListBox->count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(w->CheckListBox->item(i)->text(), names[i]);
            QCOMPARE(w->CheckListBox->item(i)->checkState(), Qt::Checked);
        }
        QVERIFY(qobject_cast<QLogValueAxis*>(w->LeftAxis));
        QVERIFY(qobject_cast<QValueAxis*>(w->BottomAxis));
        QVERIFY(Near(w->LeftRange().Min, 1.0) && Near(w->LeftRange().Max, 320.0));
        QVERIFY(Near(w->BottomRange().Min, 0) && Near(w->BottomRange().Max, 1000));
        QCOMPARE(w->LeftAxis->titleText(), QString("V/v"));
        QCOMPARE(w->BottomAxis->titleText(), QString("Locations"));
        // The logarithmic axis writes its decades in its pattern "#.#E-0", in place of its own.
        QVERIFY(!w->LeftAxis->isVisible());
        QStringList decades;
        for (QAbstractAxis* axis : w->Chart->chart()->axes(Qt::Vertical))
            if (auto* labels = qobject_cast<QCategoryAxis*>(axis))
                for (const QString& name : labels->categoriesLabels()) decades << name.trimmed();
        decades.removeAll(QString());
        QCOMPARE(decades, QStringList({"1E0", "1E1", "1E2"}));

        // Every drag opens another window.
        Gesture(-10, -10, 700, 900);
        QCOMPARE(ProfileWindows().size(), 2);
    }

    // Cancel writes nothing, a file that cannot be written is reported; the chart opens both
    // times.
    void cancelAndWriteError()
    {
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({});
        Gesture(-10, -10, 700, 900);
        QCOMPARE(ProfileWindows().size(), 1);
        QVERIFY(ui.Shown.empty());

        const std::string unwritable = dir_.filePath("missing/dir/x.stn").toStdString();
        ui.FileAnswers.push_back({{unwritable}});
        Gesture(-10, -10, 700, 900);
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::ExceptionBox);
        QCOMPARE(ui.Shown[0].Text,
                 "Cannot create file " + dir_.filePath("missing/dir/x.txt").toStdString());
        QCOMPARE(ProfileWindows().size(), 2);
    }

    // A rectangle without stations empties the selection and warns; no dialog, no window.
    void emptyRectangleWarns()
    {
        ScriptedUserInterface ui;
        ui.FileAnswers.push_back({});
        Gesture(-10, -10, 700, 900);
        QCOMPARE(Form2->SelectedStations.size(), size_t(3));
        const int windows = ProfileWindows().size();

        Gesture(4000, 0, 4100, 10);
        QVERIFY(Form2->SelectedStations.empty());
        QVERIFY(Form1->ProfileIndices.empty());
        QCOMPARE(ui.Dialogs.size(), size_t(1));
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::MessageBox);
        QCOMPARE(ui.Shown[0].Caption, std::string("Murovane hint..."));
        QCOMPARE(ui.Shown[0].Text, std::string("没有选择剖面. 电压剖面绘制操作失败!"));
        QCOMPARE(ui.Shown[0].Flags, MB_OK | MB_ICONWARNING);
        QCOMPARE(ProfileWindows().size(), windows);

        // Nothing loaded at all: the same warning.
        Form1->ExStations.clear();
        Form2->SelectedStations = {"101"};
        Form1->ShowExProfileChart();
        QCOMPARE(ui.Shown.size(), size_t(2));
        QCOMPARE(ProfileWindows().size(), windows);
    }

    // While a load runs the map's gestures return at once.
    void gesturesWaitForTheLoad()
    {
        ScriptedUserInterface ui;
        Form2->SelectedStations = {"102"};
        Form1->ProfileIndices = {1};
        Form1->LoadRunning = true;
        Gesture(-10, -10, 700, 900);
        Form1->LoadRunning = false;
        QCOMPARE(Form2->SelectedStations, std::vector<std::string>({"102"}));
        QCOMPARE(Form1->ProfileIndices, std::vector<int>({1}));
        QVERIFY(ui.Dialogs.empty() && ui.Shown.empty());
        QVERIFY(ProfileWindows().isEmpty());
    }

    void scaleAndRangeCommands()
    {
        ScriptedUserInterface ui;
        Form2->SelectedStations = {"101", "102", "103"};
        Form1->ShowExProfileChart();
        TTEMTraceForm* w = NewestWindow();
        QVERIFY(w);

        // The bottom axis starts linear: the first toggle changes only the caption.
        w->x1->trigger();
        QCOMPARE(w->x1->text(), QString("x is logarithmic"));
        QVERIFY(!w->BottomLogarithmic() && qobject_cast<QValueAxis*>(w->BottomAxis));
        w->x1->trigger();
        QCOMPARE(w->x1->text(), QString("x is linear"));
        QVERIFY(w->BottomLogarithmic() && qobject_cast<QLogValueAxis*>(w->BottomAxis));
        // The reference station stands at 0, which a logarithmic axis leaves out.
        QVERIFY(Near(w->BottomRange().Min, 500) && Near(w->BottomRange().Max, 1000));
        for (QLineSeries* s : w->TraceSeries) QCOMPARE(s->attachedAxes().size(), 2);
        w->x1->trigger();
        QVERIFY(!w->BottomLogarithmic());

        w->x2->trigger();
        QCOMPARE(w->x2->text(), QString("y is logarithmic"));
        QVERIFY(!w->LeftLogarithmic() && qobject_cast<QValueAxis*>(w->LeftAxis));
        QVERIFY(Near(w->LeftRange().Min, 1.0) && Near(w->LeftRange().Max, 320.0));

        struct Input {
            QAction* action;
            std::optional<std::string> reply;
            bool bottom;
            AxisRange expected;
        };
        ui.Shown.clear();
        const Input inputs[] = {
            {w->V1, "0.001,10", false, {0.001f, 10}}, {w->V1, std::nullopt, false, {1e-6f, 1}},
            {w->V1, "no comma", false, {1e-6f, 1}},   {w->V1, "a,b", false, {0, 1000}},
            {w->X3, std::nullopt, true, {1, 1000}},   {w->X3, "a,b", true, {0, 1000}},
            {w->X3, "250,0", true, {0, 250}},
        };
        for (const Input& in : inputs) {
            ui.InputAnswers.push_back(in.reply);
            in.action->trigger();
            const AxisRange r = in.bottom ? w->BottomRange() : w->LeftRange();
            QVERIFY2(Near(r.Min, in.expected.Min) && Near(r.Max, in.expected.Max),
                     qPrintable(QString("%1..%2").arg(r.Min).arg(r.Max)));
            QCOMPARE(ui.Shown.back().Caption, std::string("Ostrelle"));
        }
        QCOMPARE(ui.Shown[0].Text, std::string("输入垂直轴最小与最大值，数据用','隔开."));
        // Linear axes keep the range set and label round ticks in "#,##0." and "#.#E-0".
        const auto labels = [](QAbstractAxis* axis) {
            QStringList shown;
            for (const QString& name : qobject_cast<QCategoryAxis*>(axis)->categoriesLabels())
                shown << name.trimmed();
            return shown;
        };
        QCOMPARE(labels(w->BottomAxis), QStringList({"0", "50", "100", "150", "200", "250"}));
        ui.InputAnswers.push_back("-100,12000");
        w->X3->trigger();
        QCOMPARE(labels(w->BottomAxis), QStringList({"0", "5,000", "10,000"}));
        ui.InputAnswers.push_back("1,320");
        w->V1->trigger();
        QCOMPARE(labels(w->LeftAxis), QStringList({"1E2", "2E2", "3E2"}));

        // With the bottom axis logarithmic a bad text means 1e-5..1, for either axis.
        w->x1->trigger();
        QVERIFY(w->BottomLogarithmic());
        ui.InputAnswers.push_back("a,b");
        w->V1->trigger();
        QVERIFY(Near(w->LeftRange().Min, 1e-5f) && Near(w->LeftRange().Max, 1));
        ui.InputAnswers.push_back("a,b");
        w->X3->trigger();
        QVERIFY(Near(w->BottomRange().Min, 1e-5f) && Near(w->BottomRange().Max, 1));
        // Its decades below 1, which "#,##0." would write "0" each, read in their short form.
        const auto decades = [w] {
            QStringList shown;
            for (QAbstractAxis* axis : w->Chart->chart()->axes(Qt::Horizontal))
                if (axis->isVisible())
                    if (auto* labels = qobject_cast<QCategoryAxis*>(axis))
                        for (const QString& name : labels->categoriesLabels())
                            shown << name.trimmed();
            return shown;
        };
        QCOMPARE(decades(), QStringList({"1E-5", "1E-4", "1E-3", "0.01", "0.1", "1"}));
        // 0..1000 cannot be shown on a logarithmic axis; it still shows something.
        ui.InputAnswers.push_back("0,1000");
        w->X3->trigger();
        QVERIFY(Usable(w->BottomRange(), true));
        QVERIFY(Near(w->BottomRange().Max, 1000));
        w->grab();
    }

    // At its smallest size the chart still reads; its legend, beside the plot where it fits, is
    // room the chart takes as it is.
    void chartReadsAtItsSmallestSize()
    {
        ScriptedUserInterface ui;
        Form2->SelectedStations = {"101", "102", "103"};
        Form1->ShowExProfileChart();
        TTEMTraceForm* w = NewestWindow();
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QString fault = FaultAtMinimumSize(w);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY(ProfileChartLayoutFault(w).isEmpty());
    }

    void titleLegendVisibilitySmoothingPrintAndCopy()
    {
        ScriptedUserInterface ui;
        Form2->SelectedStations = {"101", "102", "103"};
        Form1->ShowExProfileChart();
        TTEMTraceForm* w = NewestWindow();
        QVERIFY(w);

        ui.InputAnswers.push_back("Line 9");
        w->T1->trigger();
        QCOMPARE(ui.Shown.back().Caption, std::string("Ostrelle"));
        QCOMPARE(ui.Shown.back().Text, std::string("输入新图名"));
        QCOMPARE(w->TitleLines(), QStringList({"Line 9", QString()}));
        ui.InputAnswers.push_back(std::nullopt);
        w->T1->trigger();
        QCOMPARE(w->TitleLines().front(), QString("Line 9"));

        w->L1->trigger();
        QVERIFY(!w->LegendVisible());
        QVERIFY(w->Legend->EntryRects().empty());
        QCOMPARE(w->L1->text(), Text("显示图例"));
        w->L1->trigger();
        QVERIFY(w->LegendVisible());
        QCOMPARE(w->Legend->EntryRects().size(), w->TraceSeries.size());
        QCOMPARE(w->L1->text(), Text("隐藏图例"));

        // Unticking hides the curve, and the names move to the highest points shown; with no
        // curve shown no name is; "全选" shows all; showing the window again shows every curve
        // and keeps the marks.
        QChart* chart = w->Chart->chart();
        const auto above = [&](const QGraphicsSimpleTextItem* label, QPointF value, int curve) {
            const QPointF at = chart->mapToPosition(value, w->TraceSeries[curve]);
            const QRectF box = label->mapRectToParent(label->boundingRect());
            return label->isVisible() && box.left() <= at.x() && box.right() >= at.x() &&
                   std::fabs(box.bottom() + 4 - at.y()) < 1;
        };
        QVERIFY(above(w->PointLabels()[0], {0, 30}, 2));
        w->CheckListBox->item(2)->setCheckState(Qt::Unchecked);
        QVERIFY(!w->TraceSeries[2]->isVisible());
        QVERIFY(above(w->PointLabels()[0], {0, 20}, 1));
        QVERIFY(above(w->PointLabels()[2], {1000, 12}, 0));
        w->CheckListBox->item(0)->setCheckState(Qt::Unchecked);
        w->CheckListBox->item(1)->setCheckState(Qt::Unchecked);
        for (const QGraphicsSimpleTextItem* label : w->PointLabels()) QVERIFY(!label->isVisible());
        w->BitBtn5->click();
        QVERIFY(w->TraceSeries[1]->isVisible());
        QCOMPARE(w->CheckListBox->item(1)->checkState(), Qt::Checked);
        w->CheckListBox->item(2)->setCheckState(Qt::Unchecked);
        QVERIFY(!w->TraceSeries[2]->isVisible());
        w->hide();
        w->show();
        QVERIFY(w->TraceSeries[2]->isVisible());
        QCOMPARE(w->CheckListBox->item(2)->checkState(), Qt::Unchecked);

        // Smoothing: 30, 31, 32 -> 31, 31, 32; the labels go, colours and titles stay.
        const AxisRange left = w->LeftRange();
        w->N3->trigger();
        QCOMPARE(w->TraceSeries[2]->points(), QList<QPointF>({{0, 31}, {500, 31}, {1000, 32}}));
        QCOMPARE(w->TraceSeries[1]->points(), QList<QPointF>({{0, 21}, {500, 21}}));
        QVERIFY(w->PointLabels().empty());
        QCOMPARE(w->TraceSeries[2]->name(), QString("100m"));
        QCOMPARE(w->TraceSeries[2]->color(), QColor(255, 0, 0));
        QVERIFY(Near(w->LeftRange().Min, left.Min) && Near(w->LeftRange().Max, left.Max));
        QCOMPARE(Form1->ExStations[0].Amplitude.Y[2], 30.0f);

        const QString pdf = dir_.filePath("chart.pdf");
        w->PrintOutputFile = pdf.toStdString();
        w->BitBtn1->click();
        QVERIFY(ReadBytes(pdf.toStdString()).rfind("%PDF", 0) == 0);
        QCOMPARE(ui.Shown.size(), size_t(2));  // the title inputs, no error box

        QApplication::clipboard()->clear();
        w->BitBtn2->click();
        const QImage copied = QApplication::clipboard()->image();
        QVERIFY(!copied.isNull());
        QCOMPARE(copied.size(), w->Chart->size() * w->Chart->devicePixelRatio());

        // The chart's context menu holds the commands.
        QCOMPARE(w->Chart->contextMenuPolicy(), Qt::CustomContextMenu);
        QCOMPARE(w->PopupMenu1->actions().size(), 3);
        QCOMPARE(w->N1->actions().size(), 5);

        QPointer<TTEMTraceForm> closing(w);
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closing.isNull());
    }

    // Surveys that leave little to draw still open a chart whose axes can show it.
    void degenerateProfilesOpenAUsableChart_data()
    {
        QTest::addColumn<int>("survey");
        QTest::addColumn<int>("curves");
        QTest::newRow("single frequency") << 0 << 1;
        QTest::newRow("single station") << 1 << 3;
        QTest::newRow("zero and negative amplitudes") << 2 << 2;
        QTest::newRow("frequencies no picked station has") << 3 << 2;
    }
    void degenerateProfilesOpenAUsableChart()
    {
        QFETCH(int, survey);
        QFETCH(int, curves);
        std::vector<std::string> picked = {"101", "102"};
        switch (survey) {
        case 0:
            Form1->ExStations = {Station("101", 0, 0, {10}, {5}), Station("102", 0, 50, {10}, {6})};
            break;
        case 1:
            Form1->ExStations = LineSurvey();
            picked = {"102"};
            break;
        case 2:
            Form1->ExStations = {Station("101", 0, 0, {1, 2}, {0, -1}),
                                 Station("102", 10, 0, {1, 2}, {0, 0})};
            break;
        case 3:
            Form1->ExStations = {Station("777", 0, 0, {1, 2}, {1, 1}), Station("101", 0, 0, {}, {}),
                                 Station("102", 10, 0, {}, {})};
            break;
        }
        ScriptedUserInterface ui;
        Form2->SelectedStations = picked;
        Form1->ShowExProfileChart();
        TTEMTraceForm* w = NewestWindow();
        QVERIFY(w);
        QVERIFY(ui.Shown.empty());
        QCOMPARE(static_cast<int>(w->TraceSeries.size()), curves);
        QCOMPARE(w->CheckListBox->count(), curves);
        if (curves == 1) QCOMPARE(w->TraceSeries[0]->color(), QColor(0, 0, 255));
        if (survey == 1) {
            QCOMPARE(w->TraceSeries[0]->points(), QList<QPointF>({{0, 11}}));
            QCOMPARE(LabelTexts(w), QStringList({"102"}));
        }
        for (int scale = 0; scale < 4; ++scale) {
            QVERIFY(Usable(w->BottomRange(), w->BottomLogarithmic()));
            QVERIFY(Usable(w->LeftRange(), w->LeftLogarithmic()));
            w->grab();
            (scale % 2 ? w->x2 : w->x1)->trigger();
        }
    }

    // Forty curves of many stations: at the size the chart opens with, maximized and in a small
    // tile, every legend entry is whole and no station label covers another or the legend; too
    // small for the columns, the legend stands back and the check list names the curves.
    void legendInColumnsAndLabelsClear_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("as it opens") << QSize(871, 541);
        QTest::newRow("maximized") << QSize(1366, 700);
        QTest::newRow("tiled beside another") << QSize(683, 640);
        QTest::newRow("tiled above another") << QSize(1366, 320);
        QTest::newRow("narrow") << QSize(300, 541);
        QTest::newRow("small") << QSize(560, 300);
    }

    void legendInColumnsAndLabelsClear()
    {
        QFETCH(QSize, size);
        std::vector<Profile> profiles;
        std::vector<std::string> names;
        for (int k = 0; k < 40; ++k) {
            Profile p;
            p.Value = 0.001f * 8192.0f / static_cast<float>(1 << (k / 3)) / (1 + k % 3);
            for (int j = 0; j < 58; ++j) {
                p.X.push_back(25.0f * j);
                p.Y.push_back(100.0f + 10 * k + (j % 5));
                p.Labels.push_back(std::to_string(1000 + j));
            }
            profiles.push_back(p);
        }
        for (int j = 0; j < 58; ++j) names.push_back(std::to_string(1000 + j));
        auto* w = new TTEMTraceForm(Form1, profiles, names);
        w->SetLegendVisible(true);
        w->show();
        w->resize(size);
        QTRY_VERIFY(w->Chart->chart()->size().width() > 0);
        const bool room = size.width() >= 683;  // for the columns
        if (room) QTRY_COMPARE(w->Legend->EntryRects().size(), size_t(40));
        // Once the chart has laid itself out for its size and the legend's room.
        QTRY_VERIFY2(ProfileChartLayoutFault(w).isEmpty(), qPrintable(ProfileChartLayoutFault(w)));
        const size_t entries = w->Legend->EntryRects().size();
        if (room) {
            QCOMPARE(entries, size_t(40));
            QVERIFY(w->Legend->EntryRects().back().left() > w->Legend->EntryRects().front().left());
            // The plot keeps clear of the legend.
            QVERIFY(w->Chart->chart()->plotArea().right() < w->Legend->EntryRects().front().left());
        } else {
            QCOMPARE(entries, size_t(0));
        }
        QCOMPARE(w->CheckListBox->count(), 40);
        delete w;
    }

    void helpCommand()
    {
        ScriptedUserInterface ui;
        Form1->N31->trigger();
        QCOMPARE(ui.Shown.size(), size_t(1));
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::Message);
        QCOMPARE(ui.Shown[0].Text, std::string(kProfileHelpText));
    }

private:
    QTemporaryDir dir_;
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    ProfileChartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_profilechart.moc"
