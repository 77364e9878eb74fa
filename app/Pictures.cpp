#include "app/Pictures.h"

#include <QBuffer>
#include <QClipboard>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>

#include "chart/forms/MarkLayer.h"
#include "picture/forms/EmfPaintDevice.h"

const char* const kEmfMimeType = "image/x-emf";

namespace {

void Render(QGraphicsView* view, QPainter& painter, QSize size)
{
    const QtMarks qtMarks(view);
    const QWidget* viewport = view->viewport();
    painter.fillRect(QRect(QPoint(0, 0), size),
                     viewport->palette().brush(viewport->backgroundRole()));
    view->render(&painter, QRectF(0, 0, size.width(), size.height()), view->viewport()->rect(),
                 Qt::IgnoreAspectRatio);
}

}  // namespace

std::string ChartMetafile(QGraphicsView* view)
{
    const QSize size = view->viewport()->size();
    EmfPaintDevice device(size);
    QPainter painter(&device);
    Render(view, painter, size);
    painter.end();
    return device.Bytes();
}

QByteArray ChartSvg(QGraphicsView* view)
{
    const QSize size = view->viewport()->size();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(view->window()->windowTitle());
    QPainter painter(&generator);
    Render(view, painter, size);
    painter.end();
    return buffer.data();
}

void CopyChartToClipboard(QGraphicsView* view)
{
    auto* data = new QMimeData;
    const std::string emf = ChartMetafile(view);
    data->setData(kEmfMimeType, QByteArray(emf.data(), static_cast<qsizetype>(emf.size())));
    data->setData("image/svg+xml", ChartSvg(view));
    data->setImageData(view->viewport()->grab().toImage());
    QGuiApplication::clipboard()->setMimeData(data);
}
