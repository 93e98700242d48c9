#include "controls/CColorButton.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <qdrawutil.h>

using namespace ColorPalette;

namespace {

std::optional<ColorValue> standardColorDialog(ColorValue initial, QWidget* parent)
{
    const QColor start = initial == kAutomaticColor ? QColor(Qt::black)
                                                    : QColor(red(initial), green(initial), blue(initial));
    const QColor picked = QColorDialog::getColor(start, parent);
    if (!picked.isValid())
        return std::nullopt;
    return rgb(picked.red(), picked.green(), picked.blue());
}

}  // namespace

CColorButton::CColorButton(QWidget* parent, int controlId)
    : QPushButton(parent),
      m_automaticColor(palette().color(QPalette::Dark)),
      m_automaticText(QStringLiteral("Automatic")),
      m_moreText(QStringLiteral("More Colors...")),
      m_controlId(controlId),
      m_chooser(standardColorDialog)
{
    connect(this, &QPushButton::clicked, this, &CColorButton::openPopup);
}

void CColorButton::setColor(ColorValue color)
{
    m_color = m_shown = color;
    // The swatch is only painted: a screen reader reads the colour from the description.
    setAccessibleDescription(color == kAutomaticColor ? m_automaticText : shownColor().name());
    update();
}

void CColorButton::setAutomaticColor(const QColor& color)
{
    m_automaticColor = color;
    update();
}

QColor CColorButton::shownColor() const
{
    return m_shown == kAutomaticColor ? m_automaticColor
                                      : QColor(red(m_shown), green(m_shown), blue(m_shown));
}

void CColorButton::openPopup()
{
    if (m_popup)
        return;
    m_popupActive = true;
    m_initial = m_color;
    const QRect onScreen(mapToGlobal(QPoint(0, 0)), size());
    m_popup = new CColorPopup(onScreen, m_color, m_automaticText, m_moreText, m_chooser, this);
    connect(m_popup, &CColorPopup::selectionChanged, this, &CColorButton::onPopupSelectionChanged);
    connect(m_popup, &CColorPopup::ended, this, &CColorButton::onPopupEnded);
    m_popup->show();
    update();
    emit dropDown(m_color, m_controlId);
}

void CColorButton::onPopupSelectionChanged(ColorValue color)
{
    if (m_trackSelection) {
        m_shown = color;
        update();
    }
    emit selectionChanged(color, m_controlId);
}

void CColorButton::onPopupEnded(ColorValue color, bool ok)
{
    m_popupActive = false;
    m_popup = nullptr;
    if (ok) {
        m_color = m_shown = color;
        update();
        emit closeUp(color, m_controlId);
        emit selectionEndOk(color, m_controlId);
        if (color != m_initial)
            emit selectionChanged(color, m_controlId);
    } else {
        m_color = m_shown = m_initial;
        update();
        emit closeUp(m_initial, m_controlId);
        emit selectionEndCancel(m_initial, m_controlId);
    }
}

void CColorButton::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    if (m_popupActive)
        option.state |= QStyle::State_Sunken | QStyle::State_HasFocus;
    p.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect inner = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int arrowWidth = qMax(8, inner.height() / 2);
    const QRect arrow(inner.right() - arrowWidth + 1, inner.top(), arrowWidth, inner.height());
    QStyleOption arrowOption = option;
    arrowOption.rect = arrow.adjusted(1, inner.height() / 4, -1, -inner.height() / 4);
    if (!isEnabled())
        arrowOption.palette.setCurrentColorGroup(QPalette::Disabled);
    p.drawPrimitive(QStyle::PE_IndicatorArrowDown, arrowOption);

    const int separatorX = arrow.left() - 2;
    qDrawShadeLine(&p, separatorX, inner.top() + 1, separatorX, inner.bottom() - 1, palette(), true, 1, 0);

    if (isEnabled()) {
        const QRect swatch(inner.left() + 1, inner.top() + 1, separatorX - inner.left() - 4,
                           inner.height() - 2);
        p.fillRect(swatch, shownColor());
        p.setPen(Qt::black);
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
    }
}
