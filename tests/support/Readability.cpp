#include "Readability.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTextEdit>
#include <QToolButton>

#include <cmath>

namespace fixtures {

namespace {

double luminance(const QColor& c)
{
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// The colour a widget without its own fill shows: the nearest ancestor that fills itself, or
// the window.
QColor windowBehind(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(w->backgroundRole());
    return widget->palette().color(QPalette::Window);
}

QString describe(const QWidget* w, const QString& text)
{
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()), text.left(40));
}

}  // namespace

QPalette darkPalette()
{
    QPalette p;
    const QColor window(45, 45, 48), base(30, 30, 32), text(230, 230, 230), button(60, 60, 64);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    return p;
}

DarkTheme::DarkTheme() : m_saved(QApplication::palette()), m_savedStyle(QApplication::style()->name())
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(darkPalette());
}

DarkTheme::~DarkTheme()
{
    QApplication::setStyle(QStyleFactory::create(m_savedStyle));
    QApplication::setPalette(m_saved);
}

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QStringList unreadableTexts(const QWidget* root)
{
    QList<const QWidget*> widgets{root};
    for (const QWidget* child : root->findChildren<QWidget*>())
        widgets << child;
    QStringList found;
    for (const QWidget* w : widgets) {
        QString text;
        QColor fg, bg;
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (label->text().isEmpty())
                continue;
            text = label->text();
            fg = label->palette().color(label->foregroundRole());
            bg = windowBehind(label);
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
            text = edit->text();
            fg = edit->palette().color(QPalette::Text);
            bg = edit->palette().color(QPalette::Base);
        } else if (const auto* plain = qobject_cast<const QPlainTextEdit*>(w)) {
            text = plain->toPlainText();
            fg = plain->palette().color(QPalette::Text);
            bg = plain->palette().color(QPalette::Base);
        } else if (const auto* tool = qobject_cast<const QToolButton*>(w)) {
            if (tool->text().isEmpty() || tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
                continue;
            text = tool->text();
            fg = tool->palette().color(QPalette::ButtonText);
            bg = tool->autoRaise() ? windowBehind(tool->parentWidget() ? tool->parentWidget() : tool)
                                   : tool->palette().color(QPalette::Button);
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            if (button->text().isEmpty())
                continue;
            text = button->text();
            fg = button->palette().color(QPalette::ButtonText);
            bg = button->palette().color(QPalette::Button);
        } else {
            continue;
        }
        if (contrastRatio(fg, bg) < 4.5)
            found << describe(w, text) + QStringLiteral(" contrast %1").arg(contrastRatio(fg, bg), 0, 'f', 2);
    }
    return found;
}

}  // namespace fixtures
