#include "browser/FileCommands.h"

#include "app/MessageBoxSeam.h"
#include "browser/CImageListCtrl.h"
#include "platform/ShellActions.h"
#include "platform/ShellNamespace.h"

#include "TestFixtures.h"
#include "imaging/fipSuperImage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QPrinter>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// Answers every message box with `answer` and keeps what was asked.
class Answers {
public:
    explicit Answers(QMessageBox::StandardButton answer)
    {
        m_previous = MessageBoxSeam::setHandler([this, answer](const MessageBoxSeam::Request& r) {
            asked << r.text;
            return answer;
        });
    }
    ~Answers() { MessageBoxSeam::setHandler(m_previous); }
    QStringList asked;

private:
    MessageBoxSeam::Handler m_previous;
};

class FileCommandsTest : public ::testing::Test {
protected:
    FileCommandsTest()
    {
        QDir(dir.path()).mkpath("from/inner");
        QDir(dir.path()).mkpath("to");
        fixtures::writeFile(dir.file("from/a.jpg"), "A");
        fixtures::writeFile(dir.file("from/b c.png"), "B");
    }
    fixtures::TempDir dir;
};

}  // namespace

TEST_F(FileCommandsTest, CutThenPasteMovesAndTheClipboardKeepsTheOldPaths)
{
    const PathList paths{native(dir.file("from/a.jpg")), native(dir.file("from/b c.png"))};
    ASSERT_TRUE(FileCommands::CutToClipboard(paths));
    ASSERT_TRUE(FileCommands::ClipboardHasFiles());
    EXPECT_TRUE(FileCommands::PasteFiles(nullptr, native(dir.file("to"))));
    EXPECT_EQ(fixtures::readFile(dir.file("to/b c.png")), "B");
    EXPECT_FALSE(QFile::exists(dir.file("from/a.jpg")));
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->data("x-special/gnome-copied-files").startsWith("cut\nfile://"));
    EXPECT_TRUE(data->data("x-special/gnome-copied-files").contains("/from/a.jpg"));
}

TEST_F(FileCommandsTest, AClipboardWrittenByAnotherFileManagerIsPasted)
{
    auto* data = new QMimeData;
    data->setData("x-special/gnome-copied-files",
                  "copy\nfile://" + native(dir.file("from/b c.png")).replace(" ", "%20"));
    QApplication::clipboard()->setMimeData(data);
    EXPECT_TRUE(FileCommands::PasteFiles(nullptr, native(dir.file("to"))));
    EXPECT_EQ(fixtures::readFile(dir.file("to/b c.png")), "B");
    EXPECT_TRUE(QFile::exists(dir.file("from/b c.png")));

    // Copy and paste into the same folder makes a copy name, never an overwrite.
    FileCommands::CopyToClipboard({native(dir.file("to/b c.png"))});
    EXPECT_TRUE(FileCommands::PasteFiles(nullptr, native(dir.file("to"))));
    EXPECT_EQ(fixtures::readFile(dir.file("to/b c (copy).png")), "B");
}

