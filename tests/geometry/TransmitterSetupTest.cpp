#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/SafeFile.h"
#include "geometry/TransmitterSetup.h"
#include "tests/support/TempFiles.h"

namespace {

MdeSource Read(const std::string& text)
{
    TextStream stream(text);
    return ReadMdeSource(stream);
}

TxData Tx(const std::string& name, float ax, float ay, float bx, float by)
{
    TxData tx;
    tx.Name = name;
    tx.Ax = ax, tx.Ay = ay, tx.Az = 1.25f;
    tx.Bx = bx, tx.By = by, tx.Bz = -0.75f;
    tx.Cx = 11, tx.Cy = 22, tx.Cz = 33;
    tx.Length = 777;
    tx.Azimuth = 12;
    return tx;
}

std::vector<float> Electrodes(const TxData& tx)
{
    return {tx.Ax, tx.Ay, tx.Az, tx.Bx, tx.By, tx.Bz};
}
std::vector<float> Centre(const TxData& tx)
{
    return {tx.Cx, tx.Cy, tx.Cz};
}

std::vector<std::string> EditTexts(const TransmitterDialogState& state)
{
    std::vector<std::string> texts;
    for (const TransmitterEdit& edit : state.Edits) texts.push_back(edit.Text);
    return texts;
}

using Texts = std::vector<std::string>;
using Floats = std::vector<float>;

// The key lines of an MDE file as the export writes it, for a first transmitter from (0, 0) to
// (0, 1000) and a rotation angle of 0.
const char* const kWrittenMde =
    "$ JOBLINE=1-2\r\n$ BRGLINE=0\r\n$ BRGBACK=N00W\r\n$ UNITS=meter\r\n$ STNLO  =100\r\n"
    "$ STNDELT=50\r\n$ LBLFRST=       125.0\r\n$ LBLDELT=50\r\n$ SurveyType=Scalar\r\n"
    "$ TxType=Bipole\r\n$ TxLen= 1000\r\n$ TxBrg= 0\r\n$ TxCX =0\r\n$ TxCY =500\r\n"
    "$ TxDis=8700\r\n$ Rx2Tx= North\r\n$ RxBrg= S00E\r\n$ aspace= 50\r\n"
    "$ MODSECT: PLOT = Surfer\r\n$ MODSECT: LNUNITS = m\r\n";

}  // namespace

TEST(MdeSource, KeysOfTheWrittenFileGiveTheElectrodes)
{
    MdeSource source = Read(kWrittenMde);
    EXPECT_EQ(source.Cx, 0);
    EXPECT_EQ(source.Cy, 500);
    EXPECT_EQ(source.Cz, 0);
    EXPECT_EQ(source.Azimuth, 0);
    EXPECT_EQ(source.Length, 1000);
    SourceElectrodes e = ElectrodesFromSource(source);
    EXPECT_EQ(e.Ax, 0);
    EXPECT_EQ(e.Ay, 0);
    EXPECT_EQ(e.Bx, 0);
    EXPECT_EQ(e.By, 1000);
    EXPECT_EQ(e.Z, 0);

    std::string path = TempPath("source.mde", "quillane_mde_");
    WriteFileReplacing(path, kWrittenMde);
    MdeSource loaded;
    ASSERT_EQ(LoadMdeSource(path, loaded), MdeLoad::Loaded);
    EXPECT_EQ(loaded.Length, 1000);
    EXPECT_EQ(loaded.Cy, 500);
    std::remove(path.c_str());
    EXPECT_EQ(LoadMdeSource(path, loaded), MdeLoad::NotOpened);
}

TEST(MdeSource, KeyRules)
{
    struct Case {
        const char* text;
        float cx, cy, cz, azimuthDegrees, length;
    };
    const Case cases[] = {
        {"TXCX=200\nTXCY=300\n", 200, 300, 0, 0, 1},
        {"txcx = 200\n", 200, 0, 0, 0, 1},
        {"center txcx = 1 2 3\n", 1, 2, 3, 0, 1},
        {"CENTER=1,2,3\nTXCX=9\n", 9, 2, 3, 0, 1},
        {"LENGTH=1000m\n", 0, 0, 0, 0, 1000},
        {"LENGTH= 1000 M\n", 0, 0, 0, 0, 1000},
        {"LENGTH=2000\nLENGTH=3000\n", 0, 0, 0, 0, 3000},
        {"AZIMUTH=90\n", 0, 0, 0, 90, 1},
        {"  $ TxBrg= 30\n\n", 0, 0, 0, 30, 1},
        {"nothing here\nUNITS=meter\n", 0, 0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        MdeSource s = Read(c.text);
        EXPECT_EQ(s.Cx, c.cx) << c.text;
        EXPECT_EQ(s.Cy, c.cy) << c.text;
        EXPECT_EQ(s.Cz, c.cz) << c.text;
        EXPECT_EQ(s.Azimuth, static_cast<float>(c.azimuthDegrees * (1.0 / 180) * 3.1415926))
            << c.text;
        EXPECT_EQ(s.Length, c.length) << c.text;
    }

    SourceElectrodes e = ElectrodesFromSource(Read("TXCX=200\nTXCY=300\n"));
    EXPECT_EQ(e.Ax, 200);
    EXPECT_EQ(e.Ay, 299.5);
    EXPECT_EQ(e.Bx, 200);
    EXPECT_EQ(e.By, 300.5);

    e = ElectrodesFromSource(Read("TXBRG=90\nTXLEN=1000\nTXCX=0\nTXCY=0"));
    EXPECT_NEAR(e.Ax, -500, 1e-4);
    EXPECT_NEAR(e.Bx, 500, 1e-4);
    EXPECT_NEAR(e.By, 0, 1e-3);
}

TEST(MdeSource, ABadOrMissingValueEndsTheLoad)
{
    for (const char* text : {"TXCX\n", "TXCX=abc\n", "TXCY=\n", "CENTER=1 2\n", "LENGTH=m\n"})
        EXPECT_THROW(Read(text), EConvertError) << text;

    // A file's conversion error names the file and the line; the source stays as it was.
    const std::string path = TempPath("bad.mde", "quillane_mde_");
    WriteFileReplacing(path, "$ TxLen= 1000\r\n\r\n$ TxBrg= 0\r\n$ TxCX =east\r\n");
    MdeSource source;
    source.Cx = 7;
    try {
        LoadMdeSource(path, source);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message,
                  "'EAST' is not a valid floating point value (file " + path + ", line 4)");
    }
    EXPECT_EQ(source.Cx, 7);
    std::remove(path.c_str());
}

