#include "picture/forms/PictureLimits.h"

#include "base/NumberFormat.h"

PictureRefusal::PictureRefusal(const std::string& detail)
    : Exception("Picture is " + detail), Detail(detail)
{
}

void CheckPictureSize(long long width, long long height)
{
    if (width > 0 && height > 0 && width * height > kLargestPictureBytes / 4)
        throw PictureRefusal(CFormat("too large (%lld x %lld pixels)", width, height));
}
