#include "import/GdpRawReader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <new>
#include <utility>

#include "base/AsciiText.h"
#include "base/Convert.h"
#include "base/Exception.h"
#include "base/FileName.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "base/Progress.h"
#include "base/SafeFile.h"
#include "base/StringList.h"
#include "import/RelativeTests.h"
#include "import/TransmitterLookup.h"
#include "survey/LargeLists.h"
#include "survey/Records.h"
#include "survey/TextLines.h"

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

// "ex" in any case.
bool IsExField(std::string_view field)
{
    return field.size() == 2 && (field[0] == 'e' || field[0] == 'E') &&
           (field[1] == 'x' || field[1] == 'X');
}

// The next line and its fields, as views into the stream's text; false (no fields) at the end of
// the input.
bool ReadFields(TextStream& stream, std::string_view& line, std::vector<std::string_view>& fields)
{
    bool read = ReadNonBlankLine(stream, line);
    SplitFields(line, fields);
    return read;
}

// Skips to the next block-number line (a line of exactly one field) and leaves it unread.
void SkipToNextBlock(TextStream& stream, std::string_view& line,
                     std::vector<std::string_view>& fields)
{
    for (;;) {
        size_t position = stream.Position();
        if (!ReadFields(stream, line, fields)) return;
        if (fields.size() == 1) {
            stream.Seek(position);
            return;
        }
    }
}

// Position of the first record of each name in a station list; later records of the same name
// are never returned, as a search from the start of the list would not find them. The table holds
// positions only and compares with the list's own names, so that a name is not held twice.
class FirstStationIndex {
public:
    explicit FirstStationIndex(const std::vector<TStation>& stations) : stations_(stations)
    {
        Reserve(stations.size());
        for (size_t i = 0; i < stations.size(); ++i) Added(stations[i].Name, i);
    }
    size_t Find(const std::string& name) const
    {
        for (size_t slot = Hash(name) & mask_;; slot = (slot + 1) & mask_) {
            ++compared_;
            const uint32_t position = slots_[slot];
            if (position == kEmpty) return kNone;
            if (stations_[position].Name == name) return position;
        }
    }
    // The station at index has just been given name.
    void Added(const std::string& name, size_t index)
    {
        if (index >= kEmpty) throw std::bad_alloc();
        if (2 * (count_ + 1) > slots_.size()) Reserve(count_ + 1);
        size_t slot = Hash(name) & mask_;
        for (; slots_[slot] != kEmpty; slot = (slot + 1) & mask_, ++compared_)
            if (stations_[slots_[slot]].Name == name) return;
        slots_[slot] = static_cast<uint32_t>(index);
        ++count_;
    }
    // Room for entries names in all, the positions held kept.
    void Reserve(size_t entries)
    {
        size_t size = 16;
        while (size < 2 * entries) size *= 2;
        if (size <= slots_.size()) return;
        std::vector<uint32_t> old;
        ReserveLarge(old, size);  // probed at random: large pages spare the misses of their map
        old.assign(size, kEmpty);
        old.swap(slots_);
        mask_ = size - 1;
        for (uint32_t position : old) {
            if (position == kEmpty) continue;
            size_t slot = Hash(stations_[position].Name) & mask_;
            while (slots_[slot] != kEmpty) slot = (slot + 1) & mask_;
            slots_[slot] = position;
        }
    }

    // The slots a lookup or an addition looked at.
    size_t Compared() const { return compared_; }

private:
    static constexpr uint32_t kEmpty = UINT32_MAX;

    static size_t Hash(const std::string& name) { return std::hash<std::string>()(name); }

    const std::vector<TStation>& stations_;
    std::vector<uint32_t> slots_;
    size_t mask_ = 0;
    size_t count_ = 0;
    mutable size_t compared_ = 0;
};

