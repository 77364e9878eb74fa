#pragma once
// What the station editor's window tests share: whether every text of the grid reads in full, the
// width of its columns, and the peer survey L14 with its position file.

#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <string>

#include "app/MainForm.h"
#include "geometry/forms/XY.h"
#include "import/AmtAvgReader.h"
#include "import/CsamtAvgReader.h"
#include "map/TxRx.h"

// The first cell or header of the editor's grid whose text does not show in full: its advance and
// the margins the style puts around an item's text are wider than its column. Empty when all fit.
inline QString ColumnMisfit()
{
    PositionTable* grid = ChangeXY->StringGrid1;
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    const QFontMetrics metrics = grid->fontMetrics();
    for (int column = 0; column < grid->columnCount(); ++column) {
        const int width = grid->columnWidth(column);
        if (grid->horizontalHeader()->sectionSizeHint(column) > width)
            return QString("header of column %1").arg(column);
        for (int row = 0; row < grid->rowCount(); ++row) {
            const QString text = grid->item(row, column)->text();
            if (metrics.horizontalAdvance(text) + 2 * margin > width)
                return QString("\"%1\" in column %2 of width %3").arg(text).arg(column).arg(width);
        }
    }
    return QString();
}

// The editor's columns side by side.
inline int ColumnsWidth()
{
    int total = 0;
    for (int column = 0; column < ChangeXY->StringGrid1->columnCount(); ++column)
        total += ChangeXY->StringGrid1->columnWidth(column);
    return total;
}

// The survey L14 of the peer data, loaded as the Open command reads it and drawn on the station
// map; the name of the position file published with it. Nothing is loaded and the name is empty
// when the peer data are absent.
inline std::string LoadPeerSurveyL14()
{
    const std::string avg = QUILLANE_PEER_DATA "/pycsamt/L14.avg";
    const std::string stn = QUILLANE_PEER_DATA "/pycsamt/L14.stn";
    if (!QFileInfo::exists(QString::fromStdString(stn))) return std::string();
    Form1->ClearLoadedData();
    bool other = false;
    ReadCsamtAvgFile(*Form1, avg, &other);
    if (other) ReadAmtAvgFile(*Form1, avg, [] {});
    DrawLayoutMap(Form1);
    return stn;
}
