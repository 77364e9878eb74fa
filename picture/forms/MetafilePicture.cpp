#include "picture/forms/MetafilePicture.h"

#include <uemf_safe.h>
#include <uwmf.h>

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "base/Gbk.h"
#include "base/NumberFormat.h"
#include "picture/forms/PictureLimits.h"

using namespace picture_limits;

namespace {

// Bounds-checked reads from one record.
class Record {
public:
    Record(const char* data, size_t size) : data_(data), size_(size) {}
    size_t Size() const { return size_; }
    bool Has(size_t offset, size_t bytes) const
    {
        return offset <= size_ && bytes <= size_ - offset;
    }
    template <typename T>
    T Get(size_t offset) const
    {
        T value;
        std::memset(&value, 0, sizeof value);
        if (Has(offset, sizeof value)) std::memcpy(&value, data_ + offset, sizeof value);
        return value;
    }
    const char* At(size_t offset) const { return data_ + offset; }

private:
    const char* data_;
    size_t size_;
};

QColor Colour(const U_COLORREF& c)
{
    return QColor(c.Red, c.Green, c.Blue);
}

Qt::PenStyle PenStyle(uint32_t style)
{
    switch (style & U_PS_STYLE_MASK) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

QBrush Brush(uint32_t style, const U_COLORREF& colour, uint32_t hatch)
{
    if (style == U_BS_NULL) return Qt::NoBrush;
    if (style == 2) {  // hatched
        static const Qt::BrushStyle patterns[] = {Qt::HorPattern,   Qt::VerPattern,
                                                  Qt::FDiagPattern, Qt::BDiagPattern,
                                                  Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(Colour(colour), hatch < 6 ? patterns[hatch] : Qt::SolidPattern);
    }
    return QBrush(Colour(colour));
}

// Where the parts of a device-independent bitmap lie, when its layout is one DecodeDib reads and
// its pixels are all there; Width is 0 otherwise.
struct DibLayout {
    int Width = 0, Rows = 0, Bpp = 0;
    bool BottomUp = false;
    size_t Colours = 0, TableAt = 0, Stride = 0;
    const unsigned char* Bits = nullptr;
};

DibLayout ReadDibLayout(const unsigned char* header, size_t headerSize, const unsigned char* bits,
                        size_t bitsSize)
{
    U_BITMAPINFOHEADER h;
    if (!header || headerSize < sizeof h) return {};
    std::memcpy(&h, header, sizeof h);
    if (h.biSize < sizeof h || h.biSize > headerSize || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biWidth > kLargestBitmapSide || std::abs(h.biHeight) > kLargestBitmapSide)
        return {};
    const int bpp = h.biBitCount;
    if (h.biCompression != U_BI_RGB && !(h.biCompression == U_BI_BITFIELDS && bpp == 32)) return {};
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return {};
    size_t colours = bpp <= 8 ? (h.biClrUsed ? h.biClrUsed : (1u << bpp)) : 0;
    size_t tableAt = h.biSize + (h.biCompression == U_BI_BITFIELDS ? 12 : 0);
    if (colours > 256 || tableAt + colours * 4 > headerSize) return {};
    if (!bits) {  // a packed bitmap: the pixels follow the colour table
        bits = header + tableAt + colours * 4;
        bitsSize = headerSize - (tableAt + colours * 4);
    }
    const int w = h.biWidth, rows = std::abs(h.biHeight);
    const size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
    if (stride * rows > bitsSize) return {};
    return {w, rows, bpp, h.biHeight > 0, colours, tableAt, stride, bits};
}

// Pens, brushes and fonts of the object table, and the state a drawing record reads.
struct GraphicsObject {
    enum Kind { None, Pen, Brush, Font } Type = None;
    QPen PenValue;
    QBrush BrushValue;
    QFont FontValue;
    double FontHeight = 0;  // logical units; negative: the character height without leading
    double Escapement = 0;  // tenths of a degree, counterclockwise
};

struct DeviceState {
    QPen Pen{QColor(Qt::black), 0};
    QBrush Brush{Qt::white};
    GraphicsObject Font;
    QColor TextColour{Qt::black};
    uint32_t TextAlign = 0;
    Qt::FillRule FillRule = Qt::OddEvenFill;
    int MapMode = U_MM_TEXT;
    QPointF WindowOrg{0, 0}, WindowExt{1, 1}, ViewportOrg{0, 0}, ViewportExt{1, 1};
    QTransform World;
    QPointF Current{0, 0};
    // The painter's clip: on or off; the entries of its list of clip operations (a saved level
    // that changes the clip first copies the list of the level it was saved from); whether the
    // raster engine keeps it as spans of a rasterized shape rather than as a rectangle of the
    // device, and how many; and the bytes this level holds for it.
    bool Clipped = false;
    int ClipEntries = 0;
    bool ClipOwned = false;
    bool ClipShaped = false;
    double ClipSpans = 0;
    double ClipBytes = 0;
};

// Qt's raster engine cuts an outline to the device before it rasterizes it when the outline
// reaches past this many device pixels, or is wider or taller than that.
constexpr double kQtCoordinateLimit = (1 << 23) - 1;

// Plays records on a painter over an image whose pixels map to the metafile's device units.
class Canvas {
public:
    Canvas(QImage& image, const QTransform& deviceToImage, double pixelsPerMm, PictureWork& work)
        : work_(work),
          painter_(&image),
          deviceToImage_(deviceToImage),
          pixelsPerMm_(pixelsPerMm),
          area_(image.rect()),
          reach_(kReach * 2 * (image.width() + image.height()))
    {
        painter_.setRenderHint(QPainter::Antialiasing);
        state_.Font.FontHeight = -12;
        Apply();
    }

    DeviceState& State() { return state_; }
    std::map<uint32_t, GraphicsObject>& Objects() { return objects_; }

    // The logical-to-device mapping changed.
    void Apply()
    {
        QTransform mapping;
        const DeviceState& s = state_;
        double sx = 1, sy = 1;
        switch (s.MapMode) {
        case U_MM_ANISOTROPIC:
        case U_MM_ISOTROPIC:
            sx = s.WindowExt.x() != 0 ? s.ViewportExt.x() / s.WindowExt.x() : 1;
            sy = s.WindowExt.y() != 0 ? s.ViewportExt.y() / s.WindowExt.y() : 1;
            if (s.MapMode == U_MM_ISOTROPIC) {
                double m = std::min(std::fabs(sx), std::fabs(sy));
                sx = sx < 0 ? -m : m;
                sy = sy < 0 ? -m : m;
            }
            break;
        case 2:
            sx = 0.1 * pixelsPerMm_, sy = -sx;
            break;  // 0.1 mm, y up
        case 3:
            sx = 0.01 * pixelsPerMm_, sy = -sx;
            break;  // 0.01 mm
        case 4:
            sx = 0.254 * pixelsPerMm_, sy = -sx;
            break;  // 0.01 inch
        case 5:
            sx = 0.0254 * pixelsPerMm_, sy = -sx;
            break;  // 0.001 inch
        case 6:
            sx = 25.4 / 1440 * pixelsPerMm_, sy = -sx;
            break;  // twips
        default:
            break;
        }
        if (s.MapMode == U_MM_TEXT)
            mapping.translate(s.ViewportOrg.x() - s.WindowOrg.x(),
                              s.ViewportOrg.y() - s.WindowOrg.y());
        else
            mapping = QTransform(sx, 0, 0, sy, s.ViewportOrg.x() - s.WindowOrg.x() * sx,
                                 s.ViewportOrg.y() - s.WindowOrg.y() * sy);
        const QTransform full = s.World * mapping * deviceToImage_;
        painter_.setTransform(full);
        const double entries[] = {full.m11(), full.m12(), full.m21(),
                                  full.m22(), full.dx(),  full.dy()};
        drawable_ = full.isInvertible() && std::all_of(std::begin(entries), std::end(entries),
                                                       [](double v) { return std::isfinite(v); });
        if (drawable_) inverse_ = full.inverted();
    }

    void Select(const GraphicsObject& object)
    {
        if (object.Type == GraphicsObject::Pen) state_.Pen = object.PenValue;
        if (object.Type == GraphicsObject::Brush) state_.Brush = object.BrushValue;
        if (object.Type == GraphicsObject::Font) state_.Font = object;
    }

    void SelectStock(uint32_t index)
    {
        static const int greys[] = {255, 192, 128, 64, 0};
        if (index <= 4) state_.Brush = QBrush(QColor(greys[index], greys[index], greys[index]));
        if (index == 5) state_.Brush = Qt::NoBrush;
        if (index == 6) state_.Pen = QPen(Qt::white, 0);
        if (index == 7) state_.Pen = QPen(Qt::black, 0);
        if (index == 8) state_.Pen = Qt::NoPen;
    }

    // Each level keeps a copy of the painter's state, and what it changes of the clip a copy of
    // its own: the levels are charged by what they keep.
    void Save()
    {
        if (stack_.size() >= kDeepestSave) throw PictureRefusal("too complex to draw");
        Spend(kSaveWork);
        stack_.push_back(state_);
        state_.ClipOwned = false;
        state_.ClipBytes = 0;
        Keep();
        painter_.save();
    }
    void Restore(int relative)
    {
        const long long levels = relative < 0 ? -static_cast<long long>(relative)
                                              : static_cast<long long>(stack_.size()) - relative;
        for (long long i = 0; i < levels && !stack_.empty(); ++i) {
            Spend(kSaveWork + kClipEntryWork * (state_.ClipOwned ? state_.ClipEntries : 0));
            clipBytes_ -= state_.ClipBytes;
            state_ = stack_.back();
            stack_.pop_back();
            painter_.restore();
        }
        Apply();
    }

    void BeginPath()
    {
        inPath_ = true;
        path_ = QPainterPath();
        path_.moveTo(state_.Current);
    }
    void EndPath() { inPath_ = false; }
    void CloseFigure()
    {
        if (inPath_) path_.closeSubpath();
    }
    void DrawPath(bool fill, bool stroke)
    {
        inPath_ = false;
        path_.setFillRule(state_.FillRule);
        if (Allow(path_, fill, stroke)) {
            painter_.setPen(stroke ? Pen() : QPen(Qt::NoPen));
            painter_.setBrush(fill ? state_.Brush : QBrush(Qt::NoBrush));
            painter_.drawPath(path_);
            ++work_.Draws;
        }
        path_ = QPainterPath();
    }

    void MoveTo(QPointF p)
    {
        p = Bound(p);
        state_.Current = p;
        if (inPath_) path_.moveTo(p);
    }
    void LineTo(QPointF p)
    {
        p = Bound(p);
        if (inPath_) {
            path_.lineTo(p);
        } else if (Allow(QPolygonF({state_.Current, p}), false, true)) {
            painter_.setPen(Pen());
            painter_.drawLine(state_.Current, p);
            ++work_.Draws;
        }
        state_.Current = p;
    }
    void Polyline(const QPolygonF& points, bool fromCurrent)
    {
        if (points.isEmpty()) return;
        QPolygonF line = Bound(points);
        if (fromCurrent) line.prepend(state_.Current);
        if (inPath_) {
            Spend(kPointWork * line.size());
            if (!fromCurrent) path_.moveTo(line.first());
            for (int i = 1; i < line.size(); ++i) path_.lineTo(line[i]);
        } else if (Allow(line, false, true)) {
            painter_.setPen(Pen());
            painter_.drawPolyline(line);
            ++work_.Draws;
        }
        if (fromCurrent) state_.Current = line.last();
    }
    void Bezier(const QPolygonF& points, bool fromCurrent)
    {
        QPolygonF all = Bound(points);
        if (fromCurrent) all.prepend(state_.Current);
        if (all.size() < 4) return;
        if (inPath_) Spend(kPointWork * all.size());
        QPainterPath curve(all.first());
        for (int i = 1; i + 2 < all.size(); i += 3) curve.cubicTo(all[i], all[i + 1], all[i + 2]);
        if (inPath_) {
            if (!fromCurrent) path_.moveTo(all.first());
            for (int i = 1; i + 2 < all.size(); i += 3)
                path_.cubicTo(all[i], all[i + 1], all[i + 2]);
        } else if (Allow(all, false, true)) {
            painter_.setPen(Pen());
            painter_.setBrush(Qt::NoBrush);
            painter_.drawPath(curve);
            ++work_.Draws;
        }
        if (fromCurrent) state_.Current = all.last();
    }
    void Polygons(const std::vector<QPolygonF>& polygons)
    {
        QPainterPath shape;
        shape.setFillRule(state_.FillRule);
        for (const QPolygonF& p : polygons) {
            shape.addPolygon(Bound(p));
            shape.closeSubpath();
        }
        if (inPath_) {
            Spend(kPointWork * shape.elementCount());
            path_.addPath(shape);
            return;
        }
        if (!Allow(shape, true, true)) return;
        painter_.setPen(Pen());
        painter_.setBrush(state_.Brush);
        painter_.drawPath(shape);
        ++work_.Draws;
    }
    void Rectangle(QRectF r, bool ellipse)
    {
        r = QRectF(Bound(r.topLeft()), Bound(r.bottomRight()));
        if (inPath_) {
            Spend(kPointWork * 4);
            if (ellipse)
                path_.addEllipse(r);
            else
                path_.addRect(r);
            return;
        }
        if (!Allow(QPolygonF(r), true, true)) return;
        painter_.setPen(Pen());
        painter_.setBrush(state_.Brush);
        if (ellipse)
            painter_.drawEllipse(r);
        else
            painter_.drawRect(r);
        ++work_.Draws;
    }
    // The painter intersects its clip with the rectangle, or takes the rectangle when clipping is
    // off. Under a rotation or a shear, or over a clip that is already a shape, the raster engine
    // rasterizes the rectangle's outline and combines its spans with those of the clip: that is
    // charged as a fill of the outline and a pass over both sets of spans.
    void ClipRect(const QRectF& r)
    {
        DeviceState& s = state_;
        const QTransform& t = painter_.transform();
        const bool replace = !s.Clipped;
        const bool shaped = t.type() > QTransform::TxScale || (!replace && s.ClipShaped);
        // A level's first change of a clip it shares copies the list of clip operations.
        if (!replace && !s.ClipOwned) Spend(kClipEntryWork * s.ClipEntries);
        const int entries = replace ? 1 : s.ClipEntries + 1;
        double spans = 0;
        if (shaped) {
            const double rows = area_.height();
            const QPolygonF on = t.map(QPolygonF(r));
            const double base = !replace && s.ClipShaped ? s.ClipSpans : rows;
            const Raster raster = Rasterize(on, {0}, 0);
            // The new clip lies within the outline, its border no longer than the outline's.
            spans = std::min(rows + raster.Cells, Area());
            Spend(kPointWork * on.size() + raster.Work + kClipRowWork * rows +
                  kSpanWork * (rows + raster.Cells + base));
        } else {
            Spend(kPointWork * 4);
        }
        s.Clipped = true;
        s.ClipEntries = entries;
        s.ClipOwned = true;
        s.ClipShaped = shaped;
        s.ClipSpans = spans;
        const double bytes = kClipEntryBytes * entries +
                             (shaped ? kClipRowBytes * area_.height() + kSpanBytes * spans : 0);
        clipBytes_ += bytes - s.ClipBytes;
        s.ClipBytes = bytes;
        Keep();
        painter_.setClipRect(r, Qt::IntersectClip);
    }
    void ResetClip()
    {
        Spend(kPointWork);
        state_.Clipped = false;
        painter_.setClipping(false);
    }

    // Text at a logical reference point, in the device size of the selected font.
    void Text(QPointF reference, const QString& text)
    {
        if (text.isEmpty() || !drawable_) return;
        Spend(kPointWork * text.size());
        const uint32_t align = state_.TextAlign;
        reference = align & U_TA_UPDATECP ? state_.Current : Bound(reference);
        const QTransform full = painter_.transform();
        const double scale = std::hypot(full.m12(), full.m22());
        QFont font = state_.Font.FontValue;
        double height = std::fabs(state_.Font.FontHeight) * scale;
        if (state_.Font.FontHeight > 0) height *= 0.8;  // a cell height includes the leading
        height = std::min(height, reach_);
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(height))));
        if (fonts_.insert(font.key()).second) Spend(kFontWork);
        Spend(text.size() * (kCharacterWork + kGlyphPixelWork * std::min(height * height, Area())));
        QFontMetricsF metrics(font);
        double width = metrics.horizontalAdvance(text);
        double dx = 0, dy = 0;
        if ((align & U_TA_CENTER) == U_TA_CENTER)
            dx = -width / 2;
        else if (align & U_TA_RIGHT)
            dx = -width;
        if ((align & U_TA_BASELINE) == U_TA_BASELINE)
            dy = 0;
        else if (align & U_TA_BOTTOM)
            dy = -metrics.descent();
        else
            dy = metrics.ascent();
        const QPointF at = full.map(reference);
        Spend(std::min(width * height, Area()));
        painter_.save();
        painter_.resetTransform();
        painter_.translate(at);
        painter_.rotate(-state_.Font.Escapement / 10.0);
        painter_.setFont(font);
        painter_.setPen(state_.TextColour);
        painter_.drawText(QPointF(dx, dy), text);
        ++work_.Draws;
        painter_.restore();
        if (align & U_TA_UPDATECP) state_.Current = full.inverted().map(at + QPointF(width, 0));
    }

