#pragma once
// What the transmitter dialog computes: the source read from an MDE file, the electrodes that
// follow from it, and the dialog's list and six electrode edits over the transmitter records.

#include <array>
#include <string>
#include <vector>

#include "base/TextStream.h"
#include "survey/SurveyStore.h"

// The source keys of one MDE file.
struct MdeSource {
    float Cx = 0, Cy = 0, Cz = 0;  // centre (m)
    float Azimuth = 0;             // bearing from +y toward +x (radians)
    float Length = 1.0f;           // m
};

// Reads the keys "CENTER", "TXCX", "TXCY", "AZIMUTH", "TXBRG", "LENGTH" and "TXLEN" (any letter
// case, anywhere in a line; the first of them in that order that a line holds decides), each
// taking the numbers after the line's first "=". A later line overwrites an earlier one. A value
// that is missing or not a number throws EConvertError.
MdeSource ReadMdeSource(TextStream& stream);
// The same; anyKey tells whether a line held one of the keys.
MdeSource ReadMdeSource(TextStream& stream, bool& anyKey);

enum class MdeLoad { Loaded, NotOpened, NoSourceKey };
// Reads the source of an MDE file into source, which changes only when the file opens and holds
// one of the keys. A conversion error names the file and the line.
MdeLoad LoadMdeSource(const std::string& fileName, MdeSource& source);
// "MDE文件中没有发射源参数，发射源位置保持不变。": the message of a file without any key.
extern const char* const kNoMdeSourceMessage;

// Electrode A half the length before the centre along the bearing, B half the length after it;
// both at the centre's elevation.
struct SourceElectrodes {
    double Ax = 0, Ay = 0, Bx = 0, By = 0, Z = 0;
};
SourceElectrodes ElectrodesFromSource(const MdeSource& source);

enum TransmitterEditIndex { kEditAx, kEditAy, kEditAz, kEditBx, kEditBy, kEditBz };
constexpr int kTransmitterEdits = 6;

// One electrode edit. It shows a rounded text but remembers the value it was filled from: while
// its text is the text it was filled with, its value is that full value, not the rounded text.
struct TransmitterEdit {
    std::string Text;
    std::string FilledText;
    bool HasStored = false;
    float Stored = 0;

    void Fill(float value, const std::string& text);
    // Throws EConvertError when a changed text is not a number.
    double Value() const;
};

struct TransmitterDialogState {
    std::vector<std::string> Names;  // one item per transmitter record, in store order
    int Selected = -1;               // item index, -1 when there is none
    // Ax, Ay, Az, Bx, By, Bz; design texts "Ax" and "Edit1" until filled.
    std::array<TransmitterEdit, kTransmitterEdits> Edits;
};

// The list of record names and the edits' design texts.
TransmitterDialogState MakeTransmitterDialogState(const SurveyStore& store);

// Dialog shown: selects item 0 (when there is one) and fills the edits from its record.
void ShowTransmitterDialog(const SurveyStore& store, TransmitterDialogState& state);
// List click: selects an item and fills the edits ("0") from the first record of its name.
void SelectTransmitter(const SurveyStore& store, TransmitterDialogState& state, int index);

// An edit left: the first record named as the selected item gets all six edit values. Every
// value is converted first, so a bad text (EConvertError) writes nothing.
void WriteEditsToSelected(SurveyStore& store, const TransmitterDialogState& state);
// "置为与当前源同": every record takes the electrodes of the selected record (by index).
void CopySelectedToAll(SurveyStore& store, const TransmitterDialogState& state);
// MDE loaded: fills the edits ("00") from the source's electrodes and gives the selected record
// (by index) the centre and the electrodes at full precision.
void ApplyMdeSource(SurveyStore& store, TransmitterDialogState& state, const MdeSource& source);
// OK: every record gets the six edit values and the centre of A and B. Every value is converted
// first, so a bad text (EConvertError) writes nothing.
void WriteEditsToAll(SurveyStore& store, const TransmitterDialogState& state);
