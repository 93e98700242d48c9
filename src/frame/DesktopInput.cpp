#include "frame/DesktopInput.h"

#include "app/CommandIds.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

DesktopInput::DesktopInput(QWidget* window, std::function<void(int)> command)
    : QObject(window), m_window(window), m_command(std::move(command))
{
    qApp->installEventFilter(this);
}

DesktopInput::~DesktopInput()
{
    qApp->removeEventFilter(this);
}

bool DesktopInput::belongsToWindow(QObject* watched) const
{
    const auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == m_window;
}

bool DesktopInput::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if ((mouse->button() == Qt::BackButton || mouse->button() == Qt::ForwardButton) && belongsToWindow(watched)) {
            m_command(mouse->button() == Qt::BackButton ? cmd::Back : cmd::Forward);
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier || !belongsToWindow(watched))
            break;
        QWidget* target = QApplication::focusWidget();
        if (!target || target->window() != m_window)
            target = static_cast<QWidget*>(watched);
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, target->rect().center(),
                               target->mapToGlobal(target->rect().center()));
        QApplication::sendEvent(target, &menu);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
