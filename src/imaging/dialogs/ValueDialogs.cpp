#include "imaging/dialogs/ValueDialogs.h"

#include "app/MessageBoxSeam.h"
#include "imaging/dialogs/EffectDialogLogic.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

using namespace effectdlg;

CDlgSingleValue::CDlgSingleValue(const fipSuperImage* source, const Setup& setup, QWidget* parent)
    : CDlgEffectBase(source, setup.caption, setup.previews, parent)
{
    const int upper = setup.upperFor && baseImage().isValid() ? setup.upperFor(previewWidth(), previewHeight())
                                                             : setup.upper;
    const int ticks = setup.ticks > 0 ? setup.ticks : std::max(1, upper / 5);
    addRow(setup.label, setup.lower, upper, setup.value, ticks, Sign::Unsigned, setup.maxChars);
    m_value = setup.value;
}

bool CDlgSingleValue::storeValues()
{
    m_value = finalValue(clampedValue(0));
    return true;
}

// ---- Add Noise, Threshold -------------------------------------------------------------------

CDlgCheckedLevel::CDlgCheckedLevel(const fipSuperImage* source, const QString& caption, const QString& label,
                                   QString invalidText, QWidget* parent)
    : CDlgSingleValue(source, Setup{caption, label, 0, 255, 128, 25, 100, Previews::One, {}}, parent),
      m_invalidText(std::move(invalidText))
{
}

int CDlgCheckedLevel::typedValue() const
{
    return static_cast<int>(readInteger(edit(0)->text(), maxChars(0)));
}

bool CDlgCheckedLevel::applyEffect(fipSuperImage& image) const
{
    return effect(image, typedValue());
}

void CDlgCheckedLevel::editChanged(int row)
{
    const int typed = typedValue();
    refreshPreview();
    if (typed != slider(row)->value())
        setSliderSilently(row, typed);
}

bool CDlgCheckedLevel::storeValues()
{
    const int typed = typedValue();
    if (typed < 0 || typed > 255) {
        MessageBoxSeam::show({this, windowTitle(), m_invalidText, QMessageBox::Warning});
        QLineEdit* field = edit(0);
        field->setFocus();
        field->selectAll();
        return false;
    }
    m_value = typed;
    return true;
}

CDlgAddNoise::CDlgAddNoise(const fipSuperImage* source, QWidget* parent)
    : CDlgCheckedLevel(source, QStringLiteral("Add Noise"), QStringLiteral("&Noise level:"),
                       QStringLiteral("You must specify a valid noise level (0 - 255)."), parent)
{
    start();
}

bool CDlgAddNoise::effect(fipSuperImage& image, int value) const
{
    return image.addNoise(value) != FALSE;
}

CDlgThreshold::CDlgThreshold(const fipSuperImage* source, QWidget* parent)
    : CDlgCheckedLevel(source, QStringLiteral("Threshold"), QStringLiteral("&Threshold level:"),
                       QStringLiteral("You must specify a valid threshold level (0 - 255)."), parent)
{
    start();
}

bool CDlgThreshold::effect(fipSuperImage& image, int value) const
{
    // The library takes a byte: a number typed past 255 previews as 255, not wrapped round.
    return image.threshold(static_cast<BYTE>(std::clamp(value, 0, 255))) != FALSE;
}

// ---- Plain single values ------------------------------------------------------------------

CDlgAverageBlur::CDlgAverageBlur(const fipSuperImage* source, QWidget* parent)
    : CDlgSingleValue(source,
                      Setup{QStringLiteral("Average Blur"), QStringLiteral("&Radius:"), 2, 20, 10, 0, 1000,
                           Previews::One, [](int w, int h) { return previewLimitedMax(w, h, 20, 2); }},
                      parent)
{
    start();
}

bool CDlgAverageBlur::effect(fipSuperImage& image, int value) const
{
    return image.averageBlur(previewLength(value)) != FALSE;
}

int CDlgAverageBlur::finalValue(int value) const
{
    return clampValue(value, 2, std::min(sourceWidth(), sourceHeight()) - 1);
}

CDlgEmboss::CDlgEmboss(const fipSuperImage* source, QWidget* parent)
    : CDlgSingleValue(source, Setup{QStringLiteral("Emboss"), QStringLiteral("&Weight:"), 1, 15, 5, 3}, parent)
{
    start();
}

