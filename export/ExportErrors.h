#pragma once
// Checks the writers make before they open a file, so that a file the user already has is not
// emptied by an export that cannot succeed.

#include <string>

#include "survey/SurveyStore.h"

extern const char* const kZeroCountMessage;         // count of rows per station is 0
extern const char* const kTooFewExStationsMessage;  // the MDE file needs two Ex stations
extern const char* const kNoTransmitterMessage;     // the MDE and Z-file headers need one
extern const char* const kNoStationInRangeMessage;  // the MTD or Z-file range selects no station

// EWriteError with kZeroCountMessage when count is 0 (the row step would divide by it).
void CheckRowCount(int count);
// EWriteError with kNoTransmitterMessage when the store has no transmitter.
void CheckTransmitterPresent(const SurveyStore& store);
// Two Ex stations and one transmitter, else EWriteError (fewer stations first).
void CheckMdeInputs(const SurveyStore& store);

// The integer part (toward zero) in plain decimal; NaN or beyond 64 bits: EInvalidOp.
std::string TruncText(double value);
