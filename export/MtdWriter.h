#pragma once
// The MTD table for the 2-D inversion program and its MDE line description.

#include <string>

#include "export/ExportSettings.h"
#include "survey/SurveyStore.h"

// Writes one row per selected sample of every Ex station whose Name lies in the StationRange of
// firstStation and lastStation (export/StationRows.h: by value when every name is a number, else
// in byte order), with the "MT" resistivity times the station's static-shift factor and
// the phase difference in milliradians; count rows per station are spread over its samples;
// correct applies the near-zone and transition-zone correction. The file is replaced only when the
// whole table is made: a count of 0 raises EWriteError, a floating-point error of a station's
// curves its EMathError, a range text that is not a number where the range is one of values
// EConvertError, an uncreatable file EFCreateError, and the old file then stays. When the range
// gives no row it shows why (NoRowsReason: no station in the range, no Hy station, no transmitter,
// no sample), touches no file and returns false; true when the file was written.
bool WriteMtdFile(const SurveyStore& store, const std::string& fileName,
                  const std::string& firstStation, const std::string& lastStation, int count,
                  bool correct, const ShowMessageFn& showMessage = nullptr);

// Writes the twenty key lines of the MDE file under MdeFileName(fileName), from the first two Ex
// stations, the first transmitter's electrodes and RotationAngle. Fewer than two Ex stations or no
// transmitter: EWriteError before any file is touched.
void WriteMdeFile(const SurveyStore& store, const std::string& fileName);

// The name with its extension replaced by ".mde" (appended when the file part has none).
std::string MdeFileName(const std::string& fileName);

// The MTD file and its MDE file as one result: both replace the old ones, or neither does. The
// checks of both writers come first; a range that gives no row shows why and returns false. A file
// that cannot be written raises EWriteError with FileSetMessage, every file then as it was.
bool WriteMtdAndMdeFiles(const SurveyStore& store, const std::string& fileName,
                         const std::string& firstStation, const std::string& lastStation, int count,
                         bool correct, const ShowMessageFn& showMessage = nullptr);