// The records the station pass makes: every Ex id and one Hy record of each block whose first id
// is new to the list and to the file, so that the lists take their room at once instead of moving
// each record as they grow. The file's names are told apart by their hashes only: the figures are
// a measure, not a count to rely on.
class NewStationCount {
public:
    void Block(const std::vector<std::string>& ids, const FirstStationIndex& known)
    {
        if (known.Find(ids.front()) != kNone) return;
        if (2 * (count_ + 1) > slots_.size()) Grow();
        const size_t hash = std::max<size_t>(std::hash<std::string>()(ids.front()), 1);
        size_t slot = hash & (slots_.size() - 1);
        for (; slots_[slot] != 0; slot = (slot + 1) & (slots_.size() - 1))
            if (slots_[slot] == hash) return;
        slots_[slot] = hash;
        ++count_;
        ex += ids.size();
        ++hy;
    }
    size_t ex = 0, hy = 0;

private:
    void Grow()
    {
        std::vector<size_t> old;
        const size_t size = std::max<size_t>(16, 2 * slots_.size());
        ReserveLarge(old, size);
        old.assign(size, 0);
        old.swap(slots_);
        for (size_t hash : old) {
            if (hash == 0) continue;
            size_t slot = hash & (slots_.size() - 1);
            while (slots_[slot] != 0) slot = (slot + 1) & (slots_.size() - 1);
            slots_[slot] = hash;
        }
    }
    std::vector<size_t> slots_;
    size_t count_ = 0;
};

// The electrodes that stand in for the unknown source until the user sets them.
TxData PlaceholderTransmitter()
{
    TxData tx;
    tx.Ax = 0;
    tx.Ay = 0;
    tx.Az = 0;
    tx.Bx = 0;
    tx.By = 1000;
    tx.Bz = 0;
    ComputeTransmitterGeometry(tx);
    return tx;
}

void AddSample(TStation& station, double freq, double amplitude, double phase)
{
    float f = ToSingle(freq), a = ToSingle(amplitude), p = ToSingle(phase);
    station.Amplitude.X.push_back(f);
    station.Amplitude.Y.push_back(a);
    station.Phase.X.push_back(f);
    station.Phase.Y.push_back(p);
    station.Errors.X.push_back(0.01f);
    station.Errors.Y.push_back(0.01f);
}

// The job text as the stations' y; any text that is not a number, or none that fits a single,
// gives 0.
float JobTextPosition(const std::string& jobText)
{
    double y = StrToFloatDef(jobText, 0.0);
    return std::fabs(y) <= std::numeric_limits<float>::max() ? static_cast<float>(y) : 0.0f;
}

// The station field of an id, that is the id after its job text, as x; no fallback.
float StationPosition(const std::string& id, const std::string& jobText)
{
    return ToSingle(StrToFloat(id.substr(std::min(jobText.size(), id.size()))));
}

struct BlockValues {
    int DipoleLength = 40;
    std::string JobText;
    double BlockFrequency = 0;
    double BlockCurrent = 0;
    std::vector<std::string> ExIds;
    std::vector<double> ExAmplitudes;
    std::vector<double> ExPhases;
    // A file without any H line gives its Hy samples 0.
    double HAmplitude = 0;
    double HPhase = 0;
    int TxNumber = 0;
    int HyNumber = 0;
};

// The block reader's fields, kept from block to block so that their storage is reused, and where
// in the text each E line of the block stands.
struct BlockScratch {
    std::vector<std::string_view> fields;
    std::vector<size_t> exLines;
};

void ReadRawBlock(TextStream& stream, BlockScratch& scratch, int& DipoleLength,
                  std::string& JobText, double& BlockFrequency, double& BlockCurrent,
                  std::vector<std::string>& ExIds, std::vector<double>& ExAmplitudes,
                  std::vector<double>& ExPhases, double& HAmplitude, double& HPhase, int& TxNumber,
                  int& HyNumber);

void ReadBlock(TextStream& stream, BlockScratch& scratch, BlockValues& v)
{
    ReadRawBlock(stream, scratch, v.DipoleLength, v.JobText, v.BlockFrequency, v.BlockCurrent,
                 v.ExIds, v.ExAmplitudes, v.ExPhases, v.HAmplitude, v.HPhase, v.TxNumber,
                 v.HyNumber);
}

// The stations' tag of a block frequency; most blocks repeat the frequency of the one before.
class TagText {
public:
    const std::string& Of(double freq)
    {
        if (!known_ || std::memcmp(&freq, &freq_, sizeof freq) != 0) {
            text_ = FormatFloat("#.###E-0", freq);
            freq_ = freq;
            known_ = true;
        }
        return text_;
    }

private:
    bool known_ = false;
    double freq_ = 0;
    std::string text_;
};

