#include "geometry/TransmitterSetup.h"

#include <cmath>

#include "base/AsciiText.h"
#include "base/Convert.h"
#include "base/FloatMath.h"
#include "base/NumberFormat.h"
#include "survey/TextLines.h"

namespace {

float FieldValue(const std::vector<std::string>& fields, size_t k)
{
    return ToSingle(StrToFloat(FieldOrEmpty(fields, k)));
}

float DegreesToRadians(float degrees)
{
    return ToSingle(degrees * (1.0 / 180) * 3.1415926);
}

// The first record named as the selected item, or -1.
int RecordIndexByName(const SurveyStore& store, const TransmitterDialogState& state)
{
    if (state.Selected < 0 || state.Selected >= static_cast<int>(state.Names.size())) return -1;
    for (size_t i = 0; i < store.Transmitters.size(); ++i)
        if (store.Transmitters[i].Name == state.Names[state.Selected]) return static_cast<int>(i);
    return -1;
}

TxData* RecordByIndex(SurveyStore& store, const TransmitterDialogState& state)
{
    if (state.Selected < 0 || state.Selected >= static_cast<int>(store.Transmitters.size()))
        return nullptr;
    return &store.Transmitters[state.Selected];
}

struct Electrodes {
    float v[kTransmitterEdits];
};

Electrodes EditValues(const TransmitterDialogState& state, double (&raw)[kTransmitterEdits])
{
    Electrodes e;
    for (int i = 0; i < kTransmitterEdits; ++i) {
        raw[i] = state.Edits[i].Value();
        e.v[i] = ToSingle(raw[i]);
    }
    return e;
}

void SetElectrodes(TxData& tx, const Electrodes& e)
{
    tx.Ax = e.v[kEditAx];
    tx.Ay = e.v[kEditAy];
    tx.Az = e.v[kEditAz];
    tx.Bx = e.v[kEditBx];
    tx.By = e.v[kEditBy];
    tx.Bz = e.v[kEditBz];
}

void FillEditsFromRecord(TransmitterDialogState& state, const TxData& tx)
{
    const float values[kTransmitterEdits] = {tx.Ax, tx.Ay, tx.Az, tx.Bx, tx.By, tx.Bz};
    for (int i = 0; i < kTransmitterEdits; ++i)
        state.Edits[i].Fill(values[i], FormatFloat("0", values[i]));
}

}  // namespace

MdeSource ReadMdeSource(TextStream& stream)
{
    bool any = false;
    return ReadMdeSource(stream, any);
}

MdeSource ReadMdeSource(TextStream& stream, bool& anyKey)
{
    MdeSource source;
    anyKey = false;
    std::string line;
    std::vector<std::string> fields;
    while (ReadNonBlankLine(stream, line)) {
        const std::string upper = UpperAscii(line);
        size_t eq = upper.find('=');
        std::string value = eq == std::string::npos ? upper : upper.substr(eq + 1);
        auto has = [&upper](const char* key) { return Contains(upper, key); };
        if (has("CENTER")) {
            SplitFields(value, fields);
            source.Cx = FieldValue(fields, 0);
            source.Cy = FieldValue(fields, 1);
            source.Cz = FieldValue(fields, 2);
        } else if (has("TXCX")) {
            SplitFields(value, fields);
            source.Cx = FieldValue(fields, 0);
        } else if (has("TXCY")) {
            SplitFields(value, fields);
            source.Cy = FieldValue(fields, 0);
        } else if (has("AZIMUTH") || has("TXBRG")) {
            SplitFields(value, fields);
            source.Azimuth = DegreesToRadians(FieldValue(fields, 0));
        } else if (has("LENGTH") || has("TXLEN")) {
            // A unit written after the number ("1000m", "1000 M") is dropped.
            if (value.find('M') != std::string::npos) value.pop_back();
            SplitFields(value, fields);
            source.Length = FieldValue(fields, 0);
        } else {
            continue;  // a line of no key
        }
        anyKey = true;
    }
    return source;
}

MdeLoad LoadMdeSource(const std::string& fileName, MdeSource& source)
{
    TextStream stream;
    if (!stream.Open(fileName)) return MdeLoad::NotOpened;
    bool anyKey = false;
    const MdeSource read =
        NamingConversionErrorPlace(stream, fileName, [&] { return ReadMdeSource(stream, anyKey); });
    if (!anyKey) return MdeLoad::NoSourceKey;
    source = read;
    return MdeLoad::Loaded;
}