TEST_F(FileCommandsTest, PastingAFolderIntoItselfIsRefusedWithAMessage)
{
    Answers answers(QMessageBox::Ok);
    FileCommands::CopyToClipboard({native(dir.file("from"))});
    EXPECT_FALSE(FileCommands::PasteFiles(nullptr, native(dir.file("from/inner"))));
    ASSERT_EQ(answers.asked.size(), 1);
    EXPECT_TRUE(answers.asked[0].contains("inside"));
    EXPECT_EQ(QDir(dir.file("from/inner")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 0);
}

TEST_F(FileCommandsTest, AConflictAsksAndNoKeepsTheOldFile)
{
    fixtures::writeFile(dir.file("to/a.jpg"), "old");
    Answers answers(QMessageBox::No);
    EXPECT_TRUE(FileCommands::Transfer(false, {native(dir.file("from/a.jpg"))}, native(dir.file("to")), nullptr));
    EXPECT_EQ(answers.asked.size(), 1);
    EXPECT_EQ(fixtures::readFile(dir.file("to/a.jpg")), "old");
}

TEST_F(FileCommandsTest, DeleteAsksFirstAndTrashesOnlyOnYes)
{
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", native(dir.file("data")));
    {
        Answers no(QMessageBox::No);
        EXPECT_FALSE(FileCommands::DeleteToTrash({native(dir.file("from/a.jpg"))}, nullptr));
        EXPECT_TRUE(QFile::exists(dir.file("from/a.jpg")));
    }
    Answers yes(QMessageBox::Yes);
    EXPECT_TRUE(FileCommands::DeleteToTrash({native(dir.file("from/a.jpg"))}, nullptr));
    EXPECT_FALSE(QFile::exists(dir.file("from/a.jpg")));
    EXPECT_TRUE(QFile::exists(dir.file("data/Trash/info/a.jpg.trashinfo")));
    qputenv("XDG_DATA_HOME", oldDataHome);
}

TEST_F(FileCommandsTest, ListCommandsFollowTheSelection)
{
    using namespace cmd;
    FileCommands::ListContext c;
    c.folder = native(dir.file("from"));
    EXPECT_TRUE(FileCommands::isListCommandEnabled(NewFolder, c));
    EXPECT_FALSE(FileCommands::isListCommandEnabled(Copy, c));
    EXPECT_FALSE(FileCommands::isListCommandEnabled(Delete, c));
    EXPECT_TRUE(FileCommands::isListCommandEnabled(LocateOnDisk, c));

    c.selected = {native(dir.file("from/a.jpg"))};
    c.current = c.selected[0];
    c.currentSelected = true;
    c.currentIsImage = c.allSelectedImages = c.allMayCopy = c.allMayMove = c.allMayDelete = true;
    EXPECT_TRUE(FileCommands::isListCommandEnabled(Copy, c));
    EXPECT_TRUE(FileCommands::isListCommandEnabled(RotateLeft, c));
    c.viewerMode = true;
    EXPECT_FALSE(FileCommands::isListCommandEnabled(Copy, c));

    // New Folder beside "New Folder" and "new folder (2)" makes "New Folder (3)" and renames it.
    QDir(dir.path()).mkpath("from/New Folder");
    QDir(dir.path()).mkpath("from/new folder (2)");
    QString renamed;
    int rescans = 0;
    c.rescan = [&] { ++rescans; };
    c.beginRename = [&](const QString& name) { renamed = name; };
    EXPECT_TRUE(FileCommands::runListCommand(NewFolder, c));
    EXPECT_TRUE(QFileInfo(dir.file("from/New Folder (3)")).isDir());
    EXPECT_EQ(renamed, "New Folder (3)");
    EXPECT_EQ(rescans, 1);

    // Copy to Folder asks for the folder; cancelling does nothing.
    c.viewerMode = false;
    QString chosen;
    auto previous = ShellActions::setFolderChooser([&](QWidget*, const QString& title, const QString&) {
        return title == "Copy Files" ? chosen : QString();
    });
    EXPECT_FALSE(FileCommands::runListCommand(CopyToFolder, c));
    chosen = dir.file("to");
    EXPECT_TRUE(FileCommands::runListCommand(CopyToFolder, c));
    EXPECT_EQ(fixtures::readFile(dir.file("to/a.jpg")), "A");
    ShellActions::setFolderChooser(previous);
}

TEST_F(FileCommandsTest, TheListsSelectionBecomesTheCommandsSubject)
{
    fixtures::TempDir settings;
    ShellNamespace shell(native(dir.path()), {});
    CImageListCtrl::Options options;
    options.settingsPath = settings.file("Config.ini");
    options.useThumbnailCache = false;
    options.shell = &shell;
    CImageListCtrl list(options);
    ASSERT_TRUE(list.BrowseToPath(dir.file("from")));
    const int image = list.FindItemByPath(dir.file("from/a.jpg"));
    const int folder = list.FindItemByPath(dir.file("from/inner"));
    ASSERT_GE(image, 0);
    ASSERT_GE(folder, 0);

    auto c = FileCommands::fromList(list, nullptr, nullptr, false);
    EXPECT_TRUE(c.selected.empty());
    EXPECT_EQ(c.folder, native(dir.file("from")));
    EXPECT_FALSE(FileCommands::isListCommandEnabled(cmd::Delete, c));

    list.selectOnly(image);
    list.setFocusedItem(image);
    c = FileCommands::fromList(list, nullptr, nullptr, false);
    EXPECT_EQ(c.selected, PathList{native(dir.file("from/a.jpg"))});
    EXPECT_TRUE(c.currentIsImage && c.allSelectedImages && !c.currentIsFolder);
    EXPECT_TRUE(FileCommands::isListCommandEnabled(cmd::Cut, c));
    EXPECT_TRUE(FileCommands::isListCommandEnabled(cmd::OpenWithProgram, c));

    // With the copied file still selected, Paste goes beside it under a copy name.
    FileCommands::CopyToClipboard({native(dir.file("from/a.jpg"))});
    EXPECT_TRUE(FileCommands::isListCommandEnabled(cmd::Paste, c));
    EXPECT_TRUE(FileCommands::runListCommand(cmd::Paste, c));
    EXPECT_EQ(fixtures::readFile(dir.file("from/a (copy).jpg")), "A");

    // A selected folder takes the paste.
    FileCommands::CopyToClipboard({native(dir.file("from/b c.png"))});
    list.selectOnly(folder);
    list.setFocusedItem(folder);
    c = FileCommands::fromList(list, nullptr, nullptr, false);
    EXPECT_FALSE(FileCommands::isListCommandEnabled(cmd::RotateLeft, c));
    EXPECT_TRUE(FileCommands::runListCommand(cmd::Paste, c));
    EXPECT_EQ(fixtures::readFile(dir.file("from/inner/b c.png")), "B");
}

namespace {

// A list over `folder` with nothing cached, for commands that need real images.
struct ImageList {
    fixtures::TempDir settings;
    ShellNamespace shell;
    std::unique_ptr<CImageListCtrl> list;
    explicit ImageList(const QString& folder) : shell(native(folder), {})
    {
        CImageListCtrl::Options options;
        options.settingsPath = settings.file("Config.ini");
        options.useThumbnailCache = false;
        options.shell = &shell;
        list = std::make_unique<CImageListCtrl>(options);
        list->BrowseToPath(folder);
    }
    FileCommands::ListContext contextFor(const QString& path)
    {
        const int index = list->FindItemByPath(path);
        list->selectOnly(index);
        list->setFocusedItem(index);
        return FileCommands::fromList(*list, nullptr, nullptr, false);
    }
};

}  // namespace

TEST_F(FileCommandsTest, PrintPutsAnyReadableFormatOnOnePageOfItsOrientation)
{
    // A format Qt cannot read by itself: the image library reads it for the printer.
    const QString tall = dir.file("tall.j2k");
    ASSERT_TRUE(fixtures::patternImage(40, 120).save(tall, 0));
    ImageList images(dir.path());
    auto c = images.contextFor(tall);
    ASSERT_TRUE(FileCommands::isListCommandEnabled(cmd::Print, c));

    const QString pdf = dir.file("out.pdf");
    int asked = 0;
    c.askPrinter = [&](QWidget*, QPrinter& printer) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return asked == 1;  // the second time the user cancels
    };
    EXPECT_TRUE(FileCommands::runListCommand(cmd::Print, c));
    const QByteArray bytes = fixtures::readFile(pdf);
    ASSERT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 1);
    const QRegularExpressionMatch box =
        QRegularExpression("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]").match(QString::fromLatin1(bytes));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_LT(box.captured(1).toDouble(), box.captured(2).toDouble());  // portrait for a tall image

    QFile::remove(pdf);
    EXPECT_FALSE(FileCommands::runListCommand(cmd::Print, c));
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(FileCommandsTest, CopyImageToClipboardPutsTheCurrentImagesPixelsThere)
{
    const QString photo = fixtures::writePatternJpeg(dir.file("photo.jpg"), 48, 32);
    ASSERT_FALSE(photo.isEmpty());
    ImageList images(dir.path());
    QApplication::clipboard()->clear();
    auto c = images.contextFor(photo);
    ASSERT_TRUE(FileCommands::runListCommand(cmd::CopyImageToClipboard, c));
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(48, 32));
    EXPECT_NEAR(qRed(copied.pixel(5, 3)), fixtures::patternColor(5, 3).rgbRed, 12);

    // Not an image: the command is off and the clipboard keeps the picture.
    c = images.contextFor(dir.file("from"));
    EXPECT_FALSE(FileCommands::runListCommand(cmd::CopyImageToClipboard, c));
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(48, 32));
}

