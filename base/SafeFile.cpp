#include "base/SafeFile.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <linux/magic.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <climits>

#include <algorithm>
#include <chrono>
#include <memory>

#include "base/Exception.h"

namespace {

constexpr size_t kBufferBytes = 64 * 1024;
constexpr size_t kRandomChars = 8;
constexpr size_t kNameLimit = 255;

// A system call made again for as long as a signal interrupts it.
template <typename Call>
auto Retried(Call call)
{
    auto result = call();
    while (result < 0 && errno == EINTR) result = call();
    return result;
}

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

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// ".<name>.quillane-", the start of every temporary of the file. A name near the file system's
// limit keeps as much of itself as leaves room for the marks, cut before a UTF-8 character.
std::string TemporaryPrefix(const std::string& path)
{
    size_t slash = path.rfind('/');
    size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::string mark = ".quillane-";
    const size_t room = kNameLimit - 1 - mark.size() - kRandomChars;
    size_t length = path.size() - start;
    if (length > room) {
        length = room;
        while (length > 0 && (static_cast<unsigned char>(path[start + length]) & 0xC0) == 0x80)
            --length;
    }
    return path.substr(0, start) + "." + path.substr(start, length) + mark;
}

// File systems that take their names' rules from Windows (NTFS by its two Linux drivers).
bool HasWindowsNames(long type)
{
    switch (static_cast<unsigned long>(type)) {
    case MSDOS_SUPER_MAGIC:
    case EXFAT_SUPER_MAGIC:
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case 0x5346544eul:  // ntfs
    case 0x7366746eul:  // ntfs3
        return true;
    default:
        return false;
    }
}

// The length of UTF-8 text in UTF-16 units; a byte that begins no character counts as one.
size_t Utf16Units(std::string_view text)
{
    size_t units = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) == 0x80) continue;
        units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

bool IsRandomPart(const char* text)
{
    size_t n = 0;
    for (; text[n]; ++n)
        if (!std::isalnum(static_cast<unsigned char>(text[n]))) return false;
    return n > 0 && n <= kRandomChars;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Temporaries of the file that no save holds locked any more: an interrupted save left them.
void RemoveStaleTemporaries(const std::string& path, const std::string& prefix)
{
    const std::string folder = FolderOf(prefix + "x");
    const size_t nameStart = prefix.rfind('/') == std::string::npos ? 0 : prefix.rfind('/') + 1;
    const std::string namePrefix = prefix.substr(nameStart);
    // Closed however the walk ends, also when a name cannot be allocated.
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return;
    while (dirent* entry = readdir(dir.get())) {
        if (std::strncmp(entry->d_name, namePrefix.c_str(), namePrefix.size()) != 0) continue;
        if (!IsRandomPart(entry->d_name + namePrefix.size())) continue;
        const std::string name = prefix.substr(0, nameStart) + entry->d_name;
        if (name == path) continue;
        int fd = open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held, named;
        if (fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            lstat(name.c_str(), &named) == 0 && SameFile(held, named))
            unlink(name.c_str());
        close(fd);
    }
}

std::string RandomPart()
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[kRandomChars];
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // No entropy at hand: the clock and a counter still differ from save to save; the
        // exclusive create keeps a clash from doing harm.
        static unsigned long long counter = 0;
        unsigned long long seed = static_cast<unsigned long long>(
                                      std::chrono::steady_clock::now().time_since_epoch().count()) ^
                                  (++counter * 0x9E3779B97F4A7C15ull) ^
                                  static_cast<unsigned long long>(getpid());
        for (unsigned char& b : bytes) {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            b = static_cast<unsigned char>(seed >> 56);
        }
    }
    std::string part(kRandomChars, 'x');
    for (size_t i = 0; i < kRandomChars; ++i) part[i] = kChars[bytes[i] % 62];
    return part;
}

