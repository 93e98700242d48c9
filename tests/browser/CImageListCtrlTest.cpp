#include "browser/BrowserEvents.h"
#include "DensityRerun.h"
#include "browser/CFileNameEdit.h"
#include "browser/CImageListCtrl.h"
#include "browser/HoverText.h"
#include "browser/ThumbnailCache.h"

#include "app/MessageBoxSeam.h"
#include "app/ProfileFile.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>

namespace {

constexpr int kBound = 20000;

class RecordingHost : public ImageListHost {
public:
    QString title;
    QString focusedPath;
    QStringList opened;
    int statusRefreshes = 0;
    bool openImageInViewer(int, const QString& path) override
    {
        opened << path;
        return true;
    }
    void setFrameTitle(const QString& t) override { title = t; }
    void focusedPathChanged(const QString& p) override { focusedPath = p; }
    void refreshStatusBar() override { ++statusRefreshes; }
};

struct ListFixture {
    fixtures::TempDir dir;
    fixtures::TempDir settings;
    std::unique_ptr<ShellNamespace> shell;
    std::unique_ptr<CImageListCtrl> list;
    RecordingHost host;

    explicit ListFixture(const QString& ini = {})
    {
        if (!ini.isEmpty())
            fixtures::writeFile(settings.file("Config.ini"), ini.toUtf8());
        shell = std::make_unique<ShellNamespace>(QFile::encodeName(dir.path()), std::vector<MountRecord>{});
        CImageListCtrl::Options options;
        options.settingsPath = settings.file("Config.ini");
        options.useThumbnailCache = false;
        options.shell = shell.get();
        list = std::make_unique<CImageListCtrl>(options);
        list->setHost(&host);
        list->resize(600, 400);
    }
    bool browse() { return list->BrowseToPath(dir.path()); }
    bool showAndSettle()
    {
        list->show();
        if (!QTest::qWaitForWindowExposed(list.get()))
            return false;
        const bool idle = QTest::qWaitFor([&] {
            list->viewport()->repaint();
            return list->thumbnailsIdle();
        }, kBound);
        // The loader posts its last result before it counts as idle; take it in.
        QCoreApplication::sendPostedEvents();
        return idle;
    }
    int indexOf(const QString& name) const { return list->FindItemByPath(dir.file(name)); }
};

}  // namespace

TEST(CImageListCtrl, BrowsesSortsFocusesAndMakesThumbnailsOfWhatIsShown)
{
    ListFixture f("[Thumb]\nSortType=4\n");
    fixtures::writePatternJpeg(f.dir.file("b.jpg"), 320, 240);
    fixtures::writePatternJpeg(f.dir.file("a.jpg"), 160, 320);
    fixtures::writeFile(f.dir.file("empty.png"), "");
    fixtures::writeFile(f.dir.file("broken.jpg"), QByteArray("\xFF\xD8\xFF\xE0garbage", 12));
    fixtures::writeFile(f.dir.file("notes.txt"), "hello");
    QDir(f.dir.path()).mkdir("zfolder");
    ASSERT_TRUE(f.browse());

    EXPECT_EQ(f.list->settings().sortType, SortByName);  // photo sizes are unknown right after browsing
    EXPECT_EQ(f.list->GetItemCount(), 6);
    EXPECT_EQ(f.list->items().at(0).displayName, "zfolder");
    EXPECT_EQ(f.list->items().at(1).displayName, "a.jpg");
    EXPECT_EQ(f.list->GetFocusedItem(), 0);
    EXPECT_EQ(f.host.title, "Home - Kelvra Photo Viewer");  // the fixture's folder is the home folder
    EXPECT_EQ(f.host.focusedPath, f.dir.file("zfolder"));

    ASSERT_TRUE(f.showAndSettle());
    const FolderItem& a = f.list->items().at(f.indexOf("a.jpg"));
    ASSERT_TRUE(a.thumbnail.isValid());
    EXPECT_EQ(a.thumbnail.getHeight(), 85u);
    EXPECT_EQ(a.width, 160);
    const FolderItem& broken = f.list->items().at(f.indexOf("broken.jpg"));
    EXPECT_FALSE(broken.thumbnail.isValid());
    EXPECT_TRUE(broken.thumbnailFailed);
    EXPECT_TRUE(f.list->items().at(f.indexOf("empty.png")).thumbnailFailed);

    // Repainting does not queue the broken files again and again.
    f.list->viewport()->repaint();
    EXPECT_TRUE(f.list->thumbnailsIdle());

    // Photo Size now uses the sizes learned: unknown ones (0) first, keeping their order.
    f.list->runCommand(cmd::SortByPhotoSize);
    QStringList order;
    for (const FolderItem& r : f.list->items().records())
        order << r.displayName;
    EXPECT_EQ(order, QStringList({"zfolder", "broken.jpg", "empty.png", "notes.txt", "a.jpg", "b.jpg"}));

    f.list.reset();
    ProfileFile saved(f.settings.file("Config.ini"));
    EXPECT_EQ(saved.getInt("Thumb", "SortType", -1), 4);
}