// A station's record of a new block, with its first sample.
void MakeStation(TStation& station, const std::string& name, float x, float y, const BlockValues& v,
                 const std::string& tag, double amplitude, double phase)
{
    const float f = ToSingle(v.BlockFrequency), a = ToSingle(amplitude), p = ToSingle(phase);
    station.Name = name;
    station.Info.X = x;
    station.Info.Y = y;
    station.Info.HyName = std::to_string(v.HyNumber);
    station.Info.Tag = tag;
    station.Info.TxName = std::to_string(v.TxNumber);
    // Each list takes room for its one value at once.
    station.Amplitude.X.assign(1, f);
    station.Amplitude.Y.assign(1, a);
    station.Phase.X.assign(1, f);
    station.Phase.Y.assign(1, p);
    station.Errors.X.assign(1, 0.01f);
    station.Errors.Y.assign(1, 0.01f);
}

// The x of every id of a block; a station field that is no number names its own E line.
void StationPositions(const BlockValues& v, const BlockScratch& scratch, const TextStream& stream,
                      const std::string& fileName, std::vector<float>& xs)
{
    xs.clear();
    for (size_t i = 0; i < v.ExIds.size(); ++i) {
        try {
            xs.push_back(StationPosition(v.ExIds[i], v.JobText));
        } catch (const EConvertError& error) {
            throw EConvertErrorInFile(error, fileName, stream.LineNumberAt(scratch.exLines[i]));
        }
    }
}

void AddNewStationBlock(SurveyStore& store, const BlockValues& v, const std::vector<float>& xs,
                        const std::string& tag, FirstStationIndex& exIndex,
                        FirstStationIndex& hyIndex)
{
    const float y = JobTextPosition(v.JobText);
    for (size_t i = 0; i < v.ExIds.size(); ++i) {
        TStation station;
        MakeStation(station, v.ExIds[i], xs[i], y, v, tag, v.ExAmplitudes[i], v.ExPhases[i]);
        store.ExStations.push_back(std::move(station));
        exIndex.Added(v.ExIds[i], store.ExStations.size() - 1);
    }
    TStation hy;
    MakeStation(hy, v.ExIds.front(), store.ExStations.back().Info.X, y, v, tag, v.HAmplitude,
                v.HPhase);
    store.HyStations.push_back(std::move(hy));
    hyIndex.Added(v.ExIds.front(), store.HyStations.size() - 1);
}

// The frequencies a station group has taken.
class TakenFrequencies {
public:
    // Whether freq lies within the relative 1e-4 of a frequency taken. A block frequency of 0
    // raises the division error.
    static bool Close(double freq, float taken)
    {
        return CheckedDiv(std::fabs(freq - taken), freq) < 1e-4;
    }
    // Whether a frequency of the list lies near the block's. A block frequency of 0 against a
    // non-empty list raises the division error. Each frequency compared counts in compared.
    bool Taken(double freq, size_t& compared) const
    {
        auto close = [&](size_t i) {
            ++compared;
            return Close(freq, list_[i]);
        };
        // From here up no quotient can overflow, so the test raises nothing and only frequencies
        // near the block's can pass it.
        constexpr double kIndexedFrom = 1e-200;
        if (freq >= kIndexedFrom && std::isfinite(freq)) {
            // Most groups take a few frequencies: their lists are scanned, longer ones indexed.
            if (list_.size() <= kScannedUpTo) {
                for (size_t i = 0; i < list_.size(); ++i)
                    if (close(i)) return true;
                return false;
            }
            if (!index_) index_ = std::make_unique<RelativeIndex>(1e-4);
            for (size_t k = index_->Size(); k < list_.size(); ++k) index_->Add(list_[k], k);
            return index_->FindFirst(freq, close) != RelativeIndex::npos;
        }
        // Below, no single lies near the block's frequency, but a quotient may overflow; the
        // largest quotients are those of the smallest and the largest frequency.
        if (freq > 0 && !list_.empty()) return close(lowest_) || close(highest_);
        // Zero or negative: the first test decides.
        for (size_t i = 0; i < list_.size(); ++i)
            if (close(i)) return true;
        return false;
    }
    void Add(float freq)
    {
        list_.push_back(freq);
        if (freq < list_[lowest_]) lowest_ = list_.size() - 1;
        if (freq > list_[highest_]) highest_ = list_.size() - 1;
    }

private:
    static constexpr size_t kScannedUpTo = 16;
    std::vector<float> list_;
    mutable std::unique_ptr<RelativeIndex> index_;  // of list_, made when first needed
    size_t lowest_ = 0, highest_ = 0;
};

