// The curve editor's companion chart under a real X server with a window manager: the pair on
// the screen without overlap, the chart above the editor where the screen allows, stacked above
// the editor and the maximized main window, also after clicks in the editor.

#include <QtTest>

#include <QListWidget>
#include <QProcess>
#include <QScatterSeries>
#include <QScreen>
#include <algorithm>
#include <functional>

#include "app/Application.h"
#include "app/MainForm.h"
#include "processing/forms/APPRESForm.h"
#include "processing/forms/TruncIPForm.h"
#include "tests/support/SurveyFixture.h"
#include "tests/support/forms/Screenshot.h"
#include "tests/support/forms/WindowFixture.h"

namespace {

TStation Station(const std::string& name, float amplitude, const std::string& hyName = "H0")
{
    const float freqs[] = {1, 10, 100, 1000};
    std::vector<Sample> samples;
    for (int i = 0; i < 4; ++i) samples.push_back({freqs[i], amplitude * (i + 1), 0.25f * (i + 1)});
    return MakeEx(name, hyName, 0, 0, samples);
}

// The client windows from the bottom of the stack to its top, as the window manager keeps them.
QList<WId> StackingOrder()
{
    QProcess xprop;
    xprop.start("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
    if (!xprop.waitForFinished(10000)) return {};
    const QString text = QString::fromLatin1(xprop.readAllStandardOutput());
    QList<WId> order;
    for (const QString& id : text.section('#', 1).split(',', Qt::SkipEmptyParts))
        order << id.trimmed().toULongLong(nullptr, 16);
    return order;
}

bool Above(const QWidget* upper, const QWidget* lower)
{
    const QList<WId> order = StackingOrder();
    return order.indexOf(upper->winId()) > order.indexOf(lower->winId()) &&
           order.contains(lower->winId());
}

QString Describe(const QRect& r)
{
    return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The pair on the screen's area, the chart covering nothing of the editor, above it when the
// area is tall enough for both.
bool PlacedTogether(const TTruncIPForm* editor)
{
    const QRect e = editor->frameGeometry(), c = APPRESForm->frameGeometry();
    const QRect area = editor->screen()->availableGeometry();
    const bool above = c.top() + c.height() + 2 == e.top() &&
                       c.left() == std::clamp(e.left() + e.width() / 2 - c.width() / 2, area.left(),
                                              area.right() + 1 - c.width());
    const bool tall = e.height() + 2 + c.height() <= area.height();
    return area.contains(e) && area.contains(c) && !c.intersects(e) && (above || !tall);
}

// A real click of the button at the widget's point, through the X server and the window manager.
bool Click(QWidget* widget, QPoint at, int button)
{
    const QPoint global = widget->mapToGlobal(at);
    return QProcess::execute("xdotool",
                             {"mousemove", "--sync", QString::number(global.x()),
                              QString::number(global.y()), "click", QString::number(button)}) == 0;
}

// A real drag with the left button from one point of the screen to another.
bool Drag(QPoint from, QPoint to)
{
    const auto x = [](QPoint p) { return QString::number(p.x()); };
    const auto y = [](QPoint p) { return QString::number(p.y()); };
    // The window manager takes a press and motion apart in time as a drag.
    return QProcess::execute("xdotool",
                             {"mousemove", "--sync", x(from), y(from), "mousedown", "1", "sleep",
                              "0.2", "mousemove", "--sync", x(from + (to - from) / 2),
                              y(from + (to - from) / 2), "sleep", "0.2", "mousemove", "--sync",
                              x(to), y(to), "sleep", "0.2", "mouseup", "1"}) == 0;
}

}  // namespace

class CurveEditorX11Test : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { StartMaximizedMainForm(); }

    void cleanupTestCase() { delete Form1; }

    void companionAboveTheEditorAndTheMainWindow()
    {
        Form1->ClearLoadedData();
        Form1->ExStations = {Station("E0", 10), Station("E1", 20), Station("E2", 30)};
        Form1->HyStations = {Station("H0", 1, "H0")};

        bool reached = false;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* e = Form1->findChild<TTruncIPForm*>();
            if (!e) return;
            reached = true;
            [&] {
                QVERIFY(QTest::qWaitForWindowExposed(e));
                QTRY_VERIFY_WITH_TIMEOUT(APPRESForm && APPRESForm->isVisible(), 10000);
                QVERIFY(QTest::qWaitForWindowExposed(APPRESForm));
                // Framed by the window manager, then moved by its frame: a bounded wait.
                QTRY_VERIFY2_WITH_TIMEOUT(
                    APPRESForm->frameGeometry().height() > APPRESForm->height() &&
                        PlacedTogether(e),
                    qPrintable("editor " + Describe(e->frameGeometry()) + ", chart " +
                               Describe(APPRESForm->frameGeometry()) + ", screen " +
                               Describe(e->screen()->availableGeometry())),
                    10000);
                QTRY_VERIFY_WITH_TIMEOUT(Above(APPRESForm, Form1), 10000);
                QVERIFY(Above(e, Form1));
                QTRY_VERIFY_WITH_TIMEOUT(Above(APPRESForm, e), 10000);

                // Clicks in the editor leave the chart on top: one in the station list, a right
                // click on a point of the amplitude chart.
                const QRect second = e->SList->visualItemRect(e->SList->item(1));
                QVERIFY(Click(e->SList->viewport(), second.center(), 1));
                QTRY_COMPARE_WITH_TIMEOUT(e->SList->currentRow(), 1, 10000);
                QTRY_VERIFY_WITH_TIMEOUT(Above(APPRESForm, e), 10000);
                QVERIFY(PlacedTogether(e));
                const QPointF point =
                    e->Chart->chart()->mapToPosition(e->Series1->at(0), e->Series1);
                const QPoint pixel = e->Chart->mapFromScene(e->Chart->chart()->mapToScene(point));
                const bool flagged = !e->Series1->pointConfiguration(0).isEmpty();
                QVERIFY(Click(e->Chart->viewport(), pixel, 3));
                QTRY_VERIFY_WITH_TIMEOUT(e->Series1->pointConfiguration(0).isEmpty() == flagged,
                                         10000);
                QTRY_VERIFY_WITH_TIMEOUT(Above(APPRESForm, e), 10000);
                QVERIFY(APPRESForm->isVisible());
                // The user drags the editor by its title bar: the chart follows it, never over
                // it. Then the editor goes to the area's corner and is resized.
                const QRect frame = e->frameGeometry();
                const QPoint title(frame.left() + frame.width() / 3,
                                   (frame.top() + e->geometry().top()) / 2);
                QVERIFY(Drag(title, title + QPoint(-120, 60)));
                QTRY_VERIFY_WITH_TIMEOUT(e->frameGeometry().topLeft() != frame.topLeft(), 10000);
                QTRY_VERIFY2_WITH_TIMEOUT(PlacedTogether(e),
                                          qPrintable("editor " + Describe(e->frameGeometry()) +
                                                     ", chart " +
                                                     Describe(APPRESForm->frameGeometry())),
                                          10000);
                const QRect area = e->screen()->availableGeometry();
                e->move(area.topLeft());
                QTRY_VERIFY_WITH_TIMEOUT(PlacedTogether(e), 10000);
                e->resize(e->size() + QSize(40, 20));
                QTRY_VERIFY_WITH_TIMEOUT(PlacedTogether(e), 10000);
                Screenshot("curve-editor-moved");
            }();
            if (e->isVisible()) e->reject();
        });
        timer.start(0);
        Form1->N17Click(Form1->N17);
        QVERIFY(reached);
        QVERIFY(APPRESForm == nullptr);
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    CurveEditorX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_curveeditor_x11.moc"
