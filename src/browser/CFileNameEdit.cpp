#include "browser/CFileNameEdit.h"

#include <QApplication>
#include <QKeyEvent>

CFileNameEdit::CFileNameEdit(QWidget* parent) : QLineEdit(parent), m_beep([] { QApplication::beep(); }) {}

bool CFileNameEdit::isRefused(QChar c)
{
    static const QString refused = QStringLiteral("\t\"*/:<>?\\|");
    return refused.contains(c);
}

void CFileNameEdit::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const bool refused = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab
                         || (!text.isEmpty() && std::any_of(text.begin(), text.end(), [](QChar c) { return isRefused(c); }));
    if (refused) {
        if (m_beep)
            m_beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

bool CFileNameEdit::focusNextPrevChild(bool)
{
    // Tab must reach keyPressEvent (and be refused) instead of moving the focus.
    return false;
}
