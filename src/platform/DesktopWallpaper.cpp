#include "platform/DesktopWallpaper.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

constexpr int kToolTimeoutMs = 15000;

struct Settings {
    const char* schema;
    bool uri;        // picture-uri (file:// URI); otherwise picture-filename (a path)
    bool darkKey;    // GNOME 42 and later show picture-uri-dark in the dark style
};

std::optional<Settings> settingsOf(DesktopWallpaper::Service service)
{
    switch (service) {
    case DesktopWallpaper::Service::Gnome: return Settings{"org.gnome.desktop.background", true, true};
    case DesktopWallpaper::Service::Cinnamon: return Settings{"org.cinnamon.desktop.background", true, false};
    case DesktopWallpaper::Service::Mate: return Settings{"org.mate.background", false, false};
    default: return std::nullopt;
    }
}

std::optional<QByteArray> runTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, args);
    if (!process.waitForStarted(kToolTimeoutMs))
        return std::nullopt;
    process.closeWriteChannel();
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

// The settings' option names of the three placements.
QString optionOf(int style)
{
    switch (style) {
    case DesktopWallpaper::Tile: return QStringLiteral("wallpaper");
    case DesktopWallpaper::Stretch: return QStringLiteral("stretched");
    default: return QStringLiteral("centered");
    }
}

int styleOfOption(const QString& option)
{
    if (option == QLatin1String("wallpaper"))
        return DesktopWallpaper::Tile;
    if (option == QLatin1String("stretched"))
        return DesktopWallpaper::Stretch;
    return DesktopWallpaper::Center;
}

// A GVariant text as gsettings prints it: 'text' with backslash escapes, or @ms nothing.
QString unquoteVariant(QByteArray text)
{
    text = text.trimmed();
    if (text.size() < 2 || (text.front() != '\'' && text.front() != '"') || text.back() != text.front())
        return QString();
    QByteArray out;
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == '\\' && i + 2 < text.size())
            ++i;
        out += text[i];
    }
    return QString::fromUtf8(out);
}

