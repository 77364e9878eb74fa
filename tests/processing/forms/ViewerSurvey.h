#pragma once
// A small survey for the window tests of the viewers and the static-shift window: Ex stations
// "100", "200" and "300" stored from low to high frequency, each with its own Hy station, 3 km
// from a 1 km wire.

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointF>
#include <QString>
#include <vector>

#include "app/MainForm.h"
#include "chart/forms/DisplayText.h"
#include "map/TxRx.h"
#include "tests/support/SurveyFixture.h"
#include "tests/support/forms/WindowFixture.h"

// The points (x[k], y[k]) in order.
inline QList<QPointF> Points(const std::vector<double>& x, const std::vector<double>& y)
{
    QList<QPointF> p;
    for (size_t k = 0; k < x.size(); ++k) p.push_back(QPointF(x[k], y[k]));
    return p;
}

inline void LoadViewerSurvey(TForm1* form)
{
    form->ClearLoadedData();
    form->Transmitters.push_back(MakeTx("T1", 0, 0, 1000));
    const float freqs[] = {1, 10, 100, 1000, 10000};
    const char* names[] = {"100", "200", "300"};
    for (int s = 0; s < 3; ++s) {
        std::vector<Sample> ex, hy;
        for (int k = 0; k < 5; ++k) {
            ex.push_back({freqs[k], 10.0f * (s + 1) + k, 0.1f * k});
            hy.push_back({freqs[k], 0.5f + 0.1f * k, 0.05f * k});
        }
        const std::string hyName = std::string("H") + names[s];
        form->HyStations.push_back(MakeHy(hyName, "T1", 100.0f * s, 3000, hy));
        form->ExStations.push_back(MakeEx(names[s], hyName, 100.0f * s, 3000, ex));
        form->StaticFactors.push_back({names[s], 1.0f});
    }
}

template <class Window>
QList<Window*> OpenWindows(TForm1* form)
{
    QList<Window*> found;
    for (QMdiSubWindow* w : form->MdiArea->subWindowList())
        if (auto* window = qobject_cast<Window*>(w)) found.push_back(window);
    return found;
}

// Lets the deferred deletions of closed windows run.
inline void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