    // A device-independent bitmap (see DecodeDib) drawn over the target. Its pixels and the
    // pixels the drawing covers are charged before the bitmap is decoded. Qt blits a bitmap scaled,
    // or under a rotation or a shear fetching each pixel through the inverse transform; when the
    // target passes the 16 bits of its fixed-point coordinates, a source pixel grows very large,
    // or the clip is a shape, it fills the target's outline with the bitmap as a texture, at
    // several times the cost.
    void Bitmap(const QRectF& target, const unsigned char* header, size_t headerSize,
                const unsigned char* bits, size_t bitsSize, const QRectF& source)
    {
        const DibLayout dib = ReadDibLayout(header, headerSize, bits, bitsSize);
        if (dib.Width == 0) return;
        CheckPictureSize(dib.Width, dib.Rows);
        if (!drawable_) return;
        Spend(kBitmapPixelWork * dib.Width * dib.Rows);
        const QPolygonF outline(target);
        if (!Allow(outline, true, false)) return;
        const QTransform& t = painter_.transform();
        const QRectF bounds = t.mapRect(target);
        // Qt takes a source side that is not positive for the rest of the bitmap.
        const double sourceWidth = source.width() > 0 ? source.width() : dib.Width - source.x();
        const double sourceHeight = source.height() > 0 ? source.height() : dib.Rows - source.y();
        const double largest = 0x7fff;
        const bool texture = std::fabs(target.width()) > largest ||
                             std::fabs(target.height()) > largest || bounds.width() > largest ||
                             bounds.height() > largest ||
                             bounds.width() >= kLargestSourcePixel * std::fabs(sourceWidth) ||
                             bounds.height() >= kLargestSourcePixel * std::fabs(sourceHeight) ||
                             (state_.Clipped && state_.ClipShaped);
        const double pixel = texture                          ? kTexturedImagePixelWork
                             : t.type() > QTransform::TxScale ? kTransformedImagePixelWork
                                                              : kImagePixelWork;
        Spend((pixel - 1) * Covered(t.map(outline), 0));
        work_.Pixels += static_cast<double>(dib.Width) * dib.Rows;
        const QImage image = DecodeDib(header, headerSize, bits, bitsSize);
        if (image.isNull()) return;
        painter_.drawImage(target, image, source);
        ++work_.Draws;
    }

private:
    double Area() const { return static_cast<double>(area_.width()) * area_.height(); }

