#pragma once
// A paint device that records what a QPainter draws as an enhanced metafile (EMF), built with
// libUEMF: paths with their curves, pens and brushes, text as text, pictures as bitmaps.
//
//   EmfPaintDevice emf(QSize(640, 480));
//   QPainter painter(&emf);  ...  painter.end();
//   std::string bytes = emf.Bytes();   // the whole file, valid once the painter has ended
//
// Device pixels are 1/96 inch. Coordinates are recorded at 1/16 pixel.

#include <QPaintDevice>
#include <QSize>
#include <memory>
#include <string>

class EmfPaintEngine;

class EmfPaintDevice : public QPaintDevice {
public:
    explicit EmfPaintDevice(QSize size);
    ~EmfPaintDevice() override;

    QPaintEngine* paintEngine() const override;
    std::string Bytes() const;
    QSize Size() const { return size_; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size_;
    std::unique_ptr<EmfPaintEngine> engine_;
};
