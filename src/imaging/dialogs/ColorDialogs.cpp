#include "imaging/dialogs/ColorDialogs.h"

#include "controls/CColorButton.h"
#include "imaging/dialogs/EffectDialogLogic.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace effectdlg;

namespace {

ColorValue toColorValue(const QColor& c)
{
    return (static_cast<ColorValue>(c.red()) << 16) | (static_cast<ColorValue>(c.green()) << 8)
           | static_cast<ColorValue>(c.blue());
}

}  // namespace

// ---- Colorize ---------------------------------------------------------------------------------

CDlgColorize::CDlgColorize(const fipSuperImage* source, QWidget* parent)
    : CDlgEffectBase(source, QStringLiteral("Colorize"), Previews::One, parent)
{
    m_presets = new QComboBox(this);
    for (const ColorizePreset& preset : colorizePresets())
        m_presets->addItem(QString::fromLatin1(preset.name));
    m_button = new CColorButton(this, 1233);
    m_button->setAccessibleName(QStringLiteral("Color"));
    extraArea()->addWidget(m_presets);
    extraArea()->addWidget(m_button);
    addRow(QStringLiteral("&Amount:"), 1, 100, 50, 20);
    m_presets->setCurrentIndex(0);
    m_button->setColor(toColorValue(colorizePresets()[0].color));
    connect(m_presets, &QComboBox::currentIndexChanged, this, &CDlgColorize::presetChosen);
    connect(m_button, &CColorButton::selectionEndOk, this, &CDlgColorize::colorPicked);
    start();
}

void CDlgColorize::presetChosen(int index)
{
    if (index >= 0 && index < kColorizeCustom) {
        m_button->setColor(toColorValue(colorizePresets()[static_cast<size_t>(index)].color));
        m_button->update();
    }
    refreshPreview();
}

void CDlgColorize::colorPicked()
{
    if (m_presets->currentIndex() != kColorizeCustom) {
        const QSignalBlocker block(m_presets);
        m_presets->setCurrentIndex(kColorizeCustom);
    }
    refreshPreview();
}

std::pair<double, double> CDlgColorize::chosenHueSaturation() const
{
    const QColor c = m_button->shownColor();
    double hue = 0, saturation = 0, lightness = 0;
    fipSuperImage::RGBtoHSL(static_cast<BYTE>(c.red()), static_cast<BYTE>(c.green()), static_cast<BYTE>(c.blue()),
                            hue, saturation, lightness);
    return {hue, saturation};
}

bool CDlgColorize::applyEffect(fipSuperImage& image) const
{
    const auto [hue, saturation] = chosenHueSaturation();
    return image.colorize(hue, saturation, clampedValue(0) * 0.01) != FALSE;
}

bool CDlgColorize::storeValues()
{
    std::tie(m_hue, m_saturation) = chosenHueSaturation();
    m_amount = clampedValue(0);
    return true;
}

// ---- Enhance Colors ---------------------------------------------------------------------------

CDlgEnhanceColors::CDlgEnhanceColors(const fipSuperImage* source, QWidget* parent)
    : CDlgEffectBase(source, QStringLiteral("Enhance Colors"), Previews::Two, parent)
{
    addRow(QStringLiteral("&Brightness:"), -100, 100, 0, 40, Sign::Signed);
    addRow(QStringLiteral("&Contrast:"), -100, 100, 0, 40, Sign::Signed);
    addCustomRow(QStringLiteral("&Gamma correction:"), 1, 699, 100, 139, QStringLiteral("1.00"),
                 QStringLiteral("[0-9]*[.]?[0-9]*"));
    addRow(QStringLiteral("Color balance &R:"), -100, 100, 0, 40, Sign::Signed);
    addRow(QStringLiteral("Color balance &G:"), -100, 100, 0, 40, Sign::Signed);
    addRow(QStringLiteral("Color balance &B:"), -100, 100, 0, 40, Sign::Signed);
    // The gamma's slider and spin count hundredths; its edit shows the gamma itself.
    connect(slider(Gamma), &QSlider::valueChanged, this, [this](int p) { setEditText(Gamma, gammaText(p)); });
    connect(spin(Gamma), &CUpDown::positionChanged, this, [this](int p) { setEditText(Gamma, gammaText(p)); });
    m_defaults = new QPushButton(QStringLiteral("&Set to default values"), this);
    extraArea()->addWidget(m_defaults);
    connect(m_defaults, &QPushButton::clicked, this, [this] {
        for (int row : {Brightness, Contrast, Red, Green, Blue})
            setEditText(row, QStringLiteral("0"));
        setEditText(Gamma, QStringLiteral("1.00"));
    });
    start();
}

double CDlgEnhanceColors::gammaValue() const
{
    return std::clamp(readDecimal(edit(Gamma)->text()), 0.01, 6.99);
}

void CDlgEnhanceColors::editChanged(int row)
{
    if (row != Gamma) {
        CDlgEffectBase::editChanged(row);
        return;
    }
    refreshPreview();
    setSliderSilently(Gamma, roundHalfAway(gammaValue() * 100));
}

bool CDlgEnhanceColors::applyEffect(fipSuperImage& image) const
{
    const bool adjusted = image.adjustColors(clampedValue(Brightness), clampedValue(Contrast), gammaValue(), FALSE);
    const bool balanced = image.adjustGammaRGB(colorBalanceGamma(clampedValue(Red)),
                                               colorBalanceGamma(clampedValue(Green)),
                                               colorBalanceGamma(clampedValue(Blue)));
    return adjusted || balanced;
}

bool CDlgEnhanceColors::storeValues()
{
    m_brightness = clampedValue(Brightness);
    m_contrast = clampedValue(Contrast);
    m_gamma = gammaValue();
    m_red = colorBalanceGamma(clampedValue(Red));
    m_green = colorBalanceGamma(clampedValue(Green));
    m_blue = colorBalanceGamma(clampedValue(Blue));
    return true;
}

// ---- Adjust HSL -------------------------------------------------------------------------------

CDlgAdjustHSL::CDlgAdjustHSL(const fipSuperImage* source, QWidget* parent)
    : CDlgEffectBase(source, QStringLiteral("Adjust HSL"), Previews::Two, parent)
{
    addRow(QStringLiteral("&Hue:"), -100, 100, 0, 40, Sign::Signed);
    addRow(QStringLiteral("&Lightness:"), -100, 100, 0, 40, Sign::Signed);
    addRow(QStringLiteral("&Saturation:"), -100, 100, 0, 40, Sign::Signed);
    m_defaults = new QPushButton(QStringLiteral("&Set to default values"), this);
    extraArea()->addWidget(m_defaults);
    connect(m_defaults, &QPushButton::clicked, this, [this] {
        for (int row : {Hue, Lightness, Saturation})
            setEditText(row, QStringLiteral("0"));
    });
    start();
}

bool CDlgAdjustHSL::applyEffect(fipSuperImage& image) const
{
    return image.adjustHSL(clampedValue(Hue), clampedValue(Saturation), clampedValue(Lightness)) != FALSE;
}

bool CDlgAdjustHSL::storeValues()
{
    m_hue = clampedValue(Hue);
    m_saturation = clampedValue(Saturation);
    m_lightness = clampedValue(Lightness);
    return true;
}
