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
