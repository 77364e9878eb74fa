#include <QtTest>

#include <QBuffer>
#include <QTemporaryDir>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>

#include <jpeglib.h>

#include "base/Exception.h"
#include "picture/forms/MetafilePicture.h"
#include "picture/forms/ReferencePicture.h"
#include "tests/support/forms/PictureFiles.h"

namespace {

using namespace picture_files;

class Files {
public:
    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

private:
    QTemporaryDir dir_;
};

// The loader's message for the file (empty when it loaded), and what the load cost.
std::pair<std::string, PictureWork> Refusal(const std::string& path)
{
    PictureWork work;
    try {
        LoadReferencePicture(path, &work);
    } catch (const Exception& e) {
        return {e.what(), work};
    }
    return {"", work};
}

// Refused at the charge that took the work past the budget, before a pixel of its own was
// decoded: not after the work was done.
bool RefusedAtTheBudget(const PictureWork& work, double budget)
{
    return work.Charged > budget && work.Charged - work.LastCharge <= budget && work.Pixels == 0;
}

}  // namespace

class ReferencePictureTest : public QObject {
    Q_OBJECT

private slots:
    void refusesPicturesPastTheCaps()
    {
        Files files;
        // Each is refused from its headers, nothing charged, or at the charge that passes the
        // budget of a JPEG's passes, or at its count of scans; before a pixel of it is decoded.
        // An icon's directory names 256 x 256 pixels, made for Qt's reader before it turns the
        // PNG away.
        enum Stop { Headers, Budget, Scans };
        struct Case {
            const char* name;
            std::string bytes;
            const char* detail;
            Stop stop;
            double pixels;
        } cases[] = {
            {"bomb.jpg", JpegDeclaring(65500, 65500), "too large (65500 x 65500 pixels)", Headers,
             0},
            {"wide.jpeg", JpegDeclaring(65500, 1100), "too large (65500 x 1100 pixels)", Headers,
             0},
            {"bomb.bmp", BmpDeclaring(16000, 16000), "too large (16000 x 16000 pixels)", Headers,
             0},
            {"bitmap.wmf", WmfWithBitmap(8200, 8200), "too large (8200 x 8200 pixels)", Headers, 0},
            {"scans.jpg", ProgressiveJpeg(3), "too complex to decode", Scans, 0},
            {"refined.jpg", RefinedJpeg(8192, 40), "too complex to decode", Budget, 0},
            {"mono.bmp", MonochromeBmp(30000, 30000), "too large (30000 x 30000 pixels)", Headers,
             0},
            {"png.ico", IconOfPng(8192), "too large (8192 x 8192 pixels)", Headers, 256 * 256},
        };
        for (const Case& c : cases) {
            const std::string path = files.Write(c.name, c.bytes);
            const auto [message, work] = Refusal(path);
            QVERIFY2(message == "Picture file " + path + " is " + c.detail, message.c_str());
            QVERIFY2(work.Pixels == c.pixels, c.name);
            if (c.stop == Headers) QVERIFY2(work.Charged == 0, c.name);
            if (c.stop == Budget)
                QVERIFY2(RefusedAtTheBudget(work, picture_limits::kMostJpegWork), c.name);
        }
        // An icon whose image lies past the end of the file, or declares more pixels than a PNG
        // may, is no picture.
        std::string past = IconOfPng(8192);
        past[21] = '\x7f';  // the offset's high byte
        for (const std::string& icon : {past, IconOfPng(0xF0000000)}) {
            const std::string path = files.Write("bad.ico", icon);
            QCOMPARE(Refusal(path).first, "Invalid picture file " + path);
        }
    }

    void boundsTheDrawingOfAMetafile()
    {
        Files files;
        // Strokes of a dashed pen 83,886,128 units wide, a tenth of that on the picture, are
        // drawn held to the picture.
        const std::string one = files.Write("pen.emf", WidePenCurvesEmf(2));
        PictureWork work;
        QImage image = LoadReferencePicture(one, &work);
        QCOMPARE(image.size(), QSize(2001, 2001));
        QCOMPARE(image.pixelColor(1000, 1000), QColor(255, 0, 0));
        // The pen the curves are stroked with is held to twice the picture's perimeter.
        QVERIFY(work.WidestPen <= 2 * (2001 + 2001));

        // Hundreds of them are refused.
        const std::string many = files.Write("pens.emf", WidePenCurvesEmf(602));
        const auto [message, refused] = Refusal(many);
        QCOMPARE(message, "Picture file " + many + " is too complex to draw");
        QVERIFY(RefusedAtTheBudget(refused, picture_limits::kMostWork));
        QVERIFY(refused.Draws < 602);
    }

