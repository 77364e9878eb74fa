#pragma once
// Picking a profile of Ex stations with a rectangle on the station map, and the profile response
// file of the picked stations.

#include <string>
#include <vector>

#include "survey/SurveyStore.h"

extern const char* const
    kProfileHelpText;  // the text of the "输出剖面响应" help command (N31Click)

// What the selection needs from the windows.
class ProfileResponseDialogs {
public:
    virtual ~ProfileResponseDialogs() = default;
    // The main window's save dialog, with the response file's own filter; false on Cancel.
    virtual bool ExecuteSaveDialog(std::string& fileName) = 0;
    // A response file that could not be written ("Cannot create file %s"); the gesture goes on
    // to open the chart.
    virtual void ReportWriteError(const std::string& message) = 0;
};

// Whether a map point lies inside the rectangle of two opposite corners, borders included, the
// corners in any order.
bool InsideProfileRectangle(float x, float y, double x1, double y1, double x2, double y2);

// Replaces ProfileIndices and selectedStations (the station map's list) by the Ex stations inside
// the rectangle, in store order; when it took any, writes their profile response file under a
// name asked through the dialogs.
void SelectProfileStations(SurveyStore& store, std::vector<std::string>& selectedStations,
                           double x1, double y1, double x2, double y2,
                           ProfileResponseDialogs& dialogs);

// Asks for the file name and writes the response file of ProfileIndices; Cancel writes nothing.
// The file is the chosen name with its extension replaced by ".txt".
void WriteProfileResponse(const SurveyStore& store, ProfileResponseDialogs& dialogs);

// The response file's bytes: three header lines, then one line per entry of ProfileIndices with
// the station's name, position and every stored sample. Lines end in CR LF.
std::string ProfileResponseText(const SurveyStore& store);

// Writes ProfileResponseText under fileName; EFCreateError when it cannot be written (an
// existing file then stays as it was).
void WriteProfileResponseFile(const std::string& fileName, const SurveyStore& store);
