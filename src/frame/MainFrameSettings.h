#pragma once
// The frame's settings (section "MainFrame" of Config.ini): the three bars and the window
// placement, read when the frame is built and written when it goes.

#include "frame/WindowPlacement.h"

#include <QString>

struct MainFrameSettings {
    bool showToolBar = true;
    bool showAddressBar = true;
    bool showStatusBar = true;
    WindowPlacement placement;  // length 0 when none was stored

    static MainFrameSettings read(const QString& configPath);
    void write(const QString& configPath) const;
};
