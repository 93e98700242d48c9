#include "info/CExifInfoWnd.h"
#include "info/ExifTexts.h"
#include "info/PropertyItemSet.h"

#include "InfoFixtures.h"
#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QImage>

#include <exiv2/exiv2.hpp>

using infofix::Entry;

namespace {

QStringList texts(const std::vector<CExifInfoWnd::Cell>& cells)
{
    QStringList out;
    for (const auto& c : cells)
        out << c.text;
    return out;
}

}  // namespace

TEST(ExifTexts, FormatsAndNames)
{
    const struct { QString got, want; } cases[] = {
        {exiftext::exposureTime(10.0 / 2500), "1/250 s"},
        {exiftext::exposureTime(0.5), "1/2 s"},
        {exiftext::exposureTime(0.6), "0.600 s"},
        {exiftext::exposureTime(1.0 / 3), "1/3 s"},
        {exiftext::exposureTime(0.0), "0.000 s"},
        {exiftext::exposureProgramName(3), "Aperture priority"},
        {exiftext::exposureProgramName(9), "Reserved"},
        {exiftext::version("0220"), "2.2"},
        {exiftext::version("0100"), "1.0"},
        {exiftext::version("0231"), "2.31"},
        {exiftext::lightSourceName(16), "Unknown"},
        {exiftext::lightSourceName(30), "Reserved"},
        {exiftext::lightSourceName(255), "Other light source"},
        {exiftext::flashName(2), ""},
        {exiftext::flashName(95), "Flash fired, auto mode, return light detected, red-eye reduction mode"},
        {exiftext::meteringModeName(7), "Reserved"},
        {exiftext::sensingMethodName(2), "One-chip color area sensor"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(ExifStrip, ReadsACameraJpegAndLaysOutTheFourRows)
{
    fixtures::TempDir dir;
    const QString path = infofix::writeCameraJpeg(dir.file("cam.JPG"), infofix::cameraTags());
    CExifInfoWnd strip;
    strip.resize(300, CExifInfoWnd::kHeight);
    strip.SetFile(path);
    const ExifTexts& t = strip.texts();
    EXPECT_EQ(t.make, "Kestrel");
    EXPECT_EQ(t.model, "K-100");
    EXPECT_EQ(t.exposureTime, "1/250 s");
    EXPECT_EQ(t.aperture, "f/2.8");
    EXPECT_EQ(t.focalLength, "50.0 mm");
    EXPECT_EQ(t.exposureProgram, "Aperture priority");
    EXPECT_EQ(t.isoSpeed, "400");
    EXPECT_EQ(t.exposureBias, "-0.67 eV");

    const auto cells = CExifInfoWnd::layout(t, 300);
    ASSERT_EQ(cells.size(), 7u);
    const struct { QString text; int left, top, right; } want[] = {
        {"Kestrel K-100", 10, 5, 239}, {"1/250 s", 245, 5, 299},
        {"Focal length: 50.0 mm", 10, 21, 239}, {"f/2.8", 245, 21, 299},
        {"Aperture priority", 10, 37, 239}, {"ISO: 400", 245, 37, 299},
        {"Exposure bias: -0.67 eV", 10, 53, 239},
    };
    for (size_t i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i].text, want[i].text);
        EXPECT_EQ(cells[i].rect.left(), want[i].left);
        EXPECT_EQ(cells[i].rect.top(), want[i].top);
        EXPECT_EQ(cells[i].rect.right(), want[i].right);
        EXPECT_EQ(cells[i].rect.height(), 16);
    }
    // A screen reader hears what is painted.
    EXPECT_EQ(strip.accessibleDescription(), "Kestrel K-100, 1/250 s, Focal length: 50.0 mm, f/2.8, Aperture priority, "
                                             "ISO: 400, Exposure bias: -0.67 eV");
    // The strip's own grey and text colour.
    const QImage shot = strip.grab().toImage();
    EXPECT_EQ(shot.pixelColor(2, 70), QColor(232, 232, 232));
    bool textColour = false;
    for (int y = 5; y < 21 && !textColour; ++y)
        for (int x = 10; x < 100 && !textColour; ++x)
            textColour = shot.pixelColor(x, y) == QColor(78, 78, 78);
    EXPECT_TRUE(textColour);
    EXPECT_DOUBLE_EQ(strip.font().pointSizeF(), 8.5);
}

TEST(ExifStrip, ModelOnlyOtherTypesAndFilesWithoutExif)
{
    fixtures::TempDir dir;
    const QString modelOnly = infofix::writeCameraJpeg(dir.file("m.jpeg"), {{"Exif.Image.Model", "Solo"}});
    EXPECT_EQ(texts(CExifInfoWnd::layout(exiftext::forFile(modelOnly), 300)), QStringList{" Solo"});

    // A file with a camera block but a name the strip does not read, a PNG without one, and
    // a missing file all leave the strip empty.
    const QString raw = dir.file("photo.nef");
    QFile::copy(infofix::writeCameraJpeg(dir.file("c.jpg"), infofix::cameraTags()), raw);
    QImage(8, 8, QImage::Format_RGB32).save(dir.file("plain.png"));
    for (const QString& path : {raw, dir.file("plain.png"), dir.file("gone.jpg"), QString()}) {
        EXPECT_TRUE(exiftext::forFile(path).isEmpty()) << qPrintable(path);
        EXPECT_TRUE(CExifInfoWnd::layout(exiftext::forFile(path), 300).empty());
    }
}

TEST(PropertyItemSet, DamagedBlocksGiveWhatWasReadCleanly)
{
    const QByteArray longMake(10000, 'M');
    const struct {
        const char* name;
        infofix::Block block;
        std::optional<uint16_t> declaredLength;
        int cut = 0;  // bytes cut off the end of the file
        QString make;
        QString exposureTime;
    } cases[] = {
        {"clean", {{{271, 2, 6, QByteArray("Maker\0", 6)}}, {}}, {}, 0, "Maker", ""},
        {"text without its zero", {{{271, 2, 4, "ABCD"}}, {}}, {}, 0, "ABCD", ""},
        {"make of 10,000 characters", {{{271, 2, 10001, longMake + '\0'}}, {}}, {}, 0, QString(999, 'M'), ""},
        {"offset outside the file", {{{271, 2, 40, {}, 0x7FFFFFF0u}, {272, 2, 3, QByteArray("Mo\0", 3)}}, {}}, {}, 0, "", ""},
        {"count of 4 billion", {{{271, 2, 4000000000u, {}, 26u}}, {}}, {}, 0, "", ""},
        {"zero denominator", {{}, {{33434, 5, 1, infofix::rational(1, 0)}, {33437, 5, 1, infofix::rational(0, 0)}}},
         {}, 0, "", "inf s"},
        {"directory linking to itself", {{{271, 2, 3, QByteArray("Lo\0", 3)}}, {}, true, true}, {}, 0, "Lo", ""},
        {"segment longer than the file", {{{271, 2, 6, QByteArray("Maker\0", 6)}}, {}}, uint16_t(60000), 0, "", ""},
        {"truncated", {{{271, 2, 6, QByteArray("Maker\0", 6)}, {305, 2, 300, QByteArray(299, 's') + '\0'}}, {}}, {}, -1, "", ""},
    };
    fixtures::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray file = infofix::jpegWithExif(infofix::tiff(c.block), c.declaredLength);
        if (c.cut < 0)
            file = file.left(file.indexOf("sssss") + 100);
        const QString path = dir.file(QString::fromLatin1(c.name) + ".jpg");
        ASSERT_TRUE(fixtures::writeFile(path, file));
        PropertyItemSet set;
        set.Load(path);  // must return, whatever it finds
        for (const PropertyItem& item : set.items()) {
            // Every read stays inside the stored value bytes.
            EXPECT_LE(item.value.size(), 20000u);
            (void)item.text();
            (void)item.rational();
        }
        const ExifTexts t = exiftext::forFile(path);
        if (!c.make.isEmpty()) {
            EXPECT_EQ(t.make, c.make);
        }
        if (!c.exposureTime.isEmpty()) {
            EXPECT_EQ(t.exposureTime, c.exposureTime);
        }
        (void)exiftext::propertyRows(set);
    }
}
