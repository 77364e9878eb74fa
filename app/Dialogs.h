#pragma once
// The toolkit adapters: file dialogs, message boxes, input box and exception box, with the filters,
// flags and replies the windows use. Every one of them is shown through the current UserInterface,
// so that a window test can install a ScriptedUserInterface (app/ScriptedUserInterface.h) and
// answer them.
//
//   FileDialog d(FileDialog::Open);      d.Filter = "Raw(*.raw)|*.raw|";  d.Execute()
//       true after OK: Files holds every chosen name (UTF-8), FileName the first, FilterIndex the
//       chosen pair (1-based); false after Cancel, nothing changed. A save dialog gives a name
//       typed without an extension the extension of the chosen filter, and asks before it gives
//       the name of an existing file.
//   ShowMessage(text)                    plain box captioned with the application title
//   SystemMessageBox(owner, text, caption, MB_OK | MB_ICONWARNING)  -> IDOK, IDCANCEL, IDYES ...
//   InputBox(caption, prompt, default)   the reply, or the default when cancelled
//   ShowExceptionBox(message)            the application's exception box
//
// All texts are UTF-8; file names are the system's bytes (UTF-8 on Linux).

#include <QStringList>
#include <string>
#include <vector>

class QWidget;

// The application's title: its name, and the caption of plain boxes and the exception box.
extern const char* const kApplicationTitle;  // "Quillane 20130329"

class FileDialog {
public:
    enum Kind { Open, Save, SavePicture };
    explicit FileDialog(Kind kind) : DialogKind(kind) {}

    Kind DialogKind;
    std::string Title;
    std::string Filter;   // "description|pattern|description|pattern|", patterns split by ";"
    int FilterIndex = 1;  // 1-based pair shown first, and the one chosen after OK
    // Added to a typed name without extension ("raw" or ".raw"); a save dialog adds the extension
    // of the chosen filter instead, this one only where that filter names none ("*", "*.*").
    std::string DefaultExt;
    std::string InitialDir;
    std::string FileName;  // preset name before; after OK the first chosen name
    std::vector<std::string> Files;
    bool AllowMultiSelect = false;
    bool FileMustExist = false;   // the path and the file must exist
    bool OverwritePrompt = true;  // a save dialog asks before it gives an existing file's name
    // A save dialog whose command saves under the chosen name with this extension (".txt")
    // gives that name back, so that it asks about the file that is replaced.
    std::string SaveExt;
    QWidget* Owner = nullptr;

    bool Execute();
};

// The extension that pair index (1-based) of a filter names, without its point ("stn" of
// "*.stn"); empty where its first pattern names none ("*", "*.*") or there is no such pair.
std::string FilterExtension(const std::string& filter, int index);

// The name a save dialog gives back for a chosen one: with SaveExt, its extension replaced by
// that; else, a name without an extension takes FilterExtension of the chosen filter, or
// DefaultExt where that is empty.
std::string SavedFileName(const FileDialog& dialog, const std::string& chosen);

// The question before an existing file is replaced.
std::string ReplaceQuestion(const std::string& fileName);

// The filter in Qt's form: one entry "description (p1 p2)" per pair; a description that already
// ends in its own patterns in brackets is kept as it is.
QStringList QtNameFilters(const std::string& filter);

// The system message box's buttons, icons and results, with the values of the system's API.
enum : int {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // Shows the dialog; after OK fills Files, FileName and FilterIndex and returns true.
    virtual bool RunFileDialog(FileDialog& dialog) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    virtual int SystemMessageBox(QWidget* owner, const std::string& text,
                                 const std::string& caption, int flags) = 0;
    // Returns false when cancelled; value holds the default before and the reply after.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value) = 0;
    virtual void ShowException(const std::string& message) = 0;
};

// The dialogs and boxes of Qt.
class QtUserInterface : public UserInterface {
public:
    bool RunFileDialog(FileDialog& dialog) override;
    void ShowMessage(const std::string& text) override;
    int SystemMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                         int flags) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    void ShowException(const std::string& message) override;
};

// The interface in use (Qt's unless one was installed).
UserInterface& CurrentUserInterface();
// Installs an interface (nullptr puts Qt's back) and returns the one installed before.
UserInterface* SetUserInterface(UserInterface* ui);

void ShowMessage(const std::string& text);
int SystemMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                     int flags);
std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultValue);
void ShowExceptionBox(const std::string& message);
