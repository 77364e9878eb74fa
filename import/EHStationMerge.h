#pragma once
// The second stage of the AMTAVG reader: its scratch stations merged into the survey.

#include <cstdint>
#include <string>
#include <tuple>
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
// must not change by other means while it is in use. The stations are expected among the store's
// EHStations, whose H values the lookup takes in with the store's; another station is merged just
// as well, its first lookup then indexing the store's Hy records once more.
class EHStationMerger {
public:
    explicit EHStationMerger(SurveyStore& store);
    void Add(const TEHStation& station, const std::string& transmitterId);
    // Stored H samples compared with a station's and candidate records gathered so far: the work
    // of the lookups.
    size_t LookupSteps() const { return steps_; }

private:
    // The classes of one H sample's frequency, amplitude and phase: samples that match have
    // equal classes.
    struct SampleClass {
        uint32_t frequency, amplitude, phase;
        bool operator==(const SampleClass& other) const
        {
            return frequency == other.frequency && amplitude == other.amplitude &&
                   phase == other.phase;
        }
        bool operator<(const SampleClass& other) const
        {
            return std::tie(frequency, amplitude, phase) <
                   std::tie(other.frequency, other.amplitude, other.phase);
        }
    };
    // A sample class among the Hy records whose class sets are of one size.
    struct ClassAtSize {
        SampleClass sample;
        size_t size;
        bool operator==(const ClassAtSize& other) const
        {
            return sample == other.sample && size == other.size;
        }
    };
    struct ClassAtSizeHash {
        size_t operator()(const ClassAtSize& key) const;
    };

    void IndexHyRecord(size_t record);
    // First stored Hy record that holds a match of every H sample of the station; -1 if none.
    long FindSharedHyRecord(const TEHStation& station);
    // The Hy records that can hold the station's samples by their classes, in record order, when
    // they are no more than limit; false when there are more.
    bool ClassCandidates(const TEHStation& station, size_t n, size_t limit,
                         std::vector<size_t>& candidates);
    // Classes of every value of the store's Hy records, of the EHStations and of the station,
    // and every Hy record indexed by them.
    void IndexClasses(const TEHStation& station);
    void IndexRecordClasses(size_t record);
    // The distinct classes of n samples, sorted; false when a value has no class. Samples with a
    // NaN match nothing and are left out.
    template <class Sample>
    bool ClassSet(size_t n, Sample sample, std::vector<SampleClass>& set) const;
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
    // The classes of the values, made at the first lookup; false until then and after a record
    // brought a value they lack.
    RelativeClasses frequencyClasses_, amplitudeClasses_, phaseClasses_;
    bool classesIndexed_ = false;
    // Hy records by the hash of their set of sample classes, by the hash of that set without one
    // of its classes, and by each class they hold with the size of their set; the sizes that
    // occur, sorted.
    std::unordered_multimap<uint64_t, size_t> recordsByClassSet_, recordsLackingOne_;
    std::unordered_map<ClassAtSize, std::vector<size_t>, ClassAtSizeHash> recordsByClass_;
    std::vector<size_t> classSetSizes_;
    // Storage of the search, kept from station to station.
    std::vector<const HyEntries*> reachScratch_;
    std::vector<size_t> candidateScratch_;
    std::vector<SampleClass> classScratch_;
    std::vector<const std::vector<size_t>*> listScratch_;
    size_t steps_ = 0;
    // The FipList of each transmitter that has received frequencies here, by position.
    std::unordered_map<size_t, RelativeIndex> frequencies_;
};
