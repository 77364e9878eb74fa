#include "import/LoadCommands.h"

#include <new>
#include <set>
#include <utility>

#include "base/AsciiText.h"
#include "base/Exception.h"
#include "base/Progress.h"
#include "import/AmtAvgReader.h"
#include "import/CsamtAvgReader.h"
#include "import/GdpRawReader.h"
#include "import/ImpReader.h"

namespace {

void ReadGdpRaw(SurveyStore& store, const std::string& name, LoadHooks& hooks,
                const LoadReaders& readers)
{
    if (readers.rewrite) readers.rewrite(name);
    if (readers.gdpRaw) readers.gdpRaw(store, name);
    hooks.ProcessMessages();
}

// Once one file has shown itself to be of the other dialect, every later file of the run is
// offered to the AMTAVG reader as well.
void ReadAvg(SurveyStore& store, const std::string& name, bool& notCsamtAvg, LoadHooks& hooks,
             const LoadReaders& readers)
{
    if (readers.csamtAvg) readers.csamtAvg(store, name, &notCsamtAvg);
    if (notCsamtAvg && readers.amtAvg)
        readers.amtAvg(store, name, [&hooks] { hooks.ProcessMessages(); });
}

// All or nothing: the room for the factors is taken before anything is set.
void SetCountsAndFactors(SurveyStore& store)
{
    store.StaticFactors.reserve(store.StaticFactors.size() + store.ExStations.size());
    for (TStation& station : store.ExStations) {
        station.Amplitude.Count = static_cast<int>(station.Amplitude.X.size());
        station.Phase.Count = static_cast<int>(station.Phase.X.size());
        store.StaticFactors.push_back(SECF{station.Name, 1.0f});
    }
}

// Which files of a load gave records.
class RecordWatch {
public:
    // The closing of a load is charged to the last file read, or to the first name before any.
    RecordWatch(SurveyStore& store, size_t files, std::string firstName)
        : store_(store), files_(files), last_(std::move(firstName))
    {
    }

    // A file whose reading fails is refused whole: what its readers had added to the survey is
    // taken out again, a sample cut short by a failed allocation included, and the error ends the
    // load. A file too large for the memory is named.
    template <typename Reading>
    void Read(const std::string& name, Reading reading)
    {
        ReportProgress(read_++, files_);
        try {
            last_ = name;
            const AppendMark mark(store_);
            try {
                reading();
            } catch (...) {
                mark.CutBack(store_);
                throw;
            }
            if (mark.Grown(store_)) gave_.insert(name);
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory(name);
        }
    }

    std::vector<std::string> WithoutRecords(const std::vector<std::string>& names) const
    {
        std::vector<std::string> result;
        std::set<std::string> listed;
        for (const std::string& name : names)
            if (!gave_.count(name) && listed.insert(name).second) result.push_back(name);
        return result;
    }

    // Runs a load's reading and closes the load whether the reading ends normally or not, so that
    // the survey in memory and the map agree and the cursor comes back. A close that runs out of
    // memory names the file as a reader's would.
    template <typename Reading>
    void RunLoad(LoadHooks& hooks, Reading reading)
    {
        try {
            reading();
            ReportWorkDone();
        } catch (...) {
            Close(hooks);
            throw;
        }
        Close(hooks);
    }

private:
    void Close(LoadHooks& hooks)
    {
        try {
            CloseLoad(store_, hooks);
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory(last_);
        }
    }

    SurveyStore& store_;
    size_t files_, read_ = 0;
    std::string last_;
    std::set<std::string> gave_;
};

}  // namespace

LoadReaders::LoadReaders()
    : rewrite(RewriteTextFile),
      gdpRaw(
          [](SurveyStore& store, const std::string& fileName) { ReadGdpRawFile(store, fileName); }),
      csamtAvg([](SurveyStore& store, const std::string& fileName, bool* other) {
          ReadCsamtAvgFile(store, fileName, other);
      }),
      amtAvg(ReadAmtAvgFile),
      imp(ReadImpFile),
      usf(ReadUsfFile)
{
}

