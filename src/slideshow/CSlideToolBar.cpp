#include "slideshow/CSlideToolBar.h"

#include <QFrame>
#include <QPainter>

CSlideToolBar::CSlideToolBar(QWidget* parent) : QWidget(parent)
{
    using namespace slideshow;
    setObjectName(QStringLiteral("SlideToolBar"));
    setFixedSize(kToolBarWidth, kToolBarHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The separators and buttons paint on the bar's own colour.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(kToolBarColor));
    setPalette(colours);
    for (const SlideButton& entry : kButtons) {
        auto* button = new CSuperBitmapButton(entry.id, entry.glyph, entry.hasDisabledLook, this);
        button->setGeometry(buttonRect(entry));
        button->setToolTip(QString::fromLatin1(entry.toolTip));
        button->setAccessibleName(button->toolTip());
        button->setFocusHome(parent);
        connect(button, &CSuperBitmapButton::command, this, &CSlideToolBar::command);
        m_buttons.emplace(entry.id, button);
    }
    for (int i = 0; i < static_cast<int>(kSeparators.size()); ++i) {
        auto* separator = new QFrame(this);
        separator->setFrameShape(QFrame::VLine);
        separator->setFrameShadow(QFrame::Sunken);
        separator->setGeometry(separatorRect(i));
    }
}

CSuperBitmapButton* CSlideToolBar::button(int id) const
{
    const auto found = m_buttons.find(id);
    return found == m_buttons.end() ? nullptr : found->second;
}

void CSlideToolBar::setPlaying(bool playing)
{
    button(slideshow::PlayButton)->setLatched(playing);
    button(slideshow::PauseButton)->setLatched(!playing);
}

void CSlideToolBar::setStepsEnabled(bool previous, bool next)
{
    button(slideshow::PreviousButton)->setEnabled(previous);
    button(slideshow::NextButton)->setEnabled(next);
}

bool CSlideToolBar::containsMouse() const
{
    // Entering a button also enters the bar: Qt marks every ancestor under the pointer.
    return isVisible() && underMouse();
}

void CSlideToolBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(slideshow::kToolBarColor));
}
