#pragma once
// Set-up shared by the window tests: the main window with its map, modal dialogs checked from
// inside their own event loop, and the maximized main window under a real X server.

#include <QtTest>

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTimer>

#include "app/MainForm.h"
#include "map/TxRx.h"

// A shown main window with its map, as the windows expect it.
inline void StartMainForm()
{
    Form1 = new TForm1(nullptr);
    Form1->show();
    Form2 = new TForm2(Form1);
}

// Runs step on the modal dialog once its event loop runs; a dialog the step left open is
// cancelled, so that a failing step cannot hang the test.
template <class Dialog = QDialog, class Step>
void WhenShown(Step step)
{
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        step(dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

// The main window shown maximized under the X server, once the window manager has framed it and
// given it the width of the screen's area.
inline void StartMaximizedMainForm()
{
    QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    Form1 = new TForm1(nullptr);
    Form1->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
    QTRY_VERIFY_WITH_TIMEOUT(
        Form1->frameGeometry().height() > Form1->height() &&
            Form1->frameGeometry().width() >= Form1->screen()->availableGeometry().width() - 2,
        10000);
}

// The maximized main window with its station map, as the program starts.
inline void StartMaximizedMainFormWithMap()
{
    StartMaximizedMainForm();
    Form2 = new TForm2(Form1);
}
