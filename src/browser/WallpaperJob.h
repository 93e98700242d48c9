#pragma once
// Set Wallpaper: any image becomes the desktop's picture, centred, tiled or stretched. The
// image is converted to a BMP of the program's own (fitted to the screen when larger) and
// handed to the desktop's wallpaper service; the first time, the desktop's previous picture
// and placement are remembered in Config.ini so Restore can bring them back.

#include "platform/DesktopWallpaper.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

#include <memory>

class CImageListCtrl;
class QThread;

namespace wallpaper {

// Where the files live: under the data folder, with the settings in Config.ini.
struct Locations {
    QString dataFolder;
    QString configPath;
    QString folder() const { return dataFolder + QStringLiteral("/Images/Wallpaper"); }
    QString programWallpaper() const { return folder() + QStringLiteral("/Kelvra Wallpaper.bmp"); }
    QString oldWallpaper() const { return folder() + QStringLiteral("/Old Wallpaper.bmp"); }
};

// The size the picture is saved at: a picture larger than the screen is fitted inside it,
// keeping its shape, except for Stretch, which the desktop scales itself.
QSize fittedSize(QSize image, QSize screen, int style);

bool SetWallpaper(const Locations& at, DesktopWallpaper& desktop, const QString& path, int style, QSize screen);
bool RememberOldWallpaper(const Locations& at, DesktopWallpaper& desktop);
// Brings back what was remembered and forgets it; always succeeds.
bool RestoreWallpaper(const Locations& at, DesktopWallpaper& desktop, QSize screen);
bool hasOldWallpaper(const Locations& at);

}  // namespace wallpaper

// The list's one wallpaper worker (a child of the list, found by `of`). The worker runs at
// idle priority; the list shows it is busy until `WM_WALLPAPER_DONE` arrives.
class WallpaperJob : public QObject {
    Q_OBJECT
public:
    explicit WallpaperJob(CImageListCtrl* list);
    ~WallpaperJob() override;  // waits for a running job

    static WallpaperJob* of(CImageListCtrl* list);

    // `StartWallpaperJob`: false when a job still runs (the user is told so).
    bool StartWallpaperJob(const QString& path, int style, const wallpaper::Locations& at, QSize screen);
    bool isRunning() const;

    // The service the next jobs use; by default the one the session names.
    void setDesktop(DesktopWallpaper desktop) { m_desktop = desktop; }
    DesktopWallpaper desktop() const { return m_desktop; }

signals:
    void finished(bool ok);

protected:
    bool event(QEvent* event) override;

private:
    QPointer<CImageListCtrl> m_list;
    std::unique_ptr<QThread> m_thread;
    DesktopWallpaper m_desktop;
};
