#pragma once
// A list of lines loaded from and saved to a file whole.

#include <string>
#include <string_view>
#include <vector>

class TextSink;

class StringList {
public:
    std::vector<std::string> Lines;

    // Cuts the text into lines: CR, LF or CR LF ends a line; a last line without an end is a line.
    // A Ctrl-Z is a byte like any other.
    void SetText(std::string text);
    // Every line followed by CR LF.
    std::string Text() const;

    // EFOpenError "Cannot open file %s" when the file cannot be read.
    void LoadFromFile(const std::string& fileName);
    // Saved as SafeFile saves: EFCreateError "Cannot create file %s" when the file cannot be
    // written, and then the file stays as it was.
    void SaveToFile(const std::string& fileName) const;

    // The text cut into lines as SetText cuts it, each written followed by CR LF as SaveToFile
    // writes it, without a string for each line.
    static void WriteLines(std::string_view text, TextSink& sink);

    void Add(const std::string& line) { Lines.push_back(line); }
    void Clear() { Lines.clear(); }
    size_t Count() const { return Lines.size(); }
};
