#include "app/Application.h"

#include <exception>
#include <memory>

#include "app/CommandGuard.h"
#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "map/TxRx.h"

QuillaneApplication::QuillaneApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The title as the application's name only: a display name would be appended by Qt to the
    // caption of every window, so "可控源数据预处理" and the boxes' own captions would change.
    setApplicationName(QString::fromUtf8(kApplicationTitle));
}

// The last guard: the windows' commands catch their errors at the slot (app/CommandGuard.h);
// whatever else escapes an event is shown here the same way.
bool QuillaneApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        return !ShowCommandException(std::current_exception());
    }
}

int RunQuillane(int argc, char** argv)
{
    std::unique_ptr<QuillaneApplication> app;
    try {
        app = std::make_unique<QuillaneApplication>(argc, argv);
        Form1 = new TForm1(nullptr);
        Form1->showMaximized();
        Form2 = new TForm2(Form1);
        // Closing the main window ends the program, whatever other top-level window is open.
        QObject::connect(Form1, &TForm1::Closed, app.get(), &QApplication::quit);
        app->exec();
    } catch (const std::exception& e) {
        if (app) ShowExceptionBox(e.what());
    } catch (...) {
        if (app) ShowExceptionBox(std::string());
    }
    delete Form1;
    Form1 = nullptr;
    Form2 = nullptr;
    return 0;
}
