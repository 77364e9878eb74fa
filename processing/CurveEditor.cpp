#include "processing/CurveEditor.h"

#include "base/Gbk.h"
#include "processing/CurveFiles.h"
#include "processing/MTCurve.h"
#include "processing/Smoothing.h"

const char* const kNoDataToEditText = "没有数据可以编辑。请加载数据...";
const char* const kNoDataToEditCaption = "Murovane Hint...";
const char* const kCurveEditorHelpText =
    "1. 相位分段调整操作\n\n"
    "在相位数据区，将鼠标移动到需要整段调整的频点附近，\n"
    "按住Ctrl或者Shift键，在期望的相位值附近点击鼠标。\n\n"
    "如果左击鼠标，Ctrl+Left ::则调整鼠标左侧所有频点相位；\n"
    "如果右击鼠标，Ctrl+RIGHT::则调整鼠标右侧所有频点相位；\n\n\n"
    "2. 数据保存\n"
    "Ctrl+S将同时将振幅和相位数据保存测点同名的分量文件中.\n"
    "如2202_Ex.txt  ::  保存2202号点Ex分量数据.\n\n\n"
    "试试效果。\n";
const char* const kElectricAxisTitle = "mV/(km*A)";
const char* const kMagneticAxisTitle = "nT/A";

namespace {

const char* const kOpeningCountCaption = "总数据个数为";
const char* const kCountCaption = "总数据个数";

}  // namespace

bool BeginCurveEditing(SurveyStore& store)
{
    if (store.ExStations.empty()) return false;
    store.WorkStations = store.ExStations;
    return true;
}

bool IsElectricComponent(int componentIndex)
{
    return componentIndex == 0 || componentIndex == 2 || componentIndex == 4;
}

CurveEditorSession::CurveEditorSession(SurveyStore& store) : store_(store) {}

void CurveEditorSession::SetPointCount(int index, const char* caption)
{
    PointCount = 0;
    if (index >= 0 && index < static_cast<int>(store_.WorkStations.size()))
        PointCount = static_cast<int>(store_.WorkStations[index].Amplitude.X.size());
    TotalCaption = caption + std::to_string(PointCount);
}

void CurveEditorSession::Open()
{
    ComponentIndex = 0;
    ListItems.clear();
    for (const TStation& station : store_.WorkStations) ListItems.push_back(station.Name);
    SelectedItem = 0;
    StationIndex = 0;
    SetPointCount(0, kOpeningCountCaption);
    Charts.Amplitude.Present.Clear();
    Charts.Phase.Present.Clear();
    if (!store_.WorkStations.empty()) DrawOpeningStation(Charts, store_.WorkStations.front());
}

void CurveEditorSession::FormShow()
{
    if (store_.HyStations.empty()) return;
    CompanionExists = true;
    ShowAppResCurves(0);
}

void CurveEditorSession::SListClick(int row)
{
    if (row < 0 || row >= static_cast<int>(ListItems.size())) return;
    SelectedItem = row;
    int index = 0;
    FindCurrentStation(index);
    if (index == StationIndex) return;
    StoreChartToStation(StationIndex);
    StationIndex = index;
    ShowStation(index);
    ShowAppResCurves(index);
    AdjustChartAxes();
    SetPointCount(index, kCountCaption);
}

bool CurveEditorSession::ExHyClick(int component)
{
    if (ComponentList(store_, component).empty()) return false;
    StoreChartToStation(StationIndex);
    StoreComponentSet(store_, ComponentIndex);
    LoadComponentSet(store_, component);
    ComponentIndex = component;
    ListItems.clear();
    for (const TStation& station : store_.WorkStations) ListItems.push_back(station.Name);
    ScaleEnabled = IsElectricComponent(component);
    SelectedItem = 0;
    StationIndex = 0;
    ShowStation(0);
    ShowAppResCurves(0);
    AdjustChartAxes();
    AmplitudeAxisTitle = IsElectricComponent(component) ? kElectricAxisTitle : kMagneticAxisTitle;
    SetPointCount(0, kCountCaption);
    return true;
}

void CurveEditorSession::OkClick()
{
    int index = 0;
    FindCurrentStation(index);
    StoreChartToStation(index);
}

