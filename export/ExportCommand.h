#pragma once
// The Export command without its dialog: the frequency list it offers, the lists and texts the
// dialog shows, its frequency presets, and the writer chosen by the file name.

#include <string>
#include <vector>

#include "export/ExportSettings.h"
#include "survey/SurveyStore.h"

// Rebuilds OutputFreqs: every distinct frequency of the Ex stations' Amplitude X lists once (an
// entry within 1e-10 of one already taken is left out), in order of first appearance.
void CollectFrequencies(SurveyStore& store);

// The Ex station names, each as often as it occurs (the range lists): in ascending order of their
// values when every name is a plain decimal number (names of one value in store order), else in
// ascending byte order.
std::vector<std::string> SortedStationNames(const SurveyStore& store);

// The text of a frequency item of the dialog, "0.000000E+00" (9.600000E+03).
std::string FrequencyItemText(float frequency);

// The text before the count: "一共" + pointCount + "个频点，输出其中的".
std::string FrequencyCountCaption(int pointCount);

// Which of itemCount frequency items a preset of the frequency menu checks, by the menu item's Tag:
// 10 all, 2 / 4 the first two / four, 5 those before the middle item, -5 those after it, -4 / -2
// the last four / two, 1 the first, third, ..., 0 the second, fourth, ...; any other Tag all.
std::vector<bool> FrequencyPresetChecks(size_t itemCount, int tag);

enum class ExportFormat { None, Mtd, ZFile, ImpComplex, ImpAmplitude };

// By the first of ".mtd", ".z" and ".imp" found anywhere in the lower-cased name (folders
// included); amplitude picks the amplitude form of the IMP file.
ExportFormat ChooseExportFormat(const std::string& fileName, bool amplitude);

// After the dialog's OK: OutputFreqs becomes the checked frequencies, then the chosen writer runs
// (the MTD file with its MDE file, the two replaced together, the Z-file or an IMP file); a name of
// no known kind writes nothing and shows kNoOutputFormatMessage. Everything the MTD and MDE files
// need is checked before either is written; a range that gives no row writes neither. Returns the
// format that was chosen; errors of the writers pass through, their messages go to showMessage.
ExportFormat RunExport(SurveyStore& store, const ExportSettings& settings,
                       const ShowMessageFn& showMessage);
