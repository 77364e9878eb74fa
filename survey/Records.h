#pragma once
// The survey's record types. All are plain values: a copy shares no list with its original.

#include <string>
#include <vector>

// One curve: a point count (set only by the loading commands) and two lists of values.
struct xy {
    int Count = 0;
    std::vector<float> X;
    std::vector<float> Y;
};

struct info {
    float X = 0;
    float Y = 0;
    float Z = 0;
    std::string Area = "Unknown";
    std::string HyName = "unknown";
    std::string Tag = "Me";
    std::string TxName = "Murv";
    std::string Extra;
};

// One station of one field component.
struct TStation {
    std::string Name = "unknown";
    xy Errors;     // X: amplitude errors, Y: phase errors (rad)
    xy Amplitude;  // X: frequencies (Hz), Y: amplitudes
    xy Phase;      // X: frequencies (Hz), Y: phases (rad)
    info Info;
};

// One transmitter frequency record.
struct FIP {
    float Freq = 0;
    float Current = 0;
    float Phase = 0;
    float CurrentErr = 0;
    float PhaseErr = 0;
};

// One grounded-wire source. Azimuth is held in degrees.
struct TxData {
    std::string Name;
    float Ax = 0, Ay = 0, Az = 0;
    float Bx = 0, By = 0, Bz = 0;
    float Cx = 0, Cy = 0, Cz = 0;
    float Length = 0;
    float Azimuth = 0;
    std::vector<FIP> FipList;
    FIP Fip;
};

// One static-shift factor.
struct SECF {
    std::string Name;
    float Factor = 0;
};

// Scratch record of the AMTAVG reader: one station with one entry per row taken in.
struct TEHStation {
    std::vector<int> Flags;
    std::string Name;
    std::vector<float> Freq, TxCurrent, EAmp, EPhase, HAmp, HPhase, Col9, Col10, EAmpErr, EPhaseErr,
        HAmpErr, HPhaseErr, Col15, Col16, Col17;
    float StationValue = 0;
};

// Empties the three curves of a station; counts, name and header stay.
void ClearStationCurves(TStation& station);

// Whether an equal transmitter (centre, own frequency, length and azimuth each within 1e-10) is in
// the list; the probe then takes the first equal one's name.
bool FindSameTransmitter(TxData& probe, const std::vector<TxData>& list);

// Centre, length and azimuth from the electrodes, as the readers compute them when they make a
// record. Floating-point errors of the computation are thrown.
void ComputeTransmitterGeometry(TxData& tx);