void CurveEditorSession::SmoothClick()
{
    int index = 0;
    FindCurrentStation(index);
    if (index < static_cast<int>(store_.WorkStations.size())) {
        SmoothCurve(store_.WorkStations[index].Amplitude);
        SmoothCurve(store_.WorkStations[index].Phase);
    }
    ShowStation(index);
    ShowAppResCurves(index);
    AdjustChartAxes();
    SetPointCount(index, kCountCaption);
}

void CurveEditorSession::UpDown2Click(int position, bool up)
{
    double factor = AmplitudeStepFactor(up);
    LastScalePosition = position;
    ScaleRange range = ScaleRangeIndex == 1   ? ScaleRange::LeftOfCursor
                       : ScaleRangeIndex == 2 ? ScaleRange::RightOfCursor
                                              : ScaleRange::All;
    ScaleAmplitudes(Charts.Amplitude.Present, factor, range, CursorIndex);
    StoreChartToStation(StationIndex);
}

void CurveEditorSession::ChartMouseDown(double x, double y, bool rightButton)
{
    PickedPoint = ClickPoint(Charts.Amplitude.Present, x, y, rightButton);
    if (PickedPoint >= 0) CursorIndex = PickedPoint;
}

void CurveEditorSession::Chart1MouseDown(double x, double y, bool leftButton, bool rightButton,
                                         bool shiftOrCtrl)
{
    if (shiftOrCtrl) {
        ::ShiftPhaseSegment(Charts.Phase.Present, x, y, leftButton);
        return;
    }
    PickedPoint = ClickPoint(Charts.Phase.Present, x, y, rightButton);
    if (PickedPoint >= 0) CursorIndex = PickedPoint;
}

void CurveEditorSession::ShowStation(int index)
{
    DrawStation(Charts, store_.WorkStations, index,
                DisplayFormIndex == 0 ? DisplayForm::AmpPhase : DisplayForm::ReIm);
}

void CurveEditorSession::AdjustChartAxes()
{
    AmplitudeAxisLogarithmic = DisplayFormIndex == 0;
}

void CurveEditorSession::StoreChartToStation(int index)
{
    if (index < 0 || index >= static_cast<int>(store_.WorkStations.size())) return;
    ::StoreChartToStation(Charts, store_.WorkStations[index]);
}

void CurveEditorSession::ShowAppResCurves(int index)
{
    if (!CompanionExists || store_.HyStations.empty()) return;
    const std::vector<TStation>& work = store_.WorkStations;
    long count = static_cast<long>(work.size());
    for (int k = 0; k < 3; ++k) {
        long station = static_cast<long>(index) + (k == 0 ? 0 : k == 1 ? -1 : 1);
        ChartSeries& series = AppResCurves[k];
        series.Clear();
        if (station < 0 || station >= count) continue;
        MTCurve curve = ComputeMTCurve(store_, static_cast<int>(station));
        series.Fill(curve.Freq, curve.Rho);
        series.Title = work[station].Name;
    }
}

void CurveEditorSession::FindCurrentStation(int& index) const
{
    if (SelectedItem < 0 || SelectedItem >= static_cast<int>(ListItems.size())) return;
    ::FindCurrentStation(store_.WorkStations, ListItems[SelectedItem], index);
}

std::string CurveEditorSession::SelectedName() const
{
    if (SelectedItem < 0 || SelectedItem >= static_cast<int>(ListItems.size())) return "";
    return ListItems[SelectedItem];
}

std::string CurveEditorSession::WriteComponentFile() const
{
    // Station names are GBK bytes; file names are UTF-8.
    std::string fileName =
        StationComponentFileName(DisplayTextUtf8(SelectedName()), ComponentIndex);
    WriteStationComponentFile(fileName, Charts);
    return fileName;
}

std::string CurveEditorSession::SaveModelResponse(const std::string& chosenName) const
{
    return WriteModelResponseFile(chosenName, Charts);
}

void FinishCurveEditing(SurveyStore& store, const CurveEditorSession& session, bool accepted)
{
    if (accepted) StoreComponentSet(store, session.ComponentIndex);
}
