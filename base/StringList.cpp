#include "base/StringList.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Exception.h"
#include "base/TextStream.h"

namespace {

// The file a save lands in: a symbolic link is followed to its target (also one that does not
// exist yet), so the link stays a link and the target gets the text. EFCreateError for a loop.
std::string SaveTarget(const std::string& fileName)
{
    std::string path = fileName;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string target(static_cast<size_t>(info.st_size) + 256, '\0');
        ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<size_t>(n) >= target.size()) throw EFCreateError(fileName);
        target.resize(static_cast<size_t>(n));
        size_t slash = path.rfind('/');
        if (target.front() != '/' && slash != std::string::npos)
            target = path.substr(0, slash + 1) + target;
        path = target;
    }
    throw EFCreateError(fileName);
}

// The temporary file of a save, beside the file and named after it, so that one left by an
// interrupted save is known for what it is and the next save of the file removes it.
std::string TemporaryName(const std::string& path)
{
    size_t slash = path.rfind('/');
    size_t start = slash == std::string::npos ? 0 : slash + 1;
    // A name near the file system's limit keeps only as much of itself as leaves room for the
    // marks around it.
    const std::string suffix = ".quillane-tmp";
    const size_t room = 255 - 1 - suffix.size();
    return path.substr(0, start) + "." + path.substr(start, room) + suffix;
}

bool WriteAll(int fd, const std::string& bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<size_t>(n);
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced leaves the save done all the
// same.
void SyncFolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

void StringList::SetText(const std::string& text)
{
    Lines.clear();
    size_t start = 0, i = 0, n = text.size();
    while (i < n) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            Lines.emplace_back(text, start, i - start);
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < n) Lines.emplace_back(text, start, n - start);
}

std::string StringList::Text() const
{
    std::string text;
    size_t size = 0;
    for (const std::string& line : Lines) size += line.size() + 2;
    text.reserve(size);
    for (const std::string& line : Lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void StringList::LoadFromFile(const std::string& fileName)
{
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes)) throw EFOpenError(fileName);
    SetText(bytes);
}

void StringList::SaveToFile(const std::string& fileName) const
{
    WriteFileReplacing(fileName, Text());
}

PreparedFile PrepareFileReplacing(const std::string& fileName, const std::string& bytes)
{
    const std::string path = SaveTarget(fileName);
    // A file that exists but is read-only (no write bit, or not writable for this user) is refused,
    // as creating it anew would be; root's permission to write anyway is not used. Nor is anything
    // but a regular file replaced by one.
    struct stat existing;
    const bool exists = stat(path.c_str(), &existing) == 0;
    if (exists && ((existing.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0 ||
                   !S_ISREG(existing.st_mode)))
        throw EFCreateError(fileName);
    const std::string tempName = TemporaryName(path);
    unlink(tempName.c_str());
    // A new file gets the usual permissions: 0666 less the umask.
    int fd = open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) throw EFCreateError(fileName);
    bool ok = true;
    if (exists) {
        // Owner first, as a change of owner clears the set-id bits; where this process may not
        // give the file its owner (or group), the saved file is the saver's.
        if (fchown(fd, existing.st_uid, existing.st_gid) != 0)
            static_cast<void>(fchown(fd, static_cast<uid_t>(-1), existing.st_gid) == 0);
        ok = fchmod(fd, existing.st_mode & 07777) == 0;
    }
    ok = ok && WriteAll(fd, bytes) && fsync(fd) == 0;
    if (close(fd) != 0) ok = false;
    if (!ok) {
        unlink(tempName.c_str());
        throw EFCreateError(fileName);
    }
    return {fileName, path, tempName};
}

void CommitFileReplacing(const PreparedFile& file)
{
    if (std::rename(file.TempName.c_str(), file.Path.c_str()) != 0) {
        unlink(file.TempName.c_str());
        throw EFCreateError(file.FileName);
    }
    SyncFolderOf(file.Path);
}

void DiscardFileReplacing(const PreparedFile& file)
{
    unlink(file.TempName.c_str());
}

void WriteFileReplacing(const std::string& fileName, const std::string& bytes)
{
    CommitFileReplacing(PrepareFileReplacing(fileName, bytes));
}