// A file without any source key gives no source: the load says so instead of setting a wire of
// 1 m at the origin.
TEST(MdeSource, FileWithoutSourceKeysGivesNothing)
{
    const std::string path = TempPath("nokeys.mde", "quillane_mde_");
    WriteFileReplacing(path, "$ JOBLINE=1-2\r\n$ UNITS=meter\r\n");
    MdeSource source;
    source.Cx = 7;
    EXPECT_EQ(LoadMdeSource(path, source), MdeLoad::NoSourceKey);
    EXPECT_EQ(source.Cx, 7);
    WriteFileReplacing(path, "");
    EXPECT_EQ(LoadMdeSource(path, source), MdeLoad::NoSourceKey);
    WriteFileReplacing(path, "$ UNITS=meter\r\n$ TxCX =200\r\n");
    EXPECT_EQ(LoadMdeSource(path, source), MdeLoad::Loaded);
    EXPECT_EQ(source.Cx, 200);
    EXPECT_EQ(source.Length, 1);
    std::remove(path.c_str());
}

TEST(TransmitterDialog, ShowFillsWholeNumbersFromTheFirstRecordOfTheName)
{
    SurveyStore store;
    store.Transmitters = {Tx("T1", 10.4f, -20.6f, 30.5f, 1e6f), Tx("T2", 1, 2, 3, 4),
                          Tx("T1", 7, 7, 7, 7)};
    TransmitterDialogState state = MakeTransmitterDialogState(store);
    EXPECT_EQ(state.Names, (Texts{"T1", "T2", "T1"}));
    EXPECT_EQ(EditTexts(state), (Texts{"Ax", "Edit1", "Edit1", "Edit1", "Edit1", "Edit1"}));
    ShowTransmitterDialog(store, state);
    EXPECT_EQ(state.Selected, 0);
    EXPECT_EQ(EditTexts(state), (Texts{"10", "-21", "1", "31", "1000000", "-1"}));
    SelectTransmitter(store, state, 2);
    EXPECT_EQ(state.Selected, 2);
    EXPECT_EQ(EditTexts(state)[0], "10");  // the first record named T1
    SelectTransmitter(store, state, 1);
    EXPECT_EQ(EditTexts(state), (Texts{"1", "2", "1", "3", "4", "-1"}));
}

TEST(TransmitterDialog, UnchangedEditsWriteTheFullStoredValues)
{
    SurveyStore store;
    store.Transmitters = {Tx("T1", 10.4f, -20.6f, 30.5f, 40.25f), Tx("T2", 1, 2, 3, 4)};
    TransmitterDialogState state = MakeTransmitterDialogState(store);
    ShowTransmitterDialog(store, state);

    WriteEditsToAll(store, state);  // OK without editing
    for (const TxData& tx : store.Transmitters) {
        EXPECT_EQ(Electrodes(tx), (Floats{10.4f, -20.6f, 1.25f, 30.5f, 40.25f, -0.75f}));
        EXPECT_EQ(Centre(tx), (Floats{static_cast<float>((10.4f + 30.5) * 0.5),
                                      static_cast<float>((-20.6f + 40.25) * 0.5),
                                      static_cast<float>((1.25 - 0.75) * 0.5)}));
        EXPECT_EQ(tx.Length, 777);
        EXPECT_EQ(tx.Azimuth, 12);
    }

    // An edited text counts as typed; typing the shown text back counts as unchanged.
    state.Edits[kEditAx].Text = "100";
    state.Edits[kEditAy].Text = "-20";
    state.Edits[kEditAy].Text = "-21";
    WriteEditsToSelected(store, state);
    EXPECT_EQ(Electrodes(store.Transmitters[0]),
              (Floats{100, -20.6f, 1.25f, 30.5f, 40.25f, -0.75f}));
    EXPECT_EQ(store.Transmitters[0].Cx, static_cast<float>((10.4f + 30.5) * 0.5));  // centre kept
    EXPECT_EQ(store.Transmitters[1].Ax, 10.4f);
}

