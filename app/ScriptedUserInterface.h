#pragma once
// A UserInterface for window tests: it answers every dialog from queues filled by the test and
// records what was shown. Install it for a scope:
//
//   ScriptedUserInterface ui;                  // installs itself, puts the previous one back
//   ui.FileAnswers.push_back({{"/tmp/a.raw"}});   // the next file dialog chooses one file
//   ui.FileAnswers.push_back({});                  // the one after it is cancelled
//   Form1->N20Click();
//   QCOMPARE(ui.Dialogs.size(), 2u);  QCOMPARE(ui.Shown.back().Text, "...");
//
// With a queue empty: file dialogs and input boxes are cancelled, message boxes answer IDOK, or
// IDYES when they ask yes or no.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/Dialogs.h"

struct FileAnswer {
    std::vector<std::string> Files;  // empty: Cancel
    int FilterIndex = 0;             // 0: the dialog's index stays
};

class ScriptedUserInterface : public UserInterface {
public:
    enum ShownKind { Message, MessageBox, Input, ExceptionBox };
    struct ShownItem {
        ShownKind Kind;
        std::string Caption;  // empty for Message and ExceptionBox
        std::string Text;     // the message, or the input box's prompt
        int Flags = 0;
        QWidget* Owner = nullptr;
    };

    std::deque<FileAnswer> FileAnswers;
    std::deque<int> MessageBoxAnswers;
    std::deque<std::optional<std::string>> InputAnswers;  // nullopt: Cancel

    std::vector<FileDialog> Dialogs;  // every file dialog as it stood when shown
    std::vector<ShownItem> Shown;     // every box, in order

    ScriptedUserInterface() : previous_(SetUserInterface(this)) {}
    ~ScriptedUserInterface() override { SetUserInterface(previous_); }
    ScriptedUserInterface(const ScriptedUserInterface&) = delete;
    ScriptedUserInterface& operator=(const ScriptedUserInterface&) = delete;

    bool RunFileDialog(FileDialog& dialog) override
    {
        Dialogs.push_back(dialog);
        if (FileAnswers.empty()) return false;
        FileAnswer answer = FileAnswers.front();
        FileAnswers.pop_front();
        if (answer.Files.empty()) return false;
        dialog.Files = answer.Files;
        dialog.FileName = answer.Files.front();
        if (answer.FilterIndex > 0) dialog.FilterIndex = answer.FilterIndex;
        return true;
    }
    void ShowMessage(const std::string& text) override
    {
        Shown.push_back({Message, std::string(), text, 0, nullptr});
    }
    int SystemMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                         int flags) override
    {
        Shown.push_back({MessageBox, caption, text, flags, owner});
        if (MessageBoxAnswers.empty()) {
            const int buttons = flags & 0x0F;
            return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
        }
        const int answer = MessageBoxAnswers.front();
        MessageBoxAnswers.pop_front();
        return answer;
    }
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override
    {
        Shown.push_back({Input, caption, prompt, 0, nullptr});
        if (InputAnswers.empty()) return false;
        std::optional<std::string> answer = InputAnswers.front();
        InputAnswers.pop_front();
        if (!answer) return false;
        value = *answer;
        return true;
    }
    void ShowException(const std::string& message) override
    {
        Shown.push_back({ExceptionBox, std::string(), message, 0, nullptr});
    }

private:
    UserInterface* previous_;
};
