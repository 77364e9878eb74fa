#include "picture/forms/ReferencePicture.h"

#include <jpeglib.h>

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "base/AsciiText.h"
#include "base/Exception.h"
#include "base/FileName.h"
#include "base/NumberFormat.h"
#include "base/TextStream.h"
#include "picture/forms/MetafilePicture.h"
#include "picture/forms/PictureLimits.h"

using namespace picture_limits;

namespace {

struct JpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    bool TooComplex = false;
    int ChargedScan = 0;
    double Work = 0;      // passes over blocks
    double ScanWork = 0;  // of the scan charged last
    double DataWork = 0;  // entropy-coded data
    const unsigned char* Data = nullptr;
    size_t Size = 0;
    size_t Consumed = 0;  // bytes of the file, when the data was last charged
};

void JpegFail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->Jump, 1);
}

void JpegQuiet(j_common_ptr, int) {}

// The work of the current scan: its blocks, each with the band of coefficients it decodes, and
// for arithmetic codes the restarts, where the decoder resets its statistics.
double ScanWork(j_decompress_ptr info)
{
    double blocks = 0, units = 0;  // blocks, and units of a restart interval (MCUs)
    if (info->comps_in_scan == 1) {
        const jpeg_component_info* c = info->cur_comp_info[0];
        blocks = units = static_cast<double>(c->width_in_blocks) * c->height_in_blocks;
    } else {
        units = static_cast<double>(info->MCUs_per_row) * info->MCU_rows_in_scan;
        for (int i = 0; i < info->comps_in_scan; ++i)
            blocks += units * info->cur_comp_info[i]->MCU_blocks;
    }
    const double restarts = info->arith_code && info->restart_interval > 0
                                ? std::ceil(units / info->restart_interval)
                                : 0;
    return blocks * (kJpegBlockWork + std::max(0, info->Se - info->Ss) + 1) +
           restarts * kJpegArithmeticRestartWork;
}

// The work of a byte of entropy-coded data, by the coding.
double DataByteWork(j_decompress_ptr info)
{
    if (info->arith_code) return kJpegArithmeticByteWork;
    return info->progressive_mode ? kJpegProgressiveByteWork : kJpegSequentialByteWork;
}

// The bytes of the file the decoder has taken; past its end the source gives an end marker of
// its own.
size_t ConsumedBytes(j_decompress_ptr info, const JpegError& error)
{
    const auto at = reinterpret_cast<uintptr_t>(info->src->next_input_byte);
    const auto begin = reinterpret_cast<uintptr_t>(error.Data);
    return at >= begin && at - begin <= error.Size ? at - begin : error.Size;
}

// Called before each row of blocks is read: a scan is charged in full before its first row, the
// data by the bytes read since the last call.
void JpegProgress(j_common_ptr info)
{
    if (!info->is_decompressor) return;
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    auto* error = reinterpret_cast<JpegError*>(info->err);
    if (decompress->input_scan_number > kMostJpegScans) {
        error->TooComplex = true;
        JpegFail(info);
    }
    const size_t consumed = std::max(error->Consumed, ConsumedBytes(decompress, *error));
    error->DataWork += static_cast<double>(consumed - error->Consumed) * DataByteWork(decompress);
    error->Consumed = consumed;
    if (decompress->input_scan_number != error->ChargedScan) {
        error->ChargedScan = decompress->input_scan_number;
        error->ScanWork = ScanWork(decompress);
        error->Work += error->ScanWork;
    }
    if (error->Work > kMostJpegWork || error->DataWork > kMostJpegDataWork) {
        error->TooComplex = true;
        JpegFail(info);
    }
}

// The bytes of the whole-image coefficients the decoder keeps for a file of several scans.
double CoefficientBytes(j_decompress_ptr info)
{
    if (!jpeg_has_multiple_scans(info)) return 0;
    double bytes = 0;
    for (int i = 0; i < info->num_components; ++i) {
        const jpeg_component_info& c = info->comp_info[i];
        const auto up = [](double v, double m) { return std::ceil(v / m) * m; };
        bytes += up(c.width_in_blocks, c.h_samp_factor) * up(c.height_in_blocks, c.v_samp_factor) *
                 sizeof(JBLOCK);
    }
    return bytes;
}

