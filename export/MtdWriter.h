#pragma once
// The MTD table for the 2-D inversion program and its MDE line description.

#include <string>

#include "export/ExportSettings.h"
#include "survey/SurveyStore.h"

// Writes one row per selected sample of every Ex station whose Name lies between firstStation and
// lastStation (byte order), with the "MT" resistivity times the station's static-shift factor and
// the phase difference in milliradians; count rows per station are spread over its samples;
// correct applies the near-zone and transition-zone correction. The file is replaced only when the
// whole table is made: a count of 0 raises EWriteError, a floating-point error of a station's
// curves its EMathError, an uncreatable file EFCreateError, and the old file then stays. When the
// range holds no station it shows kNoStationInRangeMessage, touches no file and returns false;
// true when the file was written.
bool WriteMtdFile(const SurveyStore& store, const std::string& fileName,
                  const std::string& firstStation, const std::string& lastStation, int count,
                  bool correct, const ShowMessageFn& showMessage = nullptr);

// Writes the twenty key lines of the MDE file under MdeFileName(fileName), from the first two Ex
// stations, the first transmitter's electrodes and RotationAngle. Fewer than two Ex stations or no
// transmitter: EWriteError before any file is touched.
void WriteMdeFile(const SurveyStore& store, const std::string& fileName);

// The name with its extension replaced by ".mde" (appended when the file part has none).
std::string MdeFileName(const std::string& fileName);
