#include "import/EHStationMerge.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "import/RelativeTests.h"

namespace {

constexpr double kHFrequencyTolerance = 1e-6;
constexpr double kHAmplitudeTolerance = 1e-7;
constexpr double kHPhaseTolerance = 1e-9;
// Up to this many stored samples within reach of a station's rarest sample, its candidates are
// taken from them.
constexpr size_t kFewStoredSamples = 8;
// A station's frequency and a transmitter's are the same within this ratio of the station's.
constexpr double kTxFrequencyTolerance = 0.001;

// One sample of a station compared with one stored Hy sample.
bool SameHSample(float f, float h, float p, float storedF, float storedH, float storedP)
{
    return WithinRelativeOfSum(f, storedF, kHFrequencyTolerance) &&
           WithinRelativeOfSum(h, storedH, kHAmplitudeTolerance) &&
           WithinRelativeOfSum(p, storedP, kHPhaseTolerance);
}

// Both zeros are one key, as they are one phase.
float PhaseKey(float phase)
{
    return phase == 0 ? 0.0f : phase;
}

size_t HySampleCount(const TStation& record)
{
    return std::min({record.Amplitude.X.size(), record.Amplitude.Y.size(), record.Phase.Y.size()});
}

size_t HSampleCount(const TEHStation& station)
{
    return std::min({station.Freq.size(), station.HAmp.size(), station.HPhase.size()});
}

uint64_t Mix(uint64_t hash)
{
    hash = (hash ^ (hash >> 30)) * 0xbf58476d1ce4e5b9ull;
    hash = (hash ^ (hash >> 27)) * 0x94d049bb133111ebull;
    return hash ^ (hash >> 31);
}

// A set's hash is the sum of its members' hashes, so that the hash of the set without one member
// is one subtraction away.
template <class Class>
uint64_t ClassHash(const Class& c)
{
    return Mix(Mix(((uint64_t{c.frequency} << 32) | c.amplitude) + 0x9e3779b97f4a7c15ull) ^
               c.phase);
}

template <class Class>
uint64_t ClassSetHash(const std::vector<Class>& set)
{
    uint64_t hash = 0;
    for (const Class& c : set) hash += ClassHash(c);
    return hash;
}

TStation MakeStationRecord(const TEHStation& station, const std::string& transmitterId,
                           const std::vector<float>& amplitude, const std::vector<float>& phase,
                           const std::vector<float>& amplitudeError,
                           const std::vector<float>& phaseError)
{
    TStation record;
    record.Name = station.Name;
    record.Info.HyName = station.Name;
    record.Info.TxName = transmitterId;
    record.Info.X = station.StationValue;
    record.Info.Y = 0;
    record.Info.Z = 0;
    size_t n = std::min({station.Freq.size(), amplitude.size(), phase.size(), amplitudeError.size(),
                         phaseError.size()});
    for (xy* curve : {&record.Amplitude, &record.Phase, &record.Errors}) {
        curve->X.reserve(n);
        curve->Y.reserve(n);
    }
    for (size_t i = 0; i < n; ++i) {
        record.Amplitude.X.push_back(station.Freq[i]);
        record.Amplitude.Y.push_back(amplitude[i]);
        record.Phase.X.push_back(station.Freq[i]);
        record.Phase.Y.push_back(phase[i]);
        record.Errors.X.push_back(amplitudeError[i]);
        record.Errors.Y.push_back(phaseError[i]);
    }
    return record;
}

FIP MakeFip(float frequency, float current)
{
    FIP fip;
    fip.Freq = frequency;
    fip.Current = current;
    fip.Phase = 0;
    fip.CurrentErr = 0.001f;
    fip.PhaseErr = 0.001f;
    return fip;
}

}  // namespace

int FindEHStation(const SurveyStore& store, const std::string& name)
{
    for (size_t i = store.EHStations.size(); i-- > 0;)
        if (store.EHStations[i].Name == name) return static_cast<int>(i);
    return -1;
}

void AddEHStationToSurvey(SurveyStore& store, TEHStation station, const std::string& transmitterId)
{
    EHStationMerger(store).Add(station, transmitterId);
}

