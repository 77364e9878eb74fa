#include "survey/SurveyStore.h"

void SurveyStore::ClearLoadedData()
{
    ExStations.clear();
    HxStations.clear();
    EyStations.clear();
    HyStations.clear();
    EzStations.clear();
    HzStations.clear();
    EHStations.clear();
    WorkStations.clear();
    Transmitters.clear();
    StaticFactors.clear();
    LoadedFiles.clear();
}

namespace {

// The component lists the readers append to, in the order the mark keeps them.
std::vector<TStation> SurveyStore::*const kComponentLists[] = {
    &SurveyStore::ExStations, &SurveyStore::EyStations, &SurveyStore::EzStations,
    &SurveyStore::HxStations, &SurveyStore::HyStations, &SurveyStore::HzStations};

template <typename T>
void CutTo(std::vector<T>& list, size_t size) noexcept
{
    if (list.size() > size)
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(size), list.end());
}

}  // namespace

AppendMark::CurveSizes AppendMark::SizesOf(const TStation& s)
{
    return {s.Amplitude.X.size(), s.Amplitude.Y.size(), s.Phase.X.size(),
            s.Phase.Y.size(),     s.Errors.X.size(),    s.Errors.Y.size()};
}

void AppendMark::CutCurves(TStation& s, const CurveSizes& sizes) noexcept
{
    std::vector<float>* curves[kCurveLists] = {&s.Amplitude.X, &s.Amplitude.Y, &s.Phase.X,
                                               &s.Phase.Y,     &s.Errors.X,    &s.Errors.Y};
    for (size_t k = 0; k < kCurveLists; ++k) CutTo(*curves[k], sizes[k]);
}

AppendMark::AppendMark(const SurveyStore& store)
{
    for (size_t l = 0; l < stations_.size(); ++l) {
        const std::vector<TStation>& list = store.*kComponentLists[l];
        StationListMark& mark = stations_[l];
        mark.count = list.size();
        mark.samples.reserve(list.size());
        for (size_t i = 0; i < list.size(); ++i) {
            const CurveSizes sizes = SizesOf(list[i]);
            bool even = true;
            for (size_t size : sizes) even = even && size == sizes[0];
            mark.samples.push_back(even ? sizes[0] : kUneven);
            if (!even) mark.uneven.emplace_back(i, sizes);
        }
    }
    fipCounts_.reserve(store.Transmitters.size());
    for (const TxData& tx : store.Transmitters) fipCounts_.push_back(tx.FipList.size());
}

bool AppendMark::Grown(const SurveyStore& store) const
{
    for (size_t l = 0; l < stations_.size(); ++l) {
        const std::vector<TStation>& list = store.*kComponentLists[l];
        const StationListMark& mark = stations_[l];
        if (list.size() != mark.count) return true;
        size_t uneven = 0;
        for (size_t i = 0; i < mark.count; ++i) {
            const CurveSizes sizes = SizesOf(list[i]);
            if (mark.samples[i] != kUneven) {
                for (size_t size : sizes)
                    if (size != mark.samples[i]) return true;
            } else if (sizes != mark.uneven[uneven++].second) {
                return true;
            }
        }
    }
    if (store.Transmitters.size() != fipCounts_.size()) return true;
    for (size_t i = 0; i < fipCounts_.size(); ++i)
        if (store.Transmitters[i].FipList.size() != fipCounts_[i]) return true;
    return false;
}

void AppendMark::CutBack(SurveyStore& store) const noexcept
{
    for (size_t l = 0; l < stations_.size(); ++l) {
        std::vector<TStation>& list = store.*kComponentLists[l];
        const StationListMark& mark = stations_[l];
        CutTo(list, mark.count);
        size_t uneven = 0;
        for (size_t i = 0; i < list.size(); ++i) {
            const size_t n = mark.samples[i];
            CutCurves(list[i],
                      n != kUneven ? CurveSizes{n, n, n, n, n, n} : mark.uneven[uneven++].second);
        }
    }
    CutTo(store.Transmitters, fipCounts_.size());
    for (size_t i = 0; i < store.Transmitters.size(); ++i)
        CutTo(store.Transmitters[i].FipList, fipCounts_[i]);
}

std::vector<TStation>& ComponentList(SurveyStore& store, int index)
{
    switch (index) {
    case 0:
        return store.ExStations;
    case 1:
        return store.HyStations;
    case 2:
        return store.EyStations;
    case 3:
        return store.HxStations;
    case 4:
        return store.EzStations;
    default:
        return store.HzStations;
    }
}

void StoreComponentSet(SurveyStore& store, int index)
{
    std::vector<TStation>& target = ComponentList(store, index);
    target.clear();
    target.reserve(store.WorkStations.size());
    for (const TStation& station : store.WorkStations) target.push_back(station);
}

void LoadComponentSet(SurveyStore& store, int index)
{
    store.WorkStations.clear();
    const std::vector<TStation>& source = ComponentList(store, index);
    store.WorkStations.reserve(source.size());
    for (const TStation& station : source) store.WorkStations.push_back(station);
}
