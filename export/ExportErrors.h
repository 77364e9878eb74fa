#pragma once
// Checks the writers make before they open a file, so that a file the user already has is not
// emptied by an export that cannot succeed.

#include <string>

#include "survey/SurveyStore.h"

extern const char* const kZeroCountMessage;         // count of rows per station is 0
extern const char* const kTooFewExStationsMessage;  // the MDE file needs two Ex stations
extern const char* const kNoTransmitterMessage;     // the MDE and Z-file headers need one
extern const char* const kNoStationInRangeMessage;  // the MTD or Z-file range selects no station
extern const char* const kNoHyStationMessage;       // MTD and Z-file rows need Hy stations
extern const char* const kNoSampleInRangeMessage;   // no station of the range has a row to write
extern const char* const kNoExStationMessage;       // nothing to export at all
extern const char* const kNoOutputFormatMessage;    // the file name names no output format

// EWriteError with kZeroCountMessage when count is 0 (the row step would divide by it).
void CheckRowCount(int count);
// EWriteError with kNoTransmitterMessage when the store has no transmitter.
void CheckTransmitterPresent(const SurveyStore& store);
// Two Ex stations and one transmitter, else EWriteError (fewer stations first).
void CheckMdeInputs(const SurveyStore& store);

// The integer part (toward zero) in plain decimal; NaN or beyond 64 bits: EInvalidOp.
std::string TruncText(double value);
