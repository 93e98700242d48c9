// The export's plain logic: the size steps and the sizes images get, the formats offered,
// when the command applies, and where each image goes without ever replacing an original.
#include "export/ExportLogic.h"
#include "export/ExportNaming.h"

#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

TEST(ExportLogic, SliderStepsAndTheSizeEditFollowEachOther)
{
    const int sizes[] = {320, 480, 640, 800, 1024, 1200, 1600};
    for (int position = 0; position <= 6; ++position) {
        EXPECT_EQ(ExportLogic::sizeForSliderPosition(position), sizes[position]);
        EXPECT_EQ(ExportLogic::sliderPositionForSize(sizes[position]), position);
        if (position < 6)
            EXPECT_EQ(ExportLogic::sliderPositionForSize(sizes[position] + 1), position + 1);
    }
    EXPECT_EQ(ExportLogic::sliderPositionForSize(0), 0);
    EXPECT_EQ(ExportLogic::sliderPositionForSize(9999), 6);
}

TEST(ExportLogic, TheTypedSizeIsClampedToOneUpTo9999)
{
    const struct {
        const char* text;
        int side;
    } cases[] = {{"0", 1}, {"", 1}, {"12000", 9999}, {"800", 800}, {"9999", 9999}, {"123456789012", 9999}, {"0000000000012", 12}};
    for (const auto& c : cases)
        EXPECT_EQ(ExportLogic::maxSideFromText(QString::fromLatin1(c.text)), c.side) << c.text;
}

TEST(ExportLogic, TheLongerSideTakesTheSizeAndTheOtherIsRounded)
{
    const struct {
        QSize from;
        int side;
        QSize to;
    } cases[] = {
        {{300, 200}, 800, {800, 533}},  {{200, 300}, 800, {533, 800}}, {{300, 300}, 800, {800, 800}},
        {{3, 2}, 1, {1, 1}},            {{5000, 1}, 800, {800, 1}},    {{4000, 3000}, 9999, {9999, 7499}},
        {{201, 100}, 100, {100, 50}},  {{200, 101}, 100, {100, 51}},  {{300, 200}, 0, {300, 200}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExportLogic::exportSize(c.from, c.side), c.to) << c.from.width() << "x" << c.from.height();
}

TEST(ExportLogic, FormatsAreTheWritableOnesInTheLibrarysOrder)
{
    const auto entries = ExportLogic::outputFormats();
    const auto writable = fipSuperImage::getSupportsWritingFormats();
    ASSERT_EQ(entries.size(), writable.size());
    ASSERT_FALSE(entries.empty());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].fif, writable[i]);
        EXPECT_EQ(entries[i].text, QString::fromLatin1(FreeImage_GetFormatFromFIF(writable[i])) + QStringLiteral(" - ")
                                       + QString::fromLatin1(FreeImage_GetFIFDescription(writable[i])));
    }
}

TEST(ExportLogic, TheCommandNeedsAnImageToExport)
{
    const struct {
        int selected, selectedImages, images;
        bool enabled;
    } cases[] = {{0, 0, 0, false}, {0, 0, 3, true}, {2, 0, 3, false}, {2, 1, 3, true}};
    for (const auto& c : cases)
        EXPECT_EQ(ExportLogic::isExportEnabled(c.selected, c.selectedImages, c.images), c.enabled);
    const ExportLogic::ExportSources selection{QStringLiteral("/f"), true, {QStringLiteral("/f/a.jpg")},
                                               {QStringLiteral("/f/a.jpg"), QStringLiteral("/f/b.jpg")}};
    EXPECT_EQ(ExportLogic::sourcesToExport(selection), QStringList{QStringLiteral("/f/a.jpg")});
    const ExportLogic::ExportSources onlyFolders{QStringLiteral("/f"), true, {}, selection.allImages};
    EXPECT_TRUE(ExportLogic::sourcesToExport(onlyFolders).isEmpty());
    const ExportLogic::ExportSources none{QStringLiteral("/f"), false, {}, selection.allImages};
    EXPECT_EQ(ExportLogic::sourcesToExport(none), selection.allImages);
}

TEST(ExportNamingTest, OriginalsAndEarlierOutputsAreNeverDestinations)
{
    fixtures::TempDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("one"));
    QDir(dir.path()).mkpath(QStringLiteral("two"));
    QDir(dir.path()).mkpath(QStringLiteral("out"));
    const QString one = dir.file(QStringLiteral("one/")), two = dir.file(QStringLiteral("two/"));
    const QString out = dir.file(QStringLiteral("out/"));
    for (const QString& path : {one + "a.jpg", one + "b.png", two + "a.jpg", one + "b (copy).png", out + "a.png"})
        ASSERT_TRUE(fixtures::writeFile(path, "x"));
    ASSERT_TRUE(QFile::link(one + "a.jpg", out + "linked.png"));

    // Into another folder: same titles from two folders get a copy name, another file there
    // is replaced, a link to a source is a source.
    const QStringList sources{one + "a.jpg", two + "a.jpg", one + "b.png", out + "linked.png"};
    ExportNaming toOut(sources, dir.file(QStringLiteral("out")), QStringLiteral("png"));
    EXPECT_EQ(toOut.destinationFor(sources[0]), out + "a.png");
    EXPECT_EQ(toOut.destinationFor(sources[1]), out + "a (copy).png");
    EXPECT_EQ(toOut.destinationFor(sources[2]), out + "b.png");
    EXPECT_EQ(toOut.destinationFor(sources[3]), out + "linked (copy).png");

    // Into the source folder in the sources' own format: the originals stay, and a copy name
    // a file already holds is passed over.
    const QStringList inPlace{one + "b.png", one + "a.jpg"};
    ExportNaming toSource(inPlace, dir.file(QStringLiteral("one")), QStringLiteral("png"));
    EXPECT_EQ(toSource.destinationFor(inPlace[0]), one + "b (copy 2).png");
    EXPECT_EQ(toSource.destinationFor(inPlace[1]), one + "a.png");
    ExportNaming jpegInPlace({one + "a.jpg"}, dir.file(QStringLiteral("one")), QStringLiteral("jpg"));
    EXPECT_EQ(jpegInPlace.destinationFor(one + "a.jpg"), one + "a (copy).jpg");
}

}  // namespace
