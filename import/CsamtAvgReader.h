#pragma once
// Reader of the tagged "CSAMT" dialect of averaged files (".avg").

#include <string>

#include "survey/SurveyStore.h"

// Reads one CSAMT AVG file into the store: one Ex station per Ex dipole, one Hy station and one
// transmitter with the file's frequencies. Stations whose names the store already holds keep their
// data; a transmitter of a known name only gains the frequencies it lacks. The store changes only
// after the whole file has been read, so a conversion error (EConvertError, naming the file and
// the line) leaves it untouched; so does a file that gives no channel row ("tx", "ex" or "hy"),
// no frequency and no data row. A file that cannot be opened is passed over. When line 1 lacks
// "CSAMT" (in any case), or holds "AMTAVG" (the other dialect's signature), nothing is read and
// *OtherDialect is set to true; it is never set to false.
void ReadCsamtAvgFile(SurveyStore& store, const std::string& fileName, bool* OtherDialect);
