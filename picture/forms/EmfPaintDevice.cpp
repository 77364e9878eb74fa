#include "picture/forms/EmfPaintDevice.h"

#include <uemf.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTextItem>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kScale = 16;  // logical units per device pixel
constexpr uint32_t kPenSlot = 1, kBrushSlot = 2, kFontSlot = 3, kHandleCount = 4;

int32_t Logical(qreal v)
{
    return static_cast<int32_t>(std::lround(v * kScale));
}

U_POINTL LogicalPoint(const QPointF& p)
{
    return point32_set(Logical(p.x()), Logical(p.y()));
}

U_RECTL DeviceBounds(const QRectF& r)
{
    const QRect a = r.toAlignedRect();
    U_RECTL rect;
    rect.left = a.left();
    rect.top = a.top();
    rect.right = a.right();
    rect.bottom = a.bottom();
    return rect;
}

// EMF objects are opaque: a translucent colour is mixed with the white paper.
U_COLORREF ColorRef(const QColor& colour)
{
    const QColor c = colour.toRgb();
    const double a = c.alphaF();
    auto mix = [a](int v) { return static_cast<uint8_t>(std::lround(v * a + 255.0 * (1.0 - a))); };
    return colorref3_set(mix(c.red()), mix(c.green()), mix(c.blue()));
}

QColor BrushColour(const QBrush& brush)
{
    if (const QGradient* g = brush.gradient()) {
        if (!g->stops().isEmpty()) return g->stops().first().second;
    }
    return brush.color();
}

}  // namespace

class EmfPaintEngine : public QPaintEngine {
public:
    explicit EmfPaintEngine(QSize size) : QPaintEngine(QPaintEngine::AllFeatures), size_(size) {}

    bool begin(QPaintDevice*) override;
    bool end() override;
    void updateState(const QPaintEngineState&) override {}
    void drawPath(const QPainterPath& path) override;
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override;
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                   Qt::ImageConversionFlags flags) override;
    void drawTextItem(const QPointF& p, const QTextItem& textItem) override;
    Type type() const override { return QPaintEngine::User; }

    std::string Bytes() const { return bytes_; }

private:
    void Append(char* record);
    void AppendRaw(const void* data, size_t size);
    void SelectPen();
    void SelectBrush(bool fill);
    // keep: a device rectangle that stays inside the clip, when the clip reaches it at all.
    void UpdateClip(const QRectF& keep = QRectF());
    void Emit(const QPainterPath& devicePath, bool fill, bool stroke);

    QSize size_;
    std::string bytes_;
    uint32_t records_ = 0;
    bool penMade_ = false, brushMade_ = false, fontMade_ = false;
    QPen lastPen_;
    QColor lastBrush_;
    bool nullBrush_ = true, nullPen_ = true;
    QFont lastFont_;
    qreal lastFontHeight_ = 0, lastEscapement_ = 0;
    QColor textColour_ = Qt::black;
    bool clipped_ = false;
    QRectF clipRect_;
    int fillRule_ = U_ALTERNATE;
};

bool EmfPaintEngine::begin(QPaintDevice*)
{
    bytes_.clear();
    records_ = 0;
    penMade_ = brushMade_ = fontMade_ = false;
    nullBrush_ = nullPen_ = true;
    clipped_ = false;
    fillRule_ = U_ALTERNATE;

    const int w = std::max(1, size_.width()), h = std::max(1, size_.height());
    U_RECTL bounds = DeviceBounds(QRectF(0, 0, w, h));
    U_RECTL frame;
    frame.left = 0;
    frame.top = 0;
    frame.right = static_cast<int32_t>(std::lround(w * 2540.0 / 96.0)) - 1;
    frame.bottom = static_cast<int32_t>(std::lround(h * 2540.0 / 96.0)) - 1;
    // The reference device is a 96 dpi screen.
    const U_SIZEL device = sizel_set(1920, 1080);
    const U_SIZEL millimetres = sizel_set(508, 286);
    // The description: the program's name and the picture's, each ended by a NUL, and a NUL.
    std::vector<uint16_t> description;
    for (const char* part : {"Quillane", "Chart"}) {
        for (const char* c = part; *c; ++c) description.push_back(static_cast<uint8_t>(*c));
        description.push_back(0);
    }
    description.push_back(0);
    Append(U_EMRHEADER_set(bounds, frame, nullptr, static_cast<U_CBSTR>(description.size()),
                           description.data(), device, millimetres, 0));

    Append(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC));
    Append(U_EMRSETWINDOWEXTEX_set(sizel_set(w * kScale, h * kScale)));
    Append(U_EMRSETVIEWPORTEXTEX_set(sizel_set(w, h)));
    Append(U_EMRSETBKMODE_set(U_TRANSPARENT));
    Append(U_EMRSETTEXTALIGN_set(U_TA_BASELINE));
    Append(U_EMRSETPOLYFILLMODE_set(U_ALTERNATE));
    Append(U_EMRSETTEXTCOLOR_set(ColorRef(textColour_)));
    setActive(true);
    return true;
}

