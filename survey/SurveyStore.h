#pragma once
// The survey data store: the data members the main window owns. Plain data, read and written
// directly by the commands; records are reached by index only.

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "survey/Records.h"

class SurveyStore {
public:
    std::vector<TStation> ExStations;
    std::vector<TStation> EyStations;
    std::vector<TStation> EzStations;
    std::vector<TStation> HxStations;
    std::vector<TStation> HyStations;
    std::vector<TStation> HzStations;
    std::vector<TStation> WorkStations;  // the curve editor's working copy
    std::vector<TxData> Transmitters;
    std::vector<SECF> StaticFactors;
    std::vector<float> OutputFreqs;
    int CurrentStation = 0;
    int RefFreqIndex = 4;
    std::vector<std::string> LoadedFiles;
    double RotationAngle = 0.0;
    std::vector<TEHStation> EHStations;  // scratch list of the AMTAVG reader
    std::vector<int> ProfileIndices;

    virtual ~SurveyStore() = default;

    // Empties the loaded survey as Open does; the settings members keep their values.
    void ClearLoadedData();
};

// The lengths of what the readers append to, at one moment: the six component lists with the
// curves of their stations, and the transmitters with their frequency lists. Readers only append,
// so cutting everything back to these lengths takes out all that a reader added since.
class AppendMark {
public:
    explicit AppendMark(const SurveyStore& store);
    // Whether anything was appended since the mark.
    bool Grown(const SurveyStore& store) const;
    // Cuts every list back to its length at the mark; lists only shrink, so nothing can fail.
    void CutBack(SurveyStore& store) const noexcept;

private:
    static constexpr size_t kCurveLists = 6;
    using CurveSizes = std::array<size_t, kCurveLists>;
    struct StationListMark {
        size_t count = 0;
        // The sample count of each station whose six curve lists are equally long (nearly all);
        // kUneven for the others, whose sizes stand in uneven in station order.
        std::vector<size_t> samples;
        std::vector<std::pair<size_t, CurveSizes>> uneven;
    };
    static constexpr size_t kUneven = static_cast<size_t>(-1);
    static CurveSizes SizesOf(const TStation& station);
    static void CutCurves(TStation& station, const CurveSizes& sizes) noexcept;

    std::array<StationListMark, 6> stations_;
    std::vector<size_t> fipCounts_;  // one per transmitter
};

// Component index: 0 Ex, 1 Hy, 2 Ey, 3 Hx, 4 Ez, any other value Hz.
std::vector<TStation>& ComponentList(SurveyStore& store, int index);

// Replaces the component list of an index by a copy of WorkStations.
void StoreComponentSet(SurveyStore& store, int index);
// Replaces WorkStations by a copy of the component list of an index.
void LoadComponentSet(SurveyStore& store, int index);
