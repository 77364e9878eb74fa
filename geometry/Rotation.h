#pragma once
// Rotation of the survey about the origin, so that a line laid out at an angle runs along x.

#include "survey/SurveyStore.h"

// The angle the rotation dialog offers: RotationAngle truncated to whole degrees, within the
// dialog's range -360 to 360.
int RotationPreset(const SurveyStore& store);

// Turns the x and y of every Ex and Hy station and the electrodes and centre of every transmitter
// by the angle (degrees, clockwise: a point at polar angle t moves to t - degrees) and stores the
// angle in RotationAngle. Elevations, Length and Azimuth are not touched. Every new value is
// computed before any is stored, so a result beyond the single range (EOverflow) changes nothing.
void RotateSurvey(SurveyStore& store, int degrees);
