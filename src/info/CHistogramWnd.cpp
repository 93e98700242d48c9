#include "info/CHistogramWnd.h"

#include "app/CommandIds.h"
#include "app/ProfileFile.h"
#include "browser/ThumbnailCache.h"
#include "browser/ThumbnailMaker.h"
#include "imaging/JpegPreview.h"
#include "imaging/fipSuperImage.h"
#include "info/InfoEvents.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>

#include <sys/stat.h>

namespace {

const QString kSection = QStringLiteral("Histogram");
constexpr int kBox = 200;

struct Flag {
    int command;
    histogram::PanelChannel channel;
    const char* key;
    bool byDefault;
    const char* text;
};
// In the menu's order.
constexpr Flag kFlags[] = {
    {cmd::HistogramRed, histogram::Red, "ShowRed", true, "&Red"},
    {cmd::HistogramGreen, histogram::Green, "ShowGreen", true, "&Green"},
    {cmd::HistogramBlue, histogram::Blue, "ShowBlue", true, "&Blue"},
    {cmd::HistogramGray, histogram::Grey, "ShowGray", false, "Gr&ay"},
};

const Flag* flagFor(int id)
{
    for (const Flag& f : kFlags)
        if (f.command == id)
            return &f;
    return nullptr;
}

// The cheapest reduced copy of the file: a preview the camera stored, an entry of the
// freedesktop cache, else a reduced decoding. The panel writes no cache entries: their size
// class is the list's, and encoding one would cost more than the counting it serves.
std::optional<histogram::PanelData> reducedCounts(const QString& path)
{
    fipSuperImage reduced;
    if (const auto header = readJpegHeader(path);
        header && !header->embeddedThumbnail.isNull() && reduced.copyFromQImage(header->embeddedThumbnail))
        return histogram::panelData(reduced);
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0 && S_ISREG(st.st_mode)) {
        if (const auto entry = ThumbnailCache::find(native, st.st_mtim.tv_sec, uint64_t(st.st_size), kBox);
            entry && reduced.copyFromQImage(downscale(entry->image, fitThumbnailSize(entry->image.size(), kBox, kBox))))
            return histogram::panelData(reduced);
    }
    ThumbnailOptions options;
    options.useCache = false;
    const ThumbnailResult made = MakeThumbnail(native, kBox, kBox, options);
    if (!made.ok())
        return std::nullopt;
    return histogram::panelData(made.image);
}

void runWorker(QObject* receiver, QString path, uint64_t generation)
{
    std::optional<histogram::PanelData> data;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const bool known = dot >= 0 && !path.mid(dot + 1).contains(QLatin1Char('/'))
                    && fipSuperImage::isImageExtension(path.mid(dot + 1));
    if (known)
        data = reducedCounts(path);
    QCoreApplication::postEvent(receiver, new HistogramDoneEvent(generation, std::move(data)));
}

}  // namespace

CHistogramWnd::CHistogramWnd(QString configPath, QWidget* parent)
    : QWidget(parent), m_configPath(std::move(configPath))
{
    setObjectName(QStringLiteral("HistStatWnd"));
    setAccessibleName(QStringLiteral("Histogram"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (const Flag& f : kFlags) {
        bool show = f.byDefault;
        if (!m_configPath.isEmpty())
            show = ProfileFile(m_configPath).getInt(kSection, QString::fromLatin1(f.key), f.byDefault ? 1 : 0) != 0;
        m_shown[static_cast<size_t>(f.channel)] = show;
    }
}

CHistogramWnd::~CHistogramWnd()
{
    joinWorker();
    if (!m_configPath.isEmpty()) {
        ProfileFile file(m_configPath);
        for (const Flag& f : kFlags)
            file.writeString(kSection, QString::fromLatin1(f.key),
                             m_shown[static_cast<size_t>(f.channel)] ? QStringLiteral("1") : QStringLiteral("0"));
    }
}

void CHistogramWnd::SetPath(const QString& path)
{
    m_path = path;
    // Starts that have not run yet merge into one for the newest path.
    if (m_startPosted)
        return;
    m_startPosted = true;
    QCoreApplication::postEvent(this, new QEvent(WM_HISTOGRAM_START));
}

bool CHistogramWnd::event(QEvent* event)
{
    if (event->type() == WM_HISTOGRAM_START) {
        onStart();
        return true;
    }
    if (event->type() == WM_HISTOGRAM_DONE) {
        auto* done = static_cast<HistogramDoneEvent*>(event);
        joinWorker();  // it posted this as its last act
        if (done->generation == m_generation && done->data) {
            m_data = *done->data;
            update();
        }
        if (m_restartWanted) {
            m_restartWanted = false;
            launchWorker();
        }
        return true;
    }
    return QWidget::event(event);
}

void CHistogramWnd::onStart()
{
    m_startPosted = false;
    ++m_generation;
    m_data = {};
    if (m_worker.joinable()) {
        // What the running worker brings is stale now; its done event starts the next run.
        m_restartWanted = true;
        update();
        return;
    }
    launchWorker();
}

void CHistogramWnd::launchWorker()
{
    if (m_path.isEmpty() || !QFileInfo::exists(m_path)) {
        update();
        return;
    }
    m_worker = std::thread(runWorker, static_cast<QObject*>(this), m_path, m_generation);
}

void CHistogramWnd::joinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool CHistogramWnd::handlesCommand(int id)
{
    return flagFor(id) != nullptr;
}

void CHistogramWnd::OnCommand(int id)
{
    if (const Flag* f = flagFor(id)) {
        bool& shown = m_shown[static_cast<size_t>(f->channel)];
        shown = !shown;
        update();
    }
}

bool CHistogramWnd::isChecked(int id) const
{
    const Flag* f = flagFor(id);
    return f && m_shown[static_cast<size_t>(f->channel)];
}

void CHistogramWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, histogram::paintPanel(size(), m_data, m_shown));
}

void CHistogramWnd::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.setTitle(QStringLiteral("Histogram"));
    for (const Flag& f : kFlags) {
        QAction* action = menu.addAction(QString::fromLatin1(f.text));
        action->setCheckable(true);
        action->setChecked(isChecked(f.command));
        action->setData(f.command);
    }
    if (QAction* chosen = menu.exec(event->globalPos()))
        OnCommand(chosen->data().toInt());
}
