#include "browser/CComboEdit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>

CComboEdit::CComboEdit(QComboBox* combo) : QLineEdit(combo), m_combo(combo) {}

bool CComboEdit::popupOpen() const
{
    return m_combo->view() && m_combo->view()->isVisible();
}

void CComboEdit::keyPressEvent(QKeyEvent* event)
{
    if (!popupOpen() && event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Up:
            event->accept();
            return;
        case Qt::Key_Down:
            event->accept();
            m_combo->showPopup();
            m_combo->view()->setFocus();
            return;
        default:
            break;
        }
    }
    QLineEdit::keyPressEvent(event);
    // The line edit passes Return on to the combo box, which hands it straight back to the
    // edit: the typed address would be acted on twice.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        event->accept();
}

void CComboEdit::wheelEvent(QWheelEvent* event)
{
    event->accept();
}