TEST(CImageListCtrl, FollowsTheFolderOnDiskAndKeepsContentOfUnreadableFolders)
{
    ListFixture f;
    QDir(f.dir.path()).mkdir("shown");
    fixtures::writePatternJpeg(f.dir.file("shown/b.jpg"), 64, 48);
    fixtures::writeFile(f.dir.file("shown/c.txt"), "c");
    ASSERT_TRUE(f.list->BrowseToPath(f.dir.file("shown")));
    ASSERT_TRUE(f.showAndSettle());
    ASSERT_EQ(f.list->GetItemCount(), 2);

    // A new file appears at the end although it sorts first; the unchanged thumbnail stays.
    fixtures::writeFile(f.dir.file("shown/a.txt"), "a");
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.list->GetItemCount() == 3; }, kBound));
    EXPECT_EQ(f.list->items().at(2).displayName, "a.txt");
    EXPECT_TRUE(f.list->items().at(0).thumbnail.isValid());

    EXPECT_FALSE(f.list->BrowseToPath(f.dir.file("missing")));
    EXPECT_EQ(f.list->GetItemCount(), 3);

    QDir(f.dir.file("shown")).removeRecursively();
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.list->GetItemCount() == 0; }, kBound));
}

TEST(CImageListCtrl, RenamingInPlace)
{
    ListFixture f;
    fixtures::writeFile(f.dir.file("photo.jpg"), "x");
    fixtures::writeFile(f.dir.file("taken.jpg"), "y");
    QDir(f.dir.path()).mkdir("folder.v1");
    ASSERT_TRUE(f.browse());
    const int photo = f.indexOf("photo.jpg");
    // What the shared cache knew under the old name goes with the rename.
    const QByteArray oldNative = QFile::encodeName(f.dir.file("photo.jpg"));
    ASSERT_TRUE(ThumbnailCache::storeFailure(oldNative, QFileInfo(f.dir.file("photo.jpg")).lastModified().toSecsSinceEpoch()));
    const QString failEntry =
        ThumbnailCache::root() + "/fail/kelvra-1.0/" + ThumbnailCache::fileNameForUri(ThumbnailCache::uriForPath(oldNative));
    ASSERT_TRUE(QFile::exists(failEntry));

    ASSERT_TRUE(f.list->BeginLabelEdit(photo));
    CFileNameEdit* edit = f.list->labelEditor();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "photo");  // without its extension
    int beeps = 0;
    edit->setBeep([&] { ++beeps; });
    edit->clear();
    QTest::keyClicks(edit, "new/na:me?");
    EXPECT_EQ(edit->text(), "newname");
    EXPECT_EQ(beeps, 3);
    ASSERT_TRUE(f.list->EndLabelEdit(true));
    EXPECT_TRUE(QFile::exists(f.dir.file("newname.jpg")));
    EXPECT_GE(f.indexOf("newname.jpg"), 0);
    EXPECT_FALSE(QFile::exists(failEntry));

    // The same name or only spaces change nothing.
    const int renamed = f.indexOf("newname.jpg");
    ASSERT_TRUE(f.list->BeginLabelEdit(renamed));
    EXPECT_FALSE(f.list->EndLabelEdit(true));
    ASSERT_TRUE(f.list->BeginLabelEdit(renamed));
    f.list->labelEditor()->setText("   ");
    EXPECT_FALSE(f.list->EndLabelEdit(true));
    EXPECT_TRUE(QFile::exists(f.dir.file("newname.jpg")));

    // A folder shows its whole name; a clash fails and the editor opens again on the item.
    const int folder = f.indexOf("folder.v1");
    ASSERT_TRUE(f.list->BeginLabelEdit(folder));
    EXPECT_EQ(f.list->labelEditor()->text(), "folder.v1");
    f.list->EndLabelEdit(false);
    ASSERT_TRUE(f.list->BeginLabelEdit(f.indexOf("newname.jpg")));
    f.list->labelEditor()->setText("taken");
    EXPECT_FALSE(f.list->EndLabelEdit(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.list->editIndex() == f.indexOf("newname.jpg"); }, kBound));
    f.list->EndLabelEdit(false);

    // Volumes (mount points) may not be renamed.
    ShellNamespace computer(QFile::encodeName(f.dir.path()), filterVolumes({}, {}));
    CImageListCtrl::Options options;
    options.shell = &computer;
    options.settingsPath = f.settings.file("other.ini");
    CImageListCtrl volumes(options);
    ASSERT_TRUE(volumes.BrowseTo(ItemIdList({{ItemTag::Computer, {}}}), 0));
    ASSERT_EQ(volumes.GetItemCount(), 1);
    EXPECT_EQ(volumes.items().at(0).displayName, "File System");
    EXPECT_FALSE(volumes.BeginLabelEdit(0));
    EXPECT_EQ(volumes.editIndex(), -1);
}