    void Spend(double work)
    {
        work_.Charged += work;
        work_.LastCharge = work;
        if (work_.Charged > kMostWork) throw PictureRefusal("too complex to draw");
    }

    // The saved levels and the current one keep no more than their budget.
    void Keep() const
    {
        if (kStateBytes * static_cast<double>(stack_.size()) + clipBytes_ > kMostStateBytes)
            throw PictureRefusal("too complex to draw");
    }

    // The pixels of the picture within the bounding box of an outline (device pixels) widened by
    // a pen of the given width.
    double Covered(const QPolygonF& on, double pen) const
    {
        const QRectF box = on.boundingRect().adjusted(-pen, -pen, pen, pen) & QRectF(area_);
        return box.width() * box.height();
    }

    // A point that lies far outside the picture is drawn at the edge of its reach.
    QPointF Bound(QPointF p) const
    {
        if (!drawable_) return p;
        const QPointF d = painter_.transform().map(p);
        const QPointF held(std::clamp(d.x(), -reach_, reach_), std::clamp(d.y(), -reach_, reach_));
        return held == d ? p : inverse_.map(held);
    }
    QPolygonF Bound(const QPolygonF& points) const
    {
        QPolygonF held;
        held.reserve(points.size());
        for (const QPointF& p : points) held.append(Bound(p));
        return held;
    }

    // The pen, no wider on the image than twice the picture's perimeter (it then covers all of
    // it) and within the widths Qt strokes.
    QPen Pen() const
    {
        QPen pen = state_.Pen;
        const double scale = Scale(), width = pen.widthF();
        const double widest = std::min(2.0 * (area_.width() + area_.height()) / scale, 32767.0);
        if (width > 0 && scale > 0 && width > widest) pen.setWidthF(widest);
        work_.WidestPen = std::max(work_.WidestPen, pen.widthF() * scale);
        return pen;
    }
    double Scale() const
    {
        const QTransform& t = painter_.transform();
        return std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
    }

