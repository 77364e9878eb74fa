#pragma once

#include <QApplication>

// The application: its title, and the exception box for whatever escapes a command.
class QuillaneApplication : public QApplication {
public:
    QuillaneApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

extern const char* const kApplicationTitle;  // "Quillane 20130329"

int RunQuillane(int argc, char** argv);