EHStationMerger::EHStationMerger(SurveyStore& store)
    : store_(store),
      frequencyClasses_(kHFrequencyTolerance),
      amplitudeClasses_(kHAmplitudeTolerance),
      phaseClasses_(kHPhaseTolerance)
{
    for (const TStation& record : store_.ExStations) exNames_.insert(record.Name);
    for (size_t r = 0; r < store_.HyStations.size(); ++r) IndexHyRecord(r);
    for (size_t t = 0; t < store_.Transmitters.size(); ++t)
        firstTransmitter_.emplace(store_.Transmitters[t].Name, t);
}

size_t EHStationMerger::HyKeyHash::operator()(const HyKey& key) const
{
    size_t h = std::hash<float>()(key.phase);
    h = h * 1000003u ^ std::hash<long long>()(key.frequency);
    return h * 1000003u ^ std::hash<long long>()(key.amplitude);
}

size_t EHStationMerger::ClassAtSizeHash::operator()(const ClassAtSize& key) const
{
    return static_cast<size_t>(Mix(ClassHash(key.sample) ^ key.size));
}

void EHStationMerger::IndexHyRecord(size_t record)
{
    const TStation& hy = store_.HyStations[record];
    for (size_t k = 0, n = HySampleCount(hy); k < n; ++k) {
        if (std::isnan(hy.Phase.Y[k])) continue;  // matches nothing
        HyKey key{PhaseKey(hy.Phase.Y[k]), RelativeBucket(hy.Amplitude.X[k], kHFrequencyTolerance),
                  RelativeBucket(hy.Amplitude.Y[k], kHAmplitudeTolerance)};
        hySamples_[key].emplace_back(record, k);
    }
    if (classesIndexed_) IndexRecordClasses(record);
}

template <class Sample>
bool EHStationMerger::ClassSet(size_t n, Sample sample, std::vector<SampleClass>& set) const
{
    set.clear();
    for (size_t i = 0; i < n; ++i) {
        const auto [f, h, p] = sample(i);
        if (std::isnan(f) || std::isnan(h) || std::isnan(p)) continue;
        SampleClass c{frequencyClasses_.Of(f), amplitudeClasses_.Of(h), phaseClasses_.Of(p)};
        if (c.frequency == RelativeClasses::npos || c.amplitude == RelativeClasses::npos ||
            c.phase == RelativeClasses::npos)
            return false;
        set.push_back(c);
    }
    std::sort(set.begin(), set.end());
    set.erase(std::unique(set.begin(), set.end()), set.end());
    return true;
}

void EHStationMerger::IndexClasses(const TEHStation& station)
{
    std::vector<float> f, h, p;
    for (const TStation& hy : store_.HyStations) {
        size_t n = HySampleCount(hy);
        f.insert(f.end(), hy.Amplitude.X.begin(), hy.Amplitude.X.begin() + n);
        h.insert(h.end(), hy.Amplitude.Y.begin(), hy.Amplitude.Y.begin() + n);
        p.insert(p.end(), hy.Phase.Y.begin(), hy.Phase.Y.begin() + n);
    }
    auto addStation = [&](const TEHStation& s) {
        size_t n = HSampleCount(s);
        f.insert(f.end(), s.Freq.begin(), s.Freq.begin() + n);
        h.insert(h.end(), s.HAmp.begin(), s.HAmp.begin() + n);
        p.insert(p.end(), s.HPhase.begin(), s.HPhase.begin() + n);
    };
    for (const TEHStation& s : store_.EHStations) addStation(s);
    addStation(station);
    frequencyClasses_.Assign(std::move(f));
    amplitudeClasses_.Assign(std::move(h));
    phaseClasses_.Assign(std::move(p));

    recordsByClassSet_.clear();
    recordsLackingOne_.clear();
    recordsByClass_.clear();
    classSetSizes_.clear();
    classesIndexed_ = true;
    for (size_t r = 0; r < store_.HyStations.size(); ++r) IndexRecordClasses(r);
}

