#pragma once
// Readers of the program's own 3-D Ex response file (".imp", complex form) and of the USF file.

#include <string>

#include "survey/SurveyStore.h"

// Reads one IMP file: each block (one source at one frequency) with receivers becomes a
// transmitter record unless an equal one is known, each receiver one sample of an Ex station (a
// new station when its name is not yet known). A block line that gives the source moment (current
// x length) gives the record the current moment / length (moment itself when the length is 0);
// other block lines current 1. A file that cannot be opened adds nothing; a token that does not
// convert throws EConvertError, whose text ends with the file and the line last read
// ("... (file NAME, line N)"), and what was read before stays. A block line of the amplitude form
// (one value per receiver) throws EReadError, kImpAmplitudeFormMessage with the same place. The
// point counts are left to the caller.
void ReadImpFile(SurveyStore& store, const std::string& fileName);

// "IMP文件只有Ex振幅数据，没有实部和虚部，不能加载。"
extern const char* const kImpAmplitudeFormMessage;

// The USF file is offered by the open dialog but not read.
void ReadUsfFile(SurveyStore& store, const std::string& fileName);
