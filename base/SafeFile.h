#pragma once
// Saving a file whole: the text streams into a temporary file beside it, which replaces the file
// only when the whole text was written. Until then the file stays as it was.

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

// A file saved from bytes at hand.
void WriteFileReplacing(const std::string& fileName, const std::string& bytes);

// Files that belong together (a model's .m, .cov and .pri), each written into its SafeFile.
struct FileSetOutcome {
    // Files that kept what they held before.
    std::vector<std::string> Unwritten;
    // Files replaced before a later one failed: the set no longer matches.
    std::vector<std::string> Replaced;
    bool Saved() const { return Unwritten.empty(); }
};

// Commits the files when none of them failed (the names in unwritten), else discards them all.
FileSetOutcome CommitTogether(std::vector<SafeFile>& files, std::vector<std::string> unwritten);

// "Cannot create file %s" for each unwritten file, and a word on files replaced before a failure.
std::string FileSetMessage(const FileSetOutcome& outcome);
