#pragma once
// A list of lines loaded from and saved to a file whole.

#include <string>
#include <vector>

class StringList {
public:
    std::vector<std::string> Lines;

    // Cuts the text into lines: CR, LF or CR LF ends a line; a last line without an end is a line.
    void SetText(const std::string& text);
    // Every line followed by CR LF.
    std::string Text() const;

    // EFOpenError "Cannot open file %s" when the file cannot be read.
    void LoadFromFile(const std::string& fileName);
    // EFCreateError "Cannot create file %s" when the file cannot be written. The text goes to a
    // temporary file in the same folder first, which then replaces the file, so a failed save
    // never leaves a truncated file behind.
    void SaveToFile(const std::string& fileName) const;

    void Add(const std::string& line) { Lines.push_back(line); }
    void Clear() { Lines.clear(); }
    size_t Count() const { return Lines.size(); }
};

// Writes bytes to a file through a temporary file and a rename; EFCreateError when any step fails
// (the original file then stays as it was). A symbolic link is written through to its target and
// stays a link; an existing file keeps its permission bits, and its owner where this process may
// set it; the data reach the disk before the rename. The temporary ".<name>.quillane-tmp" sits
// beside the file, and one left there by an interrupted save is removed by the next save.
void WriteFileReplacing(const std::string& fileName, const std::string& bytes);

// The same save in two steps, so that several files can be replaced together: Prepare writes
// the temporary file (EFCreateError when it cannot), Commit puts it in the file's place
// (EFCreateError, the temporary removed, when it cannot), Discard removes it unused.
struct PreparedFile {
    std::string FileName;  // as the caller named it, for the message
    std::string Path;      // where the text lands: a symbolic link followed to its target
    std::string TempName;
};
PreparedFile PrepareFileReplacing(const std::string& fileName, const std::string& bytes);
void CommitFileReplacing(const PreparedFile& file);
void DiscardFileReplacing(const PreparedFile& file);