// What the decoder fills; on the heap so that a jump out of libjpeg finds it intact.
struct JpegWork {
    jpeg_decompress_struct Info;
    JpegError Error;
    jpeg_progress_mgr Progress;
    QImage Image;
    std::vector<unsigned char> Row;
    bool Created = false;
    ~JpegWork()
    {
        if (Created) jpeg_destroy_decompress(&Info);
    }
};

template <typename T>
long long Field(const std::string& bytes, size_t at, bool bigEndian = false)
{
    if (at > bytes.size() || bytes.size() - at < sizeof(T)) return 0;
    unsigned long long v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        const unsigned long long b = static_cast<unsigned char>(bytes[at + i]);
        v |= b << (8 * (bigEndian ? sizeof(T) - 1 - i : i));
    }
    return static_cast<T>(v);
}

// The size a bitmap (from its info header at `at`) or a PNG at `at` declares; empty when neither.
std::pair<long long, long long> DeclaredAt(const std::string& bytes, size_t at, bool icon)
{
    if (at >= bytes.size()) return {0, 0};
    if (bytes.compare(at, 8, "\x89PNG\r\n\x1a\n") == 0) {
        const long long w = Field<uint32_t>(bytes, at + 16, true);
        const long long h = Field<uint32_t>(bytes, at + 20, true);
        if (w > INT32_MAX || h > INT32_MAX) return {0, 0};  // past what a PNG may declare
        return {w, h};
    }
    const long long header = Field<uint32_t>(bytes, at);
    long long w = 0, h = 0;
    if (header == 12)
        w = Field<uint16_t>(bytes, at + 4), h = Field<uint16_t>(bytes, at + 6);
    else if (header >= 40)
        w = std::llabs(Field<int32_t>(bytes, at + 4)),
        h = std::llabs(Field<int32_t>(bytes, at + 8));
    return {w, icon ? h / 2 : h};  // an icon's height counts its mask too
}

// The largest picture a BMP or ICO declares, as far as its headers are there.
std::pair<long long, long long> DeclaredSize(const std::string& bytes, bool icon)
{
    if (!icon)
        return bytes.compare(0, 2, "BM") == 0 ? DeclaredAt(bytes, 14, false) : std::pair{0ll, 0ll};
    std::pair<long long, long long> largest{0, 0};
    const long long count = Field<uint16_t>(bytes, 4);
    for (long long i = 0; i < count && 6 + 16 * (i + 1) <= static_cast<long long>(bytes.size());
         ++i) {
        const auto size = DeclaredAt(bytes, Field<uint32_t>(bytes, 6 + 16 * i + 12), true);
        if (static_cast<double>(size.first) * size.second >
            static_cast<double>(largest.first) * largest.second)
            largest = size;
    }
    return largest;
}

// BMP and ICO through Qt's readers, their declared size checked before any pixel is read. A
// picture Qt's reader turns away for the memory it would take is refused as too large.
QImage ReadWithQt(const std::string& bytes, const char* format, PictureWork& work)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (size.isValid()) CheckPictureSize(size.width(), size.height());
    // Qt's reader stops at the end of the data and leaves the rows a short file lacks as the
    // memory held them; it fills an image it is given of the picture's size and format, so those
    // rows start black.
    QImage image;
    const QImage::Format pixels = reader.imageFormat();
    const bool given = size.isValid() && pixels != QImage::Format_Invalid;
    if (given) {
        work.Pixels += static_cast<double>(size.width()) * size.height();
        image = QImage(size, pixels);
        image.fill(0);
    }
    if (!reader.read(&image)) image = QImage();
    if (!given) work.Pixels += static_cast<double>(image.width()) * image.height();
    if (image.isNull()) {
        const auto [w, h] = DeclaredSize(bytes, std::strcmp(format, "ICO") == 0);
        CheckPictureSize(w, h);
        if (w > 0 && h > 0 && w * h * 4 > (static_cast<long long>(reader.allocationLimit()) << 20))
            throw PictureRefusal(CFormat("too large (%lld x %lld pixels)", w, h));
    }
    return image;
}

// The extension without its point, its ASCII letters in lower case.
std::string LowerExtension(const std::string& fileName)
{
    const std::string ext = ExtractFileExt(fileName);
    return ext.empty() ? ext : LowerAscii(ext.substr(1));
}

}  // namespace