TEST(CImageListCtrl, ARescanKeepsAnOpenRenameWhileItsItemIsThere)
{
    ListFixture f;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        fixtures::writeFile(f.dir.file(name), "x");
    ASSERT_TRUE(f.browse());
    ASSERT_TRUE(f.showAndSettle());
    ASSERT_TRUE(f.list->BeginLabelEdit(f.indexOf("c.txt")));
    f.list->labelEditor()->clear();
    QTest::keyClicks(f.list->labelEditor(), "typed");

    // The watcher's rescan for a new file, and one that moves the item to another index.
    fixtures::writeFile(f.dir.file("d.txt"), "x");
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.list->GetItemCount() == 4; }, kBound));
    ASSERT_TRUE(QFile::remove(f.dir.file("a.txt")));
    f.list->runCommand(cmd::Refresh);
    ASSERT_NE(f.list->labelEditor(), nullptr);
    EXPECT_TRUE(f.list->labelEditor()->isVisible());
    EXPECT_EQ(f.list->labelEditor()->text(), "typed");
    EXPECT_EQ(f.list->editIndex(), f.indexOf("c.txt"));
    EXPECT_EQ(f.list->labelEditor()->geometry().bottom(), f.list->itemRect(f.indexOf("c.txt")).bottom());
    ASSERT_TRUE(f.list->EndLabelEdit(true));
    EXPECT_TRUE(QFile::exists(f.dir.file("typed.txt")));

    // An item gone from the folder takes its editor with it.
    ASSERT_TRUE(f.list->BeginLabelEdit(f.indexOf("b.txt")));
    ASSERT_TRUE(QFile::remove(f.dir.file("b.txt")));
    f.list->Rescan();
    EXPECT_EQ(f.list->labelEditor(), nullptr);
    EXPECT_EQ(f.list->editIndex(), -1);
}

TEST(CImageListCtrl, WithoutAHostTheListWorksOnItsOwn)
{
    ListFixture f;
    fixtures::writeFile(f.dir.file("a.txt"), "x");
    f.list->setHost(nullptr);
    ASSERT_TRUE(f.browse());
    f.list->Rescan();
    f.list->selectOnly(0);
    f.list->runCommand(cmd::Copy);  // a host's command: nobody takes it
    EXPECT_TRUE(f.host.title.isEmpty());
}