LoadFormat ChooseLoadFormat(const std::string& fileName)
{
    std::string name = LowerAscii(fileName);
    if (Contains(name, ".raw")) return LoadFormat::GdpRaw;
    if (Contains(name, ".avg")) return LoadFormat::Avg;
    if (Contains(name, ".imp")) return LoadFormat::Imp;
    if (Contains(name, ".usf")) return LoadFormat::Usf;
    return LoadFormat::None;
}

void CloseLoad(SurveyStore& store, LoadHooks& hooks)
{
    try {
        SetCountsAndFactors(store);
        hooks.RedrawMap();
    } catch (...) {
        hooks.RestoreCursor();
        throw;
    }
    hooks.RestoreCursor();
}

std::vector<std::string> AppendFiles(SurveyStore& store, const std::vector<std::string>& chosen,
                                     const std::string& currentFileName, LoadHooks& hooks,
                                     const LoadReaders& readers)
{
    bool notCsamtAvg = false;
    hooks.ShowBusyCursor();
    store.LoadedFiles.insert(store.LoadedFiles.end(), chosen.begin(), chosen.end());
    RecordWatch watch(store, chosen.size(), currentFileName);
    watch.RunLoad(hooks, [&] {
        switch (ChooseLoadFormat(currentFileName)) {
        case LoadFormat::GdpRaw:
            for (const std::string& name : chosen)
                watch.Read(name, [&] { ReadGdpRaw(store, name, hooks, readers); });
            break;
        case LoadFormat::Avg:
            for (const std::string& name : chosen)
                watch.Read(name, [&] { ReadAvg(store, name, notCsamtAvg, hooks, readers); });
            break;
        case LoadFormat::Imp:
            // Only the current file is read, however many were chosen.
            watch.Read(currentFileName, [&] {
                if (readers.imp) readers.imp(store, currentFileName);
            });
            break;
        case LoadFormat::Usf:
            watch.Read(currentFileName, [&] {
                if (readers.usf) readers.usf(store, currentFileName);
            });
            break;
        case LoadFormat::None:
            break;
        }
    });
    return watch.WithoutRecords(chosen);
}

std::vector<std::string> ReloadAllFiles(SurveyStore& store, LoadHooks& hooks,
                                        const LoadReaders& readers)
{
    store.ExStations.clear();
    store.HxStations.clear();
    store.EyStations.clear();
    store.HyStations.clear();
    store.EzStations.clear();
    store.HzStations.clear();
    store.EHStations.clear();
    store.WorkStations.clear();
    store.Transmitters.clear();
    store.StaticFactors.clear();
    bool notCsamtAvg = false;
    // A copy, since the readers let window messages run while the list is walked.
    const std::vector<std::string> names = store.LoadedFiles;
    RecordWatch watch(store, names.size(), names.empty() ? std::string() : names.front());
    watch.RunLoad(hooks, [&] {
        for (const std::string& name : names) {
            std::string lower = LowerAscii(name);
            watch.Read(name, [&] {
                if (Contains(lower, ".raw")) ReadGdpRaw(store, name, hooks, readers);
                if (Contains(lower, ".avg")) ReadAvg(store, name, notCsamtAvg, hooks, readers);
            });
        }
    });
    return watch.WithoutRecords(names);
}

std::string LoadedFilesText(const SurveyStore& store)
{
    std::string text;
    for (const std::string& name : store.LoadedFiles) text += name + "\n";
    return text;
}

std::string FilesWithoutRecordsText(const std::vector<std::string>& names)
{
    if (names.empty()) return std::string();
    std::string text = "下列文件没有加载任何数据:\n";
    for (const std::string& name : names) text += name + "\n";
    return text;
}

const char* const kFilesWithoutRecordsCaption = "Quillane";

const char* const kFileHelpText =
    "当多条剖面分别存在的时候,可以先分别加载后保存为imp格式.\n"
    "然后,通过 添加测线 功能将所有剖面添加进来后统一输出.\n";