TEST_F(FileCommandsTest, ALongCopyShowsAModalProgressAndCancelLeavesNoPartialFile)
{
    // A sparse gigabyte takes no disk yet copies for long enough that the Cancel click lands.
    const QString huge = dir.file("from/huge.raw");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64(1) << 30));
    }
    const QString big = dir.file("from/big.raw");
    ASSERT_TRUE(fixtures::writeFile(big, QByteArray(8 << 20, 'x')));
    Answers answers(QMessageBox::Ok);
    QList<int> seen;
    bool cancel = true;
    bool modal = true;
    const auto previous = FileCommands::setProgressObserver([&](QProgressDialog& dialog) {
        seen << dialog.value();
        modal &= dialog.isVisible() && QApplication::activeModalWidget() == &dialog;
        if (cancel) {
            auto* button = dialog.findChild<QPushButton*>();
            ASSERT_TRUE(button);
            button->click();
        }
    });

    EXPECT_FALSE(FileCommands::Transfer(false, {native(huge)}, native(dir.file("to")), nullptr));
    EXPECT_EQ(QDir(dir.file("to")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList())
        << "the unfinished copy is removed";
    EXPECT_TRUE(answers.asked.isEmpty()) << "a cancel is no error";

    seen.clear();
    cancel = false;
    EXPECT_TRUE(FileCommands::Transfer(false, {native(big)}, native(dir.file("to")), nullptr));
    EXPECT_EQ(QFileInfo(dir.file("to/big.raw")).size(), 8 << 20);
    ASSERT_GE(seen.size(), 8);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 1000);
    EXPECT_TRUE(modal) << "no other command can start while the files move";
    FileCommands::setProgressObserver(previous);
}

