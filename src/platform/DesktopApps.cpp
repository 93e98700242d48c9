#include "platform/DesktopApps.h"

#include <QFile>
#include <QMimeDatabase>

// GLib names a struct member "signals", which Qt's keyword macro would rewrite.
#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <memory>

namespace DesktopApps {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GOwned = std::unique_ptr<T, GObjectUnref>;

struct AppListFree {
    void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};

bool isEditor(GAppInfo* app)
{
    if (!G_IS_DESKTOP_APP_INFO(app))
        return false;
    const char* id = g_app_info_get_id(app);
    if (id && QString::fromUtf8(id) == QLatin1String("kelvra.desktop"))
        return false;
    const char* categories = g_desktop_app_info_get_categories(G_DESKTOP_APP_INFO(app));
    if (!categories)
        return false;
    const QStringList list = QString::fromUtf8(categories).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return list.contains(QLatin1String("RasterGraphics"))
           || (list.contains(QLatin1String("2DGraphics")) && !list.contains(QLatin1String("Viewer")));
}

}  // namespace

QStringList editorsFor(const QByteArray& path)
{
    const QString mime = QMimeDatabase().mimeTypeForFile(QFile::decodeName(path)).name();
    QStringList ids;
    const std::unique_ptr<GList, AppListFree> apps(g_app_info_get_all_for_type(mime.toUtf8().constData()));
    for (GList* item = apps.get(); item; item = item->next) {
        auto* app = static_cast<GAppInfo*>(item->data);
        const char* id = g_app_info_get_id(app);
        if (id && isEditor(app) && !ids.contains(QString::fromUtf8(id)))
            ids << QString::fromUtf8(id);
    }
    return ids;
}

bool launch(const QString& desktopId, const QByteArray& path)
{
    const GOwned<GDesktopAppInfo> app(g_desktop_app_info_new(desktopId.toUtf8().constData()));
    if (!app)
        return false;
    const GOwned<GFile> file(g_file_new_for_path(path.constData()));
    GList files{file.get(), nullptr, nullptr};
    GError* error = nullptr;
    const bool started = g_app_info_launch(G_APP_INFO(app.get()), &files, nullptr, &error);
    if (error)
        g_error_free(error);
    return started;
}

}  // namespace DesktopApps
