#include "app/Dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

#include "base/FileName.h"
#include "chart/forms/DisplayText.h"

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

std::string FilterExtension(const std::string& filter, int index)
{
    const std::vector<std::string> parts = SplitAtBars(filter);
    const size_t at = static_cast<size_t>(index) * 2 - 1;
    if (index < 1 || at >= parts.size()) return std::string();
    std::string pattern = parts[at].substr(0, parts[at].find(';'));
    while (!pattern.empty() && pattern.front() == ' ') pattern.erase(0, 1);
    while (!pattern.empty() && pattern.back() == ' ') pattern.pop_back();
    if (pattern.rfind("*.", 0) != 0) return std::string();
    const std::string ext = pattern.substr(2);
    if (ext.empty() || ext.find_first_of("*?[.") != std::string::npos) return std::string();
    return ext;
}

std::string SavedFileName(const FileDialog& dialog, const std::string& chosen)
{
    if (!dialog.SaveExt.empty()) return ChangeFileExt(chosen, dialog.SaveExt);
    if (!ExtractFileExt(chosen).empty()) return chosen;
    std::string ext = FilterExtension(dialog.Filter, dialog.FilterIndex);
    if (ext.empty()) ext = dialog.DefaultExt;
    if (ext.empty()) return chosen;
    return chosen + (ext.front() == '.' ? ext : "." + ext);
}

std::string ReplaceQuestion(const std::string& fileName)
{
    return "文件 " + DisplayText(fileName).toStdString() + " 已经存在，是否替换？";
}

bool FileDialog::Execute()
{
    if (DialogKind == Open) return CurrentUserInterface().RunFileDialog(*this);
    const std::string initialDir = InitialDir, fileName = FileName;
    const std::vector<std::string> files = Files;
    const int filterIndex = FilterIndex;
    for (;;) {
        const bool chosen = CurrentUserInterface().RunFileDialog(*this);
        InitialDir = initialDir;
        if (!chosen) {
            // Cancelled after a name was refused: the dialog stands as before it was shown.
            FileName = fileName;
            Files = files;
            FilterIndex = filterIndex;
            return false;
        }
        FileName = SavedFileName(*this, FileName);
        Files = {FileName};
        const QFileInfo existing(QFile::decodeName(FileName.c_str()));
        if (!OverwritePrompt || !existing.exists() || existing.isDir()) return true;
        if (SystemMessageBox(Owner, ReplaceQuestion(FileName), kApplicationTitle,
                             MB_YESNO | MB_ICONWARNING) == IDYES)
            return true;
        // Asked again where the name was chosen, with the name to change.
        InitialDir.clear();
    }
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
        // FileDialog::Execute asks itself, about the name the command saves under.
        box.setOption(QFileDialog::DontConfirmOverwrite, true);
    }
    const QStringList filters = QtNameFilters(dialog.Filter);
    if (!filters.isEmpty()) {
        box.setNameFilters(filters);
        const int index = dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size()
                              ? dialog.FilterIndex - 1
                              : 0;
        box.selectNameFilter(filters[index]);
    }
    // A save dialog's suffix is that of the filter chosen, and follows the choice.
    const auto suffixOf = [&dialog](int index) {
        if (dialog.DialogKind == FileDialog::Open) return FromUtf8(dialog.DefaultExt);
        FileDialog chosen = dialog;
        chosen.FilterIndex = index;
        const std::string ext = ExtractFileExt(SavedFileName(chosen, "x"));
        return FromUtf8(ext.empty() ? ext : ext.substr(1));
    };
    box.setDefaultSuffix(suffixOf(dialog.FilterIndex));
    if (dialog.DialogKind != FileDialog::Open)
        QObject::connect(
            &box, &QFileDialog::filterSelected, &box,
            [&box, &filters, &suffixOf](const QString& filter) {
                box.setDefaultSuffix(suffixOf(static_cast<int>(filters.indexOf(filter)) + 1));
            });
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
