#pragma once
// Reader of the "AMTAVG" dialect of averaged files (".avg").

#include <functional>
#include <string>

#include "survey/SurveyStore.h"

// Reads one AMTAVG file: gathers its rows station by station into store.EHStations (emptied first)
// and then merges every gathered station into the survey with the file's transmitter id. A file
// that cannot be opened, or whose line 1 lacks "AMTAVG", adds nothing. processMessages lets the
// window's pending messages run; it is called after every row that fails the validity check and
// once after the file has been read. A malformed "ASPACE" value or a row flag that is no integer
// raises EConvertError, naming the file and the line, before anything of the file reaches the
// survey.
void ReadAmtAvgFile(SurveyStore& store, const std::string& fileName,
                    const std::function<void()>& processMessages);