bool EmfPaintEngine::end()
{
    U_EMREOF eof;
    std::memset(&eof, 0, sizeof eof);
    eof.emr.iType = U_EMR_EOF;
    eof.emr.nSize = sizeof eof + sizeof(uint32_t);
    eof.cbPalEntries = 0;
    eof.offPalEntries = 0;
    const uint32_t sizeLast = eof.emr.nSize;
    std::string record(reinterpret_cast<const char*>(&eof), sizeof eof);
    record.append(reinterpret_cast<const char*>(&sizeLast), sizeof sizeLast);
    AppendRaw(record.data(), record.size());

    U_EMRHEADER header;
    std::memcpy(&header, bytes_.data(), sizeof header);
    header.nBytes = static_cast<uint32_t>(bytes_.size());
    header.nRecords = records_;
    header.nHandles = kHandleCount;
    std::memcpy(&bytes_[0], &header, sizeof header);
    setActive(false);
    return true;
}

void EmfPaintEngine::AppendRaw(const void* data, size_t size)
{
    bytes_.append(static_cast<const char*>(data), size);
    ++records_;
}

void EmfPaintEngine::Append(char* record)
{
    if (!record) return;
    U_EMR emr;
    std::memcpy(&emr, record, sizeof emr);
    AppendRaw(record, emr.nSize);
    free(record);
}

void EmfPaintEngine::SelectPen()
{
    const QPen pen = painter()->pen();
    const bool none =
        pen.style() == Qt::NoPen || pen.color().alpha() == 0 || pen.brush().style() == Qt::NoBrush;
    if (none) {
        if (!nullPen_) Append(U_EMRSELECTOBJECT_set(U_NULL_PEN));
        nullPen_ = true;
        return;
    }
    const QTransform t = painter()->combinedTransform();
    qreal width = pen.widthF();
    if (pen.isCosmetic() || width <= 0)
        width = std::max<qreal>(1.0, width);
    else
        width *= std::sqrt(std::abs(t.determinant()));
    QPen key = pen;
    key.setWidthF(width);
    key.setColor(BrushColour(pen.brush()));
    if (penMade_ && !nullPen_ && key == lastPen_) return;

    uint32_t style = U_PS_GEOMETRIC;
    switch (pen.style()) {
    case Qt::DashLine:
        style |= U_PS_DASH;
        break;
    case Qt::DotLine:
        style |= U_PS_DOT;
        break;
    case Qt::DashDotLine:
        style |= U_PS_DASHDOT;
        break;
    case Qt::DashDotDotLine:
        style |= U_PS_DASHDOTDOT;
        break;
    default:
        style |= U_PS_SOLID;
        break;
    }
    switch (pen.capStyle()) {
    case Qt::FlatCap:
        style |= U_PS_ENDCAP_FLAT;
        break;
    case Qt::SquareCap:
        style |= U_PS_ENDCAP_SQUARE;
        break;
    default:
        style |= U_PS_ENDCAP_ROUND;
        break;
    }
    switch (pen.joinStyle()) {
    case Qt::BevelJoin:
        style |= U_PS_JOIN_BEVEL;
        break;
    case Qt::RoundJoin:
        style |= U_PS_JOIN_ROUND;
        break;
    default:
        style |= U_PS_JOIN_MITER;
        break;
    }
    Append(U_EMRSELECTOBJECT_set(U_NULL_PEN));
    if (penMade_) Append(U_EMRDELETEOBJECT_set(kPenSlot));
    PU_EXTLOGPEN elp = extlogpen_set(style, static_cast<uint32_t>(std::max(1, Logical(width))),
                                     U_BS_SOLID, ColorRef(key.color()), 0, 0, nullptr);
    Append(U_EMREXTCREATEPEN_set(kPenSlot, nullptr, 0, nullptr, elp));
    free(elp);
    Append(U_EMRSELECTOBJECT_set(kPenSlot));
    penMade_ = true;
    nullPen_ = false;
    lastPen_ = key;
}

