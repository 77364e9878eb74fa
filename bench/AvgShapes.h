#pragma once
// Averaged files of the layouts whose reading can cost far more than their size: AMTAVG files of
// stations along a line that share H sensors and of stations whose every H value many others share
// while no two of them match, and CSAMT AVG files of a frequency table whose values lie close.

#include <cmath>
#include <ostream>

#include "base/NumberFormat.h"

// Stations 5 m apart at 40 frequencies, one H sensor for every six of them (up to 20000
// stations: a station value beyond 100000 skips the row).
inline void WriteAmtAvgLine(std::ostream& out, long stations)
{
    out << "\\ AMTAVG 7.76: bench\n$ ASPACE=  10.0m\n$ XMTR  =    1.\nskp Station Freq\n"
        << "\\-++------++----+\n";
    for (long s = 0; s < stations; ++s) {
        long sensor = s / 6;
        for (int f = 0; f < 40; ++f) {
            double freq = 9600.0 * std::pow(0.8, f);
            out << CFormat(
                " 2 %ld.0 %.4f ExHy 1.00 %.4e %.1f %.4e %.1f 5.9e+3 -187.4 0.1 0.0 "
                "0.1 0.0 0.1 0.0\n",
                s * 5, freq, 1.0 + s + f * 0.01, -100.0 - f, 1e-4 * (1 + sensor),
                200.0 + f + sensor);
        }
    }
}

// Stations at samples frequencies whose H amplitude at frequency i is digit i of the station's
// number in the smallest base b with b^samples >= stations, all at one H phase: each value is
// shared by stations / b stations (half of them for 17 samples), and no two stations match. With
// lacking, every fifth station lacks one of its rows. The names are not numbers, so that no
// station value skips a row.
inline void WriteAmtAvgSharedValues(std::ostream& out, long stations, int samples,
                                    bool lacking = false)
{
    long base = 2;
    while (std::pow(static_cast<double>(base), samples) < static_cast<double>(stations)) ++base;
    out << "\\ AMTAVG 7.76: bench\n$ XMTR  =    1.\n\\-++------++----+\n";
    for (long s = 0; s < stations; ++s) {
        long rest = s;
        const long skipped = lacking && s % 5 == 4 ? s / 5 % samples : -1;
        for (int f = 0; f < samples; ++f, rest /= base) {
            if (f == skipped) continue;
            out << CFormat(
                " 2 A%ld %.4f ExHy 1.00 %.4e -100.0 %.6e 200.0 5.9e+3 -187.4 0.1 0.0 "
                "0.1 0.0 0.1 0.0\n",
                s, 9600.0 * std::pow(0.8, f), 1.0 + s,
                1e-4 * (1 + 0.01 * static_cast<double>(rest % base)));
        }
    }
}

// A CSAMT AVG file whose frequency table holds distinct frequencies a few single-precision steps
// apart, just above and about 8 Hz, and a data table as long whose rows all lie beside the table's
// nearest match.
inline void WriteCsamtAvgCloseFrequencies(std::ostream& out, long frequencies)
{
    out << "CSAMT bench\n<Survey>\nSite: T1\nLine: L1\n\n<Channel>\nheading\n"
        << "tx T1 w 0 -1000 -5000 0 a b 1000 -5000 0\nex dp E0 0 0 0 0 a b 20 0 0\n"
        << "hy s H 0 0 0 0\n\n<Data>\n\nid:tx\nheading\n";
    for (long f = 0; f < frequencies; ++f)
        out << CFormat("%.9g 10 1 0 0.1\n", 8.0 * (1 + 5e-4) - 8.0 * 4e-4 * f / frequencies);
    out << "\nid:ex E0\nheading\n";
    for (long f = 0; f < frequencies; ++f) out << "7.9996 2.5 1 45 1\n";
    out << "\n<End>\n";
}