QString pathOfUri(const QString& uri)
{
    if (uri.isEmpty())
        return QString();
    const QUrl url(uri);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

// The xfdesktop image-style values: 1 centred, 2 tiled, 3 stretched.
int xfceStyleOf(int style)
{
    return style == DesktopWallpaper::Tile ? 2 : style == DesktopWallpaper::Stretch ? 3 : 1;
}

QStringList xfceProperties(const QString& suffix)
{
    QStringList found;
    const auto listed = runTool(QStringLiteral("xfconf-query"), {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-l")});
    if (!listed)
        return found;
    for (const QByteArray& line : listed->split('\n')) {
        const QString property = QString::fromUtf8(line.trimmed());
        if (property.startsWith(QLatin1String("/backdrop/")) && property.endsWith(suffix))
            found << property;
    }
    return found;
}

bool xfconfSet(const QString& property, const QString& type, const QString& value)
{
    return runTool(QStringLiteral("xfconf-query"), {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-p"), property,
                                                    QStringLiteral("-n"), QStringLiteral("-t"), type, QStringLiteral("-s"), value})
        .has_value();
}

// A JavaScript string literal for the Plasma script.
QString scriptString(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out + u'"';
}

// The Plasma image wallpaper's FillMode values: pad, tile, stretch.
int plasmaFillMode(int style)
{
    return style == DesktopWallpaper::Tile ? 3 : style == DesktopWallpaper::Stretch ? 0 : 6;
}

std::optional<QString> plasmaScript(const QString& script)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
                                                       QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"));
    call << script;
    const QDBusReply<QString> reply = QDBusConnection::sessionBus().call(call, QDBus::Block, kToolTimeoutMs);
    if (!reply.isValid())
        return std::nullopt;
    return reply.value();
}

QString plasmaPrologue()
{
    return QStringLiteral("for (const d of desktops()) { d.wallpaperPlugin = \"org.kde.image\"; "
                          "d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"]; ");
}

}  // namespace

DesktopWallpaper::Service DesktopWallpaper::serviceFor(const QString& desktops, bool x11, const ProgramLookup& hasProgram)
{
    // Sessions name several desktops ("ubuntu:GNOME"); the first one known decides.
    for (const QString& name : desktops.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString n = name.trimmed().toUpper();
        if (n == QLatin1String("GNOME") || n == QLatin1String("GNOME-CLASSIC") || n == QLatin1String("GNOME-FLASHBACK")
            || n == QLatin1String("UNITY") || n == QLatin1String("BUDGIE"))
            return Service::Gnome;
        if (n == QLatin1String("X-CINNAMON") || n == QLatin1String("CINNAMON"))
            return Service::Cinnamon;
        if (n == QLatin1String("MATE"))
            return Service::Mate;
        if (n == QLatin1String("XFCE"))
            return Service::Xfce;
        if (n == QLatin1String("KDE"))
            return Service::Kde;
    }
    if (x11 && hasProgram) {
        if (hasProgram(QStringLiteral("feh")))
            return Service::Feh;
        if (hasProgram(QStringLiteral("xwallpaper")))
            return Service::Xwallpaper;
    }
    return Service::None;
}

DesktopWallpaper DesktopWallpaper::fromEnvironment()
{
    const QString desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    return DesktopWallpaper(serviceFor(desktops, x11, [](const QString& program) {
        return !QStandardPaths::findExecutable(program).isEmpty();
    }));
}

bool DesktopWallpaper::setStyle(int style)
{
    m_style = style;
    if (const auto settings = settingsOf(m_service))
        return runTool(QStringLiteral("gsettings"), {QStringLiteral("set"), QLatin1String(settings->schema),
                                                      QStringLiteral("picture-options"), optionOf(style)})
            .has_value();
    switch (m_service) {
    case Service::Xfce: {
        const QStringList properties = xfceProperties(QStringLiteral("/image-style"));
        QStringList images = xfceProperties(QStringLiteral("/last-image"));
        QStringList targets = properties;
        // A workspace that has a picture but no style yet gets one beside it.
        for (QString& image : images) {
            image.chop(int(QStringLiteral("/last-image").size()));
            if (!targets.contains(image + QStringLiteral("/image-style")))
                targets << image + QStringLiteral("/image-style");
        }
        if (targets.isEmpty())
            targets << QStringLiteral("/backdrop/screen0/monitor0/workspace0/image-style");
        bool ok = true;
        for (const QString& property : targets)
            ok = xfconfSet(property, QStringLiteral("int"), QString::number(xfceStyleOf(style))) && ok;
        return ok;
    }
    case Service::Kde:
        return plasmaScript(plasmaPrologue() + QStringLiteral("d.writeConfig(\"FillMode\", %1); }").arg(plasmaFillMode(style)))
            .has_value();
    case Service::Feh:
    case Service::Xwallpaper:
        return true;  // given with the picture
    default:
        return false;
    }
}

bool DesktopWallpaper::setPlacement(const QString& placement)
{
    const auto settings = settingsOf(m_service);
    if (!settings || placement.isEmpty())
        return false;
    m_style = styleOfOption(placement);
    return runTool(QStringLiteral("gsettings"), {QStringLiteral("set"), QLatin1String(settings->schema),
                                                  QStringLiteral("picture-options"), placement})
        .has_value();
}

bool DesktopWallpaper::setPicture(const QString& path)
{
    if (const auto settings = settingsOf(m_service)) {
        const QString schema = QLatin1String(settings->schema);
        if (!settings->uri)
            return runTool(QStringLiteral("gsettings"), {QStringLiteral("set"), schema, QStringLiteral("picture-filename"), path})
                .has_value();
        const QString uri = path.isEmpty() ? QString() : QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
        if (!runTool(QStringLiteral("gsettings"), {QStringLiteral("set"), schema, QStringLiteral("picture-uri"), uri}))
            return false;
        // Older schemas have no dark key; the light one is then all there is.
        if (settings->darkKey)
            runTool(QStringLiteral("gsettings"), {QStringLiteral("set"), schema, QStringLiteral("picture-uri-dark"), uri});
        return true;
    }
    switch (m_service) {
    case Service::Xfce: {
        QStringList targets = xfceProperties(QStringLiteral("/last-image"));
        if (targets.isEmpty())
            targets << QStringLiteral("/backdrop/screen0/monitor0/workspace0/last-image");
        bool ok = true;
        for (const QString& property : targets)
            ok = xfconfSet(property, QStringLiteral("string"), path) && ok;
        return ok;
    }
    case Service::Kde: {
        const QString uri = path.isEmpty() ? QString() : QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
        return plasmaScript(plasmaPrologue() + QStringLiteral("d.writeConfig(\"Image\", %1); }").arg(scriptString(uri))).has_value();
    }
    case Service::Feh: {
        if (path.isEmpty())
            return false;  // feh cannot take a picture away
        const char* option = m_style == Tile ? "--bg-tile" : m_style == Stretch ? "--bg-scale" : "--bg-center";
        return runTool(QStringLiteral("feh"), {QLatin1String(option), path}).has_value();
    }
    case Service::Xwallpaper: {
        if (path.isEmpty())
            return false;
        const char* option = m_style == Tile ? "--tile" : m_style == Stretch ? "--stretch" : "--center";
        return runTool(QStringLiteral("xwallpaper"), {QLatin1String(option), path}).has_value();
    }
    default:
        return false;
    }
}

std::optional<DesktopWallpaper::Current> DesktopWallpaper::current() const
{
    if (const auto settings = settingsOf(m_service)) {
        const QString schema = QLatin1String(settings->schema);
        const auto picture = runTool(QStringLiteral("gsettings"), {QStringLiteral("get"), schema,
                                                                    settings->uri ? QStringLiteral("picture-uri") : QStringLiteral("picture-filename")});
        const auto option = runTool(QStringLiteral("gsettings"), {QStringLiteral("get"), schema, QStringLiteral("picture-options")});
        if (!picture || !option)
            return std::nullopt;
        const QString value = unquoteVariant(*picture);
        const QString placement = unquoteVariant(*option);
        return Current{settings->uri ? pathOfUri(value) : value, styleOfOption(placement), placement};
    }
    switch (m_service) {
    case Service::Xfce: {
        const QStringList images = xfceProperties(QStringLiteral("/last-image"));
        if (images.isEmpty())
            return std::nullopt;
        const auto path = runTool(QStringLiteral("xfconf-query"), {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-p"), images.front()});
        QString styleProperty = images.front();
        styleProperty.chop(int(QStringLiteral("last-image").size()));
        const auto style = runTool(QStringLiteral("xfconf-query"), {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-p"), styleProperty + QStringLiteral("image-style")});
        if (!path)
            return std::nullopt;
        const int xfce = style ? style->trimmed().toInt() : 1;
        return Current{QString::fromUtf8(path->trimmed()), xfce == 2 ? Tile : xfce == 3 ? Stretch : Center};
    }
    case Service::Kde: {
        const auto printed = plasmaScript(plasmaPrologue() + QStringLiteral("print(d.readConfig(\"Image\") + \"\\n\" + d.readConfig(\"FillMode\") + \"\\n\"); break; }"));
        if (!printed)
            return std::nullopt;
        const QStringList lines = printed->split(QLatin1Char('\n'));
        if (lines.size() < 2)
            return std::nullopt;
        const int fill = lines[1].trimmed().toInt();
        return Current{pathOfUri(lines[0].trimmed()), fill == 3 ? Tile : fill == 0 ? Stretch : Center};
    }
    case Service::Feh: {
        // feh keeps the last command in ~/.fehbg: "feh --no-fehbg --bg-center 'path'".
        QFile script(QDir::homePath() + QStringLiteral("/.fehbg"));
        if (!script.open(QIODevice::ReadOnly) || script.size() > 65536)
            return std::nullopt;
        const QString text = QString::fromUtf8(script.readAll());
        const qsizetype quote = text.indexOf(QLatin1Char('\''));
        const qsizetype end = text.lastIndexOf(QLatin1Char('\''));
        if (quote < 0 || end <= quote)
            return std::nullopt;
        QString path = text.mid(quote + 1, end - quote - 1);
        path.replace(QLatin1String("'\\''"), QLatin1String("'"));
        const int style = text.contains(QLatin1String("--bg-tile")) ? Tile : text.contains(QLatin1String("--bg-scale")) ? Stretch : Center;
        return Current{path, style};
    }
    default:
        // xwallpaper keeps nothing to read back.
        return std::nullopt;
    }
}
