#pragma once
// A straight transmitter wire for the tests that build a survey by hand.

#include <string>

#include "survey/Records.h"

// A wire along x from -length/2 to length/2 about (cx, cy).
inline TxData MakeTx(const std::string& name, float cx, float cy, float length)
{
    TxData t;
    t.Name = name;
    t.Ax = cx - length / 2;
    t.Ay = cy;
    t.Bx = cx + length / 2;
    t.By = cy;
    t.Cx = cx;
    t.Cy = cy;
    t.Length = length;
    return t;
}
