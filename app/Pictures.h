#pragma once
// Pictures of a chart: an enhanced metafile (EMF) of what the view shows at its present size, and
// the clipboard copy (EMF, SVG and a bitmap, so programs without EMF support can paste it too).

#include <QByteArray>
#include <string>

class QGraphicsView;

extern const char* const kEmfMimeType;  // "image/x-emf"

std::string ChartMetafile(QGraphicsView* view);
QByteArray ChartSvg(QGraphicsView* view);
void CopyChartToClipboard(QGraphicsView* view);
