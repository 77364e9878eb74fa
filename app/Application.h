#pragma once

#include <QApplication>

// The application: its name, and the exception box for whatever escapes an event handler (an
// object that is no exception shows an empty message; the loop goes on). The commands catch
// their own errors first (app/CommandGuard.h); this is the last guard.
class QuillaneApplication : public QApplication {
public:
    QuillaneApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The start-up: the main window Form1 maximized, then the station map Form2, then the message
// loop until the main window closes. Returns 0 in every case.
int RunQuillane(int argc, char** argv);
