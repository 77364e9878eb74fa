#pragma once
// What one picture may ask of the readers before it is refused: the size of the bitmap it decodes
// into and the work of decoding or drawing it, so that a small file cannot make the loader
// allocate or compute without end. The work charges are counted where the readers spend it.

#include <cstddef>
#include <string>

#include "base/Exception.h"

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

// What loading one picture has cost so far, for those who watch the limits at work; the loader
// fills it as it goes, so that a refused picture tells how far it got.
struct PictureWork {
    // The work charged against the budget of drawing a metafile (kMostWork), or of a JPEG's passes
    // over its blocks (kMostJpegWork), and the last charge of it.
    double Charged = 0;
    double LastCharge = 0;
    // The pixels of the bitmaps made for the picture's own pixels, decoded or read (not the image
    // a metafile is drawn into), counted as each is made.
    double Pixels = 0;
    // The outlines, texts and bitmaps of a metafile handed to the painter, and the widest pen its
    // outlines were stroked with, in pixels of the picture.
    size_t Draws = 0;
    double WidestPen = 0;
    // The slots of a WMF object table looked at to place or free its objects.
    size_t SlotSteps = 0;
};

namespace picture_limits {

// ---- Metafiles (EMF, WMF) ----
// A metafile is drawn into an image no larger than this on either side; a larger one is scaled
// down.
constexpr int kLargestSide = 2048;
// A bitmap record whose side passes this is not drawn.
constexpr int kLargestBitmapSide = 30000;
// The painting one picture may ask for, in image pixels covered (a point counts as
// kPointWork pixels): around a second of drawing, far above what real drawings take.
constexpr double kMostWork = 1e9;
constexpr double kPointWork = 16;
// Filling an outline (a wide stroke is filled too): the work of each cell the rasterizer keeps,
// of each step it walks along an edge or the outline, and the cells its pool holds at first. A
// step along the columns of an edge outside the picture costs a share of a step along its rows.
constexpr double kCellWork = 100;
constexpr double kBandWork = 50;
constexpr double kPoolCells = 340;
constexpr double kOutsideColumnShare = 0.1;
// Each character is shaped and its glyph drawn: a glyph costs this many times the pixels of its
// square, whatever the glyph cache saves.
constexpr double kCharacterWork = 2000;
constexpr double kGlyphPixelWork = 16;
// Each font of another face, weight, style or size is looked up among the system's fonts.
constexpr double kFontWork = 5e5;
// Points and font sizes are held within this many picture perimeters of the picture.
constexpr double kReach = 8;
// Saved states nest no deeper than this; real drawings use a few levels.
constexpr size_t kDeepestSave = 4096;
// Saving a state and restoring it: the work of each, and the bytes a saved level keeps.
constexpr double kSaveWork = 250;
constexpr double kStateBytes = 2048;
// The painter keeps the list of clip operations since the clip was last replaced, and a saved
// level that changes the clip first copies the list: the work and the bytes of each entry
// copied. A clip that is a rasterized shape is kept as spans, with a line of them for each row
// of the picture; making one costs the work of a fill of its outline, of each row, and of each
// span combined with those of the clip before.
constexpr double kClipEntryWork = 40;
constexpr double kClipEntryBytes = 160;
constexpr double kClipRowWork = 20;
constexpr double kClipRowBytes = 16;
constexpr double kSpanWork = 10;
constexpr double kSpanBytes = 16;
// All the saved levels and the current one together keep no more than this.
constexpr double kMostStateBytes = 128 << 20;
// A bitmap record: the work of decoding each pixel of its source, and of drawing each pixel it
// covers: scaled or moved, rotated or sheared, or drawn as a texture (a source pixel covering
// this many device pixels or more is drawn so).
constexpr double kBitmapPixelWork = 6;
constexpr double kImagePixelWork = 1.5;
constexpr double kTransformedImagePixelWork = 3;
constexpr double kTexturedImagePixelWork = 8;
constexpr double kLargestSourcePixel = 256;

// ---- JPEG ----
// A progressive file of very many scans makes the decoder pass over every block once per scan.
constexpr int kMostJpegScans = 500;
// Each scan visits every block of its components, whatever data it holds, and in each block the
// coefficients of its spectral band: a visit costs as much as kJpegBlockWork coefficients. An
// arithmetic decoder resets its statistics at each restart, which costs as much as a few visits.
// The budget of these passes is about half a second of decoding; the largest picture within the
// size cap, three full components in libjpeg's usual progression, takes four fifths of it.
constexpr double kJpegBlockWork = 192;
constexpr double kJpegArithmeticRestartWork = 400;
constexpr double kMostJpegWork = 4e9;
// Each byte of entropy-coded data the decoder reads is decoded, in the same units: a byte of
// Huffman codes of a sequential scan, of a progressive one, and of arithmetic codes, which take
// several times longer. The budget is about two seconds of decoding.
constexpr double kJpegSequentialByteWork = 128;
constexpr double kJpegProgressiveByteWork = 256;
constexpr double kJpegArithmeticByteWork = 1280;
constexpr double kMostJpegDataWork = 1.6e10;
// The whole-image coefficients of a file of several scans and the bitmap it is decoded into stay
// under this: what the largest picture within the size cap takes with three full components.
constexpr long kMostJpegMemory = 640l << 20;

}  // namespace picture_limits
