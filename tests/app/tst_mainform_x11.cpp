// The main window under a real X server with a window manager: a right click on its menu bar or
// tool bar opens no menu over it and hides nothing.

#include <QtTest>

#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/Application.h"
#include "app/MainForm.h"
#include "map/TxRx.h"
#include "tests/support/forms/WindowFixture.h"

class MainFormX11Test : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { StartMaximizedMainFormWithMap(); }

    void cleanupTestCase() { delete Form1; }

    void rightClicksOpenNoMenu()
    {
        QWindow* window = Form1->windowHandle();
        const QWidget* places[] = {Form1->menuBar(), Form1->MainTools, Form1->StatusBar1};
        for (const QWidget* place : places) {
            const QPoint at = place->mapTo(Form1, QPoint(place->width() - 6, place->height() / 2));
            QTest::mousePress(window, Qt::RightButton, {}, at);
            QTest::qWait(0);
            QVERIFY2(!QApplication::activePopupWidget(), qPrintable(place->objectName()));
            QTest::mouseRelease(window, Qt::RightButton, {}, at);
            QVERIFY2(!QApplication::activePopupWidget(), qPrintable(place->objectName()));
        }
        QVERIFY(Form1->MainTools->isVisible());
        for (const QWidget* top : QApplication::topLevelWidgets())
            QVERIFY2(!top->isVisible() || !qobject_cast<const QMenu*>(top),
                     qPrintable(top->objectName()));
    }
};

int main(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    MainFormX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainform_x11.moc"
