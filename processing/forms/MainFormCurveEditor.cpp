// The main window's curve-editor command.

#include <memory>

#include "app/MainForm.h"
#include "processing/CurveEditor.h"
#include "processing/forms/TruncIPForm.h"

void TForm1::N17Click(QObject* Sender)
{
    (void)Sender;
    if (LoadRunning) return;
    if (!BeginCurveEditing(*this)) {
        SystemMessageBox(nullptr, kNoDataToEditText, kNoDataToEditCaption, MB_OK);
        return;
    }
    std::unique_ptr<TTruncIPForm> editor = std::make_unique<TTruncIPForm>(this);
    editor->Open();
    const bool accepted = editor->exec() == QDialog::Accepted;
    FinishCurveEditing(*this, editor->Session, accepted);
}
