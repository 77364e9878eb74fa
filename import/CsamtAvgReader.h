#pragma once
// Reader of the tagged "CSAMT" dialect of averaged files (".avg").

#include <cstddef>
#include <string>

#include "survey/SurveyStore.h"

// What a read took beyond its lines, for those who watch it grow with the file: the bytes of the
// tags taken into the automata that find a data table's receiver, and the states the "id:ex"
// lines went through in them (see TagIndex::Work).
struct CsamtAvgReadWork {
    size_t TagSteps = 0;
};

// Reads one CSAMT AVG file into the store: one Ex station per Ex dipole, one Hy station and one
// transmitter with the file's frequencies. Stations whose names the store already holds keep their
// data; a transmitter of a known name only gains the frequencies it lacks. The store changes only
// after the whole file has been read, so a conversion error (EConvertError, naming the file and
// the line) leaves it untouched; so does a file that gives no channel row ("tx", "ex" or "hy"),
// no frequency and no data row. A file that cannot be opened is passed over. When line 1 lacks
// "CSAMT" (in any case), or holds "AMTAVG" (the other dialect's signature), nothing is read and
// *OtherDialect is set to true; it is never set to false.
// When work is given, the read adds what it took to it.
void ReadCsamtAvgFile(SurveyStore& store, const std::string& fileName, bool* OtherDialect,
                      CsamtAvgReadWork* work = nullptr);
