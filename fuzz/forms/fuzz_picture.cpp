// The reference picture loader of the model builder ("参考模型图像"): the first byte chooses the
// format (BMP, ICO, JPEG, EMF, WMF, by the file extension the loader reads), the rest is the file.
// Qt draws and decodes offscreen, in one application made before the first input.

#include <QGuiApplication>
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "picture/forms/PictureLimits.h"
#include "picture/forms/ReferencePicture.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int arguments = 1;
    static QGuiApplication application(arguments, *argv);
    (void)argc;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const names[] = {"picture.bmp", "picture.ico", "picture.jpg", "picture.emf",
                                        "picture.wmf"};
    if (size == 0) return 0;
    std::string file = fuzz::InputFile(names[data[0] % 5], data + 1, size - 1);
    fuzz::Expecting([&] {
        QImage image = LoadReferencePicture(file);
        if (image.isNull() ||
            static_cast<long long>(image.width()) * image.height() * 4 > kLargestPictureBytes)
            std::abort();
    });
    return 0;
}
