#pragma once
// The two text files the curve editor writes from its charts.

#include <string>

#include "processing/CurveEditing.h"

// The component's text in the editor's choice: "Ex", "Hy", "Ey", "Hx", "Ez", "Hz" for 0 to 5.
std::string ComponentName(int componentIndex);

// Station name directly followed by the component's text and ".txt" ("2202" of Ex: 2202Ex.txt).
std::string StationComponentFileName(const std::string& stationName, int componentIndex);

// The station component file's bytes: two header lines, then one line per phase-chart point of
// frequency, amplitude in V/(m*A) (the amplitude chart's value times 1e-6), phase and the real
// and imaginary parts computed from those two; charts drawn in the real/imaginary form are taken
// back to amplitude and phase first. Lines end in CR LF.
std::string StationComponentFileText(const EditorCharts& charts);

// Writes the station component file; EFCreateError when it cannot be written.
void WriteStationComponentFile(const std::string& fileName, const EditorCharts& charts);

// The model response file's bytes: the header line, then one line per amplitude-chart point of
// frequency and the two charts' values unscaled. Data lines carry a line feed of their own before
// the CR LF that ends every line, as programs reading these files expect.
std::string ModelResponseFileText(const EditorCharts& charts);

// The name with its extension (from the last dot after the last '/') replaced by ext, or ext
// appended when it has none: ChangeFileExt.
std::string ReplaceFileExtension(const std::string& fileName, const std::string& ext);

// Writes the model response file under the chosen name with its extension replaced by ".txt" and
// returns that name; EFCreateError when it cannot be written.
std::string WriteModelResponseFile(const std::string& chosenName, const EditorCharts& charts);