// The taken frequencies of each station group, by the position of the group's first Ex record.
// Most groups, one to a station of a file of one station per block, take a single frequency: it
// is held in the group's entry, and a list is made only for a group that takes a second.
class StationGroups {
public:
    // Room for an entry for every station position below stations.
    void Reserve(size_t stations) { entries_.reserve(stations); }
    // Whether the group has taken a frequency near freq, as TakenFrequencies tests it; a group
    // that took none has not.
    bool Taken(size_t station, double freq) const
    {
        if (station >= entries_.size() || entries_[station].list == kNothing) return false;
        const Entry& entry = entries_[station];
        if (entry.list == kFirstOnly) {
            ++compared_;
            return TakenFrequencies::Close(freq, entry.first);
        }
        return lists_[entry.list].Taken(freq, compared_);
    }
    void Add(size_t station, float freq)
    {
        if (station >= entries_.size()) entries_.resize(station + 1);
        Entry& entry = entries_[station];
        if (entry.list == kNothing) {
            entry.first = freq;
            entry.list = kFirstOnly;
            return;
        }
        if (entry.list == kFirstOnly) {
            if (lists_.size() >= kFirstOnly) throw std::bad_alloc();
            lists_.emplace_back();
            lists_.back().Add(entry.first);
            entry.list = static_cast<uint32_t>(lists_.size() - 1);
        }
        lists_[entry.list].Add(freq);
    }
    // A new group of station that has taken freq alone.
    void Start(size_t station, float freq)
    {
        if (station >= entries_.size()) entries_.resize(station + 1);
        entries_[station] = Entry{freq, kFirstOnly};
    }
    // The frequencies the tests compared.
    size_t Compared() const { return compared_; }

private:
    static constexpr uint32_t kNothing = UINT32_MAX;
    static constexpr uint32_t kFirstOnly = UINT32_MAX - 1;
    struct Entry {
        float first = 0;
        uint32_t list = kNothing;  // kNothing, kFirstOnly or the position of the group's list
    };
    std::vector<Entry> entries_;
    std::deque<TakenFrequencies> lists_;  // stays in place as it grows
    mutable size_t compared_ = 0;
};

void AddKnownStationBlock(SurveyStore& store, BlockValues& v, StationGroups& groups, size_t group,
                          const FirstStationIndex& exIndex, const FirstStationIndex& hyIndex)
{
    if (groups.Taken(group, v.BlockFrequency)) return;
    groups.Add(group, ToSingle(v.BlockFrequency));
    for (size_t k = 0; k < v.ExIds.size(); ++k) {
        size_t index = exIndex.Find(v.ExIds[k]);
        if (index != kNone)
            AddSample(store.ExStations[index], v.BlockFrequency, v.ExAmplitudes[k], v.ExPhases[k]);
    }
    size_t index = hyIndex.Find(v.ExIds.front());
    if (index == kNone) return;
    TStation& hy = store.HyStations[index];
    // A missing H reading repeats the station's latest amplitude; one without any keeps its own.
    if (v.HAmplitude < 1e-20 && !hy.Amplitude.Y.empty()) v.HAmplitude = hy.Amplitude.Y.back();
    AddSample(hy, v.BlockFrequency, v.HAmplitude, v.HPhase);
}

// A name whose own last part ends in ".raw", in any case; folders do not count.
bool HasRawFileName(const std::string& fileName)
{
    return LowerAscii(ExtractFileExt(fileName)) == ".raw";
}

// Text as receivers and editors write it: no NUL, no DEL and no other control byte than TAB, LF,
// FF, CR and the end-of-file mark; bytes from 0x80 up are the text's own (GBK or UTF-8).
bool IsTextBytes(const std::string& bytes)
{
    for (unsigned char c : bytes)
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\f' && c != '\r' && c != 0x1a) ||
            c == 0x7f)
            return false;
    return true;
}

}  // namespace