// A new temporary of the prefix, locked for as long as its save runs; -1 when none can be made.
int CreateTemporary(const std::string& prefix, std::string& tempName)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = prefix + RandomPart();
        // A new file gets the usual permissions: 0666 less the umask.
        const int fd = Retried([&] {
            return open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        0666);
        });
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        // Another save may have taken it for stale in the moment before the lock: then it is
        // gone, and a new one is made.
        struct stat held, named;
        const int locked = Retried([fd] { return flock(fd, LOCK_EX); });
        if (locked == 0 && fstat(fd, &held) == 0 && lstat(tempName.c_str(), &named) == 0 &&
            SameFile(held, named))
            return fd;
        close(fd);
        if (locked != 0) {
            unlink(tempName.c_str());
            return -1;
        }
    }
    return -1;
}

// Makes the rename itself durable; a folder that cannot be synced leaves the save done all the
// same.
void SyncFolderOf(const std::string& path)
{
    int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

FolderNameRules NameRulesOf(const std::string& path)
{
    FolderNameRules rules;
    const std::string folder = FolderOf(path);
    const long max = pathconf(folder.c_str(), _PC_NAME_MAX);
    if (max > 0) rules.NameMax = static_cast<size_t>(max);
    struct statfs info;
    if (statfs(folder.c_str(), &info) == 0) rules.WindowsNames = HasWindowsNames(info.f_type);
    return rules;
}

bool NameFitsRules(std::string_view name, const FolderNameRules& rules)
{
    const size_t slash = name.rfind('/');
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    if (name.empty() || name == "." || name == "..") return false;
    if (!rules.WindowsNames) return name.size() <= rules.NameMax;
    if (Utf16Units(name) > rules.NameMax) return false;
    for (unsigned char c : name)
        if (c < 0x20 || std::strchr("\"*:<>?\\|", c)) return false;
    return name.back() != ' ' && name.back() != '.';
}

bool SaveNameFits(const std::string& path)
{
    return path.size() < PATH_MAX && NameFitsRules(path, NameRulesOf(path));
}

SafeFile::SafeFile(const std::string& fileName) : fileName_(fileName), path_(SaveTarget(fileName))
{
    // A file that exists but is read-only (no write bit, or not writable for this user) is refused,
    // as creating it anew would be; root's permission to write anyway is not used. Nor is anything
    // but a regular file replaced by one.
    struct stat existing;
    const bool exists = stat(path_.c_str(), &existing) == 0;
    if (exists && ((existing.st_mode & 0222) == 0 || access(path_.c_str(), W_OK) != 0 ||
                   !S_ISREG(existing.st_mode)))
        throw EFCreateError(fileName);
    // A name the folder cannot hold would fail only at the final rename, after the whole text,
    // and after the files of its set before it were replaced.
    if (!exists && !SaveNameFits(path_)) throw EFCreateError(fileName);
    buffer_.reset(new char[kBufferBytes]);
    const std::string prefix = TemporaryPrefix(path_);
    RemoveStaleTemporaries(path_, prefix);
    fd_ = CreateTemporary(prefix, tempName_);
    if (fd_ < 0) throw EFCreateError(fileName);
    if (exists) {
        // Owner first, as a change of owner clears the set-id bits; where this process may not
        // give the file its owner (or group), the saved file is the saver's.
        if (fchown(fd_, existing.st_uid, existing.st_gid) != 0)
            static_cast<void>(fchown(fd_, static_cast<uid_t>(-1), existing.st_gid) == 0);
        if (fchmod(fd_, existing.st_mode & 07777) != 0) Fail();
    }
}

SafeFile::SafeFile(SafeFile&& other) noexcept
    : fileName_(std::move(other.fileName_)),
      path_(std::move(other.path_)),
      tempName_(std::move(other.tempName_)),
      fd_(other.fd_),
      buffer_(std::move(other.buffer_)),
      used_(other.used_),
      finished_(other.finished_)
{
    other.fd_ = -1;
}

SafeFile::~SafeFile()
{
    Discard();
}

void SafeFile::Append(std::string_view bytes)
{
    if (fd_ < 0 || finished_) Fail();
    if (used_ + bytes.size() > kBufferBytes) {
        Flush();
        // A piece as large as the buffer goes to the file as it is.
        if (bytes.size() >= kBufferBytes) {
            WriteAll(bytes);
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void SafeFile::WriteAll(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = Retried([&] { return write(fd_, bytes.data(), bytes.size()); });
        if (n <= 0) Fail();
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

void SafeFile::Flush()
{
    WriteAll(std::string_view(buffer_.get(), used_));
    used_ = 0;
}

void SafeFile::Finish()
{
    if (fd_ < 0) Fail();
    if (finished_) return;
    Flush();
    if (Retried([this] { return fsync(fd_); }) != 0) Fail();
    finished_ = true;
}

void SafeFile::Commit()
{
    Finish();
    // The temporary stays open, and so locked, until it has taken the file's place.
    if (std::rename(tempName_.c_str(), path_.c_str()) != 0) Fail();
    close(fd_);
    fd_ = -1;
    buffer_.reset();
    SyncFolderOf(path_);
}

void SafeFile::Discard()
{
    if (fd_ < 0) return;
    unlink(tempName_.c_str());
    close(fd_);
    fd_ = -1;
    buffer_.reset();
}

void SafeFile::Fail()
{
    Discard();
    throw EFCreateError(fileName_);
}

void WriteFileReplacing(const std::string& fileName, const std::string& bytes)
{
    SafeFile file(fileName);
    file.Append(bytes);
    file.Commit();
}

FileSetOutcome CommitTogether(std::vector<SafeFile>& files, std::vector<std::string> unwritten)
{
    FileSetOutcome outcome;
    if (unwritten.empty())
        for (SafeFile& file : files) {
            try {
                file.Finish();
            } catch (const EFCreateError&) {
                unwritten.push_back(file.FileName());
            }
        }
    if (!unwritten.empty()) {
        for (SafeFile& file : files) {
            if (std::find(unwritten.begin(), unwritten.end(), file.FileName()) == unwritten.end())
                outcome.Withheld.push_back(file.FileName());
            file.Discard();
        }
        outcome.Unwritten = std::move(unwritten);
        return outcome;
    }
    // Every file is whole on the disk before the first rename, but renames of several files
    // cannot be made one step: a rename that fails after another one succeeded leaves the files
    // replaced so far new and the rest old. The outcome names both, so the message can say so.
    for (size_t i = 0; i < files.size(); ++i) {
        try {
            files[i].Commit();
            outcome.Replaced.push_back(files[i].FileName());
        } catch (const EFCreateError&) {
            outcome.Unwritten.push_back(files[i].FileName());
            for (size_t k = i + 1; k < files.size(); ++k) {
                files[k].Discard();
                outcome.Withheld.push_back(files[k].FileName());
            }
            return outcome;
        }
    }
    outcome.Replaced.clear();
    return outcome;
}

FileSetOutcome WriteFileSet(const std::vector<FileInSet>& files,
                            const std::function<void()>& beforeCommit)
{
    std::vector<SafeFile> saves;
    std::vector<std::string> unwritten;
    saves.reserve(files.size());
    for (const FileInSet& file : files) {
        try {
            saves.emplace_back(file.Name);
        } catch (const EFCreateError&) {
            unwritten.push_back(file.Name);
        }
    }
    for (size_t i = 0; unwritten.empty() && i < files.size(); ++i) {
        try {
            files[i].Write(saves[i]);
            saves[i].Finish();
        } catch (const EFCreateError&) {
            unwritten.push_back(files[i].Name);
        }
    }
    if (unwritten.empty() && beforeCommit) beforeCommit();
    return CommitTogether(saves, std::move(unwritten));
}

std::string FileSetMessage(const FileSetOutcome& outcome)
{
    std::string text;
    const auto line = [&text](const std::string& words) {
        if (!text.empty()) text += "\n";
        text += words;
    };
    for (const std::string& name : outcome.Unwritten) line(EFCreateError(name).what());
    for (const std::string& name : outcome.Withheld)
        line("同组的文件无法保存，文件 " + name + " 保持不变。");
    for (const std::string& name : outcome.Replaced)
        line("File " + name + " was replaced before the failure and no longer matches the others");
    return text;
}