    void chargesFillsTextAndFontsOfAMetafile()
    {
        Files files;
        // A fill of 100 edges that each cross every row, or of as many with thousands of short
        // ones in one row; 20 characters in a font of 100 pixels, 400 times; a new face for each
        // of 2,500 texts. Each is refused part-way, before the drawing that would pass the
        // budget: a fill before anything is drawn.
        const std::pair<std::string, size_t> cases[] = {
            {files.Write("zigzag.emf", Emf({Zigzag(100, 2048)}, 2047)), 1},
            {files.Write("zigzag.wmf", WmfZigzag(100)), 1},
            {files.Write("edge.emf", Emf({ZigzagAlongTheEdge()}, 2047)), 1},
            {files.Write("text.emf", LargeTextEmf(400)), 400},
            {files.Write("faces.emf", FontFacesEmf(2500)), 2500},
        };
        for (const auto& [path, drawings] : cases) {
            const auto [message, work] = Refusal(path);
            QVERIFY2(message == "Picture file " + path + " is too complex to draw",
                     message.c_str());
            QVERIFY2(RefusedAtTheBudget(work, picture_limits::kMostWork), path.c_str());
            QVERIFY2(work.Draws < drawings, path.c_str());
        }
        // With fewer edges, glyphs and faces the same pictures draw in full.
        QImage zigzag = LoadReferencePicture(files.Write("few.emf", Emf({Zigzag(10, 2048)}, 2047)));
        QCOMPARE(zigzag.size(), QSize(2048, 2048));
        for (const std::string& bytes : {LargeTextEmf(50), FontFacesEmf(300)})
            QCOMPARE(LoadReferencePicture(files.Write("fewer.emf", bytes)).size(),
                     QSize(2048, 2048));
    }

    void savesAndRestoresWithinBounds()
    {
        Files files;
        std::vector<std::pair<uint32_t, std::string>> saves(5000, {33, {}});  // SAVEDC
        const std::string deep = files.Write("deep.emf", Emf(saves, 199));
        QCOMPARE(Refusal(deep).first, "Picture file " + deep + " is too complex to draw");

        const int32_t levels[] = {INT_MIN, -1, 1, INT_MAX};
        for (int32_t level : levels) {
            const std::string path = files.Write(
                "restore.emf", Emf({{33, {}}, {34, Fields({static_cast<uint32_t>(level)})}}, 199));
            QCOMPARE(LoadReferencePicture(path).size(), QSize(200, 200));
        }
    }