QImage DecodeJpeg(const std::string& bytes, PictureWork* counted)
{
    if (bytes.empty()) return QImage();
    std::unique_ptr<JpegWork> work(new JpegWork);
    // The passes charged so far go to counted however the decoding ends.
    struct Report {
        const JpegError& error;
        PictureWork* counted;
        ~Report()
        {
            if (!counted) return;
            counted->Charged += error.Work;
            counted->LastCharge = error.ScanWork;
        }
    } report{work->Error, counted};
    jpeg_decompress_struct& info = work->Info;
    info.err = jpeg_std_error(&work->Error.Manager);
    work->Error.Manager.error_exit = JpegFail;
    work->Error.Manager.emit_message = JpegQuiet;
    if (setjmp(work->Error.Jump)) {
        if (work->Error.TooComplex) throw PictureRefusal("too complex to decode");
        return QImage();
    }
    jpeg_create_decompress(&info);
    work->Created = true;
    info.mem->max_memory_to_use = kMostJpegMemory;
    work->Progress.progress_monitor = JpegProgress;
    info.progress = &work->Progress;
    work->Error.Data = reinterpret_cast<const unsigned char*>(bytes.data());
    work->Error.Size = bytes.size();
    jpeg_mem_src(&info, work->Error.Data, static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    CheckPictureSize(info.image_width, info.image_height);
    // The headers read so far are not entropy-coded data.
    work->Error.Consumed = ConsumedBytes(&info, work->Error);
    if (CoefficientBytes(&info) + 4.0 * info.image_width * info.image_height > kMostJpegMemory)
        throw PictureRefusal("too complex to decode");
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    // Colour pixels come out in the byte order of a QRgb, straight into the image's rows.
    const J_COLOR_SPACE pixels = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    info.out_color_space = cmyk ? JCS_CMYK : pixels;
    jpeg_start_decompress(&info);
    const int w = static_cast<int>(info.output_width), h = static_cast<int>(info.output_height);
    CheckPictureSize(w, h);
    if (counted) counted->Pixels += static_cast<double>(w) * h;
    work->Image = QImage(w, h, QImage::Format_RGB32);
    if (work->Image.isNull()) throw PictureRefusal(CFormat("too large (%d x %d pixels)", w, h));
    work->Row.assign(static_cast<size_t>(w) * info.output_components, 0);
    while (info.output_scanline < info.output_height) {
        int y = static_cast<int>(info.output_scanline);
        QRgb* out = reinterpret_cast<QRgb*>(work->Image.scanLine(y));
        unsigned char* row = cmyk ? work->Row.data() : reinterpret_cast<unsigned char*>(out);
        jpeg_read_scanlines(&info, &row, 1);
        if (!cmyk) continue;
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = row + static_cast<size_t>(x) * info.output_components;
            // Adobe writes the inks inverted
            out[x] = qRgb(p[0] * p[3] / 255, p[1] * p[3] / 255, p[2] * p[3] / 255);
        }
    }
    jpeg_finish_decompress(&info);
    return work->Image;
}

QImage LoadReferencePicture(const std::string& fileName, PictureWork* work)
{
    PictureWork uncounted;
    PictureWork& counted = work ? *work : uncounted;
    const std::string ext = LowerExtension(fileName);
    const bool known = ext == "bmp" || ext == "ico" || ext == "jpg" || ext == "jpeg" ||
                       ext == "emf" || ext == "wmf";
    if (!known) throw Exception(CFormat("Unknown picture file extension (.%s)", ext.c_str()));
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes)) throw EFOpenError(fileName);
    QImage image;
    try {
        if (ext == "bmp" || ext == "ico")
            image = ReadWithQt(bytes, ext == "bmp" ? "BMP" : "ICO", counted);
        else if (ext == "jpg" || ext == "jpeg")
            image = DecodeJpeg(bytes, &counted);
        else if (ext == "emf")
            image = PlayEnhancedMetafile(bytes, &counted);
        else
            image = PlayWindowsMetafile(bytes, &counted);
    } catch (const PictureRefusal& refusal) {
        throw Exception(CFormat("Picture file %s is %s", fileName.c_str(), refusal.Detail.c_str()));
    }
    if (image.isNull()) throw Exception(CFormat("Invalid picture file %s", fileName.c_str()));
    return image;
}
