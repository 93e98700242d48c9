#include "slideshow/CSuperBitmapButton.h"

#include "slideshow/SlideButtonArt.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

// What a screen reader sees of the button: a push button it can press, shown pressed while
// it is held down.
class SlideButtonAccessible : public QAccessibleWidget {
public:
    explicit SlideButtonAccessible(CSuperBitmapButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button()->latched() || button()->pressed();
        return state;
    }
    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << pressAction(); }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            button()->click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    CSuperBitmapButton* button() const { return static_cast<CSuperBitmapButton*>(widget()); }
};

// Qt's accessibility cache owns the interfaces the factory makes.
QAccessibleInterface* makeAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("CSuperBitmapButton") && object && object->isWidgetType())
        return new SlideButtonAccessible(static_cast<CSuperBitmapButton*>(object));
    return nullptr;
}

}  // namespace

CSuperBitmapButton::CSuperBitmapButton(int id, slideshow::Glyph glyph, bool hasDisabledLook, QWidget* parent)
    : QWidget(parent), m_id(id), m_glyph(glyph), m_hasDisabled(hasDisabledLook)
{
    // Once per process: the factory list is Qt's own.
    static const bool accessibleFactory = (QAccessible::installFactory(makeAccessible), true);
    Q_UNUSED(accessibleFactory);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CSuperBitmapButton::click()
{
    if (isEnabled())
        emit command(m_id);
}

void CSuperBitmapButton::setLatched(bool latched)
{
    if (m_latched == latched)
        return;
    m_latched = latched;
    update();
}

slideshow::Look CSuperBitmapButton::look() const
{
    slideshow::LookInputs in;
    in.enabled = isEnabled();
    in.hasDisabled = m_hasDisabled;
    in.latched = m_latched;
    in.pressed = m_pressed;
    in.hover = m_hover;
    return slideshow::chooseLook(in);
}

void CSuperBitmapButton::makePictures()
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_picturesRatio)
        return;
    m_picturesRatio = ratio;
    using slideshow::Look;
    for (Look look : {Look::Normal, Look::Pressed, Look::Hover, Look::Disabled})
        m_pictures[static_cast<std::size_t>(look)] =
            look == Look::Disabled && !m_hasDisabled ? QPixmap() : slideshow::drawButtonPicture(m_glyph, look, size(), ratio);
}

void CSuperBitmapButton::paintEvent(QPaintEvent*)
{
    makePictures();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_pictures[static_cast<std::size_t>(look())]);
}

void CSuperBitmapButton::mouseMoveEvent(QMouseEvent* event)
{
    // Qt reports the leave by itself; the flag keeps the record of the first move.
    m_tracking = true;
    const bool hover = rect().contains(event->position().toPoint());
    if (hover != m_hover) {
        m_hover = hover;
        update();
    }
}

void CSuperBitmapButton::leaveEvent(QEvent*)
{
    m_hover = false;
    m_tracking = false;
    update();
}

void CSuperBitmapButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_hover = rect().contains(event->position().toPoint());
    update();
}

void CSuperBitmapButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    const bool inside = rect().contains(event->position().toPoint());
    update();
    if (inside)
        emit command(m_id);
}

void CSuperBitmapButton::focusInEvent(QFocusEvent*)
{
    QWidget* home = m_focusHome ? m_focusHome.data() : QApplication::activeWindow();
    if (home && home != this)
        home->setFocus(Qt::OtherFocusReason);
}

void CSuperBitmapButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}
