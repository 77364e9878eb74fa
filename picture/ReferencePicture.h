#pragma once
// The reference picture behind the layer chart, chosen by the file extension: "bmp", "ico",
// "jpg"/"jpeg" (decoded with libjpeg), "emf" and "wmf" (drawn record by record).

#include <QImage>
#include <string>

#include "base/Exception.h"

// Raises EFOpenError when the file cannot be read and Exception when its extension is not one of
// the above, its contents are not a picture of that kind, or the picture is refused (see below).
QImage LoadReferencePicture(const std::string& fileName);

// A JPEG image; null when the bytes are not one. Raises PictureRefusal past the size cap, or when
// its scans ask for more decoding than a picture may take.
QImage DecodeJpeg(const std::string& bytes);

// No decoded bitmap of a picture may take more than this (the cap of Qt's own image readers), so
// that a small file declaring a huge picture is refused before anything is allocated.
constexpr long long kLargestPictureBytes = 256ll << 20;

// A picture refused before it is decoded or drawn; the loader adds the file name to Detail.
class PictureRefusal : public Exception {
public:
    explicit PictureRefusal(const std::string& detail);
    std::string Detail;  // "too large (65500 x 65500 pixels)", "too complex to draw"
};

// Raises PictureRefusal when a bitmap of width x height pixels of 32 bits passes the cap.
void CheckPictureSize(long long width, long long height);
