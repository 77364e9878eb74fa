#pragma once
// The survey data store: the data members the main window owns. Plain data, read and written
// directly by the commands; records are reached by index only.

#include <string>
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

// Component index: 0 Ex, 1 Hy, 2 Ey, 3 Hx, 4 Ez, any other value Hz.
std::vector<TStation>& ComponentList(SurveyStore& store, int index);

// Replaces the component list of an index by a copy of WorkStations.
void StoreComponentSet(SurveyStore& store, int index);
// Replaces WorkStations by a copy of the component list of an index.
void LoadComponentSet(SurveyStore& store, int index);
