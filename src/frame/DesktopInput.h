#pragma once
// Input that Linux desktop users expect of every window, whichever child has the mouse or the
// keyboard: the mouse's back and forward buttons walk the folder history, and Shift+F10 opens
// the focused pane's context menu as the Menu key does.

#include <QObject>

#include <functional>

class QWidget;

class DesktopInput : public QObject {
public:
    // `window` is the top-level window whose children are watched; `command` runs a command
    // id of the program.
    DesktopInput(QWidget* window, std::function<void(int)> command);
    ~DesktopInput() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(QObject* watched) const;

    QWidget* m_window;
    std::function<void(int)> m_command;
};
