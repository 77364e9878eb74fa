#pragma once
// The open windows that show survey data, brought in line with the store after a load.

class TForm1;

// After a load (whole or failed): the static-shift window closes, since its values and dragged
// factors belong to the survey it was made from, and so do the profile charts, each with the
// curves of the stations picked then; the sounding-curve viewer draws the new store
// at CurrentStation, or closes when the store has no Ex or no Hy station. Raises what the
// viewer's curves raise, after the windows are in line.
void RefreshSurveyWindows(TForm1* Form);
