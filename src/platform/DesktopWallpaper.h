#pragma once
// The desktop's own wallpaper service, chosen from XDG_CURRENT_DESKTOP: GNOME and Cinnamon
// and MATE through their settings (gsettings), XFCE through xfconf-query, KDE Plasma through
// its scripting call on D-Bus, and on other X11 desktops feh or xwallpaper. Calls block for
// as long as the service takes, so the program makes them from its wallpaper worker (and once,
// for Restore, from the window thread).

#include <QString>

#include <functional>
#include <optional>

class DesktopWallpaper {
public:
    // The program's three placements.
    enum Style { Center = 0, Tile = 1, Stretch = 2 };
    enum class Service { None, Gnome, Cinnamon, Mate, Xfce, Kde, Feh, Xwallpaper };

    struct Current {
        QString path;  // empty when the desktop shows no picture
        int style = Center;
        // The service's own word for the placement ("zoom", "scaled", ...), which may be none
        // of the three; empty where the service has no such word.
        QString placement;
    };

    // Whether a program is on PATH.
    using ProgramLookup = std::function<bool(const QString& program)>;
    // `desktops` is XDG_CURRENT_DESKTOP (names separated by ':'); `x11` whether DISPLAY is set.
    static Service serviceFor(const QString& desktops, bool x11, const ProgramLookup& hasProgram);
    static DesktopWallpaper fromEnvironment();

    explicit DesktopWallpaper(Service service) : m_service(service) {}
    Service service() const { return m_service; }

    // Writes the placement; the desktop keeps its picture.
    bool setStyle(int style);
    // Writes the service's own placement word as `current` read it; false where the service
    // has no such words or refuses it.
    bool setPlacement(const QString& placement);
    // Shows the picture at `path` with the placement written last; an empty path leaves the
    // desktop without a picture.
    bool setPicture(const QString& path);
    // The picture and placement the desktop shows now; nothing when the service cannot say.
    std::optional<Current> current() const;

private:
    Service m_service;
    int m_style = Center;  // the tools that take both at once (feh, xwallpaper) use it
};