TEST(CImageListCtrl, KeyboardTypeAheadShiftClickAndMenus)
{
    ListFixture f;
    for (const char* name : {"apple.jpg", "banana.jpg", "berry.txt", "cherry.png"})
        fixtures::writeFile(f.dir.file(name), "x");
    QDir(f.dir.path()).mkdir("dir");
    ASSERT_EQ(::symlink("apple.jpg", QFile::encodeName(f.dir.file("link")).constData()), 0);
    ASSERT_TRUE(f.browse());
    f.list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.list.get()));
    // dir, apple, banana, berry, cherry, link

    QTest::keyClick(f.list.get(), 'B');
    EXPECT_EQ(f.list->GetFocusedItem(), 2);
    QTest::keyClick(f.list.get(), 'b');
    EXPECT_EQ(f.list->GetFocusedItem(), 3);
    QTest::keyClick(f.list.get(), 'b');
    EXPECT_EQ(f.list->GetFocusedItem(), 2);  // wraps round
    QTest::keyClick(f.list.get(), 'z');
    EXPECT_EQ(f.list->GetFocusedItem(), 2);
    EXPECT_EQ(f.list->GetSelectedPaths(), QStringList({f.dir.file("banana.jpg")}));

    QTest::mouseClick(f.list->viewport(), Qt::LeftButton, Qt::ShiftModifier, f.list->itemRect(4).center());
    EXPECT_EQ(f.list->items().selectedCount(), 3);
    EXPECT_EQ(f.list->GetSelectedImageCount(), 2);  // banana and cherry
    EXPECT_EQ(f.list->items().firstSelected(), 2);

    QTest::keyClick(f.list.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.list->items().selectedCount(), 6);
    QTest::keyClick(f.list.get(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(f.list->settings().sortDirection, SortBackward);
    EXPECT_EQ(f.list->items().at(0).displayName, "dir");
    EXPECT_EQ(f.list->items().at(1).displayName, "link");

    // A link to an image opens in the viewer like the image itself.
    f.list->OpenItem(1);
    EXPECT_EQ(f.host.opened, QStringList({f.dir.file("link")}));

    EXPECT_EQ(f.list->contextMenuKind(-1), ListMenu::Background);
    EXPECT_EQ(f.list->contextMenuKind(0), ListMenu::Folder);
    EXPECT_EQ(f.list->contextMenuKind(1), ListMenu::Photo);  // a link to an image
    EXPECT_EQ(f.list->contextMenuKind(f.list->FindItemByPath(f.dir.file("berry.txt"))), ListMenu::File);
}

TEST(CImageListCtrl, OpeningAnImageTheViewerRefusesSaysSo)
{
    struct RefusingHost : ImageListHost {
        bool openImageInViewer(int, const QString&) override { return false; }
    } host;
    ListFixture f;
    fixtures::writeFile(f.dir.file("a.jpg"), "x");
    ASSERT_TRUE(f.browse());
    f.list->setHost(&host);
    QString shown;
    auto previous = MessageBoxSeam::setHandler([&](const MessageBoxSeam::Request& r) {
        shown = r.text;
        return QMessageBox::Ok;
    });
    f.list->OpenItem(0);
    MessageBoxSeam::setHandler(previous);
    EXPECT_EQ(shown, "Can not open this item.");

    f.list->setBusy(true);
    EXPECT_EQ(f.list->viewport()->cursor().shape(), Qt::BusyCursor);
    QEvent done(WM_WALLPAPER_DONE);
    QCoreApplication::sendEvent(f.list.get(), &done);
    EXPECT_FALSE(f.list->isBusy());
}

TEST(HoverText, LinesPerKind)
{
    fixtures::TempDir dir;
    fixtures::writePatternJpeg(dir.file("p.jpg"), 48, 32);
    const QByteArray d = QFile::encodeName(dir.path());
    const ShellNamespace shell(d, {});
    FolderItemList list;
    ASSERT_EQ(::symlink("p.jpg", (d + "/link").constData()), 0);
    QDir(dir.path()).mkdir("sub");
    fixtures::writeFile(dir.file("t.txt"), "1");
    ASSERT_TRUE(list.populate(shell, shell.idListFromPath(d), false));

    const QString image = HoverText(list.at(list.FindItemByPath(dir.file("p.jpg"))));
    EXPECT_TRUE(image.startsWith("Filename: p.jpg\nFile Location: " + dir.path() + "\nSize: ")) << image.toStdString();
    EXPECT_TRUE(image.contains("\nModified Date: 20"));
    EXPECT_TRUE(image.endsWith("\nImage Dimenstions: 48x32")) << image.toStdString();
    EXPECT_TRUE(HoverText(list.at(list.FindItemByPath(dir.file("link")))).startsWith("Filename: p.jpg\n"));
    const QString text = HoverText(list.at(list.FindItemByPath(dir.file("t.txt"))));
    EXPECT_TRUE(text.startsWith("Filename: t.txt\nSize: 1 byte\nModified Date: "));
    const QString folder = HoverText(list.at(list.FindItemByPath(dir.file("sub"))));
    EXPECT_TRUE(folder.startsWith("Filename: sub\nModified Date: "));
    EXPECT_FALSE(folder.contains("Size"));
}

// The dimensions come from the bytes of regular files: a FIFO named like a photo does not
// block the window, and a name that is not UTF-8 still gives its size.
TEST(HoverText, DimensionsOfOddFilesAreReadWithoutBlocking)
{
    fixtures::TempDir dir;
    const QByteArray d = QFile::encodeName(dir.path());
    ASSERT_EQ(::mkfifo((d + "/pipe.png").constData(), 0600), 0);
    ASSERT_TRUE(fixtures::patternImage(40, 30).save(FIF_PNG, dir.file("plain.png")));
    ASSERT_EQ(::rename((d + "/plain.png").constData(), (d + "/\xff photo.png").constData()), 0);
    const ShellNamespace shell(d, {});
    FolderItemList list;
    ASSERT_TRUE(list.populate(shell, shell.idListFromPath(d), false));
    const struct {
        QByteArray name;
        const char* dimensions;
    } cases[] = {{"pipe.png", ""}, {"\xff photo.png", "40x30"}};
    for (const auto& c : cases) {
        int index = -1;
        for (int i = 0; i < list.GetItemCount(); ++i)
            index = list.at(i).nativePath == d + '/' + c.name ? i : index;
        ASSERT_GE(index, 0) << c.name.toStdString();
        auto hover = std::async(std::launch::async, [&] { return HoverText(list.at(index)); });
        const bool prompt = hover.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        if (!prompt)
            ::close(::open((d + '/' + c.name).constData(), O_WRONLY | O_NONBLOCK));  // lets a blocked open end
        EXPECT_TRUE(prompt) << c.name.toStdString();
        EXPECT_TRUE(hover.get().endsWith(QStringLiteral("\nImage Dimenstions: ") + QLatin1String(c.dimensions)))
            << c.name.toStdString();
    }
}

TEST(CImageListCtrl, ResultsForGoneRecordsOrOldFoldersAreDroppedAndSizeChangesRemakeThumbnails)
{
    ListFixture f;
    fixtures::writePatternJpeg(f.dir.file("p.jpg"), 800, 600);
    ASSERT_TRUE(f.browse());
    ASSERT_TRUE(f.showAndSettle());
    ASSERT_EQ(f.list->items().at(0).thumbnail.getWidth(), 85u);

    // A result for a path no record has, and one made before the last browse, change nothing.
    ThumbnailReadyEvent gone;
    gone.path = QFile::encodeName(f.dir.file("deleted.jpg"));
    gone.generation = 0;
    gone.image = fipSuperImage(FIT_BITMAP, 10, 10, 24);
    QCoreApplication::sendEvent(f.list.get(), &gone);
    ASSERT_TRUE(f.list->BrowseToPath(f.dir.path()));
    ThumbnailReadyEvent stale;
    stale.path = QFile::encodeName(f.dir.file("p.jpg"));
    stale.generation = 0;
    stale.image = fipSuperImage(FIT_BITMAP, 10, 10, 24);
    QCoreApplication::sendEvent(f.list.get(), &stale);
    EXPECT_FALSE(f.list->items().at(0).thumbnail.isValid());

    // A bigger cell asks for a bigger thumbnail.
    ASSERT_TRUE(f.showAndSettle());
    f.list->SetThumbnailSize(200, 200);
    EXPECT_EQ(f.list->metrics().cellWidth, 226);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        f.list->viewport()->repaint();
        return f.list->thumbnailsIdle() && f.list->items().at(0).thumbnail.getWidth() == 200u;
    }, kBound));
    EXPECT_EQ(f.list->items().at(0).thumbnail.getHeight(), 150u);
}