void EHStationMerger::IndexRecordClasses(size_t record)
{
    const TStation& hy = store_.HyStations[record];
    auto sample = [&hy](size_t k) {
        return std::make_tuple(hy.Amplitude.X[k], hy.Amplitude.Y[k], hy.Phase.Y[k]);
    };
    std::vector<SampleClass>& set = classScratch_;
    if (!ClassSet(HySampleCount(hy), sample, set)) {
        classesIndexed_ = false;  // indexed afresh at the next lookup
        return;
    }
    if (set.empty()) return;  // holds no sample that can match
    const uint64_t hash = ClassSetHash(set);
    recordsByClassSet_.emplace(hash, record);
    for (const SampleClass& c : set) {
        if (set.size() > 1) recordsLackingOne_.emplace(hash - ClassHash(c), record);
        recordsByClass_[ClassAtSize{c, set.size()}].push_back(record);
    }
    auto size = std::lower_bound(classSetSizes_.begin(), classSetSizes_.end(), set.size());
    if (size == classSetSizes_.end() || *size != set.size())
        classSetSizes_.insert(size, set.size());
}

bool EHStationMerger::ClassCandidates(const TEHStation& station, size_t n, size_t limit,
                                      std::vector<size_t>& candidates)
{
    auto sample = [&station](size_t i) {
        return std::make_tuple(station.Freq[i], station.HAmp[i], station.HPhase[i]);
    };
    std::vector<SampleClass>& set = classScratch_;
    if (!classesIndexed_ || !ClassSet(n, sample, set)) {
        IndexClasses(station);
        ClassSet(n, sample, set);
    }
    // A record that holds a match of every sample holds every class of the station: it has the
    // same set of classes, or that set and one class more, or a set larger still, among those of
    // its size that hold the station's rarest class.
    candidates.clear();
    const uint64_t hash = ClassSetHash(set);
    for (const auto* records : {&recordsByClassSet_, &recordsLackingOne_}) {
        for (auto [r, end] = records->equal_range(hash); r != end; ++r) {
            if (candidates.size() == limit) return false;
            candidates.push_back(r->second);
        }
    }
    std::vector<const std::vector<size_t>*>& lists = listScratch_;
    lists.clear();
    size_t count = candidates.size();
    for (auto size = std::upper_bound(classSetSizes_.begin(), classSetSizes_.end(), set.size() + 1);
         size != classSetSizes_.end() && count <= limit; ++size) {
        const std::vector<size_t>* rarest = nullptr;
        for (const SampleClass& c : set) {
            auto held = recordsByClass_.find(ClassAtSize{c, *size});
            if (held == recordsByClass_.end()) {
                rarest = nullptr;
                break;
            }
            if (!rarest || held->second.size() < rarest->size()) rarest = &held->second;
        }
        if (!rarest) continue;
        lists.push_back(rarest);
        count += rarest->size();
    }
    if (count > limit) return false;
    for (const std::vector<size_t>* list : lists)
        candidates.insert(candidates.end(), list->begin(), list->end());
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    return true;
}

long EHStationMerger::FindSharedHyRecord(const TEHStation& station)
{
    const size_t n = HSampleCount(station);
    if (n == 0) return -1;  // no sample, no sensor to share
    for (size_t i = 0; i < n; ++i)
        if (std::isnan(station.Freq[i]) || std::isnan(station.HAmp[i]) ||
            std::isnan(station.HPhase[i]))
            return -1;  // a sample that matches nothing
    // The buckets within reach of each sample, and the sample with the fewest stored samples
    // within reach.
    constexpr size_t kReach = 9;
    std::vector<const HyEntries*>& reach = reachScratch_;
    reach.assign(n * kReach, nullptr);
    size_t fewest = 0, fewestCount = static_cast<size_t>(-1);
    for (size_t i = 0; i < n; ++i) {
        long long frequency = RelativeBucket(station.Freq[i], kHFrequencyTolerance);
        long long amplitude = RelativeBucket(station.HAmp[i], kHAmplitudeTolerance);
        size_t count = 0;
        for (long long df = -1; df <= 1; ++df) {
            for (long long da = -1; da <= 1; ++da) {
                auto bucket = hySamples_.find(
                    HyKey{PhaseKey(station.HPhase[i]), frequency + df, amplitude + da});
                if (bucket == hySamples_.end()) continue;
                reach[i * kReach + static_cast<size_t>((df + 1) * 3 + da + 1)] = &bucket->second;
                count += bucket->second.size();
            }
        }
        if (count == 0) return -1;
        if (count < fewestCount) fewest = i, fewestCount = count;
    }

    auto matches = [&](size_t i, size_t r, size_t k) {
        const TStation& hy = store_.HyStations[r];
        ++steps_;
        return SameHSample(station.Freq[i], station.HAmp[i], station.HPhase[i], hy.Amplitude.X[k],
                           hy.Amplitude.Y[k], hy.Phase.Y[k]);
    };
    // The candidates are the records that match the sample with the fewest stored samples within
    // reach, or, when many records share every sample, the records whose sample classes allow a
    // match; whichever are fewer. The classes are made only when first needed.
    std::vector<size_t>& candidates = candidateScratch_;
    size_t matched = n;  // a sample that every candidate is known to match
    if (fewestCount <= kFewStoredSamples || !ClassCandidates(station, n, fewestCount, candidates)) {
        candidates.clear();
        for (size_t b = 0; b < kReach; ++b) {
            const HyEntries* entries = reach[fewest * kReach + b];
            if (!entries) continue;
            for (const auto& [r, k] : *entries)
                if (matches(fewest, r, k)) candidates.push_back(r);
        }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        matched = fewest;
    }
    steps_ += candidates.size();

    // Entries are indexed record by record, so each bucket is in record order.
    auto sampleMatches = [&](size_t i, size_t r) {
        for (size_t b = 0; b < kReach; ++b) {
            const HyEntries* entries = reach[i * kReach + b];
            if (!entries) continue;
            auto own =
                std::equal_range(entries->begin(), entries->end(), std::make_pair(r, size_t{0}),
                                 [](const auto& a, const auto& b) { return a.first < b.first; });
            for (auto it = own.first; it != own.second; ++it)
                if (matches(i, r, it->second)) return true;
        }
        return false;
    };
    for (size_t r : candidates) {
        bool all = true;
        for (size_t i = 0; i < n && all; ++i) all = i == matched || sampleMatches(i, r);
        if (all) return static_cast<long>(r);
    }
    return -1;
}