    // Charges the work of filling and stroking an outline (points in logical units, figures
    // starting at the given indices); false when nothing can be drawn.
    bool Allow(const QPolygonF& outline, bool fill, bool stroke,
               const std::vector<int>& figures = {0})
    {
        if (!drawable_) return false;
        const QTransform& t = painter_.transform();
        const QPolygonF on = t.map(outline);
        const double pen =
            stroke && state_.Pen.style() != Qt::NoPen ? std::max(1.0, Pen().widthF() * Scale()) : 0;
        const double covered = Covered(on, pen);
        double work = kPointWork * on.size();
        if (fill) work += covered + FillWork(on, figures, 0);
        if (pen > 0) {
            double length = 0;
            for (int i = 1; i < on.size(); ++i) length += QLineF(on[i - 1], on[i]).length();
            work += std::min(length * pen, covered);
            // A pen wider than a pixel is drawn as the fill of its outline.
            if (pen > 1) work += FillWork(on, figures, pen / 2);
        }
        Spend(work);
        return true;
    }
    bool Allow(const QPainterPath& path, bool fill, bool stroke)
    {
        QPolygonF outline;
        std::vector<int> figures;
        outline.reserve(path.elementCount());
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element& e = path.elementAt(i);
            if (e.isMoveTo() || figures.empty()) figures.push_back(i);
            outline.append(e);
        }
        return Allow(outline, fill, stroke, figures);
    }

    // The rasterizer's work for the closed figures of an outline (device pixels), each edge
    // widened by halfWidth on both sides. It leaves a cell for each pixel an edge passes through
    // and, when its pool of cells is full, goes over the rows again in bands: for each band it
    // walks the whole outline, and every edge that reaches the band from end to end, its rows
    // and its columns outside the picture too. An outline that reaches past Qt's coordinate
    // limit is first cut to the picture, and walked only there.
    struct Raster {
        double Cells = 0, Work = 0;
    };
    Raster Rasterize(const QPolygonF& on, const std::vector<int>& figures, double halfWidth) const
    {
        const int rows = area_.height();
        const double columns = area_.width() + 2.0;
        const double sides = halfWidth > 0 ? 2 : 1;
        const QRectF extent =
            on.boundingRect().adjusted(-halfWidth, -halfWidth, halfWidth, halfWidth);
        const bool cut =
            extent.left() < -kQtCoordinateLimit || extent.top() < -kQtCoordinateLimit ||
            extent.right() > kQtCoordinateLimit || extent.bottom() > kQtCoordinateLimit ||
            extent.width() > kQtCoordinateLimit || extent.height() > kQtCoordinateLimit;
        struct Edge {
            double Span;  // its rows within the picture
            double Walk;  // the rows and columns walked over for each band it reaches
        };
        std::vector<Edge> edges;
        double cells = 0, top = rows, bottom = -1;
        auto add = [&](QPointF a, QPointF b) {
            const double high = std::min(a.y(), b.y()) - halfWidth;
            const double low = std::max(a.y(), b.y()) + halfWidth;
            if (!(low >= 0 && high < rows)) return;
            const double first = std::max(0.0, std::floor(high));
            const double last = std::min(rows - 1.0, std::floor(low));
            const double dx = std::fabs(a.x() - b.x());
            const double across = std::min(dx, columns);
            const double span = last - first + 1;
            const double outside = cut ? 0
                                       : (std::floor(low) - std::floor(high) + 1 - span) +
                                             kOutsideColumnShare * (dx - across);
            edges.push_back({span, span + sides * outside});
            cells += sides * (1 + across / std::max(1.0, low - high)) * span;
            top = std::min(top, first), bottom = std::max(bottom, last);
        };
        for (size_t f = 0; f < figures.size(); ++f) {
            const int begin = figures[f];
            const int end = f + 1 < figures.size() ? figures[f + 1] : static_cast<int>(on.size());
            for (int i = begin + 1; i < end; ++i) add(on[i - 1], on[i]);
            if (end - begin > 2) add(on[end - 1], on[begin]);
        }
        if (cut) {  // the sides of the picture it was cut by
            add(QPointF(0, 0), QPointF(0, rows));
            add(QPointF(columns, 0), QPointF(columns, rows));
        }
        if (edges.empty()) return {};
        const double bands = std::max(1.0, cells / kPoolCells);
        const double bandRows = (bottom - top + 1) / bands;
        double walked = bands * static_cast<double>(edges.size());
        for (const Edge& e : edges) walked += e.Walk * (1 + e.Span / bandRows);
        return {cells, kCellWork * cells + kBandWork * walked};
    }
    double FillWork(const QPolygonF& on, const std::vector<int>& figures, double halfWidth) const
    {
        return Rasterize(on, figures, halfWidth).Work;
    }

    PictureWork& work_;
    QPainter painter_;
    QTransform deviceToImage_;
    double pixelsPerMm_;
    QRect area_;
    double reach_;
    bool drawable_ = true;
    QTransform inverse_;
    DeviceState state_;
    std::vector<DeviceState> stack_;
    double clipBytes_ = 0;  // what the levels hold for their clips
    std::map<uint32_t, GraphicsObject> objects_;
    std::set<QString> fonts_;  // those text was drawn in
    bool inPath_ = false;
    QPainterPath path_;
};

