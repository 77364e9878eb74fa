#pragma once
// A GDP32 raw file of one new station per block: the shape whose reading asks the most memory for
// the file's size, and whose rewrite on opening is as large as the file.

#include <ostream>

inline void WriteRawStations(std::ostream& out, long blocks)
{
    out << "GDP-32 receiver, generated\r\n1\r\nCSAMT setup\r\nOPER b 2013 3 29 dipole 50\r\nJob "
           "line A 12\r\n";
    for (long b = 0; b < blocks; ++b)
        out << b + 2 << "\r\nCSAMT data\r\nTx 3 Rx 1\r\n8 Hz 0 0 0 0 8.5\r\n1 ex " << b
            << " 1m 1\r\n";
}
