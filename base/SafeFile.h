#pragma once
// Saving a file whole: the text streams into a temporary file beside it, which replaces the file
// only when the whole text was written. Until then the file stays as it was.

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

// Where a writer puts its text: a file being saved, or a string.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void Append(std::string_view bytes) = 0;
    TextSink& operator+=(std::string_view bytes)
    {
        Append(bytes);
        return *this;
    }
    TextSink& operator+=(char c)
    {
        Append(std::string_view(&c, 1));
        return *this;
    }
};

class StringSink : public TextSink {
public:
    std::string Text;
    void Append(std::string_view bytes) override { Text.append(bytes); }
};

// The text a writer streams, whole in memory: TextOf([&](TextSink& text) { ... }).
template <typename Writer>
std::string TextOf(Writer&& write)
{
    StringSink sink;
    write(sink);
    return std::move(sink.Text);
}

// One save. EFCreateError "Cannot create file %s" when any step fails; the file then stays as it
// was and the temporary is removed. A symbolic link is written through to its target and stays a
// link; an existing file keeps its permission bits, and its owner where this process may set it;
// a new one gets 0666 less the umask. Only a regular file is replaced.
//
// The temporary ".<name>.quillane-XXXXXXXX" is made with a random part under an exclusive create,
// so no two saves share one. It stays locked while its save runs; an unlocked one of that name is
// what an interrupted save left, and the next save of the file removes it.
//
// A save destroyed before its Commit (an exception passing, say) removes its temporary.
class SafeFile : public TextSink {
public:
    explicit SafeFile(const std::string& fileName);
    SafeFile(SafeFile&& other) noexcept;
    SafeFile& operator=(SafeFile&&) = delete;
    ~SafeFile() override;

    void Append(std::string_view bytes) override;
    // The whole text on the disk, in the temporary.
    void Finish();
    // Finish, then the temporary takes the file's place.
    void Commit();
    // The temporary removed, the file untouched.
    void Discard();

    const std::string& FileName() const { return fileName_; }

private:
    void Flush();
    void WriteAll(std::string_view bytes);
    [[noreturn]] void Fail();

    std::string fileName_;  // as the caller named it, for the message
    std::string path_;      // where the text lands: a symbolic link followed to its target
    std::string tempName_;
    int fd_ = -1;
    std::unique_ptr<char[]> buffer_;
    size_t used_ = 0;
    bool finished_ = false;
};

// What a folder's file system allows in a file name.
struct FolderNameRules {
    size_t NameMax = 255;  // longest name: bytes, or UTF-16 units where WindowsNames holds
    // FAT, exFAT, NTFS and SMB shares: no control character and none of " * : < > ? \ |, no
    // blank or point at the end, the length counted in UTF-16 units.
    bool WindowsNames = false;
};

// The rules of the folder that holds path (the system's limit where it tells none).
FolderNameRules NameRulesOf(const std::string& path);

// Whether a name (the part after the last slash) is one the rules allow.
bool NameFitsRules(std::string_view name, const FolderNameRules& rules);

// Whether a file of this path can be made: its name fits its folder's rules and the whole path the
// system's limit. A save checks it before it begins, so that no rename fails on the name.
bool SaveNameFits(const std::string& path);

// A file saved from bytes at hand.
void WriteFileReplacing(const std::string& fileName, const std::string& bytes);

// Files that belong together (a model's .m, .cov and .pri, an MTD file and its MDE file), each
// written into its SafeFile.
struct FileSetOutcome {
    // Files that could not be written; they kept what they held before.
    std::vector<std::string> Unwritten;
    // The other files of a set that could not be written whole: they kept what they held too.
    std::vector<std::string> Withheld;
    // Files replaced before a later one failed: the set no longer matches.
    std::vector<std::string> Replaced;
    bool Saved() const { return Unwritten.empty(); }
};

// Commits the files when none of them failed (the names in unwritten), else discards them all.
FileSetOutcome CommitTogether(std::vector<SafeFile>& files, std::vector<std::string> unwritten);

// A file of a set: its name and the writer of its text.
struct FileInSet {
    std::string Name;
    std::function<void(TextSink&)> Write;
};

// Saves a set: every file's name is checked and its save begun before any text is written, and
// the files replace the old ones only when all of them were written whole. A file that cannot be
// saved leaves every file of the set as it was. An error of a writer other than EFCreateError
// passes through, the files again as they were. beforeCommit, when given, runs once every file is
// written whole and before the first is replaced: work that may still be ended looks there last.
FileSetOutcome WriteFileSet(const std::vector<FileInSet>& files,
                            const std::function<void()>& beforeCommit = {});

// "Cannot create file %s" for each unwritten file, a word on each file withheld with it, and one
// on files replaced before a failure.
std::string FileSetMessage(const FileSetOutcome& outcome);
