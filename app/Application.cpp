#include "app/Application.h"

#include <QMainWindow>
#include <QMessageBox>
#include <exception>

const char* const kApplicationTitle = "Quillane 20130329";

QuillaneApplication::QuillaneApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QString::fromUtf8(kApplicationTitle));
    setApplicationDisplayName(QString::fromUtf8(kApplicationTitle));
}

bool QuillaneApplication::notify(QObject* receiver, QEvent* event)
{
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QString();
    }
    QMessageBox::critical(activeWindow(), QString::fromUtf8(kApplicationTitle), message);
    return false;
}

int RunQuillane(int argc, char** argv)
{
    QuillaneApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8("可控源数据预处理"));
    window.showMaximized();
    return app.exec();
}
