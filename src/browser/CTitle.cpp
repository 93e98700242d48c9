#include "browser/CTitle.h"

#include <QPainter>

CTitle::CTitle(QWidget* parent) : QWidget(parent)
{
    setFixedHeight(kHeight);
    QFont f = font();
    f.setPointSizeF(8.5);
    setFont(f);
}

void CTitle::setTitle(const QString& title)
{
    m_title = title;
    // The title is painted, so a screen reader learns it only from the name.
    setAccessibleName(title);
    update();
}

void CTitle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(54, 106, 179));
    painter.setPen(Qt::white);
    const QRect text = rect().adjusted(5, 0, 0, 0);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(m_title, Qt::ElideRight, text.width()));
}
