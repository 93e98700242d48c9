#include "browser/WallpaperJob.h"

#include "app/MessageBoxSeam.h"
#include "app/ProfileFile.h"
#include "browser/BrowserEvents.h"
#include "browser/CImageListCtrl.h"
#include "imaging/fipSuperImage.h"
#include "platform/ThreadPriority.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cmath>

namespace {

const QString kSection = QStringLiteral("OldWallpaper");
const QString kHas = QStringLiteral("HasOldWallpaper");
const QString kFilePath = QStringLiteral("FilePath");
const QString kStyle = QStringLiteral("WallpaperStyle");
// The service's own placement word, kept beside the three styles so a placement the program
// does not offer (GNOME's default "zoom") comes back as it was.
const QString kPlacement = QStringLiteral("DesktopPlacement");

constexpr auto WM_WALLPAPER_JOB_ENDED = static_cast<QEvent::Type>(QEvent::User + 131);

class JobEndedEvent : public QEvent {
public:
    JobEndedEvent(bool ok, QString path) : QEvent(WM_WALLPAPER_JOB_ENDED), ok(ok), path(std::move(path)) {}
    bool ok;
    QString path;
};

}  // namespace

namespace wallpaper {

QSize fittedSize(QSize image, QSize screen, int style)
{
    const qint64 w = image.width();
    const qint64 h = image.height();
    const qint64 sw = screen.width();
    const qint64 sh = screen.height();
    if (style == DesktopWallpaper::Stretch || sw <= 0 || sh <= 0 || (w <= sw && h <= sh) || w <= 0 || h <= 0)
        return image;
    if (h * sw < w * sh)
        return QSize(int(sw), int(std::lround(double(sw) * double(h) / double(w))));
    return QSize(int(std::lround(double(sh) * double(w) / double(h))), int(sh));
}

bool SetWallpaper(const Locations& at, DesktopWallpaper& desktop, const QString& path, int style, QSize screen)
{
    if (!QFileInfo(at.folder()).isDir() && !QDir().mkpath(at.folder()))
        return false;
    // Anything that goes wrong with the picture leaves the desktop without one.
    QString picture;
    if (!path.isEmpty()) {
        fipSuperImage image;
        bool ok = image.load(path) != FALSE;
        if (ok) {
            const QSize size(int(image.getWidth()), int(image.getHeight()));
            const QSize fitted = fittedSize(size, screen, style);
            if (fitted != size)
                ok = image.rescale(unsigned(std::max(1, fitted.width())), unsigned(std::max(1, fitted.height())), FILTER_BILINEAR) != FALSE;
        }
        if (ok && image.save(at.programWallpaper(), 0))
            picture = at.programWallpaper();
    }
    if (!desktop.setStyle(style))
        return false;
    return desktop.setPicture(picture);
}

bool RememberOldWallpaper(const Locations& at, DesktopWallpaper& desktop)
{
    const auto current = desktop.current();
    if (!current)
        return false;
    QString path = current->path;
    // The program's own file is about to be replaced: its picture is kept under another name.
    if (!path.isEmpty() && path == at.programWallpaper()) {
        if (!QFileInfo(at.folder()).isDir() && !QDir().mkpath(at.folder()))
            return false;
        QFile::remove(at.oldWallpaper());
        if (!QFile::copy(path, at.oldWallpaper()))
            return false;
        path = at.oldWallpaper();
    }
    ProfileFile ini(at.configPath);
    return ini.writeString(kSection, kFilePath, path) && ini.writeInt(kSection, kStyle, current->style)
           && ini.writeString(kSection, kPlacement, current->placement) && ini.writeInt(kSection, kHas, 1);
}

bool RestoreWallpaper(const Locations& at, DesktopWallpaper& desktop, QSize screen)
{
    ProfileFile ini(at.configPath);
    const QString path = ini.getString(kSection, kFilePath, QString());
    const int style = ini.getInt(kSection, kStyle, 0);
    const QString placement = ini.getString(kSection, kPlacement, QString());
    const bool keptCopy = !path.isEmpty() && path == at.oldWallpaper();
    if (keptCopy || path.isEmpty()) {
        // The kept copy goes away below: its picture moves into the program's own file.
        SetWallpaper(at, desktop, path, style, screen);
    } else {
        // Any other picture is the desktop's own file (often one the image library cannot
        // read, such as an SVG or a timed slide show), so the desktop gets it back as it was.
        desktop.setStyle(style);
        desktop.setPicture(path);
    }
    if (!placement.isEmpty())
        desktop.setPlacement(placement);
    if (keptCopy && QFileInfo(path).isFile())
        QFile::remove(path);
    ini.writeString(kSection, kFilePath, QString());
    ini.writeInt(kSection, kStyle, 0);
    ini.removeKey(kSection, kPlacement);
    ini.writeInt(kSection, kHas, 0);
    return true;
}

bool hasOldWallpaper(const Locations& at)
{
    return !at.configPath.isEmpty() && ProfileFile(at.configPath).getInt(kSection, kHas, 0) == 1;
}

}  // namespace wallpaper

WallpaperJob::WallpaperJob(CImageListCtrl* list)
    : QObject(list), m_list(list), m_desktop(DesktopWallpaper::fromEnvironment())
{
}

WallpaperJob::~WallpaperJob()
{
    if (m_thread)
        m_thread->wait();
}

WallpaperJob* WallpaperJob::of(CImageListCtrl* list)
{
    if (auto* job = list->findChild<WallpaperJob*>(QString(), Qt::FindDirectChildrenOnly))
        return job;
    return new WallpaperJob(list);
}

bool WallpaperJob::isRunning() const
{
    return m_thread && !m_thread->isFinished();
}

bool WallpaperJob::StartWallpaperJob(const QString& path, int style, const wallpaper::Locations& at, QSize screen)
{
    if (isRunning()) {
        MessageBoxSeam::show({m_list, QStringLiteral("Set Wallpaper"),
                              QStringLiteral("Application is busy now. Please try again later."),
                              QMessageBox::Information, QMessageBox::Ok});
        return false;
    }
    if (m_thread)
        m_thread->wait();
    DesktopWallpaper desktop = m_desktop;
    m_thread.reset(QThread::create([this, path, style, at, screen, desktop]() mutable {
        lowerThisThreadPriority();
        // A failure to remember does not stop the set; the next set tries again.
        if (!wallpaper::hasOldWallpaper(at))
            wallpaper::RememberOldWallpaper(at, desktop);
        const bool ok = wallpaper::SetWallpaper(at, desktop, path, style, screen);
        QCoreApplication::postEvent(this, new JobEndedEvent(ok, path));
    }));
    if (m_list) {
        m_list->setBusy(true);
    }
    m_thread->start();
    return true;
}

bool WallpaperJob::event(QEvent* event)
{
    if (event->type() != WM_WALLPAPER_JOB_ENDED)
        return QObject::event(event);
    const auto* ended = static_cast<JobEndedEvent*>(event);
    m_thread->wait();
    if (!ended->ok)
        MessageBoxSeam::show({m_list, QStringLiteral("Set Wallpaper"),
                              QStringLiteral("Failed to set wallpaper '%1'.").arg(ended->path), QMessageBox::Critical,
                              QMessageBox::Ok});
    if (m_list)
        QCoreApplication::postEvent(m_list, new QEvent(WM_WALLPAPER_DONE));
    emit finished(ended->ok);
    return true;
}
