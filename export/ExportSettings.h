#pragma once
// What the output dialog hands to the export command after OK.

#include <functional>
#include <string>
#include <vector>

struct ExportSettings {
    std::string FileName;            // its extension chooses the writer
    std::string FromStation;         // first station of the range, as typed or chosen
    std::string ToStation;           // last station of the range
    int Count = 10;                  // rows per station in MTD and Z-files
    std::vector<float> Frequencies;  // the checked frequencies, the survey's own values
    bool NearZoneCorrection = true;  // MTD and Z-files
    bool Negate = false;             // complex IMP file: Re and Im times -1
    bool Conjugate = false;          // complex IMP file: Im times -1
    bool Amplitude = false;          // write the amplitude form of the IMP file
};

// Shows a text in a plain message box.
using ShowMessageFn = std::function<void(const std::string&)>;