void RewriteTextFile(const std::string& fileName)
{
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes)) throw EFOpenError(fileName);
    if (!HasRawFileName(fileName) || !IsTextBytes(bytes)) return;
    // The lines go straight from the file's bytes into the save: a file as large as memory allows
    // is not held twice.
    SafeFile file(fileName);
    StringList::WriteLines(bytes, file);
    file.Commit();
}

void ParseUnitValue(std::string_view text, float& value)
{
    auto number = [&text](size_t length) {
        double result = 0;
        if (!TryStrToFloat(text.data(), text.data() + length, result))
            throw InvalidFloat(std::string(text.substr(0, length)));
        return result;
    };
    auto has = [&text](char letter) { return text.find(letter) != std::string_view::npos; };
    if (has('v'))
        value = ToSingle(number(text.size() - 1));
    else if (has('m'))
        value = ToSingle(ToSingle(number(text.size() - 1)) * 0.001);
    else if (has('u'))
        value = ToSingle(ToSingle(number(text.size() - 1)) * 1e-6);
    else
        value = ToSingle(number(text.size()));
}

void ReadRawBlock(TextStream& stream, int& DipoleLength, std::string& JobText,
                  double& BlockFrequency, double& BlockCurrent, std::vector<std::string>& ExIds,
                  std::vector<double>& ExAmplitudes, std::vector<double>& ExPhases,
                  double& HAmplitude, double& HPhase, int& TxNumber, int& HyNumber)
{
    BlockScratch scratch;
    ReadRawBlock(stream, scratch, DipoleLength, JobText, BlockFrequency, BlockCurrent, ExIds,
                 ExAmplitudes, ExPhases, HAmplitude, HPhase, TxNumber, HyNumber);
}

