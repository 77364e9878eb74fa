#pragma once
// The contour-plot Z-file: the "MT" resistivity and the impedance phase of a line as two plots.

#include <string>

#include "export/ExportSettings.h"
#include "survey/SurveyStore.h"

// Writes plot 1 (resistivity times the static-shift factor) and plot 2 (phase in milliradians) of
// every Ex station whose Name, as a number, lies between the two range texts as numbers; rows are
// selected as in the MTD file. The header takes the first transmitter. A name or range text that
// is not a number raises EConvertError, a count of 0 or no transmitter EWriteError, a file that
// cannot be created EFCreateError; the file is replaced only when all of it is made. When the range
// gives no row it shows why (NoRowsReason of export/StationRows.h) and touches no file.
void WriteZFile(const SurveyStore& store, const std::string& fileName,
                const std::string& firstStation, const std::string& lastStation, int count,
                bool correct, const ShowMessageFn& showMessage = nullptr);
