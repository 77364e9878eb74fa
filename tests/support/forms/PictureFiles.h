#pragma once
// Small metafiles and JPEG files built field by field, of the shapes that would make the reference
// picture loader work for seconds or fill memory without its limits: shared by its tests, its
// benchmark and its peak-memory measure.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <jpeglib.h>

#include <QBuffer>
#include <QColor>
#include <QImage>

namespace picture_files {

// Little-endian fields appended to a byte string.
struct Bytes {
    std::string Data;
    Bytes& U16(uint16_t v) { return Raw(&v, 2); }
    Bytes& U32(uint32_t v) { return Raw(&v, 4); }
    Bytes& Raw(const void* p, size_t n)
    {
        Data.append(static_cast<const char*>(p), n);
        return *this;
    }
};

// An EMF over device pixels 0 to side (both ways) around the given records (each a type and its
// fields).
inline std::string Emf(const std::vector<std::pair<uint32_t, std::string>>& records, uint32_t side)
{
    Bytes b;
    b.U32(1).U32(108);                             // header
    b.U32(0).U32(0).U32(side).U32(side);           // bounds
    b.U32(0).U32(0).U32(5291).U32(2645);           // frame, 0.01 mm
    b.U32(0x464D4520).U32(0x10000).U32(0).U32(0);  // signature, version, bytes, records
    b.U16(1).U16(0).U32(0).U32(0).U32(0);          // handles, reserved, description, palette
    b.U32(1920).U32(1080).U32(508).U32(286);       // device, millimetres
    b.U32(0).U32(0).U32(0).U32(508000).U32(285750);
    for (const auto& [type, fields] : records)
        b.U32(type).U32(static_cast<uint32_t>(8 + fields.size())).Raw(fields.data(), fields.size());
    b.U32(14).U32(20).U32(0).U32(0).U32(20);  // EOF
    return b.Data;
}

inline std::string Fields(std::initializer_list<uint32_t> words)
{
    Bytes b;
    for (uint32_t w : words) b.U32(w);
    return b.Data;
}

// A WMF of 100 x 100 units at 96 units per inch around the given records.
inline std::string Wmf(const std::string& records)
{
    Bytes b;
    b.U32(0x9AC6CDD7).U16(0).U16(0).U16(0).U16(100).U16(100).U16(96).U32(0);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= reinterpret_cast<const uint16_t*>(b.Data.data())[i];
    b.U16(sum);
    const size_t headerAt = b.Data.size();
    b.U16(1).U16(9).U16(0x0300).U32(0).U16(0).U32(0).U16(0);
    b.Raw(records.data(), records.size());
    b.U32(3).U16(0);  // EOF
    const uint32_t total = static_cast<uint32_t>((b.Data.size() - headerAt) / 2);
    std::memcpy(&b.Data[headerAt + 6], &total, 4);
    return b.Data;
}

// JPEG marker segments: a marker, the length of its fields, the fields.
struct JpegBytes : Bytes {
    JpegBytes& Segment(uint8_t marker, const std::string& fields)
    {
        const uint16_t length = static_cast<uint16_t>(fields.size() + 2);
        Raw("\xff", 1).Raw(&marker, 1);
        Data += static_cast<char>(length >> 8);
        Data += static_cast<char>(length);
        Data += fields;
        return *this;
    }
    // The start of the image and a quantization table of ones.
    JpegBytes& Start()
    {
        Raw("\xff\xd8", 2);
        return Segment(0xDB, std::string(1, '\0') + std::string(64, '\1'));
    }
    // A frame (SOFn) of side x side pixels in the given number of components, each sampled
    // fully with table 0.
    JpegBytes& Frame(uint8_t marker, uint16_t side, int components)
    {
        std::string fields = {8,
                              static_cast<char>(side >> 8),
                              static_cast<char>(side),
                              static_cast<char>(side >> 8),
                              static_cast<char>(side),
                              static_cast<char>(components)};
        for (int c = 1; c <= components; ++c) fields += {static_cast<char>(c), 0x11, 0};
        return Segment(marker, fields);
    }
    // A Huffman table (DHT) of one code of one bit, for the given symbol.
    JpegBytes& OneCode(uint8_t tableClassAndId, uint8_t symbol)
    {
        const std::string lengths = std::string(1, '\1') + std::string(15, '\0');
        return Segment(0xC4, std::string(1, static_cast<char>(tableClassAndId)) + lengths +
                                 std::string(1, static_cast<char>(symbol)));
    }
};

// A progressive JPEG of one grey side x side component whose scans after the first refine every
// AC coefficient of every block and hold nothing but runs of empty blocks: little data, each scan
// a pass over every coefficient.
inline std::string RefinedJpeg(uint16_t side, int scans)
{
    JpegBytes b;
    b.Start().Frame(0xC2, side, 1);
    // One code of one bit per table: DC difference 0; AC, a run of 2^14 + 14 more bits of blocks.
    b.OneCode(0x00, 0x00).OneCode(0x10, 0xE0);
    const long blocks = (side / 8l) * (side / 8l);
    // The code 0 and 14 ones: a run of 32767 blocks, 15 bits.
    std::string runs;
    unsigned bits = 0, count = 0;
    for (long left = blocks; left > 0; left -= 32767)
        for (int i = 0; i < 15; ++i) {
            bits = (bits << 1) | (i > 0);
            if (++count % 8 == 0) {
                runs += static_cast<char>(bits & 0xFF);
                if ((bits & 0xFF) == 0xFF) runs += '\0';
            }
        }
    if (count % 8)
        runs +=
            static_cast<char>(((bits << (8 - count % 8)) | ((1u << (8 - count % 8)) - 1)) & 0xFF);
    for (int k = 0; k < scans; ++k) {
        b.Segment(0xDA, std::string("\x01\x01\x00\x01\x3f\x10", 6));
        b.Data += runs;
    }
    b.Raw("\xff\xd9", 2);
    return b.Data;
}

// POLYGON16 of a zigzag of n points between the top and the bottom of a picture of the given
// side: every edge crosses every row.
inline std::pair<uint32_t, std::string> Zigzag(int n, int side)
{
    Bytes b;
    b.U32(0).U32(0).U32(static_cast<uint32_t>(side)).U32(static_cast<uint32_t>(side));
    b.U32(static_cast<uint32_t>(n));
    for (int i = 0; i < n; ++i)
        b.U16(static_cast<uint16_t>(i * (side - 1) / n))
            .U16(static_cast<uint16_t>(i % 2 ? side - 1 : 0));
    return {86, b.Data};
}

// POLYGON16 of a zigzag of a few edges far across a picture of 2048 x 2048 pixels, then many
// short ones (2,400 unless told) along its top edge, right of it.
inline std::pair<uint32_t, std::string> ZigzagAlongTheEdge(int shortEdges = 2400)
{
    Bytes b;
    b.U32(0).U32(0).U32(2048).U32(2048).U32(static_cast<uint32_t>(100 + shortEdges));
    for (int i = 0; i < 100; ++i)
        b.U16(static_cast<uint16_t>(i * 20)).U16(static_cast<uint16_t>(i % 2 ? 23000 : -16000));
    for (int i = 0; i < shortEdges; ++i)
        b.U16(static_cast<uint16_t>(15000 + i * 7)).U16(static_cast<uint16_t>(i % 2 ? -256 : 0));
    return {86, b.Data};
}

// The same zigzag as a WMF POLYGON over a frame of 2048 units.
inline std::string WmfZigzag(int n)
{
    Bytes b;
    b.U32(static_cast<uint32_t>(4 + 2 * n)).U16(0x0324).U16(static_cast<uint16_t>(n));
    for (int i = 0; i < n; ++i) b.U16(static_cast<uint16_t>(i * 2047 / n)).U16(i % 2 ? 2047 : 0);
    std::string wmf = Wmf(b.Data);
    const uint16_t side = 2048;
    std::memcpy(&wmf[10], &side, 2), std::memcpy(&wmf[12], &side, 2);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= reinterpret_cast<const uint16_t*>(wmf.data())[i];
    std::memcpy(&wmf[20], &sum, 2);
    return wmf;
}

// EXTCREATEFONTINDIRECTW into slot 1 of a face and height, and its selection.
inline std::vector<std::pair<uint32_t, std::string>> EmfFont(const std::u16string& face,
                                                             int32_t height)
{
    Bytes b;
    b.U32(1).U32(static_cast<uint32_t>(height)).U32(0).U32(0).U32(0).U32(400).U32(0).U32(0);
    std::u16string name = face.substr(0, 31);
    name.resize(32, u'\0');
    b.Raw(name.data(), 64);
    return {{82, b.Data}, {37, Fields({1})}};
}

// EXTTEXTOUTW of a text at a point.
inline std::pair<uint32_t, std::string> EmfText(int32_t x, int32_t y, const std::u16string& text)
{
    Bytes b;
    b.U32(0).U32(0).U32(0).U32(0).U32(1).U32(0x3F800000).U32(0x3F800000);
    b.U32(static_cast<uint32_t>(x)).U32(static_cast<uint32_t>(y));
    b.U32(static_cast<uint32_t>(text.size())).U32(76).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
    b.Raw(text.data(), 2 * text.size());
    b.Data.resize((b.Data.size() + 3) & ~size_t(3), '\0');
    return {84, b.Data};
}

// An EMF of 2048 x 2048 pixels with the given number of texts of 20 characters in a font of 100
// pixels.
inline std::string LargeTextEmf(int texts)
{
    std::vector<std::pair<uint32_t, std::string>> records = EmfFont(u"Sans", -100);
    for (int i = 0; i < texts; ++i)
        records.push_back(EmfText(i * 37 % 1800, i * 53 % 1900 + 100, u"ABCDEFGHIJKLMNOPQRST"));
    return Emf(records, 2047);
}

// An EMF of 2048 x 2048 pixels with the given number of texts of one character, each in a font of
// a face of its own.
inline std::string FontFacesEmf(int faces)
{
    std::vector<std::pair<uint32_t, std::string>> records;
    for (int i = 0; i < faces; ++i) {
        std::u16string face = u"Face ";
        for (int n = i, k = 0; k < 3; ++k, n /= 26) face += static_cast<char16_t>(u'A' + n % 26);
        for (const auto& record : EmfFont(face, -12)) records.push_back(record);
        records.push_back(EmfText(i % 1800, i % 1900 + 20, u"A"));
    }
    return Emf(records, 2047);
}

// ---- Saved states and clipping ----

// A rotation by about 30 degrees about the origin and a move of the given distance to the right
// (SETWORLDTRANSFORM).
inline std::pair<uint32_t, std::string> EmfRotation(float right)
{
    const float m[] = {0.866f, 0.5f, -0.5f, 0.866f, right, 0};
    Bytes b;
    for (float v : m) b.Raw(&v, 4);
    return {35, b.Data};
}

// runs times: levels saved states (SAVEDC), each with a clipping rectangle a little inside the
// last (INTERSECTCLIPRECT), then all of them restored; nothing is drawn. An EMF over side pixels,
// its clips under a rotation when rotated.
inline std::string SavedClipsEmf(int levels, int runs, uint32_t side, bool rotated)
{
    std::vector<std::pair<uint32_t, std::string>> records;
    if (rotated) records.push_back(EmfRotation(side / 3.0f));
    for (int r = 0; r < runs; ++r) {
        for (int i = 0; i < levels; ++i) {
            const uint32_t in = static_cast<uint32_t>(i % 64);
            records.push_back({33, {}});
            records.push_back({30, Fields({in, in, side - in, side - in})});
        }
        records.push_back({34, Fields({static_cast<uint32_t>(-levels)})});
    }
    return Emf(records, side - 1);
}

// The same as a WMF of 100 x 100 units.
inline std::string SavedClipsWmf(int levels, int runs)
{
    Bytes b;
    for (int r = 0; r < runs; ++r) {
        for (int i = 0; i < levels; ++i) {
            const uint16_t in = static_cast<uint16_t>(i % 32);
            b.U32(3).U16(0x001E);  // SAVEDC
            b.U32(7).U16(0x0416).U16(100 - in).U16(100 - in).U16(in).U16(
                in);  // bottom right top left
        }
        b.U32(4).U16(0x0127).U16(static_cast<uint16_t>(-levels));  // RESTOREDC
    }
    return Wmf(b.Data);
}

// An EMF over 2048 x 2048 pixels whose clipping rectangles, each a little inside the last, lie
// under a rotation: clips of them alone, or each in a saved state of its own. The first reaches
// the given distance past the picture on every side.
inline std::string RotatedClipsEmf(int clips, bool saved, int32_t reach)
{
    std::vector<std::pair<uint32_t, std::string>> records = {EmfRotation(700)};
    for (int i = 0; i < clips; ++i) {
        const int32_t in = i % 256 - reach;
        if (saved) records.push_back({33, {}});
        records.push_back(
            {30, Fields({static_cast<uint32_t>(in), static_cast<uint32_t>(in),
                         static_cast<uint32_t>(2047 - in), static_cast<uint32_t>(2047 - in)})});
    }
    return Emf(records, 2047);
}

// An EMF over 2048 x 2048 pixels, drawn four times enlarged (SETWORLDTRANSFORM), of polygons
// each a zigzag of the given number of edges from far above the picture to far below it: each
// edge crosses every row of the picture, and many times as many rows outside it.
inline std::string FarZigzagsEmf(int polygons, int edges)
{
    const float m[] = {4, 0, 0, 4, 0, 0};
    Bytes scale;
    for (float v : m) scale.Raw(&v, 4);
    std::vector<std::pair<uint32_t, std::string>> records = {{35, scale.Data}};
    for (int k = 0; k < polygons; ++k) {
        Bytes b;
        b.U32(0).U32(0).U32(2048).U32(2048).U32(static_cast<uint32_t>(edges));
        for (int i = 0; i < edges; ++i)
            b.U16(static_cast<uint16_t>(i * 500 / edges + k)).U16(i % 2 ? 32767 : 0x8001);
        records.push_back({86, b.Data});
    }
    return Emf(records, 2047);
}

// ---- Bitmaps in metafiles ----

// STRETCHDIBITS of a bitmap of width x height pixels at 1 bit per pixel, its rows of a pattern,
// drawn over the rectangle (x, y, w, h).
inline std::pair<uint32_t, std::string> EmfBitmap(int32_t width, int32_t height, int32_t x,
                                                  int32_t y, int32_t w, int32_t h)
{
    const uint32_t stride = ((static_cast<uint32_t>(width) + 31) / 32) * 4;
    const uint32_t bits = stride * static_cast<uint32_t>(height);
    Bytes b;
    b.U32(0).U32(0).U32(0).U32(0);  // bounds
    b.U32(static_cast<uint32_t>(x)).U32(static_cast<uint32_t>(y)).U32(0).U32(0);
    b.U32(static_cast<uint32_t>(width)).U32(static_cast<uint32_t>(height));
    b.U32(80).U32(48).U32(128).U32(bits);  // the header after the record's 80 bytes, the bits
    b.U32(0).U32(0x00CC0020);              // colours from the table, SRCCOPY
    b.U32(static_cast<uint32_t>(w)).U32(static_cast<uint32_t>(h));
    b.U32(40).U32(static_cast<uint32_t>(width)).U32(static_cast<uint32_t>(height));
    b.U16(1).U16(1).U32(0).U32(bits).U32(0).U32(0).U32(2).U32(0);
    b.U32(0x000000).U32(0x00C80000);  // black, blue
    for (uint32_t i = 0; i < bits; ++i) b.Data += static_cast<char>(i % stride % 3 ? 0x0F : 0xF0);
    return {81, b.Data};
}

// An EMF over side x side pixels of count bitmaps of width x height pixels, each over all of it.
inline std::string BitmapsEmf(int count, int32_t width, int32_t height, uint32_t side)
{
    std::vector<std::pair<uint32_t, std::string>> records(
        static_cast<size_t>(count),
        EmfBitmap(width, height, 0, 0, static_cast<int32_t>(side), static_cast<int32_t>(side)));
    return Emf(records, side - 1);
}

// An EMF over 2048 x 2048 pixels of count bitmaps of 16 x 16 pixels each stretched under a shear
// (SETWORLDTRANSFORM) over a square of the given side around the picture.
inline std::string ShearedBitmapsEmf(int count, int32_t side)
{
    const float m[] = {1, 0, 0.75f, 1, 1024 - 0.875f * side, 1024 - 0.5f * side};
    Bytes shear;
    for (float v : m) shear.Raw(&v, 4);
    std::vector<std::pair<uint32_t, std::string>> records = {{35, shear.Data}};
    for (int i = 0; i < count; ++i) records.push_back(EmfBitmap(16, 16, 0, 0, side, side));
    return Emf(records, 2047);
}

// ---- Entropy-coded data ----

// A progressive JPEG of side x side pixels in the given number of components, each sampled
// fully, with a restart at every block, whose scans after the first each decode every AC
// coefficient of every block of the first component and hold no data at all: an arithmetic
// decoder reads on from zeros, as arithmetic coding has it, and a Huffman decoder passes the
// blocks over; either takes up each restart.
inline std::string EmptyScansJpeg(uint16_t side, int components, int scans, bool arithmetic)
{
    JpegBytes b;
    b.Start().Frame(arithmetic ? 0xCA : 0xC2, side, components);
    // One code of one bit per table: DC difference 0, AC end of block.
    if (!arithmetic) b.OneCode(0x00, 0x00).OneCode(0x10, 0x00);
    std::string first = {static_cast<char>(components)};
    for (int c = 1; c <= components; ++c) first += {static_cast<char>(c), 0};
    b.Segment(0xDD, std::string("\x00\x01", 2));  // a restart interval of one block
    b.Segment(0xDA, first + std::string(3, '\0'));
    for (int k = 0; k < scans; ++k) b.Segment(0xDA, std::string("\x01\x01\x00\x01\x3f\x00", 6));
    b.Raw("\xff\xd9", 2);
    return b.Data;
}

// A JPEG that libjpeg writes of width x height pixels of RGB colour, with the settings that
// setup(info) makes after the defaults, its rows of samples from row(y, samples).
template <typename Setup, typename Row>
std::string CompressedJpeg(int width, int height, Setup setup, Row row)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    setup(info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> samples(static_cast<size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        row(static_cast<int>(info.next_scanline), samples);
        JSAMPROW line = samples.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return bytes;
}

// A JPEG of side x side colour pixels (every component sampled fully) of a gradient under noise
// of the given amplitude (0 to 255: more noise, more data), saved at the given quality,
// progressive (libjpeg's usual scans) or not, with arithmetic or Huffman codes.
inline std::string NoisyJpeg(int side, int noise, int quality, bool progressive, bool arithmetic)
{
    uint32_t random = 12345;
    return CompressedJpeg(
        side, side,
        [&](jpeg_compress_struct& info) {
            jpeg_set_quality(&info, quality, TRUE);
            info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
            info.arith_code = arithmetic ? TRUE : FALSE;
            info.optimize_coding = FALSE;
            if (progressive) jpeg_simple_progression(&info);
        },
        [&](int y, std::vector<unsigned char>& samples) {
            for (size_t i = 0; i < samples.size(); ++i) {
                random = random * 1103515245u + 12345u;
                const int x = static_cast<int>(i / 3);
                const int v = (x + y) * 255 / (2 * side) * (255 - noise) / 255 +
                              static_cast<int>((random >> 16) % (noise + 1));
                samples[i] = static_cast<unsigned char>(v);
            }
        });
}

// ---- Declared sizes, pens and objects ----

// EXTCREATEPEN of a red pen into slot 1 (geometric, dashed, round caps) and its selection.
inline std::vector<std::pair<uint32_t, std::string>> WidePen(uint32_t width)
{
    const uint32_t style = 0x00010000 | 1;  // geometric, dash
    return {{95, Fields({1, 0, 0, 0, 0, style, width, 0, 0x0000FF, 0, 0, 0})}, {37, Fields({1})}};
}

// POLYBEZIER16 of one curve from corner to corner of a picture of the given side.
inline std::pair<uint32_t, std::string> Curve(int16_t side)
{
    Bytes b;
    b.U32(0).U32(0).U32(side).U32(side).U32(4);
    for (int v : {0, 0, 0, int(side), int(side), 0, int(side), int(side)})
        b.U16(static_cast<uint16_t>(v));
    return {85, b.Data};
}

// Curves from corner to corner of a picture of 2000 pixels, stroked with a dashed pen 83,886,128
// units wide, a tenth of that on the picture.
inline std::string WidePenCurvesEmf(int curves)
{
    const uint32_t tenth = 0x3DCCCCCD;
    std::vector<std::pair<uint32_t, std::string>> records = {
        {35, Fields({tenth, 0, 0, tenth, 0, 0})}};  // SETWORLDTRANSFORM
    for (const auto& record : WidePen(83886128)) records.push_back(record);
    for (int i = 0; i < curves; ++i) records.push_back(Curve(2000));
    return Emf(records, 2000);
}

// STRETCHDIBs over the whole frame of a 1-bit bitmap, all pixels set.
inline std::string WmfWithBitmap(int32_t width, int32_t height, int count = 1)
{
    const uint32_t stride = ((static_cast<uint32_t>(width) + 31) / 32) * 4;
    Bytes dib;
    dib.U32(40).U32(static_cast<uint32_t>(width)).U32(static_cast<uint32_t>(height));
    dib.U16(1).U16(1).U32(0).U32(0).U32(0).U32(0).U32(2).U32(0);
    dib.U32(0x000000).U32(0x0000C8);  // black, blue
    dib.Data.append(static_cast<size_t>(stride) * static_cast<uint32_t>(height), '\xff');
    Bytes b;
    for (int i = 0; i < count; ++i) {
        b.U32(static_cast<uint32_t>(14 + dib.Data.size() / 2)).U16(0x0F43);  // STRETCHDIB
        b.U32(0x00CC0020).U16(0);  // SRCCOPY, colours from the table
        b.U16(static_cast<uint16_t>(height)).U16(static_cast<uint16_t>(width)).U16(0).U16(0);
        b.U16(100).U16(100).U16(0).U16(0);  // destination height, width, y, x
        b.Raw(dib.Data.data(), dib.Data.size());
    }
    return Wmf(b.Data);
}

// CREATEBRUSHINDIRECT of a solid brush.
inline void WmfBrush(Bytes& b, uint32_t colour)
{
    b.U32(7).U16(0x02FC).U16(0).U32(colour).U16(0);
}

// A WMF of as many blue brushes, one of them deleted half-way up the table and its slot taken by
// a green brush that fills the picture.
inline std::string ObjectTableWmf(int brushes)
{
    Bytes b;
    for (int i = 0; i < brushes; ++i) WmfBrush(b, 0x0000FF);
    const uint16_t slot = static_cast<uint16_t>(std::min(brushes / 2, 0xFFFF));
    b.U32(4).U16(0x01F0).U16(slot);  // DELETEOBJECT
    WmfBrush(b, 0x00FF00);
    b.U32(4).U16(0x012D).U16(slot);                        // SELECTOBJECT
    b.U32(7).U16(0x041B).U16(100).U16(100).U16(0).U16(0);  // RECTANGLE
    return Wmf(b.Data);
}

// The bytes of a width x height image of one colour, saved in a format Qt writes.
inline QByteArray FilledImageFile(int width, int height, QColor colour, const char* format,
                                  QImage::Format layout = QImage::Format_RGB32)
{
    QImage image(width, height, layout);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

inline std::string SmallJpeg()
{
    return FilledImageFile(40, 30, QColor(220, 20, 20), "JPG").toStdString();
}

// A progressive JPEG of 8 x 8 grey pixels: libjpeg's own scans (refinements 0), or every AC
// coefficient of every component refined in scans of its own, each taking one bit more of it, one
// to three of them: 190, 379 or 568 scans.
inline std::string ProgressiveJpeg(int refinements)
{
    std::vector<jpeg_scan_info> scans;
    return CompressedJpeg(
        8, 8,
        [&](jpeg_compress_struct& info) {
            if (refinements == 0) return jpeg_simple_progression(&info);
            scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
            for (int c = 0; c < 3; ++c)
                for (int k = 1; k < 64; ++k)
                    for (int p = 0; p < refinements; ++p)
                        scans.push_back({1,
                                         {c, 0, 0, 0},
                                         k,
                                         k,
                                         p == 0 ? 0 : refinements - p,
                                         refinements - 1 - p});
            info.scan_info = scans.data();
            info.num_scans = static_cast<int>(scans.size());
        },
        [](int, std::vector<unsigned char>& samples) {
            std::fill(samples.begin(), samples.end(), 128);
        });
}

// The JPEG with the size in its frame header changed.
inline std::string JpegDeclaring(uint16_t width, uint16_t height)
{
    std::string bytes = SmallJpeg();
    size_t sof = bytes.find("\xff\xc0");
    if (sof == std::string::npos) return {};
    bytes[sof + 5] = static_cast<char>(height >> 8), bytes[sof + 6] = static_cast<char>(height);
    bytes[sof + 7] = static_cast<char>(width >> 8), bytes[sof + 8] = static_cast<char>(width);
    return bytes;
}

// A small BMP whose header declares width x height pixels.
inline std::string BmpDeclaring(int32_t width, int32_t height)
{
    QByteArray bytes = FilledImageFile(8, 6, QColor(220, 20, 20), "BMP");
    std::memcpy(bytes.data() + 18, &width, 4);
    std::memcpy(bytes.data() + 22, &height, 4);
    return bytes.toStdString();
}

// A BMP of 1 bit per pixel that declares width x height pixels and holds a few bytes of them.
inline std::string MonochromeBmp(int32_t width, int32_t height)
{
    Bytes b;
    b.Raw("BM", 2).U32(62 + 64).U32(0).U32(62);
    b.U32(40).U32(static_cast<uint32_t>(width)).U32(static_cast<uint32_t>(height)).U16(1).U16(1);
    b.U32(0).U32(0).U32(0).U32(0).U32(2).U32(0).U32(0).U32(0xFFFFFF);
    b.Data.append(64, '\0');
    return b.Data;
}

// An icon whose one image is a PNG declaring side x side pixels.
inline std::string IconOfPng(uint32_t side)
{
    QByteArray png = FilledImageFile(2, 2, Qt::red, "PNG", QImage::Format_ARGB32);
    // IHDR's width and height, then its check sum, all big-endian.
    auto put = [&png](int at, uint32_t value) {
        for (int i = 0; i < 4; ++i) png[at + i] = static_cast<char>(value >> (24 - 8 * i));
    };
    put(16, side), put(20, side);
    uint32_t crc = 0xFFFFFFFF;
    for (int i = 12; i < 29; ++i) {
        crc ^= static_cast<unsigned char>(png[i]);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    put(29, ~crc);
    Bytes b;
    b.U16(0).U16(1).U16(1).U32(0).U16(1).U16(32).U32(static_cast<uint32_t>(png.size())).U32(22);
    b.Raw(png.data(), static_cast<size_t>(png.size()));
    return b.Data;
}

}  // namespace picture_files