TEST(CImageListCtrl, AnEmptyFolderHasNoFocusAndShowsItsText)
{
    ListFixture f;
    ASSERT_TRUE(f.browse());
    EXPECT_EQ(f.list->GetItemCount(), 0);
    EXPECT_EQ(f.list->GetFocusedItem(), -1);
    EXPECT_EQ(f.host.focusedPath, QString());
    f.list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.list.get()));
    const QImage shown = f.list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int white = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < shown.width(); ++x)
            white += qGray(shown.pixel(x, y)) > 200 ? 1 : 0;  // white text, antialiased
    EXPECT_GT(white, 20);
    EXPECT_EQ(shown.pixel(shown.width() / 2, shown.height() - 5), CellColors::Background.rgb());
}

namespace {

// At twice the pixel density a thumbnail is made with twice the pixels and drawn one to one:
// the sharp 1-pixel stripes of the photo still alternate in the grabbed list. The test runs
// itself again in a process whose screen has that density.
TEST(CImageListCtrl, ThumbnailsAreMadeAndDrawnAtTheScreensDensity)
{
    if (qApp->devicePixelRatio() < 2) {
        fixtures::rerunAtDensity(QStringLiteral("2"));
        return;
    }
    ListFixture f;
    // 170 x 170 pixels (the thumbnail box at 2x), 1-pixel black and white columns.
    QImage stripes(170, 170, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < stripes.height(); ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    ASSERT_TRUE(stripes.save(f.dir.file("stripes.png")));
    ASSERT_TRUE(f.browse());
    ASSERT_TRUE(f.showAndSettle());
    const FolderItem& item = f.list->items().at(0);
    ASSERT_TRUE(item.thumbnail.isValid());
    EXPECT_EQ(item.thumbnail.getWidth(), 2u * f.list->settings().thumbWidth);

    const QImage shot = f.list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.devicePixelRatio(), 2.0);
    // Along a row through the picture's middle, neighbours differ sharply all the way.
    const QRect cell = f.list->itemRect(0);
    const int y = 2 * (cell.top() + (cell.height() - 17) / 2);
    int sharpSteps = 0;
    for (int x = 2 * cell.left(); x < 2 * cell.right(); ++x)
        if (std::abs(qGray(shot.pixel(x, y)) - qGray(shot.pixel(x + 1, y))) > 200)
            ++sharpSteps;
    EXPECT_GT(sharpSteps, 150);
}

// A screen reader moves through the cells as through a list's items.
TEST(CImageListCtrl, ScreenReadersSeeTheCellsAsListItems)
{
    ListFixture f;
    for (const char* name : {"a.png", "b.png", "c.png"})
        ASSERT_TRUE(fixtures::writeFile(f.dir.file(name), "not really"));
    ASSERT_TRUE(f.browse());
    ASSERT_TRUE(f.showAndSettle());
    f.list->setFocus();
    f.list->setFocusedItem(1);
    QAccessibleInterface* thumbnails = QAccessible::queryAccessibleInterface(f.list.get());
    ASSERT_EQ(thumbnails->role(), QAccessible::List);
    ASSERT_EQ(thumbnails->childCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* cell = thumbnails->child(i);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->role(), QAccessible::ListItem);
        EXPECT_EQ(cell->text(QAccessible::Name), f.list->items().at(i).displayName);
        EXPECT_EQ(cell->state().focused, i == 1);
        EXPECT_EQ(thumbnails->indexOfChild(cell), i);
        EXPECT_EQ(thumbnails->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
    }
    EXPECT_EQ(thumbnails->focusChild(), thumbnails->child(1));
    // After the folder shrinks, a cell past its end is no longer valid.
    QAccessibleInterface* last = thumbnails->child(2);
    ASSERT_TRUE(QFile::remove(f.dir.file("c.png")));
    f.list->Rescan();
    EXPECT_EQ(thumbnails->childCount(), 2);
    EXPECT_FALSE(last->isValid());
}

}  // namespace
