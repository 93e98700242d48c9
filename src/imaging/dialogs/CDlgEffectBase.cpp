#include "imaging/dialogs/CDlgEffectBase.h"

#include "app/WaitCursor.h"
#include "imaging/dialogs/EffectDialogLogic.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

CUpDown::CUpDown(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const auto& [arrow, step] : {std::pair{Qt::UpArrow, 1}, std::pair{Qt::DownArrow, -1}}) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setAccessibleName(step > 0 ? QStringLiteral("Increase") : QStringLiteral("Decrease"));
        button->setAutoRepeat(true);
        button->setFixedSize(16, 11);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, s = step] { stepBy(s); });
        layout->addWidget(button);
    }
}

void CUpDown::setRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = std::max(lower, upper);
    m_position = std::clamp(m_position, m_lower, m_upper);
}

void CUpDown::setPosition(int position)
{
    m_position = std::clamp(position, m_lower, m_upper);
}

void CUpDown::stepBy(int steps)
{
    const int next = std::clamp(m_position + steps, m_lower, m_upper);
    if (next == m_position)
        return;
    m_position = next;
    emit positionChanged(m_position);
}

CDlgEffectBase::CDlgEffectBase(const fipSuperImage* source, const QString& caption, Previews previews,
                               QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(caption);
    auto* outer = new QHBoxLayout(this);
    auto* pictures = new QVBoxLayout;
    auto addPreview = [&](const QString& title) {
        if (previews == Previews::Two)
            pictures->addWidget(new QLabel(title, this));
        auto* wnd = new CThumbWnd(this);
        wnd->setAccessibleName(title);
        wnd->setFixedSize(previewClientSize());
        pictures->addWidget(wnd);
        return wnd;
    };
    if (previews == Previews::Two)
        m_original = addPreview(QStringLiteral("Original image"));
    m_preview = addPreview(QStringLiteral("New image"));
    pictures->addStretch();
    outer->addLayout(pictures);

    auto* controls = new QVBoxLayout;
    m_grid = new QGridLayout;
    controls->addLayout(m_grid);
    m_extra = new QVBoxLayout;
    controls->addLayout(m_extra);
    controls->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgEffectBase::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgEffectBase::reject);
    controls->addWidget(buttons);
    outer->addLayout(controls);

    if (source && source->isValid()) {
        WaitCursor wait;
        m_sourceWidth = static_cast<int>(source->getWidth());
        m_sourceHeight = static_cast<int>(source->getHeight());
        const QSize client = previewClientSize();
        // On a dense screen the copy for its pixels comes first and the preview's own is
        // reduced from it, so the source is still read only once.
        const QSize dense = thumbDevicePixels(client, devicePixelRatioF());
        if (dense.width() > client.width())
            fipSuperImage::makeThumbnail(m_dense, *source, static_cast<unsigned>(dense.width()),
                                         static_cast<unsigned>(dense.height()), TRUE);
        fipSuperImage::makeThumbnail(m_base, m_dense.isValid() ? static_cast<const fipImage&>(m_dense) : *source,
                                     static_cast<unsigned>(client.width()), static_cast<unsigned>(client.height()), TRUE);
        if (m_base.isValid() && m_dense.isValid() && m_dense.getWidth() > m_base.getWidth())
            m_denseScale = static_cast<double>(m_dense.getWidth()) / m_base.getWidth();
        else
            m_dense = fipSuperImage();
        if (m_original)
            m_original->image() = m_dense.isValid() ? m_dense : m_base;
    }
}

int CDlgEffectBase::addRowWidgets(const QString& label, int lower, int upper, int position, int ticks,
                                  const QString& pattern)
{
    Row row;
    row.lower = lower;
    row.upper = std::max(lower, upper);
    const int line = static_cast<int>(m_rows.size());
    auto* text = new QLabel(label, this);
    row.edit = new QLineEdit(this);
    row.edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), row.edit));
    row.edit->setMaximumWidth(60);
    text->setBuddy(row.edit);
    row.spin = new CUpDown(this);
    row.spin->setRange(row.lower, row.upper);
    row.spin->setPosition(position);
    row.slider = new QSlider(Qt::Horizontal, this);
    row.slider->setRange(row.lower, row.upper);
    row.slider->setValue(position);
    row.slider->setTickPosition(QSlider::TicksBelow);
    row.slider->setTickInterval(std::max(1, ticks));
    row.slider->setMinimumWidth(160);
    // The slider and the arrows sit beside the edit's label; a screen reader names them by it.
    const QString name = QString(label).remove(u'&').remove(u':').trimmed();
    row.slider->setAccessibleName(name);
    row.spin->setAccessibleName(name);
    m_grid->addWidget(text, line, 0);
    m_grid->addWidget(row.edit, line, 1);
    m_grid->addWidget(row.spin, line, 2);
    m_grid->addWidget(row.slider, line, 3);
    m_rows.push_back(row);
    connect(row.edit, &QLineEdit::textChanged, this, [this, line] {
        if (m_started)
            editChanged(line);
    });
    return line;
}

int CDlgEffectBase::addRow(const QString& label, int lower, int upper, int value, int ticks, Sign sign, int maxChars)
{
    const int line = addRowWidgets(label, lower, upper, value, ticks,
                                   sign == Sign::Signed ? QStringLiteral("-?[0-9]*") : QStringLiteral("[0-9]*"));
    Row& row = m_rows.back();
    row.maxChars = maxChars;
    row.edit->setText(QString::number(row.slider->value()));
    connect(row.slider, &QSlider::valueChanged, this, [this, line](int position) {
        setEditText(line, QString::number(position));
    });
    connect(row.spin, &CUpDown::positionChanged, this, [this, line](int position) {
        setEditText(line, QString::number(position));
    });
    return line;
}

int CDlgEffectBase::addCustomRow(const QString& label, int lower, int upper, int position, int ticks,
                                 const QString& text, const QString& pattern)
{
    const int line = addRowWidgets(label, lower, upper, position, ticks, pattern);
    m_rows.back().edit->setText(text);
    return line;
}

void CDlgEffectBase::start()
{
    if (m_base.isValid())
        refreshPreview();
    m_started = true;
}

int CDlgEffectBase::clampedValue(int row) const
{
    const Row& r = m_rows.at(static_cast<size_t>(row));
    return effectdlg::clampValue(effectdlg::readInteger(r.edit->text(), r.maxChars), r.lower, r.upper);
}

void CDlgEffectBase::editChanged(int row)
{
    const int value = clampedValue(row);
    refreshPreview();
    setSliderSilently(row, value);
}

void CDlgEffectBase::refreshPreview()
{
    if (!m_base.isValid())
        return;
    // A failing effect leaves the preview showing the plain reduced copy.
    const fipSuperImage& base = m_dense.isValid() ? m_dense : m_base;
    fipSuperImage shown(base);
    if (!applyEffect(shown))
        shown = base;
    m_preview->showImage(shown);
}

int CDlgEffectBase::previewLength(int value) const
{
    if (!m_dense.isValid() || value <= 0)
        return value;
    return std::max(1, static_cast<int>(std::lround(value * m_denseScale)));
}

void CDlgEffectBase::setEditText(int row, const QString& text)
{
    m_rows.at(static_cast<size_t>(row)).edit->setText(text);
}

void CDlgEffectBase::setSliderSilently(int row, int position)
{
    Row& r = m_rows.at(static_cast<size_t>(row));
    const QSignalBlocker block(r.slider);
    r.slider->setValue(position);
    r.spin->setPosition(position);
}

void CDlgEffectBase::accept()
{
    if (storeValues())
        QDialog::accept();
}
