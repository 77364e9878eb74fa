#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <functional>

#include "app/MainForm.h"
#include "app/ScriptedUserInterface.h"
#include "geometry/StationGrid.h"
#include "geometry/forms/XY.h"
#include "map/TxRx.h"
#include "tests/processing/forms/ViewerSurvey.h"

namespace {

// The live widgets of a class, deferred deletions let run first.
int LiveWidgets(const char* className)
{
    FlushDeletes();
    int count = 0;
    for (QWidget* widget : QApplication::allWidgets())
        if (widget->inherits(className)) ++count;
    return count;
}

// Runs the command; the modal dialog it shows is cancelled once its loop runs, the way the user
// closes it. False when no dialog came up.
bool RunAndCancel(const std::function<void()>& command)
{
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            shown = true;
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        }
    });
    command();
    return shown;
}

}  // namespace

class WindowOwnershipTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { StartMainForm(); }

    void cleanupTestCase() { delete Form1; }

    void init() { LoadViewerSurvey(Form1); }

    // A dialog made for one command is freed when the command ends, however often it is used.
    void dialogsMadePerUseAreFreedAfterIt_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("dialogClass");
        QTest::newRow("about box") << "N22"
                                   << "TAbout";
        QTest::newRow("about box, help button") << "ToolButton20"
                                                << "TAbout";
        QTest::newRow("model builder") << "N25"
                                       << "TForm7";
        QTest::newRow("output dialog") << "N1"
                                       << "TForm3";
        QTest::newRow("rotation dialog") << "N28"
                                         << "TForm8";
        QTest::newRow("station editor") << "N19"
                                        << "TChangeXY";
        QTest::newRow("transmitter dialog") << "N15"
                                            << "TTxPosForm";
        QTest::newRow("correction viewer") << "N13"
                                           << "TForm6";
        QTest::newRow("curve editor") << "N17"
                                      << "TTruncIPForm";
    }

    void dialogsMadePerUseAreFreedAfterIt()
    {
        QFETCH(QString, entry);
        QFETCH(QString, dialogClass);
        auto* action = Form1->findChild<QAction*>(entry);
        QVERIFY(action);
        ScriptedUserInterface ui;
        const QByteArray name = dialogClass.toLatin1();
        QCOMPARE(LiveWidgets(name), 0);
        for (int use = 0; use < 5; ++use) QVERIFY(RunAndCancel([action] { action->trigger(); }));
        QCOMPARE(LiveWidgets(name), 0);
        QVERIFY(ui.Shown.empty());
    }

    // The station editor's own dialogs, the linear transform and the line number prefix.
    void stationEditorDialogsAreFreedAfterTheirUse()
    {
        TChangeXY editor(nullptr);
        editor.SetGrid(MakePositionGrid(*Form1));
        for (QAction* action : {editor.Transform1, editor.N9})
            for (int use = 0; use < 5; ++use)
                QVERIFY(RunAndCancel([action] { action->trigger(); }));
        QCOMPARE(LiveWidgets("TTransForm"), 0);
        QCOMPARE(LiveWidgets("TForm10"), 0);
    }
};

QTEST_MAIN(WindowOwnershipTest)
#include "tst_windowownership.moc"
