#include "app/Dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

const char* const kApplicationTitle = "Quillane 20130329";

namespace {

// A box or dialog shown in the middle of a step with the busy cursor waits for the user: it shows
// the arrow.
class ArrowWhileShown {
public:
    ArrowWhileShown() : pushed_(QApplication::overrideCursor() != nullptr)
    {
        if (pushed_) QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
    ~ArrowWhileShown()
    {
        if (pushed_) QApplication::restoreOverrideCursor();
    }

private:
    bool pushed_;
};

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FileNameBytes(const QString& name)
{
    return QFile::encodeName(name).toStdString();
}

QString ApplicationTitle()
{
    return QString::fromUtf8(kApplicationTitle);
}

std::vector<std::string> SplitAtBars(const std::string& text)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == '|') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

QtUserInterface& QtInterface()
{
    static QtUserInterface ui;
    return ui;
}

UserInterface* installed = nullptr;

}  // namespace

QStringList QtNameFilters(const std::string& filter)
{
    QStringList result;
    const std::vector<std::string> parts = SplitAtBars(filter);
    for (size_t i = 0; i < parts.size(); i += 2) {
        const QString description = FromUtf8(parts[i]).trimmed();
        const QString patterns =
            i + 1 < parts.size() ? FromUtf8(parts[i + 1]).split(';', Qt::SkipEmptyParts).join(' ')
                                 : QString("*");
        QString own;
        const qsizetype open = description.lastIndexOf('(');
        if (description.endsWith(')') && open >= 0)
            own = description.mid(open + 1, description.size() - open - 2)
                      .split(QRegularExpression("[; ]"), Qt::SkipEmptyParts)
                      .join(' ');
        result << (own == patterns ? description : description + " (" + patterns + ")");
    }
    return result;
}

bool FileDialog::Execute()
{
    return CurrentUserInterface().RunFileDialog(*this);
}

bool QtUserInterface::RunFileDialog(FileDialog& dialog)
{
    const ArrowWhileShown arrow;
    QFileDialog box(dialog.Owner, FromUtf8(dialog.Title));
    if (dialog.DialogKind == FileDialog::Open) {
        box.setAcceptMode(QFileDialog::AcceptOpen);
        if (dialog.FileMustExist)
            box.setFileMode(dialog.AllowMultiSelect ? QFileDialog::ExistingFiles
                                                    : QFileDialog::ExistingFile);
        else
            box.setFileMode(QFileDialog::AnyFile);
    } else {
        box.setAcceptMode(QFileDialog::AcceptSave);
        box.setFileMode(QFileDialog::AnyFile);
        box.setOption(QFileDialog::DontConfirmOverwrite, !dialog.OverwritePrompt);
    }
    const QStringList filters = QtNameFilters(dialog.Filter);
    if (!filters.isEmpty()) {
        box.setNameFilters(filters);
        const int index = dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size()
                              ? dialog.FilterIndex - 1
                              : 0;
        box.selectNameFilter(filters[index]);
    }
    box.setDefaultSuffix(FromUtf8(dialog.DefaultExt));
    const QString fileName = QFile::decodeName(dialog.FileName.c_str());
    if (!dialog.InitialDir.empty())
        box.setDirectory(QFile::decodeName(dialog.InitialDir.c_str()));
    else if (!fileName.isEmpty())
        box.setDirectory(QFileInfo(fileName).absolutePath());
    if (!fileName.isEmpty()) box.selectFile(QFileInfo(fileName).fileName());
    if (box.exec() != QDialog::Accepted) return false;
    const QStringList chosen = box.selectedFiles();
    if (chosen.isEmpty()) return false;
    dialog.Files.clear();
    for (const QString& name : chosen) dialog.Files.push_back(FileNameBytes(name));
    dialog.FileName = dialog.Files.front();
    const qsizetype index = filters.indexOf(box.selectedNameFilter());
    if (index >= 0) dialog.FilterIndex = static_cast<int>(index) + 1;
    return true;
}

void QtUserInterface::ShowMessage(const std::string& text)
{
    const ArrowWhileShown arrow;
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), FromUtf8(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

int QtUserInterface::SystemMessageBox(QWidget* owner, const std::string& text,
                                      const std::string& caption, int flags)
{
    const ArrowWhileShown arrow;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        icon = QMessageBox::Critical;
        break;
    case MB_ICONQUESTION:
        icon = QMessageBox::Question;
        break;
    case MB_ICONWARNING:
        icon = QMessageBox::Warning;
        break;
    case MB_ICONINFORMATION:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MB_YESNOCANCEL:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case MB_YESNO:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    default:
        break;
    }
    QMessageBox box(icon, FromUtf8(caption), FromUtf8(text), buttons, owner);
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Ok:
        return IDOK;
    default:
        return (flags & 0x0F) == MB_OK ? IDOK : IDCANCEL;
    }
}

bool QtUserInterface::InputQuery(const std::string& caption, const std::string& prompt,
                                 std::string& value)
{
    const ArrowWhileShown arrow;
    bool ok = false;
    const QString reply =
        QInputDialog::getText(QApplication::activeWindow(), FromUtf8(caption), FromUtf8(prompt),
                              QLineEdit::Normal, FromUtf8(value), &ok);
    if (ok) value = reply.toStdString();
    return ok;
}

void QtUserInterface::ShowException(const std::string& message)
{
    const ArrowWhileShown arrow;
    QMessageBox::critical(QApplication::activeWindow(), ApplicationTitle(), FromUtf8(message));
}

UserInterface& CurrentUserInterface()
{
    return installed ? *installed : QtInterface();
}

UserInterface* SetUserInterface(UserInterface* ui)
{
    UserInterface* before = installed;
    installed = ui;
    return before;
}

void ShowMessage(const std::string& text)
{
    CurrentUserInterface().ShowMessage(text);
}

int SystemMessageBox(QWidget* owner, const std::string& text, const std::string& caption, int flags)
{
    return CurrentUserInterface().SystemMessageBox(owner, text, caption, flags);
}

std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultValue)
{
    std::string value = defaultValue;
    if (!CurrentUserInterface().InputQuery(caption, prompt, value)) return defaultValue;
    return value;
}

void ShowExceptionBox(const std::string& message)
{
    CurrentUserInterface().ShowException(message);
}
