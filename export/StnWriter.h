#pragma once
// The station position list: a header line and one line per Ex station with its name, x, y and z.

#include <string>

#include "survey/SurveyStore.h"

// Writes " STN     X    Y    Z" and one line "name x y z" per Ex station in store order, the
// numbers in "#######.0". A file that cannot be created raises EFCreateError; an existing file then
// stays as it was.
void WriteStnFile(const SurveyStore& store, const std::string& fileName);
