#pragma once
// The core of the load commands: Append (after the open dialog was confirmed) and Reload all.
// The main window runs the dialog, supplies the GUI side through LoadHooks and the readers
// through LoadReaders.

#include <functional>
#include <string>
#include <vector>

#include "survey/SurveyStore.h"

// What a load needs from the windows.
class LoadHooks {
public:
    virtual ~LoadHooks() = default;
    virtual void ShowBusyCursor() = 0;
    virtual void RestoreCursor() = 0;
    // Lets pending window messages run (between GDP32 raw files, inside the AMTAVG reader).
    virtual void ProcessMessages() = 0;
    // Redraws the station map from the store.
    virtual void RedrawMap() = 0;
};

// The readers a load calls, the real ones by default; tests put fakes in their place. A member
// left empty reads nothing.
struct LoadReaders {
    LoadReaders();

    std::function<void(const std::string& fileName)> rewrite;
    std::function<void(SurveyStore&, const std::string& fileName)> gdpRaw;
    std::function<void(SurveyStore&, const std::string& fileName, bool* otherDialect)> csamtAvg;
    std::function<void(SurveyStore&, const std::string& fileName,
                       const std::function<void()>& processMessages)>
        amtAvg;
    std::function<void(SurveyStore&, const std::string& fileName)> imp;
    std::function<void(SurveyStore&, const std::string& fileName)> usf;
};

enum class LoadFormat { GdpRaw, Avg, Imp, Usf, None };

// The reader for a whole selection: the first of ".raw", ".avg", ".imp" and ".usf" found anywhere
// in the lower-cased name, folders included.
LoadFormat ChooseLoadFormat(const std::string& fileName);

// Append: remembers every chosen name in LoadedFiles, reads the files with the reader that the
// current file name (the dialog's first name) chooses, then closes the load: point counts of the
// Ex stations, one static-shift entry {name, 1.0} per Ex station, the map redrawn, the cursor
// restored. When a reader throws, the file it was reading is refused whole (what its reader had
// added is taken out again; the files before it stay), the load is closed all the same for what
// was read so far and the exception then propagates. Returns the chosen files that added no record
// to the store (no reader took them, their reader found nothing of its own in them, or all they
// hold was there already), each once, in chosen order.
std::vector<std::string> AppendFiles(SurveyStore& store, const std::vector<std::string>& chosen,
                                     const std::string& currentFileName, LoadHooks& hooks,
                                     const LoadReaders& readers = LoadReaders());

// Reload all: empties the survey (LoadedFiles and the settings stay), reads every remembered
// GDP32 raw and AVG file again, each name judged by itself, and closes the load as Append does.
// Returns the remembered files that added no record this time, as Append does.
std::vector<std::string> ReloadAllFiles(SurveyStore& store, LoadHooks& hooks,
                                        const LoadReaders& readers = LoadReaders());

// The closing step of every load.
void CloseLoad(SurveyStore& store, LoadHooks& hooks);

// The text of List loaded files: every remembered name followed by a line feed; empty when no
// file was loaded (then no message is shown).
std::string LoadedFilesText(const SurveyStore& store);

// The message that names the files of a load that gave nothing, one to a line; empty when every
// file gave records (then no message is shown).
std::string FilesWithoutRecordsText(const std::vector<std::string>& names);
extern const char* const kFilesWithoutRecordsCaption;  // the caption of the box of that text

// The text of File help.
extern const char* const kFileHelpText;