void EmfPaintEngine::SelectBrush(bool fill)
{
    const QBrush brush = painter()->brush();
    const QColor colour = BrushColour(brush);
    if (!fill || brush.style() == Qt::NoBrush || colour.alpha() == 0) {
        if (!nullBrush_) Append(U_EMRSELECTOBJECT_set(U_NULL_BRUSH));
        nullBrush_ = true;
        return;
    }
    if (brushMade_ && !nullBrush_ && colour == lastBrush_) return;
    Append(U_EMRSELECTOBJECT_set(U_NULL_BRUSH));
    if (brushMade_) Append(U_EMRDELETEOBJECT_set(kBrushSlot));
    Append(U_EMRCREATEBRUSHINDIRECT_set(kBrushSlot, logbrush_set(U_BS_SOLID, ColorRef(colour), 0)));
    Append(U_EMRSELECTOBJECT_set(kBrushSlot));
    brushMade_ = true;
    nullBrush_ = false;
    lastBrush_ = colour;
}

void EmfPaintEngine::UpdateClip(const QRectF& keep)
{
    QPainter* p = painter();
    const bool clip = p->hasClipping();
    QRectF rect;
    if (clip) rect = p->combinedTransform().mapRect(p->clipBoundingRect());
    if (clip && !keep.isEmpty() && rect.intersects(keep)) rect = rect.united(keep);
    if (clip == clipped_ && (!clip || rect == clipRect_)) return;
    // An empty region in copy mode puts the default clip back.
    const uint32_t reset[4] = {U_EMR_EXTSELECTCLIPRGN, 16, 0, U_RGN_COPY};
    AppendRaw(reset, sizeof reset);
    if (clip) {
        U_RECTL r;
        r.left = Logical(rect.left());
        r.top = Logical(rect.top());
        r.right = Logical(rect.right());
        r.bottom = Logical(rect.bottom());
        Append(U_EMRINTERSECTCLIPRECT_set(r));
    }
    clipped_ = clip;
    clipRect_ = rect;
}

