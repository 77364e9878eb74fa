#pragma once
// The Cagniard apparent resistivity ("MT") of one Ex station with a loose frequency match, as the
// curve editor's companion chart shows it.

#include <vector>

#include "survey/SurveyStore.h"

struct MTCurve {
    std::vector<double> Freq;  // Hz
    std::vector<double> Rho;   // ohm-m
};

// The "MT" curve of ExStations[exIndex], paired with the first Hy station whose own HyName equals
// the Ex station's HyName, else with the first Hy station. Each Ex sample takes the first Hy
// sample whose frequency lies within 1e-5 of the sum of the two; samples without one, and those
// whose resistivity is not finite (a Hy amplitude of 0), are left out. Empty for an index
// outside ExStations or with no Hy station.
MTCurve ComputeMTCurve(const SurveyStore& store, int exIndex);
