#include "CSuperStatusBar.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kMaxPanes = 6;
constexpr int kSliderWidth = 120;
constexpr int kSliderPaneWidth = 136;
constexpr int kReservedWidth = 203;
constexpr int kSettleMs = 300;

// A 16 × 16 magnifier: a ring with a handle.
QPixmap magnifierIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.6));
    p.setBrush(QColor(200, 225, 250));
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(QColor(40, 40, 40), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    return pixmap;
}

}  // namespace

CSuperSliderCtrl::CSuperSliderCtrl(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setRange(0, 100);
    setTickPosition(QSlider::NoTicks);
    setFocusPolicy(Qt::NoFocus);
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(kSettleMs);
    connect(&m_settleTimer, &QTimer::timeout, this, [this] {
        m_dragging = false;
        emit settled();
    });
}

void CSuperSliderCtrl::noteTracking()
{
    m_dragging = true;
    m_settleTimer.start();
}

void CSuperSliderCtrl::noteOtherChange()
{
    m_settleTimer.stop();
    m_dragging = false;
}

CSuperStatusBar::CSuperStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setMinimumHeight(24);
    setSizeGripEnabled(false);
    for (int i = 0; i < kMaxPanes; ++i) {
        auto* pane = new QLabel(this);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setTextFormat(Qt::PlainText);
        addWidget(pane);
        m_panes.push_back(pane);
    }
    m_zoomIcon = new QLabel(this);
    m_zoomIcon->setPixmap(magnifierIcon());
    m_zoomIcon->setFixedWidth(16);
    m_slider = new CSuperSliderCtrl(this);
    m_slider->setObjectName(QStringLiteral("StatusSlider"));
    m_slider->setFixedWidth(kSliderWidth);
    auto* sliderPane = new QWidget(this);
    auto* layout = new QHBoxLayout(sliderPane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_zoomIcon);
    layout->addWidget(m_slider);
    sliderPane->setFixedWidth(kSliderPaneWidth + 16);
    addPermanentWidget(sliderPane);

    // Every change by the user: drag steps, page steps, keys, the wheel and the middle button's
    // jump (which moves the slider before it counts as pressed, so it is no drag step). The
    // frame's own settings are made with the signals blocked.
    connect(m_slider, &QSlider::valueChanged, this, [this](int position) {
        if (m_slider->isSliderDown())
            m_slider->noteTracking();
        else
            m_slider->noteOtherChange();
        onSliderMoved(position);
    });
    connect(m_slider, &CSuperSliderCtrl::settled, this, [this] {
        QCoreApplication::postEvent(this, new QEvent(WM_SLIDER_SETTLED));
    });
}

bool CSuperStatusBar::event(QEvent* event)
{
    if (event->type() == WM_SLIDER_SETTLED) {
        emit sliderSettled();
        return true;
    }
    return QStatusBar::event(event);
}

void CSuperStatusBar::onSliderMoved(int position)
{
    if (m_table == Table::Browser)
        emit thumbnailSizeRequested(StatusBarModel::thumbnailSizeFromSlider(position));
    else
        emit zoomRequested(StatusBarModel::zoomFromSlider(position));
}

void CSuperStatusBar::setSliderQuietly(int position)
{
    if (m_slider->value() == position)
        return;
    const QSignalBlocker block(m_slider);
    m_slider->setValue(position);
}

void CSuperStatusBar::SetSliderFromZoom(double zoom)
{
    setSliderQuietly(StatusBarModel::sliderFromZoom(zoom));
}

void CSuperStatusBar::SetSliderFromThumbnailSize(int size)
{
    setSliderQuietly(StatusBarModel::sliderFromThumbnailSize(size));
}

void CSuperStatusBar::showPanes(Table table, const StatusBarModel::Panes& panes)
{
    m_table = table;
    const QString sliderName = table == Table::Browser ? QStringLiteral("Thumbnail Size") : QStringLiteral("Zoom");
    if (m_slider->accessibleName() != sliderName)
        m_slider->setAccessibleName(sliderName);
    m_texts = table == Table::ViewerNoImage ? StatusBarModel::Panes{StatusBarModel::kNoImages} : panes;
    m_texts.resize(kMaxPanes);
    layoutPanes();
}

void CSuperStatusBar::resizeEvent(QResizeEvent* event)
{
    QStatusBar::resizeEvent(event);
    layoutPanes();
}

void CSuperStatusBar::layoutPanes()
{
    const bool noImage = m_table == Table::ViewerNoImage;
    std::vector<std::optional<int>> textWidths;
    const QFontMetrics metrics(font());
    for (const auto& text : m_texts)
        textWidths.push_back(text ? std::optional<int>(metrics.horizontalAdvance(*text) + 20) : std::nullopt);
    const int available = width() - kReservedWidth + (m_table == Table::Browser ? 8 : 0);
    const std::vector<int> widths = StatusBarModel::paneWidths(textWidths, available);
    for (size_t i = 0; i < m_panes.size(); ++i) {
        QLabel* pane = m_panes[i];
        const bool present = m_texts[i].has_value();
        pane->setText(present ? *m_texts[i] : QString());
        pane->setEnabled(present);
        pane->setVisible(present && (widths[i] > 0 || noImage));
        pane->setFrameShape(noImage ? QFrame::NoFrame : QFrame::Panel);
        if (noImage)
            pane->setMaximumWidth(QWIDGETSIZE_MAX);
        else
            pane->setFixedWidth(widths[i]);
    }
    m_slider->parentWidget()->setVisible(!noImage);
}

QString CSuperStatusBar::paneText(int index) const
{
    return index >= 0 && index < static_cast<int>(m_texts.size()) && m_texts[index] ? *m_texts[index] : QString();
}

bool CSuperStatusBar::paneEnabled(int index) const
{
    return index >= 0 && index < static_cast<int>(m_texts.size()) && m_texts[index].has_value();
}