void EmfPaintEngine::Emit(const QPainterPath& devicePath, bool fill, bool stroke)
{
    if (devicePath.isEmpty()) return;
    UpdateClip();
    SelectPen();
    SelectBrush(fill);
    stroke = stroke && !nullPen_;
    fill = fill && !nullBrush_;
    if (!fill && !stroke) return;
    const int rule = devicePath.fillRule() == Qt::WindingFill ? U_WINDING : U_ALTERNATE;
    if (fill && rule != fillRule_) {
        Append(U_EMRSETPOLYFILLMODE_set(rule));
        fillRule_ = rule;
    }
    const U_RECTL bounds = DeviceBounds(devicePath.controlPointRect());

    Append(U_EMRBEGINPATH_set());
    std::vector<U_POINTL> run;
    int runKind = -1;  // 0 lines, 1 curves
    QPointF start, last;
    auto flush = [&]() {
        if (!run.empty()) {
            const auto n = static_cast<uint32_t>(run.size());
            Append(runKind == 0 ? U_EMRPOLYLINETO_set(bounds, n, run.data())
                                : U_EMRPOLYBEZIERTO_set(bounds, n, run.data()));
        }
        run.clear();
    };
    auto closeIfReturned = [&]() {
        if (last == start && runKind >= 0) {
            flush();
            Append(U_EMRCLOSEFIGURE_set());
        }
    };
    for (int i = 0; i < devicePath.elementCount(); ++i) {
        const QPainterPath::Element e = devicePath.elementAt(i);
        if (e.isMoveTo()) {
            closeIfReturned();
            flush();
            runKind = -1;
            start = last = QPointF(e.x, e.y);
            Append(U_EMRMOVETOEX_set(LogicalPoint(start)));
        } else if (e.isLineTo()) {
            if (runKind != 0) flush();
            runKind = 0;
            last = QPointF(e.x, e.y);
            run.push_back(LogicalPoint(last));
        } else if (e.isCurveTo() && i + 2 < devicePath.elementCount()) {
            if (runKind != 1) flush();
            runKind = 1;
            for (int k = 0; k < 3; ++k) {
                const QPainterPath::Element c = devicePath.elementAt(i + k);
                run.push_back(LogicalPoint(QPointF(c.x, c.y)));
            }
            last = QPointF(devicePath.elementAt(i + 2).x, devicePath.elementAt(i + 2).y);
            i += 2;
        }
    }
    closeIfReturned();
    flush();
    Append(U_EMRENDPATH_set());
    if (fill && stroke)
        Append(U_EMRSTROKEANDFILLPATH_set(bounds));
    else if (fill)
        Append(U_EMRFILLPATH_set(bounds));
    else
        Append(U_EMRSTROKEPATH_set(bounds));
}

void EmfPaintEngine::drawPath(const QPainterPath& path)
{
    Emit(painter()->combinedTransform().map(path), true, true);
}

void EmfPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode)
{
    if (count <= 0) return;
    QPainterPath path;
    path.moveTo(points[0]);
    for (int i = 1; i < count; ++i) path.lineTo(points[i]);
    if (mode != PolylineMode) path.closeSubpath();
    path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    Emit(painter()->combinedTransform().map(path), mode != PolylineMode, true);
}

void EmfPaintEngine::drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr)
{
    drawImage(r, pm.toImage(), sr, Qt::AutoColor);
}

void EmfPaintEngine::drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                               Qt::ImageConversionFlags)
{
    QImage part = image.copy(sr.toAlignedRect()).convertToFormat(QImage::Format_ARGB32);
    if (part.isNull() || part.width() == 0 || part.height() == 0) return;
    UpdateClip();
    // Readers ignore the alpha of a bitmap: lay it on white paper first.
    QImage paper(part.size(), QImage::Format_ARGB32);
    paper.fill(Qt::white);
    {
        QPainter p(&paper);
        p.drawImage(0, 0, part);
    }
    const int w = paper.width(), h = paper.height();
    std::vector<char> pixels(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)  // a DIB runs from the bottom row up
        std::memcpy(&pixels[static_cast<size_t>(h - 1 - y) * w * 4], paper.constScanLine(y),
                    static_cast<size_t>(w) * 4);
    const QRectF target = painter()->combinedTransform().mapRect(r);
    U_BITMAPINFOHEADER header = bitmapinfoheader_set(
        w, h, 1, 32, U_BI_RGB, static_cast<uint32_t>(pixels.size()), 3780, 3780, 0, 0);
    PU_BITMAPINFO info = bitmapinfo_set(header, nullptr);
    Append(U_EMRSTRETCHDIBITS_set(DeviceBounds(target), LogicalPoint(target.topLeft()),
                                  point32_set(Logical(target.width()), Logical(target.height())),
                                  point32_set(0, 0), point32_set(w, h), U_DIB_RGB_COLORS, U_SRCCOPY,
                                  info, static_cast<uint32_t>(pixels.size()), pixels.data()));
    free(info);
}

