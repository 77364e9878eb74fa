#pragma once
// The second stage of the AMTAVG reader: its scratch stations merged into the survey.

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "import/RelativeTests.h"
#include "survey/SurveyStore.h"

// Position of the last EHStations entry whose Name equals name exactly; -1 when there is none.
int FindEHStation(const SurveyStore& store, const std::string& name);

// Adds one scratch station to the survey: its Ex record, its Hy record unless the store already
// holds that H sensor (every H sample of the station matches a sample of one stored Hy record; the
// Ex record then pairs with that record), and its frequencies to the transmitter named
// transmitterId (created with a placeholder wire when unknown). A station whose name is already an
// Ex station's changes nothing.
void AddEHStationToSurvey(SurveyStore& store, TEHStation station, const std::string& transmitterId);

// Merges many stations in a row, with the store's names and Hy samples indexed once. The store
// must not change by other means while it is in use.
class EHStationMerger {
public:
    explicit EHStationMerger(SurveyStore& store);
    void Add(const TEHStation& station, const std::string& transmitterId);

private:
    void IndexHyRecord(size_t record);
    // First stored Hy record that holds a match of every H sample of the station; -1 if none.
    long FindSharedHyRecord(const TEHStation& station) const;
    void AddFrequencies(const TEHStation& station, const std::string& transmitterId);

    // A stored Hy sample's place: a sample matches only an equal phase (the phase tolerance lies
    // below single precision), a frequency of the same or a neighbouring frequency bucket and an
    // amplitude of the same or a neighbouring amplitude bucket.
    struct HyKey {
        float phase;
        long long frequency;
        long long amplitude;
        bool operator==(const HyKey& other) const
        {
            return phase == other.phase && frequency == other.frequency &&
                   amplitude == other.amplitude;
        }
    };
    struct HyKeyHash {
        size_t operator()(const HyKey& key) const;
    };

    SurveyStore& store_;
    std::unordered_set<std::string> exNames_;
    std::unordered_map<std::string, size_t> firstTransmitter_;
    // Record and sample positions of the stored Hy samples, by key.
    using HyEntries = std::vector<std::pair<size_t, size_t>>;
    std::unordered_map<HyKey, HyEntries, HyKeyHash> hySamples_;
    // Storage of the search, kept from station to station.
    mutable std::vector<const HyEntries*> reachScratch_;
    mutable std::vector<size_t> candidateScratch_;
    // The FipList of each transmitter that has received frequencies here, by position.
    std::unordered_map<size_t, RelativeIndex> frequencies_;
};
