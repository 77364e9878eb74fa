#pragma once
// The IMP file: the Ex responses of a 3-D survey, one block per transmitter record and frequency,
// in a complex form (read back by the IMP reader) and an amplitude form.

#include <string>
#include <vector>

#include "export/ExportSettings.h"
#include "survey/SurveyStore.h"

// Whether some entry of the list lies within 1e-10 of f.
bool ContainsFrequency(double f, const std::vector<float>& list);

// Writes a block for every transmitter record frequency that is in OutputFreqs and has receivers:
// the Ex stations, in store order, whose TxName is the record's Name, each with its first sample
// at that frequency. A record's frequency is its own Fip's; a record whose Fip frequency is not
// set (0) is taken once for each FipList frequency, in list order, with the source moment
// Length x 1. The header counts the blocks written. The source angle is the
// stored Azimuth in degrees, in token 10 and token 12 of the block line (the program's readers
// take token 12). Re = s1 A cos(ph), Im = s1 s2 A sin(ph) with s1 = -1 when negate is set and
// s2 = -1 when conjugate is set; the errors are magnitudes. With OutputFreqs empty it shows
// "No frequency selected." and touches no file; when no block is found it shows
// kNoImpBlockMessage and touches no file. The station range and the count do not apply to
// IMP files: every station and record takes part. A file that cannot be created raises
// EFCreateError and an existing file then stays as it was.
void WriteImpFileComplex(const SurveyStore& store, const std::string& fileName,
                         const std::string& firstStation, const std::string& lastStation, int count,
                         bool conjugate, bool negate, const ShowMessageFn& showMessage);

// The same blocks with |Ex| and the constant error 1e-9 per receiver; conjugate and negate have
// no effect on it.
void WriteImpFileAmplitude(const SurveyStore& store, const std::string& fileName,
                           const std::string& firstStation, const std::string& lastStation,
                           int count, bool conjugate, bool negate,
                           const ShowMessageFn& showMessage);

extern const char* const kNoFrequencySelectedMessage;  // "No frequency selected."
extern const char* const kNoImpBlockMessage;           // the checked frequencies give no block
