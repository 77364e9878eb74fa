#include <algorithm>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <stdexcept>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Exception.h"
#include "base/Gbk.h"
#include "base/SafeFile.h"
#include "base/StringList.h"
#include "base/TextStream.h"
#include "tests/support/HugeFile.h"
#include "tests/support/TempFiles.h"

namespace {

// Every entry of a folder, hidden ones included, sorted.
std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> entries;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") entries.push_back(name);
        }
        closedir(dir);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// A fresh empty folder of the test's own, removed with what it holds at the end of the scope.
class TempFolder {
public:
    explicit TempFolder(const char* name) : path_(TempPath(name))
    {
        Clear();
        rmdir(path_.c_str());
        mkdir(path_.c_str(), 0755);
    }
    ~TempFolder()
    {
        Clear();
        rmdir(path_.c_str());
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    void Clear()
    {
        for (const std::string& name : FolderEntries(path_)) unlink((path_ + "/" + name).c_str());
    }
    std::string path_;
};

}  // namespace

TEST(TextStream, TextFileReadingRules)
{
    TextStream s(std::string("a\r\nb\rc\n\nlast\x1aignored\n", 21));
    std::string line;
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "a");
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "b\rc");  // a lone CR stays in the line
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(s.ReadLine(line));
    EXPECT_TRUE(TextStream().Failed());
    TextStream missing;
    EXPECT_FALSE(missing.Open(TempPath("does-not-exist")));
}

// The text a stream reads, by its rule for a lone carriage return; a string list's rules keep a
// Ctrl-Z and what follows it.
TEST(TextStream, CarriageReturnsAndEndOfText)
{
    struct Case {
        std::string bytes, text, loneEnds, listText;
    } cases[] = {
        {"\r\n\r\n", "\n\n", "\n\n", "\n\n"},
        {"a\r\r\nb", "a\r\nb", "a\n\nb", "a\n\nb"},
        {"a\r", "a\r", "a\n", "a\n"},
        {"\r", "\r", "\n", "\n"},
        {"a\r\x1a\nb", "a\r", "a\n", "a\n\x1a\nb"},
        {"\x1a\r\n", "", "", "\x1a\n"},
        {"a\n\rb\r\n\r", "a\n\rb\n\r", "a\n\nb\n\n", "a\n\nb\n\n"},
        {"\r\r\r\n", "\r\r\n", "\n\n\n", "\n\n\n"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextStream(c.bytes).Text(), c.text) << c.bytes;
        EXPECT_EQ(TextStream(c.bytes, LoneCarriageReturn::EndsLine).Text(), c.loneEnds) << c.bytes;
        EXPECT_EQ(TextStream(c.bytes, LoneCarriageReturn::EndsLine, EndOfFileMark::IsText).Text(),
                  c.listText)
            << c.bytes;
    }
}

// A lone carriage return that ends its line gives the lines of the bytes with every lone one
// turned into a line feed first, whatever the mix: it ends a line exactly as a line feed does.
TEST(TextStream, LoneCarriageReturnsEndLinesAsLineFeedsWould)
{
    unsigned seed = 11;
    const char alphabet[] = {'a', '\r', '\n', '\x1a'};
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        for (int i = 0, n = static_cast<int>(seed % 12); i < n; ++i) {
            seed = seed * 1103515245u + 12345u;
            bytes += alphabet[(seed >> 16) % 4];
        }
        seed = seed * 1103515245u + 12345u;
        std::string fed = bytes;
        for (size_t i = 0; i < fed.size(); ++i)
            if (fed[i] == '\r' && (i + 1 == fed.size() || fed[i + 1] != '\n')) fed[i] = '\n';
        EXPECT_EQ(TextStream(bytes, LoneCarriageReturn::EndsLine).Text(), TextStream(fed).Text())
            << testing::PrintToString(bytes);
    }
}