QFont FontFromFace(const QString& face, int weight, bool italic)
{
    QFont font(face.isEmpty() ? QString("Sans Serif") : face);
    font.setWeight(weight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(italic);
    return font;
}

// The image for a picture of width x height device units, scaled down when it is very large.
QImage MakeImage(double width, double height, double& scale)
{
    scale = 1;
    double largest = std::max(width, height);
    if (largest > kLargestSide) scale = kLargestSide / largest;
    int w = std::max(1, static_cast<int>(std::lround(width * scale)));
    int h = std::max(1, static_cast<int>(std::lround(height * scale)));
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

// ---- EMF ----

template <typename Point>
QPolygonF EmfPoints(const Record& r, size_t offset, uint32_t count)
{
    QPolygonF points;
    if (!r.Has(offset, static_cast<size_t>(count) * sizeof(Point))) return points;
    points.reserve(static_cast<int>(count));
    for (uint32_t i = 0; i < count; ++i) {
        Point p = r.Get<Point>(offset + i * sizeof(Point));
        points.append(QPointF(p.x, p.y));
    }
    return points;
}

template <typename Point>
std::vector<QPolygonF> EmfPolyPolygons(const Record& r)
{
    std::vector<QPolygonF> polygons;
    uint32_t n = r.Get<uint32_t>(24);
    size_t counts = 32, points = counts + static_cast<size_t>(n) * 4;
    if (!r.Has(counts, static_cast<size_t>(n) * 4)) return polygons;
    for (uint32_t k = 0; k < n; ++k) {
        uint32_t c = r.Get<uint32_t>(counts + k * 4);
        QPolygonF p = EmfPoints<Point>(r, points, c);
        if (p.size() != static_cast<int>(c)) break;
        polygons.push_back(p);
        points += static_cast<size_t>(c) * sizeof(Point);
    }
    return polygons;
}

QRectF EmfRect(const U_RECTL& r)
{
    return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
}

QTransform EmfTransform(const U_XFORM& x)
{
    return QTransform(x.eM11, x.eM12, x.eM21, x.eM22, x.eDx, x.eDy);
}

void PlayEmfRecord(Canvas& canvas, const Record& r, uint32_t type)
{
    DeviceState& s = canvas.State();
    switch (type) {
    case U_EMR_SETMAPMODE:
        s.MapMode = static_cast<int>(r.Get<uint32_t>(8));
        canvas.Apply();
        break;
    case U_EMR_SETWINDOWEXTEX: {
        U_SIZEL e = r.Get<U_SIZEL>(8);
        s.WindowExt = QPointF(e.cx, e.cy);
        canvas.Apply();
        break;
    }
    case U_EMR_SETWINDOWORGEX: {
        U_POINTL o = r.Get<U_POINTL>(8);
        s.WindowOrg = QPointF(o.x, o.y);
        canvas.Apply();
        break;
    }
    case U_EMR_SETVIEWPORTEXTEX: {
        U_SIZEL e = r.Get<U_SIZEL>(8);
        s.ViewportExt = QPointF(e.cx, e.cy);
        canvas.Apply();
        break;
    }
    case U_EMR_SETVIEWPORTORGEX: {
        U_POINTL o = r.Get<U_POINTL>(8);
        s.ViewportOrg = QPointF(o.x, o.y);
        canvas.Apply();
        break;
    }
    case U_EMR_SETWORLDTRANSFORM:
        s.World = EmfTransform(r.Get<U_XFORM>(8));
        canvas.Apply();
        break;
    case U_EMR_MODIFYWORLDTRANSFORM: {
        QTransform x = EmfTransform(r.Get<U_XFORM>(8));
        uint32_t mode = r.Get<uint32_t>(8 + sizeof(U_XFORM));
        if (mode == U_MWT_IDENTITY) s.World = QTransform();
        if (mode == U_MWT_LEFTMULTIPLY) s.World = x * s.World;
        if (mode == U_MWT_RIGHTMULTIPLY) s.World = s.World * x;
        canvas.Apply();
        break;
    }
    case U_EMR_SAVEDC:
        canvas.Save();
        break;
    case U_EMR_RESTOREDC:
        canvas.Restore(r.Get<int32_t>(8));
        break;
    case U_EMR_SETTEXTCOLOR:
        s.TextColour = Colour(r.Get<U_COLORREF>(8));
        break;
    case U_EMR_SETTEXTALIGN:
        s.TextAlign = r.Get<uint32_t>(8);
        break;
    case U_EMR_SETPOLYFILLMODE:
        s.FillRule = r.Get<uint32_t>(8) == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case U_EMR_CREATEPEN: {
        U_LOGPEN lp = r.Get<U_LOGPEN>(12);
        GraphicsObject o;
        o.Type = GraphicsObject::Pen;
        o.PenValue = QPen(Colour(lp.lopnColor), lp.lopnWidth.x);
        o.PenValue.setStyle(PenStyle(lp.lopnStyle));
        o.PenValue.setCapStyle(Qt::RoundCap);
        o.PenValue.setJoinStyle(Qt::RoundJoin);
        canvas.Objects()[r.Get<uint32_t>(8)] = o;
        break;
    }
    case U_EMR_EXTCREATEPEN: {
        U_EXTLOGPEN ep = r.Get<U_EXTLOGPEN>(28);
        GraphicsObject o;
        o.Type = GraphicsObject::Pen;
        bool geometric = (ep.elpPenStyle & U_PS_GEOMETRIC) != 0;
        o.PenValue = QPen(Colour(ep.elpColor), geometric ? ep.elpWidth : 0);
        o.PenValue.setStyle(ep.elpBrushStyle == U_BS_NULL ? Qt::NoPen : PenStyle(ep.elpPenStyle));
        o.PenValue.setCapStyle((ep.elpPenStyle & 0xF00) == U_PS_ENDCAP_FLAT ? Qt::FlatCap
                               : (ep.elpPenStyle & 0xF00) == 0x100          ? Qt::SquareCap
                                                                            : Qt::RoundCap);
        o.PenValue.setJoinStyle((ep.elpPenStyle & 0xF000) == U_PS_JOIN_MITER ? Qt::MiterJoin
                                : (ep.elpPenStyle & 0xF000) == 0x1000        ? Qt::BevelJoin
                                                                             : Qt::RoundJoin);
        canvas.Objects()[r.Get<uint32_t>(8)] = o;
        break;
    }
    case U_EMR_CREATEBRUSHINDIRECT: {
        U_LOGBRUSH lb = r.Get<U_LOGBRUSH>(12);
        GraphicsObject o;
        o.Type = GraphicsObject::Brush;
        o.BrushValue = Brush(lb.lbStyle, lb.lbColor, lb.lbHatch);
        canvas.Objects()[r.Get<uint32_t>(8)] = o;
        break;
    }
    case U_EMR_EXTCREATEFONTINDIRECTW: {
        U_LOGFONT lf = r.Get<U_LOGFONT>(12);
        size_t n = 0;
        while (n < U_LF_FACESIZE && lf.lfFaceName[n]) ++n;
        QString face = QString::fromUtf16(reinterpret_cast<const char16_t*>(lf.lfFaceName),
                                          static_cast<qsizetype>(n));
        GraphicsObject o;
        o.Type = GraphicsObject::Font;
        o.FontValue = FontFromFace(face, lf.lfWeight, lf.lfItalic != 0);
        o.FontValue.setUnderline(lf.lfUnderline != 0);
        o.FontHeight = lf.lfHeight;
        o.Escapement = lf.lfEscapement;
        canvas.Objects()[r.Get<uint32_t>(8)] = o;
        break;
    }
    case U_EMR_SELECTOBJECT: {
        uint32_t index = r.Get<uint32_t>(8);
        if (index & U_STOCK_OBJECT) {
            canvas.SelectStock(index & ~U_STOCK_OBJECT);
        } else {
            auto found = canvas.Objects().find(index);
            if (found != canvas.Objects().end()) canvas.Select(found->second);
        }
        break;
    }
    case U_EMR_DELETEOBJECT:
        canvas.Objects().erase(r.Get<uint32_t>(8));
        break;
    case U_EMR_MOVETOEX: {
        U_POINTL p = r.Get<U_POINTL>(8);
        canvas.MoveTo(QPointF(p.x, p.y));
        break;
    }
    case U_EMR_LINETO: {
        U_POINTL p = r.Get<U_POINTL>(8);
        canvas.LineTo(QPointF(p.x, p.y));
        break;
    }
    case U_EMR_POLYLINE:
        canvas.Polyline(EmfPoints<U_POINTL>(r, 28, r.Get<uint32_t>(24)), false);
        break;
    case U_EMR_POLYLINE16:
        canvas.Polyline(EmfPoints<U_POINT16>(r, 28, r.Get<uint32_t>(24)), false);
        break;
    case U_EMR_POLYLINETO:
        canvas.Polyline(EmfPoints<U_POINTL>(r, 28, r.Get<uint32_t>(24)), true);
        break;
    case U_EMR_POLYLINETO16:
        canvas.Polyline(EmfPoints<U_POINT16>(r, 28, r.Get<uint32_t>(24)), true);
        break;
    case U_EMR_POLYBEZIER:
        canvas.Bezier(EmfPoints<U_POINTL>(r, 28, r.Get<uint32_t>(24)), false);
        break;
    case U_EMR_POLYBEZIER16:
        canvas.Bezier(EmfPoints<U_POINT16>(r, 28, r.Get<uint32_t>(24)), false);
        break;
    case U_EMR_POLYBEZIERTO:
        canvas.Bezier(EmfPoints<U_POINTL>(r, 28, r.Get<uint32_t>(24)), true);
        break;
    case U_EMR_POLYBEZIERTO16:
        canvas.Bezier(EmfPoints<U_POINT16>(r, 28, r.Get<uint32_t>(24)), true);
        break;
    case U_EMR_POLYGON:
        canvas.Polygons({EmfPoints<U_POINTL>(r, 28, r.Get<uint32_t>(24))});
        break;
    case U_EMR_POLYGON16:
        canvas.Polygons({EmfPoints<U_POINT16>(r, 28, r.Get<uint32_t>(24))});
        break;
    case U_EMR_POLYPOLYGON:
        canvas.Polygons(EmfPolyPolygons<U_POINTL>(r));
        break;
    case U_EMR_POLYPOLYGON16:
        canvas.Polygons(EmfPolyPolygons<U_POINT16>(r));
        break;
    case U_EMR_POLYPOLYLINE:
        for (const QPolygonF& p : EmfPolyPolygons<U_POINTL>(r)) canvas.Polyline(p, false);
        break;
    case U_EMR_POLYPOLYLINE16:
        for (const QPolygonF& p : EmfPolyPolygons<U_POINT16>(r)) canvas.Polyline(p, false);
        break;
    case U_EMR_RECTANGLE:
        canvas.Rectangle(EmfRect(r.Get<U_RECTL>(8)), false);
        break;
    case U_EMR_ELLIPSE:
        canvas.Rectangle(EmfRect(r.Get<U_RECTL>(8)), true);
        break;
    case U_EMR_BEGINPATH:
        canvas.BeginPath();
        break;
    case U_EMR_ENDPATH:
        canvas.EndPath();
        break;
    case U_EMR_CLOSEFIGURE:
        canvas.CloseFigure();
        break;
    case U_EMR_FILLPATH:
        canvas.DrawPath(true, false);
        break;
    case U_EMR_STROKEPATH:
        canvas.DrawPath(false, true);
        break;
    case U_EMR_STROKEANDFILLPATH:
        canvas.DrawPath(true, true);
        break;
    case U_EMR_INTERSECTCLIPRECT:
        canvas.ClipRect(EmfRect(r.Get<U_RECTL>(8)));
        break;
    case U_EMR_EXTSELECTCLIPRGN:
        if (r.Get<uint32_t>(12) == U_RGN_COPY && r.Get<uint32_t>(8) == 0) canvas.ResetClip();
        break;
    case U_EMR_EXTTEXTOUTW: {
        U_EMRTEXT t = r.Get<U_EMRTEXT>(36);
        size_t bytes = static_cast<size_t>(t.nChars) * 2;
        if (!r.Has(t.offString, bytes)) break;
        std::u16string text(t.nChars, u'\0');
        std::memcpy(&text[0], r.At(t.offString), bytes);
        canvas.Text(QPointF(t.ptlReference.x, t.ptlReference.y), QString::fromStdU16String(text));
        break;
    }
    case U_EMR_STRETCHDIBITS: {
        U_EMRSTRETCHDIBITS d = r.Get<U_EMRSTRETCHDIBITS>(0);
        if (!r.Has(d.offBmiSrc, d.cbBmiSrc) || !r.Has(d.offBitsSrc, d.cbBitsSrc)) break;
        canvas.Bitmap(QRectF(d.Dest.x, d.Dest.y, d.cDest.x, d.cDest.y),
                      reinterpret_cast<const unsigned char*>(r.At(d.offBmiSrc)), d.cbBmiSrc,
                      reinterpret_cast<const unsigned char*>(r.At(d.offBitsSrc)), d.cbBitsSrc,
                      QRectF(d.Src.x, d.Src.y, d.cSrc.x, d.cSrc.y));
        break;
    }
    default:
        break;
    }
}

// ---- WMF ----

QPolygonF WmfPoints(const char* data, size_t count, const char* end)
{
    QPolygonF points;
    if (!data || end < data || static_cast<size_t>(end - data) / 4 < count) return points;
    for (size_t i = 0; i < count; ++i) {
        U_POINT16 p;
        std::memcpy(&p, data + 4 * i, sizeof p);
        points.append(QPointF(p.x, p.y));
    }
    return points;
}

QRectF WmfRect(const U_RECT16& r)
{
    return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
}

// WMF objects take the lowest free slot of the table. Slots past the records' 16-bit indices
// could never be selected and are not made.
class WmfSlots {
public:
    explicit WmfSlots(PictureWork& work) : work_(work) {}
    bool Take(uint32_t& slot)
    {
        ++work_.SlotSteps;
        if (!released_.empty()) {
            slot = *released_.begin();
            released_.erase(released_.begin());
            return true;
        }
        if (next_ > 0xFFFF) return false;
        slot = next_++;
        return true;
    }
    void Release(uint32_t slot)
    {
        ++work_.SlotSteps;
        released_.insert(slot);
    }

private:
    PictureWork& work_;
    std::set<uint32_t> released_;  // free slots below next_
    uint32_t next_ = 0;
};

void AddWmfObject(std::map<uint32_t, GraphicsObject>& objects, WmfSlots& freeSlots,
                  const GraphicsObject& object)
{
    uint32_t slot;
    if (freeSlots.Take(slot)) objects[slot] = object;
}

QString WmfText(const char* text, int16_t length, const char* end)
{
    if (!text || length <= 0 || end < text || end - text < length) return QString();
    return QString::fromStdString(DisplayTextUtf8(std::string(text, static_cast<size_t>(length))));
}

// libUEMF reads the fields of a text record at offsets that follow from its string length without
// looking at the record's size: they must lie within it.
bool WmfTextFits(const char* c, const char* end, bool extended)
{
    const size_t size = static_cast<size_t>(end - c);
    const size_t lengthAt = extended ? 10 : 6, fixed = extended ? 14 : 8;
    if (size < fixed) return false;
    int16_t length;
    std::memcpy(&length, c + lengthAt, sizeof length);
    if (length < 0) return false;
    const size_t text = (static_cast<size_t>(length) + 1) & ~size_t(1);
    if (!extended) return fixed + text + 4 <= size;  // the string, then y and x
    uint16_t options;
    std::memcpy(&options, c + 12, sizeof options);
    const size_t rect = options & (U_ETO_OPAQUE | U_ETO_CLIPPED) ? 8 : 0;
    return fixed + rect + static_cast<size_t>(length) <= size;
}

void PlayWmfRecord(Canvas& canvas, WmfSlots& freeSlots, const char* c, const char* end,
                   uint8_t type)
{
    DeviceState& s = canvas.State();
    auto& objects = canvas.Objects();
    U_POINT16 p{0, 0};
    U_RECT16 rect{0, 0, 0, 0};
    switch (type) {
    case U_WMR_SETWINDOWORG:
        if (U_WMRSETWINDOWORG_get(c, &p)) s.WindowOrg = QPointF(p.x, p.y), canvas.Apply();
        break;
    case U_WMR_SETWINDOWEXT:
        if (U_WMRSETWINDOWEXT_get(c, &p)) s.WindowExt = QPointF(p.x, p.y), canvas.Apply();
        break;
    case U_WMR_SAVEDC:
        canvas.Save();
        break;
    case U_WMR_RESTOREDC: {
        int16_t dc = -1;
        if (U_WMRRESTOREDC_get(c, &dc)) canvas.Restore(dc);
        break;
    }
    case U_WMR_SETTEXTCOLOR: {
        U_COLORREF colour;
        if (U_WMRSETTEXTCOLOR_get(c, &colour)) s.TextColour = Colour(colour);
        break;
    }
    case U_WMR_SETTEXTALIGN: {
        uint16_t mode = 0;
        if (U_WMRSETTEXTALIGN_get(c, &mode)) s.TextAlign = mode;
        break;
    }
    case U_WMR_SETPOLYFILLMODE: {
        uint16_t mode = 0;
        if (U_WMRSETPOLYFILLMODE_get(c, &mode))
            s.FillRule = mode == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    }
    case U_WMR_CREATEPENINDIRECT: {
        U_PEN pen;
        if (!U_WMRCREATEPENINDIRECT_get(c, &pen)) break;
        GraphicsObject o;
        o.Type = GraphicsObject::Pen;
        o.PenValue = QPen(Colour(pen.Color), pen.Widthw[0]);
        o.PenValue.setStyle(PenStyle(pen.Style));
        o.PenValue.setCapStyle(Qt::RoundCap);
        o.PenValue.setJoinStyle(Qt::RoundJoin);
        AddWmfObject(objects, freeSlots, o);
        break;
    }
    case U_WMR_CREATEBRUSHINDIRECT: {
        const char* data = nullptr;
        if (!U_WMRCREATEBRUSHINDIRECT_get(c, &data) || !data || end - data < 8) break;
        U_WLOGBRUSH lb;
        std::memcpy(&lb, data, sizeof lb);
        GraphicsObject o;
        o.Type = GraphicsObject::Brush;
        o.BrushValue = Brush(lb.Style, lb.Color, lb.Hatch);
        AddWmfObject(objects, freeSlots, o);
        break;
    }
    case U_WMR_CREATEFONTINDIRECT: {
        const char* data = nullptr;
        if (!U_WMRCREATEFONTINDIRECT_get(c, &data) || !data || end - data < 18) break;
        int16_t head[5];
        std::memcpy(head, data, sizeof head);
        std::string face;
        for (const char* f = data + 18; f < end && *f && face.size() < 32; ++f) face += *f;
        GraphicsObject o;
        o.Type = GraphicsObject::Font;
        o.FontValue =
            FontFromFace(QString::fromStdString(DisplayTextUtf8(face)), head[4], data[10] != 0);
        o.FontHeight = head[0];
        o.Escapement = head[2];
        AddWmfObject(objects, freeSlots, o);
        break;
    }
    // Objects that are not drawn still take their slot.
    case U_WMR_CREATEPALETTE:
    case U_WMR_CREATEPATTERNBRUSH:
    case U_WMR_DIBCREATEPATTERNBRUSH:
    case U_WMR_CREATEREGION: {
        GraphicsObject o;
        if (type != U_WMR_CREATEPALETTE && type != U_WMR_CREATEREGION) {
            o.Type = GraphicsObject::Brush;
            o.BrushValue = QBrush(Qt::gray);
        }
        AddWmfObject(objects, freeSlots, o);
        break;
    }
    case U_WMR_SELECTOBJECT: {
        uint16_t index = 0;
        if (!U_WMRSELECTOBJECT_get(c, &index)) break;
        auto found = objects.find(index);
        if (found != objects.end()) canvas.Select(found->second);
        break;
    }
    case U_WMR_DELETEOBJECT: {
        uint16_t index = 0;
        if (U_WMRDELETEOBJECT_get(c, &index) && objects.erase(index)) freeSlots.Release(index);
        break;
    }
    case U_WMR_MOVETO:
        if (U_WMRMOVETO_get(c, &p)) canvas.MoveTo(QPointF(p.x, p.y));
        break;
    case U_WMR_LINETO:
        if (U_WMRLINETO_get(c, &p)) canvas.LineTo(QPointF(p.x, p.y));
        break;
    case U_WMR_POLYLINE:
    case U_WMR_POLYGON: {
        uint16_t n = 0;
        const char* data = nullptr;
        bool ok = type == U_WMR_POLYLINE ? U_WMRPOLYLINE_get(c, &n, &data)
                                         : U_WMRPOLYGON_get(c, &n, &data);
        if (!ok) break;
        QPolygonF points = WmfPoints(data, n, end);
        if (type == U_WMR_POLYLINE)
            canvas.Polyline(points, false);
        else
            canvas.Polygons({points});
        break;
    }
    case U_WMR_POLYPOLYGON: {
        uint16_t n = 0;
        const uint16_t* counts = nullptr;
        const char* data = nullptr;
        if (!U_WMRPOLYPOLYGON_get(c, &n, &counts, &data) || !counts) break;
        const char* countBytes = reinterpret_cast<const char*>(counts);
        if (end - countBytes < 2 * static_cast<long>(n)) break;
        std::vector<QPolygonF> polygons;
        for (uint16_t k = 0; k < n; ++k) {
            uint16_t count;
            std::memcpy(&count, countBytes + 2 * k, sizeof count);
            QPolygonF points = WmfPoints(data, count, end);
            if (points.size() != count) break;
            polygons.push_back(points);
            data += 4 * static_cast<size_t>(count);
        }
        canvas.Polygons(polygons);
        break;
    }
    case U_WMR_RECTANGLE:
        if (U_WMRRECTANGLE_get(c, &rect)) canvas.Rectangle(WmfRect(rect), false);
        break;
    case U_WMR_ELLIPSE:
        if (U_WMRELLIPSE_get(c, &rect)) canvas.Rectangle(WmfRect(rect), true);
        break;
    case U_WMR_INTERSECTCLIPRECT:
        if (U_WMRINTERSECTCLIPRECT_get(c, &rect)) canvas.ClipRect(WmfRect(rect));
        break;
    case U_WMR_TEXTOUT: {
        int16_t length = 0;
        const char* text = nullptr;
        if (WmfTextFits(c, end, false) && U_WMRTEXTOUT_get(c, &p, &length, &text))
            canvas.Text(QPointF(p.x, p.y), WmfText(text, length, end));
        break;
    }
    case U_WMR_EXTTEXTOUT: {
        int16_t length = 0;
        uint16_t options = 0;
        const char* text = nullptr;
        const int16_t* dx = nullptr;
        if (WmfTextFits(c, end, true) &&
            U_WMREXTTEXTOUT_get(c, &p, &length, &options, &text, &dx, &rect))
            canvas.Text(QPointF(p.x, p.y), WmfText(text, length, end));
        break;
    }
    case U_WMR_STRETCHDIB:
    case U_WMR_DIBSTRETCHBLT: {
        U_POINT16 dst, cDst, src, cSrc;
        uint16_t usage = 0;
        uint32_t rop = 0;
        const char* dib = nullptr;
        bool ok = type == U_WMR_STRETCHDIB
                      ? U_WMRSTRETCHDIB_get(c, &dst, &cDst, &src, &cSrc, &usage, &rop, &dib)
                      : U_WMRDIBSTRETCHBLT_get(c, &dst, &cDst, &src, &cSrc, &rop, &dib);
        if (!ok || !dib || dib >= end) break;
        canvas.Bitmap(QRectF(dst.x, dst.y, cDst.x, cDst.y),
                      reinterpret_cast<const unsigned char*>(dib), static_cast<size_t>(end - dib),
                      nullptr, 0, QRectF(src.x, src.y, cSrc.x, cSrc.y));
        break;
    }
    default:
        break;
    }
}

}  // namespace

QImage DecodeDib(const unsigned char* header, size_t headerSize, const unsigned char* bits,
                 size_t bitsSize)
{
    const DibLayout dib = ReadDibLayout(header, headerSize, bits, bitsSize);
    if (dib.Width == 0) return QImage();
    const int w = dib.Width, rows = dib.Rows, bpp = dib.Bpp;
    const size_t stride = dib.Stride;
    bits = dib.Bits;
    CheckPictureSize(w, rows);
    std::vector<QRgb> table(dib.Colours);
    for (size_t i = 0; i < dib.Colours; ++i) {
        const unsigned char* q = header + dib.TableAt + 4 * i;
        table[i] = qRgb(q[2], q[1], q[0]);
    }
    QImage image(w, rows, QImage::Format_RGB32);
    if (image.isNull()) throw PictureRefusal(CFormat("too large (%d x %d pixels)", w, rows));
    for (int y = 0; y < rows; ++y) {
        const unsigned char* line = bits + stride * static_cast<size_t>(y);
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(dib.BottomUp ? rows - 1 - y : y));
        for (int x = 0; x < w; ++x) {
            switch (bpp) {
            case 1:
            case 4:
            case 8: {
                int perByte = 8 / bpp;
                int shift = 8 - bpp * (x % perByte + 1);
                size_t index = (line[x / perByte] >> shift) & ((1 << bpp) - 1);
                out[x] = index < table.size() ? table[index] : qRgb(0, 0, 0);
                break;
            }
            case 16: {
                uint16_t v = static_cast<uint16_t>(line[2 * x] | (line[2 * x + 1] << 8));
                out[x] = qRgb(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31,
                              (v & 31) * 255 / 31);
                break;
            }
            case 24:
                out[x] = qRgb(line[3 * x + 2], line[3 * x + 1], line[3 * x]);
                break;
            default:
                out[x] = qRgb(line[4 * x + 2], line[4 * x + 1], line[4 * x]);
                break;
            }
        }
    }
    return image;
}

