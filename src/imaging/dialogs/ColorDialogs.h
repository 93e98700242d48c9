#pragma once
// The colour dialogs: Colorize (a preset or a picked colour over an amount), Enhance Colors
// (brightness, contrast, gamma and colour balance) and Adjust HSL.
#include "imaging/dialogs/CDlgEffectBase.h"

class CColorButton;
class QComboBox;
class QPushButton;

class CDlgColorize : public CDlgEffectBase {
    Q_OBJECT
public:
    explicit CDlgColorize(const fipSuperImage* source, QWidget* parent = nullptr);
    double hue() const { return m_hue; }
    double saturation() const { return m_saturation; }
    int amount() const { return m_amount; }
    QComboBox* presetBox() const { return m_presets; }
    CColorButton* colorButton() const { return m_button; }
protected:
    bool applyEffect(fipSuperImage& image) const override;
    bool storeValues() override;
private:
    void presetChosen(int index);
    void colorPicked();
    // Hue and saturation of the button's colour.
    std::pair<double, double> chosenHueSaturation() const;
    QComboBox* m_presets = nullptr;
    CColorButton* m_button = nullptr;
    double m_hue = 0;
    double m_saturation = 0;
    int m_amount = 50;
};

class CDlgEnhanceColors : public CDlgEffectBase {
    Q_OBJECT
public:
    enum Row { Brightness, Contrast, Gamma, Red, Green, Blue };
    explicit CDlgEnhanceColors(const fipSuperImage* source, QWidget* parent = nullptr);
    int brightness() const { return m_brightness; }
    int contrast() const { return m_contrast; }
    double gamma() const { return m_gamma; }
    double redGamma() const { return m_red; }
    double greenGamma() const { return m_green; }
    double blueGamma() const { return m_blue; }
    QPushButton* defaultsButton() const { return m_defaults; }
    // The gamma edit's value, clamped to 0.01..6.99.
    double gammaValue() const;
protected:
    bool applyEffect(fipSuperImage& image) const override;
    void editChanged(int row) override;
    bool storeValues() override;
private:
    QPushButton* m_defaults = nullptr;
    int m_brightness = 0;
    int m_contrast = 0;
    double m_gamma = 1;
    double m_red = 1;
    double m_green = 1;
    double m_blue = 1;
};

class CDlgAdjustHSL : public CDlgEffectBase {
    Q_OBJECT
public:
    enum Row { Hue, Lightness, Saturation };
    explicit CDlgAdjustHSL(const fipSuperImage* source, QWidget* parent = nullptr);
    int hue() const { return m_hue; }
    int saturation() const { return m_saturation; }
    int lightness() const { return m_lightness; }
    QPushButton* defaultsButton() const { return m_defaults; }
protected:
    bool applyEffect(fipSuperImage& image) const override;
    bool storeValues() override;
private:
    QPushButton* m_defaults = nullptr;
    int m_hue = 0;
    int m_saturation = 0;
    int m_lightness = 0;
};
