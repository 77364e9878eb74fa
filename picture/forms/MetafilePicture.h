#pragma once
// Metafiles drawn into a bitmap, record by record: the common drawing records of enhanced (EMF)
// and Windows (WMF) metafiles — lines, polygons, Bézier paths, rectangles, ellipses, text, device
// independent bitmaps, pens, brushes, fonts, clipping rectangles and the mapping of logical to
// device units. Records that cannot be drawn are passed over.

#include <QImage>
#include <string>

#include "picture/forms/PictureLimits.h"

// Null when the bytes are not a metafile of that kind. Pens, fonts and points far outside the
// picture are held at its reach; a picture that asks for too much drawing, or carries a bitmap past
// the size cap, raises PictureRefusal. When work is given, the drawing adds what it cost to it.
QImage PlayEnhancedMetafile(const std::string& bytes, PictureWork* work = nullptr);
QImage PlayWindowsMetafile(const std::string& bytes, PictureWork* work = nullptr);

// A packed device-independent bitmap (header, colour table, pixels); null when its layout is not
// one of the uncompressed ones (1, 4, 8, 16, 24 or 32 bits per pixel). Raises PictureRefusal when
// its pixels are all there but pass the size cap.
QImage DecodeDib(const unsigned char* header, size_t headerSize, const unsigned char* bits,
                 size_t bitsSize);
