#include <QtTest>

#include <uemf.h>
#include <uemf_safe.h>

#include <QCategoryAxis>
#include <QClipboard>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QRubberBand>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QToolTip>
#include <QValueAxis>
#include <cstring>
#include <optional>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/Pictures.h"
#include "app/ScriptedUserInterface.h"
#include "base/Exception.h"
#include "base/RoundTicks.h"
#include "chart/forms/MarkLayer.h"
#include "map/TxRx.h"
#include "tests/support/forms/ChartReading.h"

namespace {

// The main window, watching the calls of the profile selection.
class WatchedForm1 : public TForm1 {
public:
    struct Rectangle {
        double x1, y1, x2, y2;
    };
    std::vector<Rectangle> selections;
    int charts = 0;
    bool pickCancelled = false;  // as when the selection's progress dialog was cancelled
    bool SelectProfileStations(double X1, double Y1, double X2, double Y2) override
    {
        selections.push_back({X1, Y1, X2, Y2});
        return !pickCancelled;
    }
    void ShowExProfileChart() override { ++charts; }
};

WatchedForm1* Watched()
{
    return static_cast<WatchedForm1*>(Form1);
}

TStation Station(const char* name, float x, float y)
{
    TStation s;
    s.Name = name;
    s.Info.X = x;
    s.Info.Y = y;
    return s;
}

TxData Transmitter(float ax, float ay, float bx, float by)
{
    TxData tx;
    tx.Name = "T1";
    tx.Ax = ax;
    tx.Ay = ay;
    tx.Bx = bx;
    tx.By = by;
    return tx;
}

void Load(std::vector<TStation> ex, std::vector<TStation> hy, std::vector<TxData> tx)
{
    Form1->ExStations = std::move(ex);
    Form1->HyStations = std::move(hy);
    Form1->Transmitters = std::move(tx);
    DrawLayoutMap(Form1);
}

QList<QPointF> Line()
{
    return Form2->Series1->points();
}

struct Emf {
    std::string bytes;
    std::vector<uint32_t> types;
    U_EMRHEADER header;
    std::vector<std::u16string> texts;
    // Per text: its bounds (pixels) and the clip rectangle in force (logical units), when any.
    std::vector<U_RECTL> textBounds;
    std::vector<std::optional<U_RECTL>> textClips;
};

// Walks the records of a metafile the way a reader does and checks each one.
Emf ReadEmf(const std::string& bytes)
{
    Emf emf;
    emf.bytes = bytes;
    std::memset(&emf.header, 0, sizeof emf.header);
    if (bytes.size() < sizeof(U_EMRHEADER)) return emf;
    std::memcpy(&emf.header, bytes.data(), sizeof emf.header);
    size_t at = 0;
    std::optional<U_RECTL> clip;
    while (at + 8 <= bytes.size()) {
        U_EMR emr;
        std::memcpy(&emr, bytes.data() + at, sizeof emr);
        if (emr.nSize < 8 || at + emr.nSize > bytes.size() || emr.nSize % 4 != 0) break;
        std::vector<char> record(bytes.begin() + at, bytes.begin() + at + emr.nSize);
        if (!U_emf_record_safe(record.data())) break;
        emf.types.push_back(emr.iType);
        if (emr.iType == U_EMR_EXTTEXTOUTW) {
            U_EMREXTTEXTOUTW text;
            std::memcpy(&text, record.data(), sizeof text);
            std::u16string s(text.emrtext.nChars, u'\0');
            std::memcpy(&s[0], record.data() + text.emrtext.offString, s.size() * 2);
            emf.texts.push_back(s);
            emf.textBounds.push_back(text.rclBounds);
            emf.textClips.push_back(clip);
        }
        if (emr.iType == U_EMR_EXTSELECTCLIPRGN) clip.reset();
        if (emr.iType == U_EMR_INTERSECTCLIPRECT) {
            U_EMRINTERSECTCLIPRECT r;
            std::memcpy(&r, record.data(), sizeof r);
            clip = r.rclClip;
        }
        at += emr.nSize;
    }
    return emf;
}

}  // namespace

class TxRxTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Form1 = new WatchedForm1;
        Form1->show();
        Form2 = new TForm2(Form1);
        emptyRanges_ = Ranges();
        QApplication::setActiveWindow(Form1);
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        tempDir_ = std::make_unique<QTemporaryDir>();
    }

    void cleanupTestCase() { delete Form1; }

    void init()
    {
        Watched()->selections.clear();
        Watched()->charts = 0;
    }

    // Before any load: no line to grab, a rectangle still reaches the profile selection.
    void beforeAnyLoad()
    {
        QVERIFY(Form2->TitleLines.isEmpty());
        QCOMPARE(Form2->Series1->count() + int(ShownPoints(Form2->Series2).size()) +
                     int(ShownPoints(Form2->Series3).size()),
                 0);
        DrawLayoutMap(Form1);  // empty store: nothing changes
        QVERIFY(Form2->TitleLines.isEmpty());
        Form2->PressAt(5, 5, false);
        QVERIFY(!Form2->TxGrabbed);
        QCOMPARE(Form2->AnchorX, 0.0);
        Form2->PressAt(5, 5, true);
        Form2->ReleaseAt(5, 5, true);
        QCOMPARE(Watched()->selections.size(), size_t(1));
        QCOMPARE(Watched()->charts, 1);
    }

    void drawsTheStoreInInsertionOrder()
    {
        Form1->OpenDialog.FileName = "/data/line 7.raw";
        Load({Station("30", 300, 10), Station("10", 100, 20), Station("20", 200, 30)},
             {Station("H1", 150, 40)},
             {Transmitter(0, 0, 0, 1000), Transmitter(5000, 5000, 6000, 6000)});
        QCOMPARE(Form2->TitleLines,
                 QStringList({"/data/line 7.raw", QString::fromUtf8("可控源频率测深装置布置图")}));
        QCOMPARE(Line(), QList<QPointF>({QPointF(0, 0), QPointF(0, 1000)}));
        QCOMPARE(ShownPoints(Form2->Series2),
                 QList<QPointF>({QPointF(300, 10), QPointF(100, 20), QPointF(200, 30)}));
        QCOMPARE(Form2->Series2Labels, std::vector<std::string>({"30", "10", "20"}));
        QCOMPARE(Form2->Series3Labels, std::vector<std::string>({"H1"}));
        QCOMPARE(Form2->Series1Labels, std::vector<std::string>({"", ""}));

        const QList<QAbstractSeries*> order = Form2->Chart1->chart()->series();
        QCOMPARE(order.size(), 3);
        QCOMPARE(order[0], Form2->Series1);
        QCOMPARE(order[1], Form2->Series2);
        QCOMPARE(order[2], Form2->Series3);
        QCOMPARE(Form2->Series1->name(), QString("Tx"));
        QCOMPARE(Form2->Series2->name(), QString("Ex"));
        QCOMPARE(Form2->Series3->name(), QString("Hy"));
        QCOMPARE(Form2->Series1->color(), QColor(Qt::red));
        QCOMPARE(Form2->Series3->color(), QColor(Qt::yellow));
        QCOMPARE(Form2->Series2->markerShape(), QScatterSeries::MarkerShapeRectangle);
        QCOMPARE(Form2->Series3->markerShape(), QScatterSeries::MarkerShapeCircle);
        QVERIFY(!Form2->Chart1->chart()->legend()->isVisible());
        QCOMPARE(Form2->BottomAxis->titleText(), QString("x"));
        QCOMPARE(Form2->LeftAxis->titleText(), QString("y"));
        // The axes hold every point with room at the edges.
        QVERIFY(Form2->BottomAxis->min() < 0 && Form2->BottomAxis->max() > 300);
        QVERIFY(Form2->LeftAxis->min() < 0 && Form2->LeftAxis->max() > 1000);

        // Without Ex stations the last picture stays.
        Form1->ExStations.clear();
        Form1->Transmitters.clear();
        DrawLayoutMap(Form1);
        QCOMPARE(int(ShownPoints(Form2->Series2).size()), 3);
        QCOMPARE(Line().size(), 2);
    }

    // The axis labels stand on round ticks inside the range and read their values in the number
    // patterns "######" and "#####", zero as "0" (the patterns write it as nothing), no two
    // labels alike.
    void axisLabelsAtRoundTicks_data()
    {
        QTest::addColumn<bool>("bottom");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<QList<double>>("ticks");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("x around zero")
            << true << -500.0 << 1500.0 << QList<double>{-500, 0, 500, 1000, 1500}
            << QStringList{"-500", "0", "500", "1000", "1500"};
        QTest::newRow("x of a line")
            << true << -300.0 << 6300.0 << QList<double>{0, 2000, 4000, 6000}
            << QStringList{"0", "2000", "4000", "6000"};
        QTest::newRow("y of two metres")
            << false << 0.0 << 2.0 << QList<double>{0, 1, 2} << QStringList{"0", "1", "2"};
        QTest::newRow("y off the steps")
            << false << -1250.0 << 3750.0 << QList<double>{-1000, 0, 1000, 2000, 3000}
            << QStringList{"-1000", "0", "1000", "2000", "3000"};
        // Under the patterns' last place the ticks read in their short form.
        QTest::newRow("y of centimetres")
            << false << 0.0 << 0.3 << QList<double>{0, 0.05, 0.1, 0.15, 0.2, 0.25, 0.3}
            << QStringList{"0", "0.05", "0.1", "0.15", "0.2", "0.25", "0.3"};
        QTest::newRow("y far from zero") << false << 5999.4 << 6001.2 << QList<double>{6000, 6001}
                                         << QStringList{"6000", "6001"};
    }

    void axisLabelsAtRoundTicks()
    {
        QFETCH(bool, bottom);
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(QList<double>, ticks);
        QFETCH(QStringList, labels);
        QCategoryAxis* axis = bottom ? Form2->BottomAxis : Form2->LeftAxis;
        axis->setRange(low, high);
        QStringList shown;
        QList<double> at;
        for (const QString& name : axis->categoriesLabels()) {
            shown << name.trimmed();
            at << axis->endValue(name);
        }
        QCOMPARE(shown, labels);
        QCOMPARE(at, ticks);
        QVERIFY(!axis->truncateLabels());
    }

    // A redraw sets new ranges, and the labels follow.
    void axisLabelsFollowARedraw()
    {
        Load({Station("1", 0, 0), Station("2", 1000, 100)}, {}, {});
        const QStringList names = Form2->BottomAxis->categoriesLabels();
        QVERIFY(names.size() >= 3);
        for (const QString& name : names)
            QCOMPARE(name.trimmed(), QString::fromStdString(
                                         TickLabel("######", Form2->BottomAxis->endValue(name))));
        QCOMPARE(Form2->LeftAxis->categoriesLabels().last(), QString("100"));
    }

    // At the map's smallest size its chart still reads: its plot, its title, and the labels of
    // a line of stations 3 km long, fewer of them where they would run into each other.
    void chartReadsAtItsSmallestSize()
    {
        std::vector<TStation> line;
        for (int i = 0; i <= 66; ++i)
            line.push_back(
                Station(std::to_string(1000 + 50 * i).c_str(), 1000 + 50 * i, 20 * (i % 5)));
        Load(line, {}, {});
        Form2->showNormal();
        const QRect before = Form2->geometry();
        const QString fault = FaultAtMinimumSize(Form2);
        const int labels = Form2->BottomAxis->count();
        Form2->setGeometry(before);
        QCoreApplication::processEvents();
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY(labels >= 2);
    }

    void hitTestAtTheEdges_data()
    {
        QTest::addColumn<QPointF>("a");
        QTest::addColumn<QPointF>("b");
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<bool>("grabbed");
        const QPointF a(0, 0), b(0, 1000);
        QTest::newRow("inside the band") << a << b << QPointF(0.99, 500) << true;
        QTest::newRow("band edge right") << a << b << QPointF(1.0, 500) << false;
        QTest::newRow("band edge left") << a << b << QPointF(-1.0, 500) << false;
        QTest::newRow("left inside") << a << b << QPointF(-0.99, 500) << true;
        QTest::newRow("just below A") << a << b << QPointF(0, -0.0009) << true;
        // Beyond the band but within a few pixels (about 3 m each along y here).
        QTest::newRow("further below A") << a << b << QPointF(0, -0.0011) << true;
        QTest::newRow("a pixel below A") << a << b << QPointF(0, -3) << true;
        QTest::newRow("far below A") << a << b << QPointF(0, -40) << false;
        QTest::newRow("just beyond B") << a << b << QPointF(0, 1000.0009) << true;
        QTest::newRow("further beyond B") << a << b << QPointF(0, 1000.0011) << true;
        QTest::newRow("far beyond B") << a << b << QPointF(0, 1040) << false;
        QTest::newRow("oblique box")
            << QPointF(0, 0) << QPointF(1000, 1000) << QPointF(900, 100) << true;
        QTest::newRow("oblique outside")
            << QPointF(0, 0) << QPointF(1000, 1000) << QPointF(1001, 100) << false;
    }
    // Where a metre is under a pixel, a press a few pixels beside the line grabs it.
    void hitTestInPixels_data()
    {
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<QPointF>("offset");
        QTest::addColumn<bool>("grabbed");
        const QPointF middle(10000, 10000), b(10000, 15000);
        QTest::newRow("on the line") << middle << QPointF(0, 0) << true;
        QTest::newRow("3 pixels right") << middle << QPointF(3, 0) << true;
        QTest::newRow("3 pixels left") << middle << QPointF(-3, 0) << true;
        QTest::newRow("8 pixels right") << middle << QPointF(8, 0) << false;
        QTest::newRow("3 pixels past B") << b << QPointF(0, -3) << true;
        QTest::newRow("8 pixels past B") << b << QPointF(0, -8) << false;
    }
    void hitTestInPixels()
    {
        QFETCH(QPointF, at);
        QFETCH(QPointF, offset);
        QFETCH(bool, grabbed);
        Load({Station("1", 0, 0), Station("2", 20000, 20000)}, {},
             {Transmitter(10000, 5000, 10000, 15000)});
        const QPointF press = Form2->MapCoordinates(Form2->ChartPixel(at) + offset);
        QVERIFY(std::abs(press.x() - at.x()) > 1 || offset.x() == 0);  // beyond the band
        Form2->PressAt(press.x(), press.y(), false);
        QCOMPARE(Form2->TxGrabbed, grabbed);
    }

    void hitTestAtTheEdges()
    {
        QFETCH(QPointF, a);
        QFETCH(QPointF, b);
        QFETCH(QPointF, press);
        QFETCH(bool, grabbed);
        Load({Station("1", 10, 10)}, {}, {Transmitter(a.x(), a.y(), b.x(), b.y())});
        Form2->PressAt(press.x(), press.y(), false);
        QCOMPARE(Form2->TxGrabbed, grabbed);
        // The anchor is the midpoint, hit or not.
        QCOMPARE(Form2->AnchorX, (a.x() + b.x()) / 2);
        QCOMPARE(Form2->AnchorY, (a.y() + b.y()) / 2);
    }

    void dragMovesOnlyTheDrawnLine()
    {
        Load({Station("1", 10, 10)}, {}, {Transmitter(0, 0, 1000, 1000)});
        Form2->PressAt(900, 100, false);
        Form2->ReleaseAt(300, 300, false);
        QCOMPARE(Line(), QList<QPointF>({QPointF(-200, -200), QPointF(800, 800)}));
        QCOMPARE(Form1->Transmitters[0].Bx, 1000.0f);
        QVERIFY(Watched()->selections.empty());
        DrawLayoutMap(Form1);
        QCOMPARE(Line(), QList<QPointF>({QPointF(0, 0), QPointF(1000, 1000)}));

        // A release without a grab leaves the line.
        Form2->PressAt(2000, 2000, false);
        Form2->ReleaseAt(100, 100, false);
        QCOMPARE(Line(), QList<QPointF>({QPointF(0, 0), QPointF(1000, 1000)}));
    }

    void grabSurvivesAModifierPress()
    {
        Load({Station("1", 10, 10)}, {}, {Transmitter(0, 0, 0, 1000)});
        Form2->PressAt(0.5, 200, false);
        Form2->ReleaseAt(0, 500, false);  // a click centres the line on the click
        QCOMPARE(Line(), QList<QPointF>({QPointF(0, 0), QPointF(0, 1000)}));
        Form2->PressAt(100, 100, true);
        QVERIFY(Form2->TxGrabbed);
        Form2->ReleaseAt(150, 300, false);
        QCOMPARE(Line(), QList<QPointF>({QPointF(50, 200), QPointF(50, 1200)}));
        QVERIFY(Watched()->selections.empty());
    }

    void modifierReleaseSpansTheRectangle()
    {
        Load({Station("1", 10, 10)}, {}, {Transmitter(0, 0, 0, 1000)});
        Form2->PressAt(40, 40, false);
        Form2->ReleaseAt(300, 700, true);
        QCOMPARE(Watched()->selections.size(), size_t(1));
        const WatchedForm1::Rectangle r = Watched()->selections[0];
        QCOMPARE(r.x1, 0.0);
        QCOMPARE(r.y1, 500.0);
        QCOMPARE(r.x2, 300.0);
        QCOMPARE(r.y2, 700.0);
        QCOMPARE(Watched()->charts, 1);
        QCOMPARE(Form2->EndX, 300.0);
        QCOMPARE(Line(), QList<QPointF>({QPointF(0, 0), QPointF(0, 1000)}));

        Form2->PressAt(10, 20, true);
        Form2->ReleaseAt(30, 40, true);
        QCOMPARE(Watched()->selections.size(), size_t(2));
        QCOMPARE(Watched()->selections[1].x1, 10.0);
        QCOMPARE(Watched()->selections[1].y2, 40.0);

        // No line drawn: the rectangle starts at the origin.
        Form1->Transmitters.clear();
        Load({Station("1", 10, 10)}, {}, {});
        Form2->PressAt(40, 40, false);
        Form2->ReleaseAt(60, 70, true);
        QCOMPARE(Watched()->selections.back().x1, 0.0);
        QCOMPARE(Watched()->selections.back().y1, 0.0);

        // A pick cancelled in its progress dialog ends the gesture: no chart follows.
        const int charts = Watched()->charts;
        Watched()->pickCancelled = true;
        Form2->PressAt(0, 0, true);
        Form2->ReleaseAt(60, 70, true);
        Watched()->pickCancelled = false;
        QCOMPARE(Watched()->selections.size(), size_t(4));
        QCOMPARE(Watched()->charts, charts);
    }

    // The whole road through the chart's mouse events, every button alike; the right button's
    // release also opens the pop-up menu.
    void mouseGesturesOnTheChart()
    {
        Load({Station("1", -500, -500), Station("2", 1500, 1500)}, {},
             {Transmitter(0, 0, 1000, 1000)});
        const QPointF back = Form2->MapCoordinates(Form2->ChartPixel(QPointF(400, 250)));
        QVERIFY(std::abs(back.x() - 400) < 10 && std::abs(back.y() - 250) < 10);

        // Inside the oblique line's box, far from the line itself.
        const QPoint onLine = Form2->ChartPixel(QPointF(700, 300)).toPoint();
        const QPoint target = Form2->ChartPixel(QPointF(600, 800)).toPoint();
        QTest::mousePress(Form2->Chart1->viewport(), Qt::RightButton, {}, onLine);
        QVERIFY(Form2->TxGrabbed);
        QTest::mouseRelease(Form2->Chart1->viewport(), Qt::RightButton, {}, target);
        const QPointF released = Form2->MapCoordinates(target);
        const QPointF middle = (Line()[0] + Line()[1]) / 2;
        QVERIFY(std::abs(middle.x() - released.x()) < 1e-6);
        QVERIFY(std::abs(middle.y() - released.y()) < 1e-6);
        QVERIFY(Form1->PopupMenu1->isVisible());
        Form1->PopupMenu1->close();

        QTest::mousePress(Form2->Chart1->viewport(), Qt::LeftButton, Qt::ShiftModifier, onLine);
        QTest::mouseRelease(Form2->Chart1->viewport(), Qt::LeftButton, Qt::ControlModifier, target);
        QCOMPARE(Watched()->selections.size(), size_t(1));
        QVERIFY(!Form1->PopupMenu1->isVisible());
    }

    // A drag begun with Shift, Ctrl or Alt shows its rectangle while a key is held, and the
    // release takes it away; a drag without a key shows none.
    void rubberBandShowsTheRectangle()
    {
        Load({Station("1", -500, -500), Station("2", 1500, 1500)}, {},
             {Transmitter(0, 0, 1000, 1000)});
        QWidget* viewport = Form2->Chart1->viewport();
        auto move = [viewport](QPoint at, Qt::KeyboardModifiers keys) {
            QMouseEvent event(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton,
                              Qt::LeftButton, keys);
            QApplication::sendEvent(viewport, &event);
        };
        const QPoint from(300, 200), to(120, 260);
        QTest::mousePress(viewport, Qt::LeftButton, Qt::AltModifier, from);
        QVERIFY(!Form2->ProfileBand() || !Form2->ProfileBand()->isVisible());
        move(QPoint(200, 230), Qt::AltModifier);
        QVERIFY(Form2->ProfileBand() && Form2->ProfileBand()->isVisible());
        QCOMPARE(Form2->ProfileBand()->parentWidget(), viewport);
        move(to, Qt::ShiftModifier);
        QCOMPARE(Form2->ProfileBand()->geometry(), QRect(from, to).normalized());
        move(QPoint(150, 250), {});  // no key: the release would pick nothing
        QVERIFY(!Form2->ProfileBand()->isVisible());
        move(to, Qt::ControlModifier);
        QVERIFY(Form2->ProfileBand()->isVisible());
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::ControlModifier, to);
        QVERIFY(!Form2->ProfileBand()->isVisible());
        QCOMPARE(Watched()->selections.size(), size_t(1));

        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        move(to, Qt::ShiftModifier);  // a key pressed during a drag begun without one
        QVERIFY(!Form2->ProfileBand()->isVisible());
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    }

    // Through the window system, as a user's clicks come: the second press of a double click
    // arrives as a double click and must still take the line, so that the second release leaves
    // its midpoint under the mouse.
    void doubleClickCentresTheLineOnce()
    {
        Load({Station("1", -500, -500), Station("2", 1500, 1500)}, {},
             {Transmitter(0, 0, 1000, 1000)});
        QWindow* window = Form1->windowHandle();
        auto inWindow = [](QPointF mapPoint) {
            return Form2->Chart1->viewport()->mapTo(Form1, Form2->ChartPixel(mapPoint).toPoint());
        };
        QTest::mouseClick(window, Qt::LeftButton, {}, inWindow(QPointF(1400, -400)));  // no line
        QCOMPARE(Line(), QList<QPointF>({QPointF(0, 0), QPointF(1000, 1000)}));
        const QPoint click = Form2->ChartPixel(QPointF(800, 800)).toPoint();
        QTest::mouseDClick(window, Qt::LeftButton, {}, inWindow(QPointF(800, 800)));
        const QPointF under = Form2->MapCoordinates(click);
        const QPointF middle = (Line()[0] + Line()[1]) / 2;
        QVERIFY2(std::abs(middle.x() - under.x()) < 1e-6 && std::abs(middle.y() - under.y()) < 1e-6,
                 qPrintable(QString("midpoint %1, %2 under the mouse %3, %4")
                                .arg(middle.x())
                                .arg(middle.y())
                                .arg(under.x())
                                .arg(under.y())));
    }

    // A redraw of another station count shows one mark per station, whichever way it changes.
    void marksFollowTheStationCount()
    {
        // Counted among Qt's own marks, as pictures draw them.
        auto shownMarks = [](const QColor& colour) {
            const QtMarks qtMarks(Form2->Chart1);
            int n = 0;
            for (QGraphicsItem* item : Form2->Chart1->scene()->items()) {
                auto* mark = dynamic_cast<QAbstractGraphicsShapeItem*>(item);
                if (mark && mark->isVisible() && mark->brush().color() == colour) ++n;
            }
            return n;
        };
        auto row = [](int n, float y) {
            std::vector<TStation> stations;
            for (int i = 0; i < n; ++i) stations.push_back(Station("S", 10.0f * i, y));
            return stations;
        };
        const int counts[][2] = {{3, 1}, {5, 0}, {2, 4}, {6, 4}, {6, 2}};
        for (const auto& c : counts) {
            Load(row(c[0], 0), row(c[1], 50), {Transmitter(0, 0, 0, 100)});
            QVERIFY(Form2->Chart1->chart()->isVisible());
            QList<QPointF> ex;
            for (int i = 0; i < c[0]; ++i) ex.push_back(QPointF(10.0 * i, 0));
            QCOMPARE(ShownPoints(Form2->Series2), ex);
            QCOMPARE(int(ShownPoints(Form2->Series3).size()), c[1]);
            QCOMPARE(shownMarks(Form2->Series2->color()), c[0]);
            QCOMPARE(shownMarks(Form2->Series3->color()), c[1]);
        }
    }

    // The stations are painted by layers, with the pixels of Qt's own marks.
    void screenShowsQtsOwnMarks()
    {
        Load({Station("A1", 100, 100), Station("A2", 200, 180.5), Station("A3", 333.3, 100)},
             {Station("H1", 150, 150), Station("H2", 151, 152)}, {Transmitter(0, 0, 0, 300)});
        QCOMPARE(Form2->Series2->count() + Form2->Series3->count(), 0);
        const QImage screen = Form2->Chart1->grab().toImage();
        const QtMarks qtMarks(Form2->Chart1);
        QCOMPARE(Form2->Series2->count() + Form2->Series3->count(), 5);
        QCOMPARE(Form2->Chart1->grab().toImage(), screen);
    }

    void labelsSwitchAndFollowRedraws()
    {
        Load({Station("A1", 100, 100), Station("A2", 200, 200)}, {Station("HY", 150, 150)},
             {Transmitter(0, 0, 0, 300)});
        QVERIFY(Form2->StationLabels().empty());  // hidden labels are not made

        Form1->Showlabels1->trigger();
        QCOMPARE(Form1->Showlabels1->text(), QString("Hide Labels"));
        QVERIFY(Form2->LabelsVisible());
        QCOMPARE(Form2->StationLabels()[0]->text(), QString("A1"));
        for (int i = 0; i < 2; ++i) {
            QGraphicsSimpleTextItem* label = Form2->StationLabels()[i];
            QVERIFY(label->isVisible());
            const QPointF at = Form2->Chart1->chart()->mapToPosition(
                ShownPoints(Form2->Series2).at(i), Form2->Series2);
            const QRectF box = label->mapRectToParent(label->boundingRect());
            QVERIFY(std::abs(box.center().x() - at.x()) < 1.0);
            QVERIFY(box.bottom() <= at.y());
        }

        // A new load shows the new names at once.
        Load({Station("B1", 10, 10), Station("B2", 20, 20), Station("B3", 30, 30)}, {}, {});
        QCOMPARE(Form2->StationLabels().size(), size_t(3));
        QCOMPARE(Form2->StationLabels()[2]->text(), QString("B3"));
        for (auto* label : Form2->StationLabels()) QVERIFY(label->isVisible());

        Form1->Showlabels1Click(Form1->Showlabels1);
        QCOMPARE(Form1->Showlabels1->text(), QString("Show Labels"));
        for (auto* label : Form2->StationLabels()) QVERIFY(!label->isVisible());

        // A redraw while hidden shows nothing; showing again names the stations drawn last.
        Load({Station("C1", 10, 10), Station("C2", 20, 20)}, {}, {});
        for (auto* label : Form2->StationLabels()) QVERIFY(!label->isVisible());
        Form1->Showlabels1->trigger();
        QCOMPARE(Form2->StationLabels().size(), size_t(2));
        QCOMPARE(Form2->StationLabels()[0]->text(), QString("C1"));
        QCOMPARE(Form2->StationLabels()[1]->text(), QString("C2"));
        for (auto* label : Form2->StationLabels()) QVERIFY(label->isVisible());
        Form1->Showlabels1->trigger();
    }

    void savedPictureIsAnEnhancedMetafile()
    {
        ScriptedUserInterface ui;
        Form1->OpenDialog.FileName = "/data/line.raw";
        Load({Station("S1", 100, 100), Station("S2", 200, 200)}, {Station("H", 150, 150)},
             {Transmitter(0, 0, 0, 300)});
        const QString name = tempDir_->filePath("map.bmp");
        {
            QFile old(name);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old picture");
        }
        ui.FileAnswers.push_back({{name.toStdString()}});
        Form1->N5->trigger();
        QCOMPARE(ui.Dialogs.size(), size_t(1));
        QCOMPARE(ui.Dialogs[0].DefaultExt, std::string("emf"));

        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        const Emf emf = ReadEmf(data.toStdString());
        QCOMPARE(emf.header.emr.iType, uint32_t(U_EMR_HEADER));
        QCOMPARE(emf.header.dSignature, uint32_t(U_ENHMETA_SIGNATURE));
        QCOMPARE(emf.header.nVersion, uint32_t(U_ENHMETA_VERSION));
        QCOMPARE(emf.header.nBytes, uint32_t(data.size()));
        QCOMPARE(emf.header.nRecords, uint32_t(emf.types.size()));
        QCOMPARE(emf.types.back(), uint32_t(U_EMR_EOF));
        const QSize size = Form2->Chart1->viewport()->size();
        QCOMPARE(emf.header.rclBounds.right - emf.header.rclBounds.left + 1, size.width());
        QCOMPARE(emf.header.rclBounds.bottom - emf.header.rclBounds.top + 1, size.height());
        QVERIFY(std::abs(emf.header.rclFrame.right + 1 - size.width() * 2540.0 / 96) < 1.0);
        QVERIFY(std::count(emf.types.begin(), emf.types.end(), U_EMR_FILLPATH) +
                    std::count(emf.types.begin(), emf.types.end(), U_EMR_STROKEANDFILLPATH) >=
                3);
        const std::u16string title = u"可控源频率测深装置布置图";
        QVERIFY(std::find(emf.texts.begin(), emf.texts.end(), title) != emf.texts.end());
        QVERIFY(std::find(emf.texts.begin(), emf.texts.end(), u"x") != emf.texts.end());
        // Readers with wider fonts must not lose a last letter: every clipped text has its whole
        // extent and a margin inside the clip.
        for (size_t i = 0; i < emf.texts.size(); ++i) {
            if (!emf.textClips[i]) continue;
            const U_RECTL c = *emf.textClips[i], b = emf.textBounds[i];
            const int margin = 4 * 16;  // logical units
            QVERIFY2(c.left <= b.left * 16 - margin && c.right >= (b.right + 1) * 16 + margin &&
                         c.top <= b.top * 16 && c.bottom >= (b.bottom + 1) * 16,
                     QString::fromStdU16String(emf.texts[i]).toUtf8());
        }

        // Cancel writes nothing.
        QFile::remove(name);
        Form1->N5Click(Form1->N5);
        QVERIFY(!QFile::exists(name));

        // A picture file that cannot be created raises the file error with the file's name.
        const std::string bad = tempDir_->filePath("missing/map.emf").toStdString();
        ui.FileAnswers.push_back({{bad}});
        try {
            Form1->N5Click(Form1->N5);
            QFAIL("no error");
        } catch (const EFCreateError& e) {
            QCOMPARE(std::string(e.what()), "Cannot create file " + bad);
        }
    }

    void copiedPictureCarriesThreeFormats()
    {
        Load({Station("S1", 100, 100)}, {}, {Transmitter(0, 0, 0, 300)});
        Form1->N7->trigger();
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        const QByteArray emf = data->data(kEmfMimeType);
        const Emf read = ReadEmf(emf.toStdString());
        QCOMPARE(read.header.emr.iType, uint32_t(U_EMR_HEADER));
        QCOMPARE(read.header.nBytes, uint32_t(emf.size()));
        QVERIFY(data->data("image/svg+xml").contains("<svg"));
        QVERIFY(data->hasImage());
        QCOMPARE(qvariant_cast<QImage>(data->imageData()).size(),
                 Form2->Chart1->viewport()->size());
    }

    // Emptied, the map shows a new map's axes, not the old survey's ranges.
    void clearingEmptiesTheAxes()
    {
        Load({Station("S1", 5000, 7000), Station("S2", 9000, 8000)}, {}, {});
        QVERIFY(Ranges() != emptyRanges_);
        ClearLayoutMap();
        QCOMPARE(Ranges(), emptyRanges_);
        QVERIFY(Form2->BottomAxis->categoriesLabels().size() <= 2);
    }

    // Labels that would overlap one shown before them are left out; zooming in brings them back.
    // A picture of the map shows the labels the window shows; a mark's tip names it in full.
    void labelsNeverOverlap()
    {
        std::vector<TStation> line;
        std::vector<std::string> names;
        for (int i = 0; i < 60; ++i) {
            names.push_back("L14-" + std::to_string(1000 + 10 * i));
            line.push_back(Station(names.back().c_str(), 10.0f * i, 0));
        }
        line.push_back(Station("far", 20000, 20000));
        Load(line, {}, {});
        Form1->Showlabels1->trigger();
        const auto shown = [] {
            QList<QRectF> boxes;
            for (QGraphicsSimpleTextItem* label : Form2->StationLabels())
                if (label->isVisible()) boxes << label->mapRectToParent(label->boundingRect());
            return boxes;
        };
        const QList<QRectF> before = shown();
        QVERIFY(!before.isEmpty() && before.size() < 30);
        for (qsizetype i = 0; i < before.size(); ++i)
            for (qsizetype j = i + 1; j < before.size(); ++j)
                QVERIFY(!before[i].intersects(before[j]));
        QVERIFY(Form2->StationLabels()[0]->isVisible());  // the first one always has room
        QVERIFY(Form2->StationLabels()[60]->isVisible());

        // The picture holds the texts shown and none of the hidden ones.
        const Emf picture = ReadEmf(ChartMetafile(Form2->Chart1));
        for (QGraphicsSimpleTextItem* label : Form2->StationLabels()) {
            const bool drawn = std::find(picture.texts.begin(), picture.texts.end(),
                                         label->text().toStdU16String()) != picture.texts.end();
            QCOMPARE(drawn, label->isVisible());
        }

        // Zoomed in on the line, more labels have room.
        Form2->BottomAxis->setRange(-5, 600);
        Form2->LeftAxis->setRange(-10, 10);
        const QList<QRectF> zoomed = shown();
        QVERIFY(zoomed.size() >= 5 && zoomed.size() > before.size());
        for (qsizetype i = 0; i < zoomed.size(); ++i)
            for (qsizetype j = i + 1; j < zoomed.size(); ++j)
                QVERIFY(!zoomed[i].intersects(zoomed[j]));
        // The tip of a mark whose label is hidden names it all the same.
        QGraphicsSimpleTextItem* hidden = nullptr;
        int index = 0;
        for (; index < 60 && !hidden; ++index)
            if (!Form2->StationLabels()[index]->isVisible()) hidden = Form2->StationLabels()[index];
        QVERIFY(hidden);
        const QPoint mark = Form2->ChartPixel(ShownPoints(Form2->Series2).at(index - 1)).toPoint();
        QHelpEvent help(QEvent::ToolTip, mark, Form2->Chart1->viewport()->mapToGlobal(mark));
        QApplication::sendEvent(Form2->Chart1->viewport(), &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), hidden->text());
        QToolTip::hideText();

        Form1->Showlabels1->trigger();
    }

private:
    static QList<double> Ranges()
    {
        return {Form2->BottomAxis->min(), Form2->BottomAxis->max(), Form2->LeftAxis->min(),
                Form2->LeftAxis->max()};
    }

    QList<double> emptyRanges_;
    std::unique_ptr<QTemporaryDir> tempDir_;
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    TxRxTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_txrx.moc"