void EHStationMerger::Add(const TEHStation& station, const std::string& transmitterId)
{
    if (exNames_.count(station.Name)) return;

    TStation ex = MakeStationRecord(station, transmitterId, station.EAmp, station.EPhase,
                                    station.EAmpErr, station.EPhaseErr);
    long shared = FindSharedHyRecord(station);
    if (shared >= 0) ex.Info.HyName = store_.HyStations[static_cast<size_t>(shared)].Name;
    store_.ExStations.push_back(std::move(ex));
    exNames_.insert(station.Name);

    if (shared < 0) {
        store_.HyStations.push_back(MakeStationRecord(station, transmitterId, station.HAmp,
                                                      station.HPhase, station.HAmpErr,
                                                      station.HPhaseErr));
        IndexHyRecord(store_.HyStations.size() - 1);
    }

    AddFrequencies(station, transmitterId);
}

void EHStationMerger::AddFrequencies(const TEHStation& station, const std::string& transmitterId)
{
    size_t n = std::min(station.Freq.size(), station.TxCurrent.size());
    auto known = firstTransmitter_.find(transmitterId);
    if (known == firstTransmitter_.end()) {
        TxData tx;
        tx.Name = transmitterId;
        tx.Ax = 0, tx.Ay = 0, tx.Az = 0;
        tx.Bx = 0, tx.By = 1000, tx.Bz = 0;
        ComputeTransmitterGeometry(tx);
        for (size_t i = 0; i < n; ++i)
            tx.FipList.push_back(MakeFip(station.Freq[i], station.TxCurrent[i]));
        store_.Transmitters.push_back(std::move(tx));
        firstTransmitter_.emplace(transmitterId, store_.Transmitters.size() - 1);
        return;
    }
    std::vector<FIP>& list = store_.Transmitters[known->second].FipList;
    auto indexed = frequencies_.find(known->second);
    if (indexed == frequencies_.end()) {
        indexed = frequencies_.emplace(known->second, RelativeIndex(kTxFrequencyTolerance)).first;
        for (size_t k = 0; k < list.size(); ++k) indexed->second.Add(list[k].Freq, k);
    }
    RelativeIndex& held = indexed->second;
    for (size_t i = 0; i < n; ++i) {
        float f = station.Freq[i];
        size_t found = held.FindFirst(
            f, [&](size_t k) { return WithinRelative(list[k].Freq, f, f, kTxFrequencyTolerance); });
        if (found != RelativeIndex::npos) continue;
        list.push_back(MakeFip(f, station.TxCurrent[i]));
        held.Add(f, list.size() - 1);
    }
}
