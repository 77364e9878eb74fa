#include <QtTest>

#include <QCategoryAxis>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGraphicsRectItem>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QMimeData>
#include <QScreen>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QToolButton>
#include <QValueAxis>
#include <memory>

#include "app/Application.h"
#include "app/MainForm.h"
#include "chart/forms/MarkLayer.h"
#include "app/Pictures.h"
#include "app/ScriptedUserInterface.h"
#include "base/Exception.h"
#include "base/StringList.h"
#include "map/TxRx.h"
#include "processing/StaticShift.h"
#include "processing/forms/SEC.h"
#include "tests/processing/forms/ViewerSurvey.h"
#include "tests/support/forms/ChartReading.h"

namespace {

// Drags point i of "MT" to a value with the mouse.
void Drag(int i, double value)
{
    QWidget* viewport = Form4->Chart1->viewport();
    const QPoint from = Form4->ChartPixel(Form4->Series1->at(i)).toPoint();
    const QPoint to = Form4->ChartPixel(QPointF(Form4->Series1->at(i).x(), value)).toPoint();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(viewport, (from + to) / 2);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
}

}  // namespace

class StaticShiftWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(dir_->path()));
        StartMainForm();
        Form1->MdiArea->resize(1000, 600);
        LoadViewerSurvey(Form1);
        Form1->RefFreqIndex = 1;  // 1000 Hz
    }

    void cleanup()
    {
        delete Form1;
        FlushDeletes();
        QVERIFY(Form4 == nullptr);
    }

    void nothingWithoutExOrHy()
    {
        Form1->HyStations.clear();
        Form1->SEC1Click();
        QVERIFY(Form4 == nullptr);
        Form1->HyStations.push_back(TStation());
        Form1->ExStations.clear();
        Form1->SEC1Click();
        QVERIFY(Form4 == nullptr);
        QVERIFY(OpenWindows<TForm4>(Form1).isEmpty());
    }

    void opensWithThePointsAlongTheProfile()
    {
        std::swap(Form1->ExStations[0], Form1->ExStations[2]);  // "300" first in the list
        Form1->ToolButton1->trigger();
        TForm4* w = Form4;
        QVERIFY(w && w->isVisible());
        QCOMPARE(OpenWindows<TForm4>(Form1).size(), 1);
        QCOMPARE(w->windowTitle(), Text("静位移校正设置"));
        QCOMPARE(w->widget()->size(), QSize(791, 378));
        QCOMPARE(w->Chart1->height(), 233);
        QCOMPARE(w->Chart2->height(), 96);
        // The contents follow the window's size, as after tiling: both charts and the button
        // stay in view.
        const QSize opened = w->size();
        for (const QSize size : {QSize(520, 300), QSize(1400, 700)}) {
            w->resize(size);
            QTRY_COMPARE(w->widget()->size(), w->contentsRect().size());
            const QRect client = w->widget()->rect();
            for (QWidget* part :
                 {static_cast<QWidget*>(w->Chart1), static_cast<QWidget*>(w->Chart2),
                  static_cast<QWidget*>(w->SpeedButton1)})
                QVERIFY(
                    client.contains(QRect(part->mapTo(w->widget(), QPoint(0, 0)), part->size())));
            QVERIFY(size.height() < 400 || w->Chart1->height() > 400);
        }
        w->resize(opened);
        QVERIFY(w->SEC_CHECKBOX->isChecked());
        QCOMPARE(w->SEC_CHECKBOX->text(), Text("获得静位移曲线"));
        QCOMPARE(w->SpeedButton1->text(), Text("校正静位移"));
        QCOMPARE(w->N1->text(), Text("复制静态效应对比曲线"));
        QVERIFY(!w->N2->isVisible());
        QCOMPARE(w->Series1->name(), QString("MT"));
        QCOMPARE(w->Series2->name(), QString("MT-RAW"));
        QCOMPARE(w->Series4->name(), QString("REF"));
        QCOMPARE(w->Series3->name(), QString("SEC"));
        QVERIFY(!w->Chart2->chart()->legend()->isVisible());
        // The silver band behind the legend stops short of the plot: the top label and the
        // marks at the top stay clear of it.
        QChart* upper = w->Chart1->chart();
        QTRY_VERIFY(w->LegendBand->isVisible() && !w->LegendBand->rect().isEmpty());
        QCOMPARE(w->LegendBand->brush().color(), QColor(192, 192, 192));
        QVERIFY(w->LegendBand->rect().top() <= upper->legend()->geometry().top());
        QVERIFY(w->LegendBand->rect().bottom() + 8 <= upper->plotArea().top());

        std::vector<StaticShiftPoint> expected;
        PlaceStaticShiftPoints(*Form1, ComputeStaticShiftValues(*Form1), expected);
        QCOMPARE(w->Series1->count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(w->Series1->at(i), QPointF(expected[i].X, expected[i].MT));
            QCOMPARE(ShownPoints(w->Series2).at(i), QPointF(expected[i].X, expected[i].MTRaw));
            QCOMPARE(ShownPoints(w->Series4).at(i), QPointF(expected[i].X, expected[i].REF));
            QCOMPARE(w->Series3->at(i), QPointF(expected[i].X, 1.0));
        }
        QCOMPARE(w->Series1->at(0).x(), 100.0);  // by ascending station number
        QCOMPARE(w->Series1->at(2).x(), 300.0);
        // "MT" at 1000 Hz of station "100" (E = 13, H = 0.8).
        const double e = Form1->ExStations[2].Amplitude.Y[3];
        const double h = Form1->HyStations[0].Amplitude.Y[3];
        QCOMPARE(w->Series1->at(0).y(), 0.2 / 1000 * e / h * e / h);
    }

    void referenceFrequencyBeyondTheFirstStation()
    {
        Form1->RefFreqIndex = 40;  // the lowest of the five: 1 Hz
        Form1->SEC1Click();
        QCOMPARE(Form4->Series1->count(), 3);
        QCOMPARE(Form4->Series1->at(0).y(), 0.2 / 1 * (10.0f / 0.5f) * (10.0f / 0.5f));
    }

    void singleInstance()
    {
        Form1->SEC1Click();
        TForm4* first = Form4;
        first->showMinimized();
        Form1->ExStations[0].Amplitude.Y.assign(5, 99.0f);  // not computed again
        Form1->SEC1->trigger();
        QCOMPARE(OpenWindows<TForm4>(Form1).size(), 1);
        QCOMPARE(Form4, first);
        QVERIFY(!first->isMinimized());
        QCOMPARE(Form1->MdiArea->activeSubWindow(), first);
        QVERIFY(first->Series1->at(0).y() < 99.0);

        // A new window may take the freed one's address: the old one is known gone by a guard.
        const QPointer<TForm4> closed(first);
        QVERIFY(first->close());
        FlushDeletes();
        QVERIFY(Form4 == nullptr && closed.isNull());
        Form1->SEC1Click();
        QVERIFY(Form4 != nullptr);
    }

    // The automatic axes span the values with a little room, never reaching below zero when
    // every value is positive, and tick at round values written in "######" (zero as "0") and
    // "0.00".
    void axesSpanTheValuesAtRoundTicks()
    {
        Form1->SEC1Click();
        TForm4* w = Form4;
        w->Points = {{0, 150, 6600, 6600, 0.5, 1}, {1, 2450, 40, 40, 0.4, 1.3}};
        w->FillSeries();
        QCOMPARE(w->LeftAxis1->min(), 0.0);
        QVERIFY(w->LeftAxis1->max() >= 6600);
        QVERIFY(w->LeftAxis2->min() > 0.9 && w->LeftAxis2->max() < 1.4);
        const auto labels = [](QValueAxis* axis) {
            QStringList shown;
            auto* categories = qobject_cast<QCategoryAxis*>(axis);
            for (const QString& name : categories->categoriesLabels()) shown << name.trimmed();
            return shown;
        };
        QCOMPARE(labels(w->LeftAxis1), QStringList({"0", "2000", "4000", "6000"}));
        QCOMPARE(labels(w->BottomAxis1), QStringList({"500", "1000", "1500", "2000", "2500"}));
        QCOMPARE(labels(w->BottomAxis2), labels(w->BottomAxis1));
        QCOMPARE(labels(w->LeftAxis2), QStringList({"1.00", "1.20"}));
    }

    void dragSetsTheRatio()
    {
        Form1->SEC1Click();
        TForm4* w = Form4;
        const double raw = ShownPoints(w->Series2).at(1).y();
        const double shown = w->LeftAxis1->max();
        Drag(1, shown * 0.9);
        QCOMPARE(w->DragPoint, -1);
        const double moved = w->Series1->at(1).y();
        QVERIFY(std::abs(moved - shown * 0.9) < 0.02 * shown);  // within a pixel or two
        QCOMPARE(w->Series1->at(1).x(), 200.0);
        QCOMPARE(ShownPoints(w->Series2).at(1).y(), raw);
        QCOMPARE(w->Series3->at(1).y(), moved / (raw + 1e-15));
        QCOMPARE(w->Series3->at(0).y(), 1.0);
        QCOMPARE(w->Points[1].SEC, moved / (raw + 1e-15));
        // The axes take in the moved point after the release.
        QVERIFY(w->LeftAxis2->min() <= w->Series3->at(1).y() &&
                w->Series3->at(1).y() <= w->LeftAxis2->max());
        QCOMPARE(Form1->StaticFactors[1].Factor, 1.0f);  // the store waits for the button

        // The handlers with a position right on a point.
        w->Chart1MouseDown(w->Chart1, Qt::LeftButton, Qt::NoModifier,
                           w->ChartPixel(w->Series1->at(0)));
        QCOMPARE(w->DragPoint, 0);
        w->Chart1MouseUp(w->Chart1, Qt::LeftButton, Qt::NoModifier, QPointF());
        QCOMPARE(w->DragPoint, -1);

        // Away from every point, or with the box cleared, nothing is grabbed.
        w->Chart1MouseDown(w->Chart1, Qt::LeftButton, Qt::NoModifier, QPointF(1, 1));
        QCOMPARE(w->DragPoint, -1);
        w->SEC_CHECKBOX->setChecked(false);
        const QList<QPointF> before = w->Series1->points();
        Drag(2, shown * 0.5);
        QCOMPARE(w->Series1->points(), before);
    }

    // A drag paints the chart again only around the moved point: nothing beyond it changes.
    void dragRepaintsAllThatChanges()
    {
        Form1->SEC1Click();
        QWidget* viewport = Form4->Chart1->viewport();
        const QPoint from = Form4->ChartPixel(Form4->Series1->at(1)).toPoint();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
        QCOMPARE(Form4->Chart1->viewportUpdateMode(), QGraphicsView::NoViewportUpdate);
        for (int dy : {-40, -90, 25, 3}) {
            const QImage before = viewport->grab().toImage();
            QTest::mouseMove(viewport, from + QPoint(0, dy));
            const QImage after = viewport->grab().toImage();
            const QRect repainted = Form4->DragRepaint;
            int changed = 0, beyond = 0;
            for (int y = 0; y < after.height(); ++y)
                for (int x = 0; x < after.width(); ++x)
                    if (before.pixel(x, y) != after.pixel(x, y)) {
                        ++changed;
                        if (!repainted.contains(x, y)) ++beyond;
                    }
            QVERIFY(changed > 0);
            QCOMPARE(beyond, 0);
            // What the window system shows, painted only around the point, is what a whole
            // repaint shows.
            QCoreApplication::processEvents();
            const auto shown = [viewport] {
                const QPoint corner = viewport->mapTo(viewport->window(), QPoint(0, 0));
                return QGuiApplication::primaryScreen()
                    ->grabWindow(viewport->window()->winId(), corner.x(), corner.y(),
                                 viewport->width(), viewport->height())
                    .toImage();
            };
            const QImage painted = shown();
            viewport->repaint();
            QCOMPARE(painted, shown());
        }
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, from + QPoint(0, 3));
        QCOMPARE(Form4->Chart1->viewportUpdateMode(), QGraphicsView::MinimalViewportUpdate);
    }

    void buttonStoresFactorsAndWritesTheFile()
    {
        Form1->StaticFactors.push_back({"200", 1.0f});
        Form1->StaticFactors.push_back({"400", 0.5f});
        Form1->SEC1Click();
        TForm4* w = Form4;
        DragStaticShiftPoint(w->Points[1], 2 * w->Points[1].MTRaw);
        QTest::mouseClick(w->SpeedButton1, Qt::LeftButton);
        QCOMPARE(Form1->StaticFactors[1].Factor, 2.0f);
        QCOMPARE(Form1->StaticFactors[3].Factor, 2.0f);  // every entry of the name
        QCOMPARE(Form1->StaticFactors[0].Factor, 1.0f);
        QCOMPARE(Form1->StaticFactors[4].Factor, 0.5f);
        StringList file;
        file.LoadFromFile("SEC.txt");
        QCOMPARE(file.Text(), StaticShiftFileText(Form1->StaticFactors, w->Points));
        QCOMPARE(file.Lines.front(), std::string("STN    MT      REF     REF/MT"));
        QCOMPARE(file.Lines.back(), std::string("400 "));

        // While a load runs the button does nothing.
        Form1->LoadRunning = true;
        DragStaticShiftPoint(w->Points[0], 3 * w->Points[0].MTRaw);
        w->SpeedButton1Click();
        QCOMPARE(Form1->StaticFactors[0].Factor, 1.0f);
        Form1->LoadRunning = false;
    }

    void unwritableFileIsReported()
    {
        ScriptedUserInterface ui;
        QVERIFY(QDir().mkdir("SEC.txt"));
        Form1->SEC1Click();
        DragStaticShiftPoint(Form4->Points[2], 3 * Form4->Points[2].MTRaw);
        Form4->SpeedButton1Click();
        QCOMPARE(Form1->StaticFactors[2].Factor, 3.0f);  // stored all the same
        QCOMPARE(ui.Shown.size(), 1u);
        QCOMPARE(ui.Shown[0].Kind, ScriptedUserInterface::Message);
        QCOMPARE(ui.Shown[0].Text, std::string("Cannot create file SEC.txt"));
        QVERIFY(QFileInfo("SEC.txt").isDir());
    }

    void nameThatIsNoNumber()
    {
        Form1->ExStations[1].Name = "L2";
        bool raised = false;
        try {
            Form1->SEC1Click();
        } catch (const EConvertError& e) {
            raised = true;
            QCOMPARE(std::string(e.what()),
                     std::string("'L2' is not a valid floating point value"));
        }
        QVERIFY(raised);
        QVERIFY(Form4 && Form4->isVisible());
        QCOMPARE(Form4->Series1->count(), 1);  // the station before it
        QCOMPARE(Form4->Series1->at(0).x(), 100.0);

        // The button: the factors before the bad entry stay set, no file is written.
        Form4->Points[0].SEC = 4.0;
        Form1->StaticFactors[1].Name = "L2";
        QVERIFY_THROWS_EXCEPTION(EConvertError, Form4->SpeedButton1Click());
        QCOMPARE(Form1->StaticFactors[0].Factor, 4.0f);
        QVERIFY(!QFile::exists("SEC.txt"));
    }

    // The marks are painted by layers, with the pixels of Qt's own marks.
    void screenShowsQtsOwnMarks()
    {
        Form1->SEC1Click();
        QChartView* view = Form4->Chart1;
        QCOMPARE(Form4->Series2->count() + Form4->Series4->count(), 0);
        QCOMPARE(ShownPoints(Form4->Series4).size(), 3);
        const QImage screen = view->grab().toImage();
        const QtMarks qtMarks(view);
        QCOMPARE(Form4->Series2->count() + Form4->Series4->count(), 6);
        QCOMPARE(view->grab().toImage(), screen);
    }

    // Short of the height at which both charts read with the silver band and the hint text, the
    // band with its gap and the hint text give up their room first; at its minimum size the
    // window's charts still read. A hint too long for the panel's width goes as well.
    void givesUpBandAndHintFirst()
    {
        Form1->SEC1Click();
        TForm4* w = Form4;
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCoreApplication::processEvents();
        const QSize design = w->size();
        const auto full = [w] {
            return !w->Compact() && w->LegendBand->isVisible() && w->StaticText1->isVisible() &&
                   w->Panel1->height() == 49;
        };
        QVERIFY(full());
        const auto reads = [w] {
            QString fault = ChartReadingFault(w->Chart1);
            if (fault.isEmpty())
                fault =
                    ChartReadingFault(w->Chart2, QSize(kReadablePlotWidth, kReadableStripHeight));
            return fault;
        };
        QVERIFY2(reads().isEmpty(), qPrintable(reads()));
        QVERIFY(w->minimumSizeHint().height() < design.height());

        for (int turn = 0; turn < 2; ++turn) {
            w->resize(w->minimumSizeHint());
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
        QVERIFY(w->Compact());
        QVERIFY(!w->LegendBand->isVisible() && !w->StaticText1->isVisible());
        QVERIFY(w->Panel1->height() < 49 && w->SpeedButton1->isVisible());
        QVERIFY(w->SpeedButton1->geometry().bottom() < w->Panel1->height());
        QVERIFY2(reads().isEmpty(), qPrintable(reads()));
        QCOMPARE(w->size(), w->minimumSizeHint());

        w->resize(design);
        QCoreApplication::processEvents();
        QVERIFY(full());
        w->resize(QSize(w->minimumSizeHint().width(), design.height()));
        QCoreApplication::processEvents();
        QVERIFY(!w->Compact() && w->LegendBand->isVisible() && !w->StaticText1->isVisible());
    }

    void copyChart()
    {
        Form1->SEC1Click();
        QGuiApplication::clipboard()->clear();
        Form4->N1->trigger();
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data && data->hasFormat(kEmfMimeType));
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    StaticShiftWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sec.moc"