TEST_F(FileCommandsTest, TheReplaceQuestionIsAnsweredInTheRealBoxWithNoProgressOverIt)
{
    fixtures::writeFile(dir.file("to/a.jpg"), "old");
    // Watches the real dialogs: once the question has been open longer than a progress dialog
    // waits before it shows, it must still be the only window and take the answer.
    bool progressSeen = false;
    bool asked = false;
    QElapsedTimer open;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            open.invalidate();  // the copy's own progress may show once the question is answered
            return;
        }
        for (QWidget* w : QApplication::topLevelWidgets())
            progressSeen |= qobject_cast<QProgressDialog*>(w) && w->isVisible();
        if (!open.isValid())
            open.start();
        if (open.elapsed() < 700)
            return;
        asked = true;
        box->button(QMessageBox::Yes)->click();
    });
    timer.start();
    EXPECT_TRUE(FileCommands::Transfer(false, {native(dir.file("from/a.jpg"))}, native(dir.file("to")), nullptr));
    timer.stop();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(progressSeen);
    EXPECT_EQ(fixtures::readFile(dir.file("to/a.jpg")), "A");
}

TEST_F(FileCommandsTest, YesToAFolderMergesAndYesToAllAnswersTheRest)
{
    QDir(dir.path()).mkpath("to/from/inner");
    fixtures::writeFile(dir.file("to/from/only-here"), "K");
    fixtures::writeFile(dir.file("to/from/a.jpg"), "old");
    fixtures::writeFile(dir.file("from/inner/c"), "C");
    fixtures::writeFile(dir.file("to/from/inner/c"), "old");
    QStringList asked;
    const auto previous = MessageBoxSeam::setHandler([&](const MessageBoxSeam::Request& r) {
        asked << r.text;
        EXPECT_TRUE(r.buttons.testFlags(QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll
                                        | QMessageBox::Cancel));
        return asked.size() == 1 ? QMessageBox::Yes : QMessageBox::YesToAll;
    });
    EXPECT_TRUE(FileCommands::Transfer(true, {native(dir.file("from"))}, native(dir.file("to")), nullptr));
    MessageBoxSeam::setHandler(previous);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].contains("merge"));
    EXPECT_EQ(fixtures::readFile(dir.file("to/from/only-here")), "K");
    EXPECT_EQ(fixtures::readFile(dir.file("to/from/a.jpg")), "A");
    EXPECT_EQ(fixtures::readFile(dir.file("to/from/b c.png")), "B");
    EXPECT_EQ(fixtures::readFile(dir.file("to/from/inner/c")), "C");
    EXPECT_FALSE(QFile::exists(dir.file("from")));
}