QImage PlayEnhancedMetafile(const std::string& bytes, PictureWork* work)
{
    PictureWork uncounted;
    PictureWork& counted = work ? *work : uncounted;
    if (bytes.size() < sizeof(U_EMRHEADER)) return QImage();
    U_EMRHEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.emr.iType != U_EMR_HEADER || header.dSignature != U_ENHMETA_SIGNATURE)
        return QImage();
    double pixelsPerMm = header.szlMillimeters.cx > 0 && header.szlDevice.cx > 0
                             ? static_cast<double>(header.szlDevice.cx) / header.szlMillimeters.cx
                             : 96 / 25.4;
    QRectF bounds(QPointF(header.rclBounds.left, header.rclBounds.top),
                  QPointF(header.rclBounds.right + 1.0, header.rclBounds.bottom + 1.0));
    if (bounds.width() <= 1 || bounds.height() <= 1) {
        // No device bounds: the frame, in 0.01 mm.
        bounds =
            QRectF(QPointF(header.rclFrame.left, header.rclFrame.top) * 0.01 * pixelsPerMm,
                   QPointF(header.rclFrame.right, header.rclFrame.bottom) * 0.01 * pixelsPerMm);
        if (bounds.width() <= 1 || bounds.height() <= 1) return QImage();
    }
    double scale;
    QImage image = MakeImage(bounds.width(), bounds.height(), scale);
    QTransform toImage;
    toImage.scale(scale, scale);
    toImage.translate(-bounds.left(), -bounds.top());
    {
        Canvas canvas(image, toImage, pixelsPerMm, counted);
        std::vector<uint32_t> buffer;  // each record aligned, as the checks read it in place
        size_t at = 0;
        while (at + 8 <= bytes.size()) {
            U_EMR emr;
            std::memcpy(&emr, bytes.data() + at, sizeof emr);
            if (emr.nSize < 8 || emr.nSize % 4 != 0 || emr.nSize > bytes.size() - at) break;
            buffer.assign(emr.nSize / 4, 0);
            std::memcpy(buffer.data(), bytes.data() + at, emr.nSize);
            const char* record = reinterpret_cast<const char*>(buffer.data());
            if (emr.iType == U_EMR_EOF) break;
            if (U_emf_record_safe(record))
                PlayEmfRecord(canvas, Record(record, emr.nSize), emr.iType);
            at += emr.nSize;
        }
    }
    return image;
}

