#pragma once
// The reference picture behind the layer chart, chosen by the file extension: "bmp", "ico",
// "jpg"/"jpeg" (decoded with libjpeg), "emf" and "wmf" (drawn record by record).

#include <QImage>
#include <string>

// Raises EFOpenError when the file cannot be read and Exception when its extension is not one of
// the above or its contents are not a picture of that kind.
QImage LoadReferencePicture(const std::string& fileName);

// A JPEG image; null when the bytes are not one.
QImage DecodeJpeg(const std::string& bytes);