TEST(TextStream, BoundedLineFailsTheStream)
{
    TextStream s(std::string(10, 'x') + "\nabc\n");
    std::string line;
    ASSERT_TRUE(s.GetLine(line, 4));
    EXPECT_EQ(line, "xxxx");
    EXPECT_TRUE(s.Failed());
    EXPECT_FALSE(s.GetLine(line, 4));
    s.Rewind();
    ASSERT_TRUE(s.GetLine(line, 10));  // exactly the limit before the line feed
    EXPECT_EQ(line, std::string(10, 'x'));
    ASSERT_TRUE(s.GetLine(line, 10));
    EXPECT_EQ(line, "abc");
    EXPECT_FALSE(s.GetLine(line, 10));
}

TEST(StringList, LoadSplitsAtEveryLineEndAndSavesCrLf)
{
    std::string path = TempPath("list.txt");
    {
        std::ofstream out(path, std::ios::binary);
        out << "one\rtwo\nthree\r\n\nfour";
    }
    StringList list;
    list.LoadFromFile(path);
    ASSERT_EQ(list.Lines, (std::vector<std::string>{"one", "two", "three", "", "four"}));
    // A Ctrl-Z is a byte of its line, and the lines after it are read as well.
    StringList marked;
    marked.SetText("a\x1a\r\rb\x1a");
    EXPECT_EQ(marked.Lines, (std::vector<std::string>{"a\x1a", "", "b\x1a"}));
    list.SaveToFile(path);
    EXPECT_EQ(ReadBytes(path), "one\r\ntwo\r\nthree\r\n\r\nfour\r\n");
    StringList empty;
    empty.SaveToFile(path);
    EXPECT_EQ(ReadBytes(path), "");
    std::remove(path.c_str());
}

// Written straight from the text, the lines are the bytes that SetText and Text give, for every
// mix of line ends, Ctrl-Z and plain bytes up to six long.
TEST(StringList, WriteLinesMatchesTheListsText)
{
    const char alphabet[] = {'a', '\r', '\n', '\x1a'};
    for (size_t length = 0; length <= 6; ++length) {
        size_t combinations = 1;
        for (size_t i = 0; i < length; ++i) combinations *= 4;
        for (size_t k = 0; k < combinations; ++k) {
            std::string text;
            for (size_t i = 0, code = k; i < length; ++i, code /= 4) text += alphabet[code % 4];
            StringList list;
            list.SetText(text);
            StringSink sink;
            StringList::WriteLines(text, sink);
            ASSERT_EQ(sink.Text, list.Text()) << testing::PrintToString(text);
        }
    }
}

// The whole file lands in the result whatever its length against the read sizes, also a file
// whose length the system does not tell; a folder or a missing file is not read.
TEST(ReadFileBytes, ReadsEveryLengthWhole)
{
    std::string path = TempPath("bytes.bin");
    for (size_t size : {0, 1, 65535, 65536, 65537, 1 << 20, 3 * 65536 + 7}) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
        WriteBytes(path, bytes);
        std::string read = "stale";
        ASSERT_TRUE(ReadFileBytes(path, read)) << size;
        EXPECT_TRUE(read == bytes) << size;
    }
    std::remove(path.c_str());
    std::string status;
    ASSERT_TRUE(ReadFileBytes("/proc/self/status", status));  // a length of 0 on its own stat
    EXPECT_NE(status.find("Name:"), std::string::npos);
    std::string none = "stale";
    EXPECT_FALSE(ReadFileBytes(TempPath("missing.bin"), none));
    EXPECT_EQ(none, "");
    EXPECT_FALSE(ReadFileBytes(testing::TempDir(), none));
}

// A file longer than the memory gives bad_alloc, and is closed all the same.
TEST(ReadFileBytes, ClosesAFileTooLargeForTheMemory)
{
    SKIP_WITHOUT_HUGE_ALLOCATIONS();
    std::string path = TempPath("sparse.bin");
    if (!MakeHugeFile(path)) GTEST_SKIP() << "no sparse file of 8 TiB here";
    const size_t before = FolderEntries("/proc/self/fd").size();
    std::string bytes;
    EXPECT_THROW(ReadFileBytes(path, bytes), std::bad_alloc);
    EXPECT_EQ(FolderEntries("/proc/self/fd").size(), before);
    std::remove(path.c_str());
}

