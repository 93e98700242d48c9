#include "frame/DesktopCommands.h"

#include "app/CommandIds.h"
#include "browser/CImageListCtrl.h"
#include "browser/WallpaperJob.h"
#include "frame/CMainFrame.h"
#include "frame/EmailJob.h"
#include "viewer/CImageView.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace {

wallpaper::Locations locationsOf(const CMainFrame& frame)
{
    const QString config = frame.services().configPath;
    return {config.isEmpty() ? QString() : QFileInfo(config).absolutePath(), config};
}

QSize primaryScreenPixels()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return screen->size() * screen->devicePixelRatio();
}

// The image a Set Wallpaper command uses: the viewer's open file, or the list's current item's
// target when something is selected; empty when there is none.
QString wallpaperSource(const CMainFrame& frame, bool viewer)
{
    if (viewer) {
        const CImageView* view = frame.GetImageView();
        return view->hasImage() ? view->filePath() : QString();
    }
    const FolderItemList& items = frame.GetThumbnailList()->items();
    const int focused = items.GetFocusedItem();
    if (items.selectedCount() == 0 || !items.isValidIndex(focused))
        return QString();
    const FolderItem& item = items.at(focused);
    return item.countsAsImage() ? item.targetPath : QString();
}

// The files E-mail Images sends: the open image, or the selection when every selected item is
// an image.
QStringList emailFiles(const CMainFrame& frame, bool viewer)
{
    if (viewer) {
        const CImageView* view = frame.GetImageView();
        return view->hasImage() && !view->filePath().isEmpty() ? QStringList{view->filePath()} : QStringList();
    }
    const FolderItemList& items = frame.GetThumbnailList()->items();
    QStringList files;
    for (int i = 0; i < items.GetItemCount(); ++i) {
        if (!items.isSelected(i))
            continue;
        if (items.at(i).kind != ItemKind::Image)
            return {};
        files << items.at(i).path;
    }
    return files;
}

int styleOf(int id)
{
    return id == cmd::SetWallpaperTile ? DesktopWallpaper::Tile
           : id == cmd::SetWallpaperStretch ? DesktopWallpaper::Stretch
                                            : DesktopWallpaper::Center;
}

}  // namespace

namespace DesktopCommands {

bool handles(int id)
{
    return id == cmd::EmailImages || (id >= cmd::SetWallpaperCenter && id <= cmd::RestoreWallpaper);
}

bool isEnabled(int id, const CMainFrame& frame, bool viewer)
{
    if (id == cmd::EmailImages)
        return !emailFiles(frame, viewer).isEmpty();
    if (locationsOf(frame).configPath.isEmpty())
        return false;
    if (id == cmd::RestoreWallpaper)
        return wallpaper::hasOldWallpaper(locationsOf(frame));
    return !wallpaperSource(frame, viewer).isEmpty();
}

bool run(int id, CMainFrame& frame, bool viewer)
{
    if (id == cmd::EmailImages)
        return EmailSender::of(&frame)->StartEmailImages(emailFiles(frame, viewer));
    WallpaperJob* job = WallpaperJob::of(frame.GetThumbnailList());
    if (id == cmd::RestoreWallpaper) {
        DesktopWallpaper desktop = job->desktop();
        return wallpaper::RestoreWallpaper(locationsOf(frame), desktop, primaryScreenPixels());
    }
    const QString path = wallpaperSource(frame, viewer);
    if (path.isEmpty())
        return false;
    return job->StartWallpaperJob(path, styleOf(id), locationsOf(frame), primaryScreenPixels());
}

}  // namespace DesktopCommands