TEST_F(FileCommandsTest, RotatingSelectedFilesTurnsJpegsLosslesslyAndOthersByTheirPixels)
{
    const QString photo = fixtures::writePatternJpeg(dir.file("photo.jpg"), 64, 48);
    const QString png = dir.file("plain.png");
    ASSERT_TRUE(fixtures::patternImage(30, 20).save(png, 0));
    fipSuperImage before;
    ASSERT_TRUE(before.load(photo));
    ImageList images(dir.path());

    auto c = images.contextFor(photo);
    ASSERT_TRUE(FileCommands::runListCommand(cmd::RotateRight, c));
    fipSuperImage turned;
    ASSERT_TRUE(turned.load(photo));
    ASSERT_EQ(turned.getWidth(), 48u);
    ASSERT_EQ(turned.getHeight(), 64u);
    // Lossless: the decoded pixels are the old ones turned, up to the decoder's rounding; a new
    // encoding at the library's default quality is off by far more on this pattern.
    ASSERT_TRUE(before.rotate(270));
    int worst = 0;
    for (unsigned y = 0; y < 64; ++y)
        for (unsigned x = 0; x < 48; ++x) {
            const RGBQUAD a = fixtures::pixelAt(before, x, y), b = fixtures::pixelAt(turned, x, y);
            worst = std::max({worst, std::abs(a.rgbRed - b.rgbRed), std::abs(a.rgbGreen - b.rgbGreen),
                              std::abs(a.rgbBlue - b.rgbBlue)});
        }
    EXPECT_LE(worst, 3);

    c = images.contextFor(png);
    ASSERT_TRUE(FileCommands::runListCommand(cmd::Rotate180, c));
    fipSuperImage flipped;
    ASSERT_TRUE(flipped.load(png));
    const RGBQUAD corner = fixtures::pixelAt(flipped, 29, 19);
    EXPECT_EQ(corner.rgbRed, fixtures::patternColor(0, 0).rgbRed);
    EXPECT_EQ(corner.rgbGreen, fixtures::patternColor(0, 0).rgbGreen);
}

TEST_F(FileCommandsTest, DeleteOfALinkTrashesTheLinkAndNeverItsTarget)
{
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", native(dir.file("data")));
    QDir(dir.path()).mkpath("elsewhere");
    const QString target = fixtures::writePatternJpeg(dir.file("elsewhere/t.jpg"), 16, 16);
    ASSERT_TRUE(QFile::link(target, dir.file("from/ln.jpg")));
    ImageList images(dir.file("from"));
    auto c = images.contextFor(dir.file("from/ln.jpg"));
    ASSERT_EQ(c.selected, PathList{native(dir.file("from/ln.jpg"))});
    Answers yes(QMessageBox::Yes);
    EXPECT_TRUE(FileCommands::runListCommand(cmd::Delete, c));
    EXPECT_TRUE(QFileInfo(target).isFile());
    EXPECT_FALSE(QFileInfo(dir.file("from/ln.jpg")).isSymLink());
    EXPECT_TRUE(QFileInfo(dir.file("data/Trash/files/ln.jpg")).isSymLink());
    qputenv("XDG_DATA_HOME", oldDataHome);
}
