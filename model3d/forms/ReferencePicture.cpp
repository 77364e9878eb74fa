#include "model3d/forms/ReferencePicture.h"

#include <jpeglib.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <memory>
#include <vector>

#include "base/Exception.h"
#include "base/NumberFormat.h"
#include "base/TextStream.h"
#include "model3d/forms/MetafilePicture.h"

namespace {

struct JpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

void JpegFail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->Jump, 1);
}

void JpegQuiet(j_common_ptr, int) {}

// What the decoder fills; on the heap so that a jump out of libjpeg finds it intact.
struct JpegWork {
    jpeg_decompress_struct Info;
    JpegError Error;
    QImage Image;
    std::vector<unsigned char> Row;
};

std::string LowerExtension(const std::string& fileName)
{
    size_t slash = fileName.find_last_of('/');
    size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = fileName.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

}  // namespace

QImage DecodeJpeg(const std::string& bytes)
{
    if (bytes.empty()) return QImage();
    std::unique_ptr<JpegWork> work(new JpegWork);
    jpeg_decompress_struct& info = work->Info;
    info.err = jpeg_std_error(&work->Error.Manager);
    work->Error.Manager.error_exit = JpegFail;
    work->Error.Manager.emit_message = JpegQuiet;
    if (setjmp(work->Error.Jump)) {
        jpeg_destroy_decompress(&info);
        return QImage();
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    const int w = static_cast<int>(info.output_width), h = static_cast<int>(info.output_height);
    work->Image = QImage(w, h, QImage::Format_RGB32);
    work->Row.assign(static_cast<size_t>(w) * info.output_components, 0);
    while (info.output_scanline < info.output_height) {
        int y = static_cast<int>(info.output_scanline);
        unsigned char* row = work->Row.data();
        jpeg_read_scanlines(&info, &row, 1);
        QRgb* out = reinterpret_cast<QRgb*>(work->Image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = row + static_cast<size_t>(x) * info.output_components;
            if (cmyk)  // Adobe writes the inks inverted
                out[x] = qRgb(p[0] * p[3] / 255, p[1] * p[3] / 255, p[2] * p[3] / 255);
            else
                out[x] = qRgb(p[0], p[1], p[2]);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return work->Image;
}

QImage LoadReferencePicture(const std::string& fileName)
{
    const std::string ext = LowerExtension(fileName);
    const bool known = ext == "bmp" || ext == "ico" || ext == "jpg" || ext == "jpeg" ||
                       ext == "emf" || ext == "wmf";
    if (!known) throw Exception(CFormat("Unknown picture file extension (.%s)", ext.c_str()));
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes)) throw EFOpenError(fileName);
    QImage image;
    if (ext == "bmp" || ext == "ico")
        image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                           static_cast<int>(bytes.size()), ext == "bmp" ? "BMP" : "ICO");
    else if (ext == "jpg" || ext == "jpeg")
        image = DecodeJpeg(bytes);
    else if (ext == "emf")
        image = PlayEnhancedMetafile(bytes);
    else
        image = PlayWindowsMetafile(bytes);
    if (image.isNull()) throw Exception(CFormat("Invalid picture file %s", fileName.c_str()));
    return image;
}