QImage PlayWindowsMetafile(const std::string& bytes, PictureWork* work)
{
    PictureWork uncounted;
    PictureWork& counted = work ? *work : uncounted;
    std::vector<uint32_t> buffer(bytes.size() / 4 + 1, 0);
    std::memcpy(buffer.data(), bytes.data(), bytes.size());
    const char* contents = reinterpret_cast<const char*>(buffer.data());
    const char* end = contents + bytes.size();
    U_WMRPLACEABLE placeable;
    U_WMRHEADER header;
    std::memset(&placeable, 0, sizeof placeable);
    int headerSize = bytes.size() >= 18 ? wmfheader_get(contents, end, &placeable, &header) : 0;
    if (headerSize <= 0) return QImage();

    // The frame: the placeable rectangle, else the first window origin and extent.
    QRectF frame;
    double unitsPerInch = 0;
    if (placeable.Key == 0x9AC6CDD7 && placeable.Inch > 0) {
        frame = WmfRect(placeable.Dst).normalized();
        unitsPerInch = placeable.Inch;
    }
    QPointF org, ext;
    bool haveOrg = false, haveExt = false;
    for (const char* c = contents + headerSize; c < end;) {
        size_t size = U_WMRRECSAFE_get(c, end);
        if (size == 0) break;
        uint8_t type = static_cast<uint8_t>(c[4]);
        U_POINT16 p;
        if (!haveOrg && type == U_WMR_SETWINDOWORG && U_WMRSETWINDOWORG_get(c, &p))
            org = QPointF(p.x, p.y), haveOrg = true;
        if (!haveExt && type == U_WMR_SETWINDOWEXT && U_WMRSETWINDOWEXT_get(c, &p))
            ext = QPointF(p.x, p.y), haveExt = true;
        if (type == U_WMR_EOF) break;
        c += size;
    }
    if (frame.isEmpty() && haveExt) frame = QRectF(org, QSizeF(ext.x(), ext.y())).normalized();
    if (frame.isEmpty()) return QImage();
    // Logical units become device pixels of 1/96 inch; without a placeable header one unit is
    // one pixel.
    double unit = unitsPerInch > 0 ? 96.0 / unitsPerInch : 1.0;
    double scale;
    QImage image = MakeImage(frame.width() * unit, frame.height() * unit, scale);
    {
        // Window to viewport: the viewport is the frame in device pixels.
        QTransform toImage;
        toImage.scale(scale, scale);
        Canvas canvas(image, toImage, 96 / 25.4, counted);
        DeviceState& s = canvas.State();
        s.MapMode = U_MM_ANISOTROPIC;
        s.WindowOrg = frame.topLeft();
        s.WindowExt = QPointF(frame.width(), frame.height());
        s.ViewportExt = QPointF(frame.width() * unit, frame.height() * unit);
        canvas.Apply();
        WmfSlots freeSlots(counted);
        for (const char* c = contents + headerSize; c < end;) {
            size_t size = U_WMRRECSAFE_get(c, end);
            if (size == 0) break;
            uint8_t type = static_cast<uint8_t>(c[4]);
            if (type == U_WMR_EOF) break;
            PlayWmfRecord(canvas, freeSlots, c, c + size, type);
            c += size;
        }
    }
    return image;
}
