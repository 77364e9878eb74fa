#pragma once
// Small metafiles and JPEG files built field by field, of the shapes that once made the reference
// picture loader work for seconds: shared by its tests and its benchmark.

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

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

// A progressive JPEG of one grey side x side component whose scans after the first refine every
// AC coefficient of every block and hold nothing but runs of empty blocks: little data, each scan
// a pass over every coefficient.
inline std::string RefinedJpeg(uint16_t side, int scans)
{
    Bytes b;
    auto segment = [&b](uint8_t marker, const std::string& fields) {
        const uint16_t length = static_cast<uint16_t>(fields.size() + 2);
        b.Raw("\xff", 1).Raw(&marker, 1);
        b.Data += static_cast<char>(length >> 8);
        b.Data += static_cast<char>(length);
        b.Data += fields;
    };
    b.Raw("\xff\xd8", 2);
    segment(0xDB, std::string(1, '\0') + std::string(64, '\1'));
    const char frame[] = {8,
                          static_cast<char>(side >> 8),
                          static_cast<char>(side),
                          static_cast<char>(side >> 8),
                          static_cast<char>(side),
                          1,
                          1,
                          0x11,
                          0};
    segment(0xC2, std::string(frame, sizeof frame));
    // One code of one bit per table: DC difference 0; AC, a run of 2^14 + 14 more bits of blocks.
    const std::string lengths = std::string(1, '\1') + std::string(15, '\0');
    segment(0xC4, std::string(1, '\0') + lengths + std::string(1, '\0'));
    segment(0xC4, std::string(1, '\x10') + lengths + std::string(1, '\xe0'));
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
        segment(0xDA, std::string("\x01\x01\x00\x01\x3f\x10", 6));
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
// short ones along its top edge, right of it.
inline std::pair<uint32_t, std::string> ZigzagAlongTheEdge()
{
    Bytes b;
    b.U32(0).U32(0).U32(2048).U32(2048).U32(2500);
    for (int i = 0; i < 100; ++i)
        b.U16(static_cast<uint16_t>(i * 20)).U16(static_cast<uint16_t>(i % 2 ? 23000 : -16000));
    for (int i = 0; i < 2400; ++i)
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

}  // namespace picture_files
