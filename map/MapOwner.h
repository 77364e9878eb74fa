#pragma once
// What the station map needs of the window that owns it, so that the map includes nothing of that
// window: the survey it draws, the area it stands in, whether a load is filling the store, the
// profile pick of a rectangle, the pop-up menu and the guard of its gestures. The main window (app/MainForm.h) is the owner.

#include <QPoint>
#include <functional>
#include <string>

class QMdiArea;
class QMenu;
class SurveyStore;

class MapOwner {
public:
    // The store the map draws, and the name of the file opened last, the first line of its title.
    virtual const SurveyStore& MapSurvey() const = 0;
    virtual const std::string& MapFileName() const = 0;
    // The area that holds the map among the other child windows.
    virtual QMdiArea* MapArea() const = 0;
    // True while a load fills the store: every gesture on the map returns at once, as the store
    // is half filled.
    virtual bool MapWaitsForLoad() const = 0;
    // The profile response of the rectangle from (X1, Y1) to (X2, Y2), in map coordinates, and its
    // chart unless the selection was cancelled.
    virtual void PickProfile(double X1, double Y1, double X2, double Y2) = 0;
    // Opens the pop-up menu, the map's context menu, at a screen position.
    virtual void PopupMapMenu(QPoint globalPosition) = 0;
    // Runs a gesture of the map's mouse handlers where the window's commands run: whatever it
    // throws is caught and shown there, as the error of a command is.
    virtual void RunMapGesture(const std::function<void()>& gesture) = 0;

protected:
    ~MapOwner() = default;
};