TEST(StringList, FileErrorsKeepTheOriginal)
{
    std::string missing = TempPath("missing.txt");
    StringList list;
    try {
        list.LoadFromFile(missing);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
    std::string readOnly = TempPath("readonly.txt");
    {
        std::ofstream out(readOnly, std::ios::binary);
        out << "keep\n";
    }
    chmod(readOnly.c_str(), 0444);
    list.Lines = {"new"};
    try {
        list.SaveToFile(readOnly);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + readOnly);
    }
    EXPECT_EQ(ReadBytes(readOnly), "keep\n");
    chmod(readOnly.c_str(), 0644);
    std::remove(readOnly.c_str());
    EXPECT_THROW(list.SaveToFile(TempPath("no-such-dir/x.txt")), EFCreateError);
}

TEST(WholeFileSave, WritesThroughSymbolicLinksToTheirTargets)
{
    TempFolder folder("links");
    mkdir((folder / "sub").c_str(), 0755);
    WriteBytes(folder / "sub/target.txt", "old\r\n");
    struct Case {
        std::string link, pointsTo, target;
    } cases[] = {
        {"absolute", folder / "sub/target.txt", "sub/target.txt"},
        {"relative", "sub/target.txt", "sub/target.txt"},
        {"chained", "relative", "sub/target.txt"},
        {"dangling", "sub/new.txt", "sub/new.txt"},  // the target is made, the link stays
    };
    for (const Case& c : cases) {
        ASSERT_EQ(symlink(c.pointsTo.c_str(), (folder / c.link).c_str()), 0);
        WriteFileReplacing(folder / c.link, c.link + "\r\n");
        struct stat info;
        ASSERT_EQ(lstat((folder / c.link).c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << c.link;
        EXPECT_EQ(ReadBytes(folder / c.target), c.link + "\r\n") << c.link;
    }
    EXPECT_EQ(FolderEntries(folder / "sub"), (std::vector<std::string>{"new.txt", "target.txt"}));
    unlink((folder / "sub/new.txt").c_str());
    unlink((folder / "sub/target.txt").c_str());
    rmdir((folder / "sub").c_str());

    ASSERT_EQ(symlink("loop", (folder / "loop").c_str()), 0);
    EXPECT_THROW(WriteFileReplacing(folder / "loop", "x"), EFCreateError);
}

TEST(WholeFileSave, KeepsPermissionBitsAndOwner)
{
    TempFolder folder("modes");
    const std::string path = folder / "kept.txt";
    WriteBytes(path, "old\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    // Only a process that may give files away can show the owner kept.
    const bool mayChown = chown(path.c_str(), 4321, 4322) == 0;
    WriteFileReplacing(path, "new\r\n");
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (mayChown) {
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 4322u);
    }
    EXPECT_EQ(ReadBytes(path), "new\r\n");

    // A new file gets what the umask leaves of 0666.
    mode_t mask = umask(027);
    WriteFileReplacing(folder / "new.txt", "x");
    umask(mask);
    ASSERT_EQ(stat((folder / "new.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(WholeFileSave, RemovesAStaleTemporaryAndLeavesNone)
{
    TempFolder folder("stale");
    const std::string path = folder / "killed.raw";
    WriteBytes(path, "old\r\n");
    WriteBytes(folder / ".killed.raw.quillane-tmp", "half of an interrupted sa");
    WriteBytes(folder / ".killed.raw.quillane-Ab3dE6fG", "half of another");
    WriteBytes(folder / ".other.raw.quillane-tmp", "another file's");
    WriteFileReplacing(path, "new\r\n");
    EXPECT_EQ(ReadBytes(path), "new\r\n");
    EXPECT_EQ(FolderEntries(folder.Path()),
              (std::vector<std::string>{".other.raw.quillane-tmp", "killed.raw"}));

    // A failed save leaves nothing beside the file either.
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_THROW(WriteFileReplacing(path, "newer"), EFCreateError);
    EXPECT_EQ(ReadBytes(path), "new\r\n");
    EXPECT_EQ(FolderEntries(folder.Path()),
              (std::vector<std::string>{".other.raw.quillane-tmp", "killed.raw"}));
}

// A name as long as the file system takes is saved too: its temporary is named after as much of
// it as fits.
TEST(WholeFileSave, NamesAtTheFileSystemsLimit)
{
    TempFolder folder("long");
    for (size_t length : {200u, 243u, 255u}) {
        const std::string path = folder / std::string(length, 'n');
        WriteFileReplacing(path, "first\r\n");
        WriteFileReplacing(path, "second\r\n");
        EXPECT_EQ(ReadBytes(path), "second\r\n") << length;
        std::remove(path.c_str());
    }
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

// Two saves of one file at once, as two commands or two processes make them: each has a
// temporary of its own, and a save in progress is not taken for an interrupted one.
TEST(WholeFileSave, SavesAtOnceShareNoTemporary)
{
    TempFolder folder("together");
    const std::string path = folder / "same.txt";
    SafeFile first(path);
    first += "first\r\n";
    SafeFile second(path);
    second += "second\r\n";
    EXPECT_EQ(FolderEntries(folder.Path()).size(), 2u);
    WriteFileReplacing(path, "third\r\n");
    first.Commit();
    EXPECT_EQ(ReadBytes(path), "first\r\n");
    second.Commit();
    EXPECT_EQ(ReadBytes(path), "second\r\n");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"same.txt"});
}

// A text streams in pieces larger and smaller than the buffer; a save given up, or left by an
// exception, leaves the file as it was and nothing beside it.
TEST(WholeFileSave, StreamsAndDiscards)
{
    TempFolder folder("stream");
    const std::string path = folder / "big.txt";
    std::string expected;
    {
        SafeFile file(path);
        for (size_t size : {1u, 70000u, 65535u, 3u, 200000u, 65536u}) {
            const std::string piece(size, static_cast<char>('a' + size % 26));
            file += piece;
            expected += piece;
        }
        file.Commit();
    }
    EXPECT_EQ(ReadBytes(path), expected);
    try {
        SafeFile file(path);
        file += "half of a new text";
        throw std::runtime_error("cancelled");
    } catch (const std::runtime_error&) {
    }
    {
        SafeFile file(path);
        file += "given up";
        file.Discard();
        EXPECT_THROW(file.Commit(), EFCreateError);
    }
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"big.txt"});
}

// A write that fails half way (here at a file size limit, as at a full disk) ends the save with
// its message; the file keeps its old text and no temporary stays.
TEST(WholeFileSave, AFailedWriteLeavesTheFileAsItWas)
{
    TempFolder folder("full");
    const std::string path = folder / "kept.txt";
    WriteBytes(path, "old\r\n");
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 100000;
    void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    try {
        SafeFile file(path);
        for (int i = 0; i < 40; ++i) file += std::string(10000, 'x');
        file.Commit();
        ADD_FAILURE() << "the save went through";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + path);
    }
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, handler);
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"kept.txt"});
}

