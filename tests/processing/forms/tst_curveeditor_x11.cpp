// The curve editor's companion chart under a real X server with a window manager: its frame
// above the editor's, on the screen, stacked above the maximized main window.

#include <QtTest>

#include <QProcess>
#include <QScreen>
#include <functional>

#include "app/Application.h"
#include "app/MainForm.h"
#include "processing/forms/APPRESForm.h"
#include "processing/forms/TruncIPForm.h"

namespace {

TStation Station(const std::string& name, float amplitude, const std::string& hyName = "H0")
{
    TStation s;
    s.Name = name;
    s.Info.HyName = hyName;
    const float freqs[] = {1, 10, 100, 1000};
    for (int i = 0; i < 4; ++i) {
        s.Amplitude.X.push_back(freqs[i]);
        s.Phase.X.push_back(freqs[i]);
        s.Amplitude.Y.push_back(amplitude * (i + 1));
        s.Phase.Y.push_back(0.25f * (i + 1));
    }
    s.Amplitude.Count = s.Phase.Count = 4;
    return s;
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

// The companion's frame centred above the editor's with 2 pixels between them.
bool PlacedAbove(const TTruncIPForm* editor)
{
    const QRect e = editor->frameGeometry(), c = APPRESForm->frameGeometry();
    return c.top() + c.height() + 2 == e.top() &&
           c.left() == e.left() + e.width() / 2 - c.width() / 2;
}

}  // namespace

class CurveEditorX11Test : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
        Form1 = new TForm1(nullptr);
        Form1->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        // The window manager has framed and maximized it.
        QTRY_VERIFY_WITH_TIMEOUT(Form1->frameGeometry().height() > Form1->height() &&
                                     Form1->frameGeometry().width() >= 1900,
                                 10000);
    }

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
                QTRY_VERIFY_WITH_TIMEOUT(
                    APPRESForm->frameGeometry().height() > APPRESForm->height() && PlacedAbove(e),
                    10000);
                const QRect companion = APPRESForm->frameGeometry();
                const QRect area = e->screen()->availableGeometry();
                QVERIFY2(area.contains(companion),
                         qPrintable(Describe(companion) + " outside " + Describe(area)));
                QVERIFY(!companion.intersects(e->frameGeometry()));
                QTRY_VERIFY_WITH_TIMEOUT(Above(APPRESForm, Form1), 10000);
                QVERIFY(Above(e, Form1));
                const QString shots = qEnvironmentVariable("QUILLANE_SCREENSHOT_DIR");
                if (!shots.isEmpty())
                    QVERIFY(e->screen()->grabWindow(0).save(shots + "/curve-editor-x11.png"));
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
