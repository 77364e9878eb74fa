#pragma once
// The GDP32 receiver's raw file (".raw"): the in-place rewrite that precedes every read, the block
// reader, the unit parser of magnitudes and phases, and the reader that turns a file into
// transmitter, Ex and Hy records of the store.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/TextStream.h"
#include "survey/SurveyStore.h"

// Loads the file whole and saves it back with CR LF after every line, through a temporary file
// that replaces the file only when complete. Only a file whose own name ends in ".raw" (in
// any case) and whose bytes are text is saved: no NUL, no DEL and no control byte but TAB, LF, FF,
// CR and the end-of-file mark 0x1A; bytes from 0x80 up count as text. Any other file stays as it
// is on disk and ReadGdpRawFile reads it as it stands. EFOpenError "Cannot open file %s" when the
// file cannot be read, EFCreateError "Cannot create file %s" when it cannot be written (a
// read-only file); the file on disk then stays as it was.
void RewriteTextFile(const std::string& fileName);

// A magnitude or phase field with an optional unit letter: "v" volts, "m" times 0.001, "u" times
// 1e-6. A letter anywhere in the text cuts the text's last character. EConvertError when the rest
// is not a number.
void ParseUnitValue(std::string_view text, float& value);

// Reads one block from the stream's position: an operator block sets DipoleLength and JobText, a
// data block sets the frequency, current, transmitter and Hy numbers and fills the three E lists
// (one entry per "ex" line) and, from its last other station line, HAmplitude and HPhase. Every
// other value keeps what it held. The lists are emptied first; they stay empty at the end of the
// input, for operator blocks, other blocks and data blocks without E lines. The stream is left at
// the line that follows the block. Conversion and floating-point errors are thrown.
void ReadRawBlock(TextStream& stream, int& DipoleLength, std::string& JobText,
                  double& BlockFrequency, double& BlockCurrent, std::vector<std::string>& ExIds,
                  std::vector<double>& ExAmplitudes, std::vector<double>& ExPhases,
                  double& HAmplitude, double& HPhase, int& TxNumber, int& HyNumber);

// What a read took beyond its lines, for those who watch it grow with the file: the records the
// lookups of each block compared with the block's values, among the transmitters, the station
// names and the frequencies a station group has taken.
struct GdpRawReadWork {
    size_t Compared = 0;
};

// Appends the file's transmitter records (one per new frequency) and its Ex and Hy stations to the
// store, or adds the samples of known stations. Lines end at CR, LF or CR LF, as the rewrite cuts
// them, so a file that was not rewritten reads as if it had been. Returns silently when the file
// cannot be opened.
// Conversion and floating-point errors end the read; what was appended before stays. A conversion
// error names the file and the line of the text that did not convert. When work is given, a read
// that ends adds what it took to it.
void ReadGdpRawFile(SurveyStore& store, const std::string& fileName,
                    GdpRawReadWork* work = nullptr);
