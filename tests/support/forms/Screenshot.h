#pragma once
// Screenshots of the window tests, to look at what the user sees: with QUILLANE_SCREENSHOTS naming a
// folder, the whole screen, frames included, is saved there as <moment>-<width>x<height>.png.

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QTest>

inline QString ScreenName()
{
    const QSize size = QGuiApplication::primaryScreen()->size();
    return QString("%1x%2").arg(size.width()).arg(size.height());
}

inline void Screenshot(const QString& moment)
{
    const QString folder = qEnvironmentVariable("QUILLANE_SCREENSHOTS");
    if (folder.isEmpty()) return;
    // What the window system shows once the windows have painted what changed.
    QTest::qWait(300);
    QGuiApplication::primaryScreen()->grabWindow(0).save(
        QDir(folder).filePath(moment + "-" + ScreenName() + ".png"));
}
