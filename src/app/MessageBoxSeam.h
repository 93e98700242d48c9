#pragma once
// Every message box of the program goes through here, so tests can answer them.

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace MessageBoxSeam {

struct Request {
    QWidget* parent = nullptr;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    // The button Enter presses; by default the box's own choice.
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

using Handler = std::function<QMessageBox::StandardButton(const Request&)>;

// Shows the box (or asks the installed handler) and returns the button pressed.
QMessageBox::StandardButton show(const Request& request);
// Installs a handler for tests; returns the previous one. An empty handler restores boxes.
Handler setHandler(Handler handler);

}  // namespace MessageBoxSeam
