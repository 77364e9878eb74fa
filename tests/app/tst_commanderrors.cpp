#include <QtTest>

#include <QAction>
#include <QLineSeries>
#include <QMdiArea>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "processing/forms/RES_PREVIEW.h"
#include "processing/forms/SEC.h"
#include "tests/processing/forms/ViewerSurvey.h"

// The plain QApplication of QTEST_MAIN, without the program's notify: an error a command lets
// leave its slot reaches the test instead of the exception box.

namespace {

// The exception boxes shown, each closed with its button as the user would.
struct BoxWatch {
    QStringList captions, texts;
    QTimer timer;
    BoxWatch()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            captions << box->windowTitle();
            texts << box->text();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        timer.start(10);
    }
};

void ClickToolButton(QAction* action)
{
    auto* button = qobject_cast<QToolButton*>(Form1->MainTools->widgetForAction(action));
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

class CommandErrorsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { StartMainForm(); }

    void cleanupTestCase() { delete Form1; }

    void init() { LoadViewerSurvey(Form1); }

    void cleanup()
    {
        Form1->MdiArea->closeAllSubWindows();
        FlushDeletes();
    }

    // A command that fails, reached through the pop-up menu, a tool-bar button or a button of a
    // child window: the box with the program's caption shows the error, the command ends, what
    // it did before the error stays, and the next command works.
    void errorOfACommandEndsInTheBox_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("pop-up menu item") << 0;
        QTest::newRow("tool-bar button") << 1;
        QTest::newRow("button of the static-shift window") << 2;
    }

    void errorOfACommandEndsInTheBox()
    {
        QFETCH(int, way);
        BoxWatch boxes;
        if (way == 2) {
            Form1->SEC1Click();
            QVERIFY(Form4);
            Form4->Points[0].SEC = 4.0;
            Form1->StaticFactors[1].Name = "L2";
            QTest::mouseClick(Form4->SpeedButton1, Qt::LeftButton);
            QCOMPARE(Form1->StaticFactors[0].Factor, 4.0f);  // set before the bad entry
        } else {
            Form1->ExStations[1].Name = "L2";
            if (way == 0) {
                QMenu* menu = Form1->PopupMenu1;
                menu->popup(Form1->mapToGlobal(QPoint(40, 40)));
                QVERIFY(QTest::qWaitForWindowExposed(menu));
                QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                                  menu->actionGeometry(Form1->SEC1).center());
            } else {
                ClickToolButton(Form1->ToolButton1);
            }
            QVERIFY(Form4 && Form4->isVisible());  // opened before the bad name
            QCOMPARE(Form4->Series1->count(), 1);
        }
        QCOMPARE(boxes.captions, QStringList({QString::fromUtf8(kApplicationTitle)}));
        QCOMPARE(boxes.texts, QStringList({"'L2' is not a valid floating point value"}));

        ClickToolButton(Form1->DataPreview);
        QVERIFY(Form5 && Form5->isVisible());
        QCOMPARE(boxes.texts.size(), 1);
    }
};

QTEST_MAIN(CommandErrorsTest)
#include "tst_commanderrors.moc"