    void chargesSavedStatesAndClipsOfAMetafile()
    {
        Files files;
        // Saved states each with a clipping rectangle and nothing drawn, each level keeping a copy
        // of the clip operations so far (WMF and EMF); clipping rectangles under a rotation, each
        // rasterized and combined with the clip (alone and each in a saved state), and ones that
        // reach millions of pixels past the picture, to every side or to one, just within the
        // coordinates Qt rasterizes; zigzags from far above the picture to far below, whose edges
        // the rasterizer walks end to end.
        const std::pair<const char*, std::string> cases[] = {
            {"clips.wmf", SavedClipsWmf(3270, 1)},
            {"clips.emf", SavedClipsEmf(4095, 1, 200, false)},
            {"rotated.emf", RotatedClipsEmf(500, false, 2000)},
            {"saved.emf", RotatedClipsEmf(2000, true, 2000)},
            {"huge.emf", RotatedClipsEmf(1, false, 3000000)},
            {"one-sided.emf",
             Emf({EmfRotation(700), {30, Fields({0xFF7FF836, 0xFFFFF836, 4041, 4041})}}, 2047)},
            {"far.emf", FarZigzagsEmf(5, 4)},
        };
        for (const auto& [name, bytes] : cases) {
            const std::string path = files.Write(name, bytes);
            QCOMPARE(Refusal(path).first, "Picture file " + path + " is too complex to draw");
        }
        // Shallower saves, fewer rotated clips, a clip past the coordinates Qt rasterizes (it is
        // cut to the picture first) and a shorter zigzag draw.
        const std::pair<const char*, std::string> fewer[] = {
            {"fewer.wmf", SavedClipsWmf(200, 4)},
            {"fewer.emf", SavedClipsEmf(200, 4, 200, true)},
            {"past.emf", RotatedClipsEmf(1, false, 3100000)},
            {"shorter.emf", FarZigzagsEmf(1, 2)},
        };
        for (const auto& [name, bytes] : fewer)
            QVERIFY(!LoadReferencePicture(files.Write(name, bytes)).isNull());

        // A rotated clip still holds, and a restore takes it away: a black brush over everything,
        // with the clip and after a restore of it.
        const std::pair<uint32_t, std::string> clip = {30, Fields({0, 0, 1000, 1000})},
                                               brush = {37, Fields({0x80000004})},
                                               everything = {43, Fields({0xFFFFEC78, 0xFFFFEC78,
                                                                         5000, 5000})};
        const QImage clipped = LoadReferencePicture(
            files.Write("one.emf", Emf({EmfRotation(700), clip, brush, everything}, 2047)));
        QCOMPARE(clipped.pixelColor(883, 683), QColor(Qt::black));  // (500, 500) rotated
        QCOMPARE(clipped.pixelColor(1749, 1183), QColor(Qt::white));
        const QImage restored = LoadReferencePicture(files.Write(
            "restored.emf",
            Emf({EmfRotation(700), {33, {}}, clip, {34, Fields({0xFFFFFFFF})}, brush, everything},
                2047)));
        QCOMPARE(restored.pixelColor(1749, 1183), QColor(Qt::black));
    }

    void chargesTheBitmapsOfAMetafile()
    {
        Files files;
        // Twenty bitmaps of 4096 x 2048 pixels, charged before they are decoded (EMF and WMF);
        // small ones sheared over a square of 40,000 pixels around the picture, which Qt draws as
        // a texture.
        const std::pair<const char*, std::string> cases[] = {
            {"bitmaps.emf", BitmapsEmf(20, 4096, 2048, 2048)},
            {"bitmaps.wmf", WmfWithBitmap(4096, 2048, 20)},
            {"sheared.emf", ShearedBitmapsEmf(30, 40000)},
        };
        for (const auto& [name, bytes] : cases) {
            const std::string path = files.Write(name, bytes);
            QCOMPARE(Refusal(path).first, "Picture file " + path + " is too complex to draw");
        }
        // Fewer draw: one large bitmap, or a few sheared ones.
        const QImage large =
            LoadReferencePicture(files.Write("one.wmf", WmfWithBitmap(4096, 2048)));
        QCOMPARE(large.pixelColor(50, 50), QColor(0, 0, 200));
        QVERIFY(
            !LoadReferencePicture(files.Write("few.emf", ShearedBitmapsEmf(5, 40000))).isNull());
    }

    void chargesTheDataAndTheBuffersOfAJpeg()
    {
        Files files;
        // 20 MB of arithmetic codes, which decode several times slower than Huffman codes; 30
        // scans of no data at all, which an arithmetic decoder decodes from zeros with a restart
        // at every block; a progressive file whose coefficients of four components and bitmap of
        // 8192 x 8192 pixels would take 768 MB.
        const std::pair<const char*, std::string> cases[] = {
            {"arithmetic.jpg", NoisyJpeg(2560, 255, 100, false, true)},
            {"empty.jpg", EmptyScansJpeg(4096, 1, 30, true)},
            {"four.jpg", EmptyScansJpeg(8192, 4, 0, false)},
        };
        for (const auto& [name, bytes] : cases) {
            const std::string path = files.Write(name, bytes);
            QCOMPARE(Refusal(path).first, "Picture file " + path + " is too complex to decode");
        }
        // Less data, fewer scans and a smaller picture of four components load.
        for (const std::string& bytes :
             {NoisyJpeg(1024, 255, 100, true, true), EmptyScansJpeg(4096, 1, 10, true),
              EmptyScansJpeg(2048, 4, 0, false)})
            QVERIFY(!LoadReferencePicture(files.Write("fewer.jpg", bytes)).isNull());
    }