// A set is committed only when every file was written; a rename that fails after another one
// succeeded is told as it is.
TEST(WholeFileSave, SetsAreCommittedTogether)
{
    TempFolder folder("set");
    WriteBytes(folder / "a.m", "old a");
    {
        std::vector<SafeFile> files;
        files.emplace_back(folder / "a.m");
        files.back() += "new a";
        const FileSetOutcome outcome = CommitTogether(files, {folder / "b.cov"});
        EXPECT_EQ(outcome.Unwritten, std::vector<std::string>{folder / "b.cov"});
        EXPECT_TRUE(outcome.Replaced.empty());
        EXPECT_EQ(outcome.Withheld, std::vector<std::string>{folder / "a.m"});
        EXPECT_EQ(FileSetMessage(outcome), "Cannot create file " + folder / "b.cov" +
                                               "\n同组的文件无法保存，文件 " + folder / "a.m" +
                                               " 保持不变。");
    }
    EXPECT_EQ(ReadBytes(folder / "a.m"), "old a");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"a.m"});

    std::vector<SafeFile> files;
    files.emplace_back(folder / "a.m");
    files.emplace_back(folder / "b.cov");
    files[0] += "new a";
    files[1] += "new b";
    // The second file's place is taken by a folder after its save began.
    mkdir((folder / "b.cov").c_str(), 0755);
    const FileSetOutcome outcome = CommitTogether(files, {});
    rmdir((folder / "b.cov").c_str());
    EXPECT_EQ(outcome.Unwritten, std::vector<std::string>{folder / "b.cov"});
    EXPECT_EQ(outcome.Replaced, std::vector<std::string>{folder / "a.m"});
    EXPECT_EQ(FileSetMessage(outcome), "Cannot create file " + folder / "b.cov" + "\nFile " +
                                           folder / "a.m" +
                                           " was replaced before the failure and no longer "
                                           "matches the others");
    EXPECT_EQ(ReadBytes(folder / "a.m"), "new a");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"a.m"});
}

