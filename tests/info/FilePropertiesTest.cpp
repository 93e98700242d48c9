#include "info/CFilePropertyDlg.h"
#include "info/FileFacts.h"

#include "InfoFixtures.h"
#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::vector<std::pair<QString, QString>> rows(const QTreeWidget* list)
{
    std::vector<std::pair<QString, QString>> out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out.emplace_back(list->topLevelItem(i)->text(0), list->topLevelItem(i)->text(1));
    return out;
}

}  // namespace

TEST(FileFacts, SizeTexts)
{
    const struct { uint64_t bytes; const char* text; } cases[] = {
        {0, "0 byte (0 byte)"},
        {1, "1 byte (1 byte)"},
        {1023, "1023 bytes (1,023 bytes)"},
        {1024, "1.00 KB (1,024 bytes)"},
        {1572864, "1.50 MB (1,572,864 bytes)"},
        {5368709120ull, "5.00 GB (5,368,709,120 bytes)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filefacts::sizeText(c.bytes), QString::fromLatin1(c.text));
}

TEST(FileProperties, ACameraJpegListsItsGroupsBetweenSeparators)
{
    fixtures::TempDir dir;
    const QString path = infofix::writeCameraJpeg(dir.file("cam.jpg"), infofix::cameraTags());
    CFilePropertyDlg dialog({path});
    EXPECT_EQ(dialog.windowTitle(), "Properties");
    EXPECT_EQ(dialog.field("Filename")->text(), "cam.jpg");
    EXPECT_EQ(dialog.field("Location")->text(), dir.path());
    EXPECT_EQ(dialog.field("Size")->text(), filefacts::sizeText(uint64_t(QFileInfo(path).size())));
    EXPECT_EQ(dialog.field("Modified")->text(), QFileInfo(path).lastModified().toString("yyyy-MM-dd HH:mm:ss"));
    EXPECT_FALSE(dialog.field("Accessed")->text().isEmpty());
    EXPECT_TRUE(dialog.prevButton()->isHidden());
    EXPECT_TRUE(dialog.nextButton()->isHidden());
    EXPECT_TRUE(dialog.counter()->isHidden());

    const std::vector<std::pair<QString, QString>> want = {
        {"Camera make", "Kestrel"},
        {"Camera model", "K-100"},
        {"Orientation", "Right top"},
        {"X resolution", "72.0"},
        {"Resolution unit", "Inch"},
        {"Date/time", "2024:05:01 10:20:30"},
        {"", ""},
        {"Exposure time", "1/250 s"},
        {"F-number", "f/2.8"},
        {"Exposure program", "Aperture priority"},
        {"ISO speed", "400"},
        {"Components configuration", "YCbCr"},
        {"Exposure bias", "-0.67 eV"},
        {"Light source", "Unknown"},
        {"Flash", "Flash fired, auto mode"},
        {"Focal length", "50.0 mm"},
        {"Pixel X dimention", "64"},
        {"", ""},
        {"Exif version", "2.2"},
        {"File source", "DSC"},
    };
    EXPECT_EQ(rows(dialog.list()), want);
}

TEST(FileProperties, PngWithoutExifStepsThroughSeveralFilesAndASparseGiant)
{
    fixtures::TempDir dir;
    const QString png = dir.file("plain.png");
    QImage(8, 8, QImage::Format_RGB32).save(png);
    const QString one = dir.file("one.txt");
    fixtures::writeFile(one, "x");
    const QString giant = dir.file("giant.bin");
    {
        const int fd = ::open(QFile::encodeName(giant).constData(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, 5368709120LL), 0);
        ::close(fd);
    }
    CFilePropertyDlg dialog({png, one, giant});
    EXPECT_FALSE(dialog.nextButton()->isHidden());
    EXPECT_FALSE(dialog.prevButton()->isEnabled());
    EXPECT_EQ(dialog.counter()->text(), "1 of 3 files");
    EXPECT_EQ(rows(dialog.list()), (std::vector<std::pair<QString, QString>>{{"", ""}, {"", ""}}));

    QTest::mouseClick(dialog.nextButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.counter()->text(), "2 of 3 files");
    EXPECT_EQ(dialog.field("Size")->text(), "1 byte (1 byte)");
    EXPECT_TRUE(dialog.prevButton()->isEnabled());
    EXPECT_EQ(dialog.list()->topLevelItemCount(), 0);  // not an image

    dialog.OnNext();
    EXPECT_EQ(dialog.field("Size")->text(), "5.00 GB (5,368,709,120 bytes)");
    EXPECT_FALSE(dialog.nextButton()->isEnabled());
    dialog.OnPrev();
    dialog.OnPrev();
    EXPECT_EQ(dialog.field("Filename")->text(), "plain.png");
    EXPECT_FALSE(dialog.prevButton()->isEnabled());
}

TEST(FileProperties, AFolderOfManyFilesIsAddedUpOffTheWindowThread)
{
    fixtures::TempDir dir;
    const QString folder = dir.file("many");
    QDir().mkpath(folder + "/sub");
    fixtures::writeFile(folder + "/sub/ten.bin", QByteArray(10, 'x'));
    ::symlink("/usr", QFile::encodeName(folder + "/link").constData());  // never followed
    for (int i = 0; i < 100000; ++i) {
        const int fd = ::open(QFile::encodeName(folder + "/f" + QString::number(i)).constData(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    CFilePropertyDlg dialog({folder});
    // The dialog is up before the walk is done; the size arrives by event.
    EXPECT_TRUE(dialog.field("Size")->text().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.field("Size")->text().isEmpty(); }, 60000));
    EXPECT_EQ(dialog.field("Size")->text(), "10 bytes (10 bytes)");
    EXPECT_FALSE(dialog.sizePending());
}

TEST(FileProperties, ClosingDuringAWalkEndsIt)
{
    fixtures::TempDir dir;
    for (int i = 0; i < 2000; ++i)
        fixtures::writeFile(dir.file("f" + QString::number(i)), "ab");
    auto dialog = std::make_unique<CFilePropertyDlg>(QStringList{dir.path(), dir.path()});
    dialog->OnNext();  // the first walk is abandoned
    dialog.reset();    // and the second one too, without a hang
    QCoreApplication::processEvents();
    SUCCEED();
}