bool CDlgEmboss::effect(fipSuperImage& image, int value) const
{
    return image.emboss(value) != FALSE;
}

CDlgSolarize::CDlgSolarize(const fipSuperImage* source, QWidget* parent)
    : CDlgSingleValue(source, Setup{QStringLiteral("Solarize"), QStringLiteral("&Threshold:"), 0, 255, 255, 51}, parent)
{
    start();
}

bool CDlgSolarize::effect(fipSuperImage& image, int value) const
{
    return image.solarize(static_cast<BYTE>(value), TRUE) != FALSE;
}

CDlgSpread::CDlgSpread(const fipSuperImage* source, QWidget* parent)
    : CDlgSingleValue(source, Setup{QStringLiteral("Spread"), QStringLiteral("&Amount:"), 0, 32, 5, 6}, parent)
{
    start();
}

bool CDlgSpread::effect(fipSuperImage& image, int value) const
{
    return image.spread(previewLength(value)) != FALSE;
}

// ---- Mosaic and Wind: chosen on the preview, applied at the source's scale ------------------

CDlgMosaic::CDlgMosaic(const fipSuperImage* source, QWidget* parent)
    : CDlgSingleValue(source,
                      Setup{QStringLiteral("Mosaic"), QStringLiteral("&Block size:"), 2, 50, 5, 0, 1000,
                           Previews::Two, [](int w, int h) { return previewLimitedMax(w, h, 50, 2); }},
                      parent)
{
    start();
}

bool CDlgMosaic::effect(fipSuperImage& image, int value) const
{
    return image.mosaic(previewLength(value)) != FALSE;
}

int CDlgMosaic::finalValue(int value) const
{
    return scaleToSource(value, sourceWidth(), previewWidth(), 2);
}

CDlgWind::CDlgWind(const fipSuperImage* source, QWidget* parent)
    : CDlgSingleValue(source,
                      Setup{QStringLiteral("Wind"), QStringLiteral("&Level:"), 1, 50, 1, 0, 1000, Previews::One,
                           [](int w, int) { return windMax(w); }},
                      parent)
{
    auto* box = new QGroupBox(QStringLiteral("Direction"), this);
    auto* row = new QHBoxLayout(box);
    m_left = new QRadioButton(QStringLiteral("Left"), box);
    m_right = new QRadioButton(QStringLiteral("Right"), box);
    m_left->setChecked(true);
    row->addWidget(m_left);
    row->addWidget(m_right);
    extraArea()->addWidget(box);
    m_smoothBox = new QCheckBox(QStringLiteral("Smooth"), this);
    m_smoothBox->setChecked(true);
    extraArea()->addWidget(m_smoothBox);
    for (QAbstractButton* button : {static_cast<QAbstractButton*>(m_left), static_cast<QAbstractButton*>(m_right),
                                    static_cast<QAbstractButton*>(m_smoothBox)})
        connect(button, &QAbstractButton::clicked, this, [this] {
            readOptions();
            refreshPreview();
        });
    start();
}

void CDlgWind::readOptions()
{
    m_direction = m_right->isChecked() ? 1 : 0;
    m_smooth = m_smoothBox->isChecked();
}

void CDlgWind::editChanged(int row)
{
    readOptions();
    CDlgSingleValue::editChanged(row);
}

bool CDlgWind::effect(fipSuperImage& image, int value) const
{
    return image.wind(previewLength(value), m_direction, m_smooth ? TRUE : FALSE) != FALSE;
}

int CDlgWind::finalValue(int value) const
{
    return scaleToSource(value, sourceWidth(), previewWidth(), 1);
}

bool CDlgWind::storeValues()
{
    readOptions();
    return CDlgSingleValue::storeValues();
}

// ---- Stripe -----------------------------------------------------------------------------------

CDlgStripe::CDlgStripe(const fipSuperImage* source, QWidget* parent)
    : CDlgEffectBase(source, QStringLiteral("Stripe"), Previews::One, parent)
{
    addRow(QStringLiteral("&Swing:"), 0, 100, 25, 20);
    addRow(QStringLiteral("&Frequency:"), 0, 100, 35, 20);
    start();
}

bool CDlgStripe::applyEffect(fipSuperImage& image) const
{
    return image.stripe(clampedValue(0), clampedValue(1)) != FALSE;
}

bool CDlgStripe::storeValues()
{
    m_swing = clampedValue(0);
    m_frequency = clampedValue(1);
    return true;
}