TEST(TransmitterDialog, ABadEditTextWritesNothing)
{
    SurveyStore store;
    store.Transmitters = {Tx("T1", 1, 2, 3, 4), Tx("T2", 5, 6, 7, 8)};
    const SurveyStore before = store;
    TransmitterDialogState state = MakeTransmitterDialogState(store);
    ShowTransmitterDialog(store, state);
    state.Edits[kEditAx].Text = "50";
    state.Edits[kEditBy].Text = "4x";
    EXPECT_THROW(WriteEditsToSelected(store, state), EConvertError);
    EXPECT_THROW(WriteEditsToAll(store, state), EConvertError);
    for (size_t i = 0; i < store.Transmitters.size(); ++i) {
        EXPECT_EQ(Electrodes(store.Transmitters[i]), Electrodes(before.Transmitters[i]));
        EXPECT_EQ(Centre(store.Transmitters[i]), Centre(before.Transmitters[i]));
    }
}

TEST(TransmitterDialog, NameRuleForEditsIndexRuleForCopyAndMde)
{
    SurveyStore store;
    store.Transmitters = {Tx("T1", 1, 1, 1, 1), Tx("T1", 2, 2, 2, 2), Tx("T1", 3, 3, 3, 3)};
    TransmitterDialogState state = MakeTransmitterDialogState(store);
    ShowTransmitterDialog(store, state);
    SelectTransmitter(store, state, 2);

    state.Edits[kEditAx].Text = "9";
    WriteEditsToSelected(store, state);
    EXPECT_EQ(store.Transmitters[0].Ax, 9);
    EXPECT_EQ(store.Transmitters[2].Ax, 3);

    CopySelectedToAll(store, state);
    for (const TxData& tx : store.Transmitters) {
        EXPECT_EQ(Electrodes(tx), (Floats{3, 3, 1.25f, 3, 3, -0.75f}));
        EXPECT_EQ(Centre(tx), (Floats{11, 22, 33}));  // the copy changes no centre
    }

    MdeSource source;
    source.Cx = 100.25f, source.Cy = 200, source.Cz = 5.5f, source.Length = 1000.5f;
    source.Azimuth = static_cast<float>(30 * (1.0 / 180) * 3.1415926);
    ApplyMdeSource(store, state, source);
    SourceElectrodes e = ElectrodesFromSource(source);
    const TxData& third = store.Transmitters[2];
    EXPECT_EQ(Electrodes(third),
              (Floats{static_cast<float>(e.Ax), static_cast<float>(e.Ay), 5.5f,
                      static_cast<float>(e.Bx), static_cast<float>(e.By), 5.5f}));
    EXPECT_EQ(Centre(third), (Floats{100.25f, 200, 5.5f}));
    EXPECT_EQ(Electrodes(store.Transmitters[0]), (Floats{3, 3, 1.25f, 3, 3, -0.75f}));
    EXPECT_EQ(EditTexts(state), (Texts{"-150", "-233", "06", "350", "633", "06"}));

    WriteEditsToAll(store, state);  // the MDE values, not their rounded texts
    for (const TxData& tx : store.Transmitters) EXPECT_EQ(Electrodes(tx), Electrodes(third));
}

TEST(TransmitterDialog, WrittenMdeFileShowsTheExpectedEdits)
{
    SurveyStore store;
    store.Transmitters = {Tx("T1", 5, 5, 5, 5)};
    TransmitterDialogState state = MakeTransmitterDialogState(store);
    ShowTransmitterDialog(store, state);
    ApplyMdeSource(store, state, Read(kWrittenMde));
    EXPECT_EQ(EditTexts(state), (Texts{"00", "00", "00", "00", "1000", "00"}));
    EXPECT_EQ(Electrodes(store.Transmitters[0]), (Floats{0, 0, 0, 0, 1000, 0}));
    EXPECT_EQ(Centre(store.Transmitters[0]), (Floats{0, 500, 0}));
}

TEST(TransmitterDialog, WithoutARecordNothingChanges)
{
    SurveyStore store;
    TransmitterDialogState state = MakeTransmitterDialogState(store);
    ShowTransmitterDialog(store, state);
    EXPECT_EQ(state.Selected, -1);
    EXPECT_EQ(EditTexts(state), (Texts{"Ax", "Edit1", "Edit1", "Edit1", "Edit1", "Edit1"}));
    WriteEditsToSelected(store, state);
    WriteEditsToAll(store, state);
    CopySelectedToAll(store, state);
    ApplyMdeSource(store, state, Read("TXCX=200\nTXCY=300\n"));
    EXPECT_EQ(EditTexts(state), (Texts{"200", "300", "00", "200", "301", "00"}));
    EXPECT_TRUE(store.Transmitters.empty());
}