    void fillsTheObjectTableOfAMetafileAStepAnObject()
    {
        // 70,000 brushes, more than the records' 16-bit indices reach; a deleted slot is the
        // next one taken. Each brush made and the one deleted looks at one slot of the table.
        Files files;
        PictureWork work;
        QImage image =
            LoadReferencePicture(files.Write("objects.wmf", ObjectTableWmf(70000)), &work);
        QCOMPARE(image.pixelColor(50, 50), QColor(0, 255, 0));
        QCOMPARE(work.SlotSteps, size_t{70000 + 2});
    }

    void drawsTextRecordsOnlyWhenTheirFieldsAreThere()
    {
        Files files;
        auto ink = [](const QImage& image) {
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelColor(x, y) != QColor(Qt::white)) return true;
            return false;
        };
        // TEXTOUT: length, string (even), y, x; EXTTEXTOUT: y, x, length, options, string.
        Bytes text, extended;
        text.U32(9).U16(0x0521).U16(4).Raw("HHHH", 4).U16(60).U16(10);
        extended.U32(9).U16(0x0A32).U16(60).U16(10).U16(4).U16(0).Raw("HHHH", 4);
        QVERIFY(ink(LoadReferencePicture(files.Write("text.wmf", Wmf(text.Data)))));
        QVERIFY(ink(LoadReferencePicture(files.Write("extended.wmf", Wmf(extended.Data)))));
        // The same records claiming a longer string, or a clipping rectangle, than they hold.
        Bytes longText, clipped, negative;
        longText.U32(9).U16(0x0521).U16(30000).Raw("HHHH", 4).U16(60).U16(10);
        clipped.U32(9).U16(0x0A32).U16(60).U16(10).U16(4).U16(4).Raw("HHHH", 4);
        negative.U32(9).U16(0x0521).U16(0x8000).Raw("HHHH", 4).U16(60).U16(10);
        for (const Bytes* b : {&longText, &clipped, &negative})
            QVERIFY(!ink(LoadReferencePicture(files.Write("short.wmf", Wmf(b->Data)))));
    }

    void loadsPicturesWithinTheCapAsBefore()
    {
        Files files;
        // A bitmap drawn over the whole frame, its pixels from the colour table.
        QImage bitmap = LoadReferencePicture(files.Write("small.wmf", WmfWithBitmap(64, 48)));
        QCOMPARE(bitmap.size(), QSize(100, 100));
        QCOMPARE(bitmap.pixelColor(50, 50), QColor(0, 0, 200));
        QImage jpeg = LoadReferencePicture(files.Write("small.jpg", SmallJpeg()));
        QCOMPARE(jpeg.size(), QSize(40, 30));
        QImage progressive = LoadReferencePicture(files.Write("p.jpg", ProgressiveJpeg(0)));
        QCOMPARE(progressive.pixelColor(4, 4), QColor(128, 128, 128));
        // A pen of ordinary width keeps its width.
        auto records = WidePen(9);
        records.push_back({54, Fields({0, 100})});  // LINETO from the origin
        QImage line = LoadReferencePicture(files.Write("line.emf", Emf(records, 199)));
        QCOMPARE(line.pixelColor(3, 20), QColor(255, 0, 0));
        QCOMPARE(line.pixelColor(6, 20), QColor(255, 255, 255));
    }

    void blackensTheRowsAShortBitmapLacks()
    {
        // A red BMP of 8 x 6 pixels without its last three rows (the top ones, as its rows run
        // from the bottom up), loaded where a freed bitmap of the same size left white pixels.
        Files files;
        std::string bytes = BmpDeclaring(8, 6);
        bytes.resize(bytes.size() - 3 * 8 * 3);
        const std::string path = files.Write("short.bmp", bytes);
        for (int i = 0; i < 3; ++i) {
            QImage(8, 6, QImage::Format_RGB32).fill(Qt::white);
            const QImage image = LoadReferencePicture(path);
            QCOMPARE(image.size(), QSize(8, 6));
            for (int y = 0; y < 6; ++y)
                QCOMPARE(image.pixelColor(7, y), y < 3 ? QColor(Qt::black) : QColor(220, 20, 20));
        }
    }
};

QTEST_MAIN(ReferencePictureTest)
#include "tst_referencepicture.moc"