// The names a folder can hold: the system's length in bytes, or on Windows file systems in
// UTF-16 units and without the characters those refuse.
TEST(WholeFileSave, NamesTheFolderCanHold)
{
    const FolderNameRules plain;
    FolderNameRules windows;
    windows.WindowsNames = true;
    std::string chinese;
    for (int i = 0; i < 100; ++i) chinese += "测";  // 300 bytes, 100 UTF-16 units
    struct Case {
        std::string name;
        bool plain, windows;
    };
    const Case cases[] = {
        {"line1.mtd", true, true},
        {"/some/folder/line1.mtd", true, true},
        {std::string(255, 'n'), true, true},
        {std::string(256, 'n'), false, false},
        {"/f/" + std::string(256, 'n'), false, false},
        {chinese, false, true},
        {"a:b.mtd", true, false},
        {"a?.mtd", true, false},
        {"a\\b", true, false},
        {"a\"b", true, false},
        {"a|b*c<d>", true, false},
        {"tab\tname", true, false},
        {"ends.", true, false},
        {"ends ", true, false},
        {"\xf0\x9f\x98\x80" + std::string(253, 'n'), false, true},  // 2 + 253 units
        {"", false, false},
        {"/f/", false, false},
        {".", false, false},
        {"..", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameFitsRules(c.name, plain), c.plain) << c.name;
        EXPECT_EQ(NameFitsRules(c.name, windows), c.windows) << c.name;
    }
    // The test folder's own rules; a path beyond the system's limit fits no folder.
    TempFolder folder("rules");
    EXPECT_GE(NameRulesOf(folder / "x").NameMax, 255u);
    EXPECT_TRUE(SaveNameFits(folder / std::string(255, 'n')));
    EXPECT_FALSE(SaveNameFits(folder / std::string(256, 'n')));
    std::string deep = folder.Path();
    while (deep.size() < 5000) deep += "/abcdefgh";
    EXPECT_FALSE(SaveNameFits(deep + "/x.txt"));
    EXPECT_THROW(SafeFile(folder / std::string(256, 'n')), EFCreateError);
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

TEST(Gbk, RoundTripAndDisplay)
{
    const std::string gbk = "\xB2\xE2\xCF\xDF";  // 测线
    const std::string utf8 = "测线";
    EXPECT_EQ(GbkToUtf8(gbk), utf8);
    EXPECT_EQ(Utf8ToGbk(utf8), gbk);
    EXPECT_FALSE(IsValidUtf8(gbk));
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(DisplayTextUtf8(gbk), utf8);
    EXPECT_EQ(DisplayTextUtf8(utf8), utf8);
    EXPECT_EQ(DisplayTextUtf8("L-12"), "L-12");
    EXPECT_FALSE(IsValidUtf8("\xE6\xB5"));  // cut short
    EXPECT_EQ(GbkToUtf8("a\xFF"), "a\xEF\xBF\xBD");
}