namespace {

void ReadRawBlock(TextStream& stream, BlockScratch& scratch, int& DipoleLength,
                  std::string& JobText, double& BlockFrequency, double& BlockCurrent,
                  std::vector<std::string>& ExIds, std::vector<double>& ExAmplitudes,
                  std::vector<double>& ExPhases, double& HAmplitude, double& HPhase, int& TxNumber,
                  int& HyNumber)
{
    ExIds.clear();
    ExAmplitudes.clear();
    ExPhases.clear();
    scratch.exLines.clear();
    std::string_view line;
    std::vector<std::string_view>& fields = scratch.fields;
    do {
        if (!ReadFields(stream, line, fields)) return;
    } while (fields.size() != 1);
    StrToInt(std::string(line));  // the block number is not used, but must be one

    std::string_view header;
    if (!ReadNonBlankLine(stream, header)) return;
    // A "SYNC" header reads as a "CSAM" one.
    if (!Contains(header, "SYNC") && !Contains(header, "CSAM")) {
        SkipToNextBlock(stream, line, fields);
        return;
    }

    // A block cut short by the end of the input has nothing more to give.
    if (!ReadFields(stream, line, fields)) return;
    if (Contains(line, "OPER")) {
        DipoleLength = StrToInt(std::string(FieldOrEmpty(fields, 6)));
        if (!ReadFields(stream, line, fields)) return;
        JobText = FieldOrEmpty(fields, 3);
        SkipToNextBlock(stream, line, fields);
        return;
    }
    TxNumber = StrToInt(std::string(FieldOrEmpty(fields, 1)));
    HyNumber = StrToInt(std::string(FieldOrEmpty(fields, 3)));
    if (!ReadFields(stream, line, fields)) return;
    BlockFrequency = StrToFloat(std::string(FieldOrEmpty(fields, 0)));
    BlockCurrent = StrToFloat(std::string(FieldOrEmpty(fields, 6)));

    for (;;) {
        size_t position = stream.Position();
        if (!ReadFields(stream, line, fields)) return;
        if (fields.size() < 2) {
            stream.Seek(position);
            return;
        }
        float magnitude, phase;
        ParseUnitValue(FieldOrEmpty(fields, 3), magnitude);
        ParseUnitValue(FieldOrEmpty(fields, 4), phase);
        double m = ToSingle(magnitude * 1e6);
        double p = ToSingle(phase * 0.001);
        if (IsExField(fields[1])) {
            double e = ToSingle(m * 0.001);
            e = ToSingle(CheckedDiv(e, DipoleLength * 0.001));
            e = ToSingle(CheckedDiv(e, BlockCurrent));
            const std::string_view station = FieldOrEmpty(fields, 2);
            std::string id;
            id.reserve(JobText.size() + station.size());
            ExIds.push_back(std::move(id.append(JobText).append(station)));
            ExAmplitudes.push_back(e);
            ExPhases.push_back(p);
            scratch.exLines.push_back(static_cast<size_t>(line.data() - stream.Text().data()));
        } else {
            HAmplitude = CheckedDiv(m * 0.001, BlockCurrent);
            HPhase = p;
        }
    }
}

void ReadGdpRawStream(SurveyStore& store, const std::string& fileName, TextStream& stream,
                      size_t size, GdpRawReadWork& work)
{
    BlockValues v;
    BlockScratch scratch;

    const TxData placeholder = PlaceholderTransmitter();
    TransmitterLookup transmitters(store.Transmitters);
    FirstStationIndex exIndex(store.ExStations), hyIndex(store.HyStations);
    NewStationCount newStations;
    while (!stream.Exhausted()) {
        ReportProgress(stream.Position(), 2 * size);
        ReadBlock(stream, scratch, v);
        if (v.ExIds.empty()) continue;
        newStations.Block(v.ExIds, exIndex);
        TxData tx = placeholder;
        tx.Name = std::to_string(v.TxNumber);
        FIP fip;
        fip.Freq = ToSingle(v.BlockFrequency);
        fip.Current = 1.0f;  // the amplitudes are already divided by the block's current
        fip.CurrentErr = 0.001f;
        fip.PhaseErr = 0.001f;
        tx.Fip = fip;
        if (transmitters.FindSame(tx, store.Transmitters)) continue;
        tx.FipList.push_back(fip);  // only a record kept needs its list
        transmitters.Add(tx, store.Transmitters.size());
        store.Transmitters.push_back(std::move(tx));
    }

    // The block values carry over: the station pass starts with what the first pass left.
    stream.Rewind();
    ReserveLarge(store.ExStations, store.ExStations.size() + newStations.ex);
    ReserveLarge(store.HyStations, store.HyStations.size() + newStations.hy);
    exIndex.Reserve(store.ExStations.size() + newStations.ex);
    hyIndex.Reserve(store.HyStations.size() + newStations.hy);
    newStations = NewStationCount();
    // Taken per station group (the block's first id, known by the position of its first Ex
    // record), so that a file ordered group by group still gives every group each of its
    // frequencies once.
    StationGroups groups;
    groups.Reserve(store.ExStations.capacity());
    TagText tag;
    std::vector<float> xs;
    while (!stream.Exhausted()) {
        ReportProgress(size + stream.Position(), 2 * size);
        ReadBlock(stream, scratch, v);
        if (v.ExIds.empty()) continue;
        size_t group = exIndex.Find(v.ExIds.front());
        if (group == kNone) {
            StationPositions(v, scratch, stream, fileName, xs);
            AddNewStationBlock(store, v, xs, tag.Of(v.BlockFrequency), exIndex, hyIndex);
            groups.Start(exIndex.Find(v.ExIds.front()), ToSingle(v.BlockFrequency));
        } else {
            AddKnownStationBlock(store, v, groups, group, exIndex, hyIndex);
        }
    }
    work.Compared +=
        transmitters.Compared() + exIndex.Compared() + hyIndex.Compared() + groups.Compared();
}

}  // namespace

void ReadGdpRawFile(SurveyStore& store, const std::string& fileName, GdpRawReadWork* work)
{
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes)) return;
    const size_t size = bytes.size();  // read twice: the progress runs over twice the size
    // A CR without its LF ends a line too, so that a file read as it stands gives the lines that
    // the rewrite would have cut.
    TextStream stream(std::move(bytes), LoneCarriageReturn::EndsLine);
    GdpRawReadWork counted;
    NamingConversionErrorPlace(stream, fileName,
                               [&] { ReadGdpRawStream(store, fileName, stream, size, counted); });
    if (work) work->Compared += counted.Compared;
}
