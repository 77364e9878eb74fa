#pragma once
// The reference picture behind the layer chart, chosen by the file extension: "bmp", "ico",
// "jpg"/"jpeg" (decoded with libjpeg), "emf" and "wmf" (drawn record by record).

#include <QImage>
#include <string>

#include "picture/forms/PictureLimits.h"

// Raises EFOpenError when the file cannot be read and Exception when its extension is not one of
// the above, its contents are not a picture of that kind, or the picture is refused (see
// PictureLimits.h). When work is given, the load adds what it cost to it, refused or not.
QImage LoadReferencePicture(const std::string& fileName, PictureWork* work = nullptr);

// A JPEG image; null when the bytes are not one. Raises PictureRefusal past the size cap, or when
// its scans ask for more decoding than a picture may take.
QImage DecodeJpeg(const std::string& bytes, PictureWork* work = nullptr);