void EmfPaintEngine::drawTextItem(const QPointF& p, const QTextItem& textItem)
{
    const QString text = textItem.text();
    if (text.isEmpty()) return;
    const QTransform t = painter()->combinedTransform();
    const QFont font = textItem.font();
    const QFontMetricsF metrics(font);
    const QPointF at = t.map(p);
    const QRectF box = t.mapRect(
        QRectF(p.x(), p.y() - metrics.ascent(), metrics.horizontalAdvance(text), metrics.height()));
    // A reader that lays the text out with other font metrics runs past the last glyph: the
    // clip leaves the text's whole extent and an em around it.
    const qreal scale = std::hypot(t.m11(), t.m12());
    const qreal em = metrics.height() * scale;
    UpdateClip(box.adjusted(-em, -em / 4, em, em / 4));
    const qreal angle = std::atan2(t.m12(), t.m11()) * 180.0 / M_PI;
    const qreal height = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96.0 / 72.0;
    const qreal escapement = std::round(-angle * 10.0);

    const qreal fontHeight = height * scale;
    if (!fontMade_ || font != lastFont_ || fontHeight != lastFontHeight_ ||
        escapement != lastEscapement_) {
        std::vector<uint16_t> face(U_LF_FACESIZE, 0);
        const QString family = font.family().left(U_LF_FACESIZE - 1);
        for (int i = 0; i < family.size(); ++i) face[i] = family.at(i).unicode();
        const U_LOGFONT lf =
            logfont_set(-Logical(fontHeight), 0, static_cast<int32_t>(escapement),
                        static_cast<int32_t>(escapement), font.weight(), font.italic() ? 1 : 0,
                        font.underline() ? 1 : 0, font.strikeOut() ? 1 : 0, U_DEFAULT_CHARSET,
                        U_OUT_DEFAULT_PRECIS, U_CLIP_DEFAULT_PRECIS, U_ANTIALIASED_QUALITY,
                        U_DEFAULT_PITCH | U_FF_DONTCARE, face.data());
        Append(U_EMRSELECTOBJECT_set(U_SYSTEM_FONT));
        if (fontMade_) Append(U_EMRDELETEOBJECT_set(kFontSlot));
        Append(U_EMREXTCREATEFONTINDIRECTW_set(kFontSlot, reinterpret_cast<const char*>(&lf),
                                               nullptr));
        Append(U_EMRSELECTOBJECT_set(kFontSlot));
        fontMade_ = true;
        lastFont_ = font;
        lastFontHeight_ = fontHeight;
        lastEscapement_ = escapement;
    }
    const QColor colour = BrushColour(painter()->pen().brush());
    if (colour != textColour_) {
        Append(U_EMRSETTEXTCOLOR_set(ColorRef(colour)));
        textColour_ = colour;
    }

    std::vector<uint16_t> utf16(text.size());
    std::vector<uint32_t> advances(text.size(), 0);
    qreal before = 0;
    for (int i = 0; i < text.size(); ++i) {
        utf16[i] = text.at(i).unicode();
        if (text.at(i).isLowSurrogate()) continue;
        const int length = i + 1 < text.size() && text.at(i).isHighSurrogate() ? i + 2 : i + 1;
        const qreal after = metrics.horizontalAdvance(text.left(length));
        advances[i] = static_cast<uint32_t>(std::max(0, Logical((after - before) * scale)));
        before = after;
    }
    char* emrtext = emrtext_set(LogicalPoint(at), static_cast<U_NUM_STR>(utf16.size()), 2,
                                utf16.data(), U_ETO_NONE, U_RCL_DEF, advances.data());
    Append(U_EMREXTTEXTOUTW_set(DeviceBounds(box), U_GM_COMPATIBLE, 1.0, 1.0,
                                reinterpret_cast<PU_EMRTEXT>(emrtext)));
    free(emrtext);
}

EmfPaintDevice::EmfPaintDevice(QSize size)
    : size_(size), engine_(std::make_unique<EmfPaintEngine>(size))
{
}

EmfPaintDevice::~EmfPaintDevice() = default;

QPaintEngine* EmfPaintDevice::paintEngine() const
{
    return engine_.get();
}

std::string EmfPaintDevice::Bytes() const
{
    return engine_->Bytes();
}

int EmfPaintDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return size_.width();
    case PdmHeight:
        return size_.height();
    case PdmWidthMM:
        return static_cast<int>(std::lround(size_.width() * 25.4 / 96.0));
    case PdmHeightMM:
        return static_cast<int>(std::lround(size_.height() * 25.4 / 96.0));
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    default:
        return 0;
    }
}
