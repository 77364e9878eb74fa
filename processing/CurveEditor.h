#pragma once
// The curve editor without its window: the state and the commands of the editing dialog over the
// survey's working copy. The window forwards each gesture to one call here and then paints the
// charts, the list and the captions from the public members.

#include <string>
#include <vector>

#include "processing/CurveEditing.h"
#include "survey/SurveyStore.h"

extern const char* const kNoDataToEditText;     // "没有数据可以编辑。请加载数据..."
extern const char* const kNoDataToEditCaption;  // "Murovane Hint..."
extern const char* const kCurveEditorHelpText;  // the help button's text
extern const char* const kElectricAxisTitle;    // "mV/(km*A)"
extern const char* const kMagneticAxisTitle;    // "nT/A"

// The editor's opening: false when there is no Ex station to edit (the caller shows the
// message); otherwise the working copy becomes a copy of ExStations.
bool BeginCurveEditing(SurveyStore& store);

// Electric components (Ex, Ey, Ez) are the ones whose amplitudes the step control scales.
bool IsElectricComponent(int componentIndex);

class CurveEditorSession {
public:
    explicit CurveEditorSession(SurveyStore& store);

    int PickedPoint = -1;         // point index the last chart click picked, -1 none
    int StationIndex = 0;         // working-copy index of the station on the charts
    int LastScalePosition = 500;  // step control position at the last amplitude step
    int ComponentIndex = 0;       // component the working copy holds
    int CursorIndex = 0;          // last picked point; bound of the left and right steps

    int DisplayFormIndex = 0;  // display-form choice, used from the next drawing on
    int ScaleRangeIndex = 0;   // range of the amplitude steps (ScaleRange)

    std::vector<std::string> ListItems;  // station list
    int SelectedItem = 0;

    EditorCharts Charts;
    bool AmplitudeAxisLogarithmic = true;
    std::string AmplitudeAxisTitle = "V (mv/Km/A)";
    bool ScaleEnabled = true;  // the amplitude step control
    int PointCount = 0;        // point count of the shown station, for the count spin control
    std::string TotalCaption = "Totally 0 points";

    // The companion chart of "MT" curves: shown station, the one before, the one after.
    bool CompanionExists = false;
    ChartSeries AppResCurves[3];

    // Fills the list from the working copy, selects its first station and puts that station on
    // the Present series.
    void Open();
    // The editor is being shown: the companion chart exists when there are Hy stations.
    void FormShow();

    // Station change to the list row.
    void SListClick(int row);
    // Component switch; false when the chosen component has no station (nothing changes, the
    // choice goes back to ComponentIndex).
    bool ExHyClick(int component);
    // OK: the charts go into the selected station. The caller then stores the working copy with
    // FinishCurveEditing.
    void OkClick();
    // Smoothing of the selected station, redrawn from its record.
    void SmoothClick();
    // A click on the step control: position its new position, up its direction. The direction
    // sets the factor, so a click up at the control's limit still scales up.
    void UpDown2Click(int position, bool up);

    // Mouse down on the amplitude chart and on the phase chart at data values (x, y).
    void ChartMouseDown(double x, double y, bool rightButton);
    void Chart1MouseDown(double x, double y, bool leftButton, bool rightButton, bool shiftOrCtrl);

    void ShowStation(int index);
    void AdjustChartAxes();
    void StoreChartToStation(int index);
    void ShowAppResCurves(int index);
    void FindCurrentStation(int& index) const;

    // Text of the selected list row; empty when none.
    std::string SelectedName() const;

    // Ctrl+S: writes the station component file into the current directory and returns its
    // name; EFCreateError when it cannot be written.
    std::string WriteComponentFile() const;
    // "保存": writes the model response file under the chosen name with the extension ".txt"
    // and returns the name written; EFCreateError when it cannot be written.
    std::string SaveModelResponse(const std::string& chosenName) const;

private:
    void SetPointCount(int index, const char* caption);

    SurveyStore& store_;
};

// After the editor's modal run: on OK the working copy replaces the component list it holds.
void FinishCurveEditing(SurveyStore& store, const CurveEditorSession& session, bool accepted);