const char* const kNoMdeSourceMessage = "MDE文件中没有发射源参数，发射源位置保持不变。";

SourceElectrodes ElectrodesFromSource(const MdeSource& source)
{
    const double s = std::sin(static_cast<double>(source.Azimuth));
    const double c = std::cos(static_cast<double>(source.Azimuth));
    const double h = source.Length * 0.5;
    SourceElectrodes e;
    e.Ax = source.Cx - s * h;
    e.Ay = source.Cy - c * h;
    e.Bx = source.Cx + s * h;
    e.By = source.Cy + c * h;
    e.Z = source.Cz;
    return e;
}

void TransmitterEdit::Fill(float value, const std::string& text)
{
    Text = FilledText = text;
    Stored = value;
    HasStored = true;
}

double TransmitterEdit::Value() const
{
    if (HasStored && Text == FilledText) return Stored;
    return StrToFloat(Text);
}

TransmitterDialogState MakeTransmitterDialogState(const SurveyStore& store)
{
    TransmitterDialogState state;
    state.Names.reserve(store.Transmitters.size());
    for (const TxData& tx : store.Transmitters) state.Names.push_back(tx.Name);
    for (TransmitterEdit& edit : state.Edits) edit.Text = "Edit1";
    state.Edits[kEditAx].Text = "Ax";
    return state;
}

void ShowTransmitterDialog(const SurveyStore& store, TransmitterDialogState& state)
{
    if (state.Names.empty()) return;
    SelectTransmitter(store, state, 0);
}

void SelectTransmitter(const SurveyStore& store, TransmitterDialogState& state, int index)
{
    if (index < 0 || index >= static_cast<int>(state.Names.size())) return;
    state.Selected = index;
    int record = RecordIndexByName(store, state);
    if (record >= 0) FillEditsFromRecord(state, store.Transmitters[record]);
}

void WriteEditsToSelected(SurveyStore& store, const TransmitterDialogState& state)
{
    int record = RecordIndexByName(store, state);
    if (record < 0) return;
    double raw[kTransmitterEdits];
    SetElectrodes(store.Transmitters[record], EditValues(state, raw));
}

void CopySelectedToAll(SurveyStore& store, const TransmitterDialogState& state)
{
    const TxData* selected = RecordByIndex(store, state);
    if (!selected) return;
    const TxData source = *selected;
    for (TxData& tx : store.Transmitters) {
        tx.Ax = source.Ax, tx.Ay = source.Ay, tx.Az = source.Az;
        tx.Bx = source.Bx, tx.By = source.By, tx.Bz = source.Bz;
    }
}

void ApplyMdeSource(SurveyStore& store, TransmitterDialogState& state, const MdeSource& source)
{
    const SourceElectrodes e = ElectrodesFromSource(source);
    Electrodes full;
    full.v[kEditAx] = ToSingle(e.Ax);
    full.v[kEditAy] = ToSingle(e.Ay);
    full.v[kEditAz] = ToSingle(e.Z);
    full.v[kEditBx] = ToSingle(e.Bx);
    full.v[kEditBy] = ToSingle(e.By);
    full.v[kEditBz] = ToSingle(e.Z);
    const double shown[kTransmitterEdits] = {e.Ax, e.Ay, e.Z, e.Bx, e.By, e.Z};
    for (int i = 0; i < kTransmitterEdits; ++i)
        state.Edits[i].Fill(full.v[i], FormatFloat("00", shown[i]));
    if (TxData* tx = RecordByIndex(store, state)) {
        tx->Cx = source.Cx;
        tx->Cy = source.Cy;
        tx->Cz = source.Cz;
        SetElectrodes(*tx, full);
    }
}

void WriteEditsToAll(SurveyStore& store, const TransmitterDialogState& state)
{
    if (state.Selected < 0 || state.Selected >= static_cast<int>(state.Names.size())) return;
    double raw[kTransmitterEdits];
    const Electrodes e = EditValues(state, raw);
    const float cx = ToSingle((raw[kEditAx] + raw[kEditBx]) * 0.5);
    const float cy = ToSingle((raw[kEditAy] + raw[kEditBy]) * 0.5);
    const float cz = ToSingle((raw[kEditAz] + raw[kEditBz]) * 0.5);
    for (TxData& tx : store.Transmitters) {
        SetElectrodes(tx, e);
        tx.Cx = cx;
        tx.Cy = cy;
        tx.Cz = cz;
    }
}
