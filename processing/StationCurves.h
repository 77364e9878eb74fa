#pragma once
// The apparent-resistivity curves of one Ex station, from its samples, its paired Hy station and
// the transmitter of that pair.

#include <string>
#include <unordered_map>
#include <vector>

#include "survey/SurveyStore.h"

// Seven parallel lists, one entry per kept sample, and the station's distance from its
// transmitter's centre (m).
struct StationCurves {
    std::vector<double> Freq;       // Hz
    std::vector<double> RhoExN;     // "Ex_N", ohm-m
    std::vector<double> RhoExF;     // "Ex_F", ohm-m
    std::vector<double> RhoHyF;     // "Hy_F", ohm-m
    std::vector<double> RhoExHyN;   // "Ex/Hy_N", ohm-m
    std::vector<double> RhoMT;      // "MT", ohm-m
    std::vector<double> PhaseDiff;  // Ex phase minus Hy phase, rad, not wrapped
    double Distance = 0.0;
};

// The name lookups of the pairing, built once for many curve computations over a store that does
// not change meanwhile (rebuild it after any change of the Ex, Hy or transmitter lists).
class StationCurveIndex {
public:
    explicit StationCurveIndex(const SurveyStore& store);
    // Only the pairing of Hy stations and transmitters, for callers that look no Ex name up.
    static StationCurveIndex Pairing(const SurveyStore& store);

    // Indices into ExStations of the stations with this name, in list order.
    const std::vector<size_t>& ExStationsNamed(const std::string& name) const;
    // Index of the first Hy station with this name, or -1.
    long FirstHyNamed(const std::string& name) const;
    // Index of the first transmitter with this name, or -1.
    long FirstTransmitterNamed(const std::string& name) const;

private:
    StationCurveIndex(const SurveyStore& store, bool exStations);

    std::unordered_map<std::string, std::vector<size_t>> ex_;
    std::unordered_map<std::string, size_t> hy_;
    std::unordered_map<std::string, size_t> tx_;
};

// Fills the curves of every Ex station named StationName, their samples one station after the
// other. Each Ex station pairs with the first Hy station whose Name is its HyName (else the first
// Hy station), that one with the first transmitter whose Name is its TxName (else the first
// transmitter). A sample is kept when the Hy station has one within 1e-8 Hz of its frequency with
// an amplitude of at least 1e-18. Distance becomes that of the last station of the name and is
// left as it was when there is none. With no Hy station or no transmitter the lists are empty.
// A non-finite intermediate value raises EInvalidOp, EZeroDivide or EOverflow.
void ComputeStationCurves(const SurveyStore& store, const std::string& StationName,
                          StationCurves& curves);
// The same through an index of the store, in time linear in the station's samples.
void ComputeStationCurves(const SurveyStore& store, const StationCurveIndex& index,
                          const std::string& StationName, StationCurves& curves);

// The factor K(r) of the "Ex/Hy_N" curve: piecewise-linear in a 16-point table from 0.5 to 20,
// clamped to its end values (also 2.52 for a NaN).
double NearZoneFactor(double r);
