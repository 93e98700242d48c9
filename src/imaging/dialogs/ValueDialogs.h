#pragma once
// The effect dialogs with one slider value (and Stripe's two): Add Noise, Threshold, Average
// Blur, Emboss, Solarize, Spread, Mosaic, Wind and Stripe. Each starts from its defaults and,
// after Ok, holds the value(s) the command uses.
#include "imaging/dialogs/CDlgEffectBase.h"

#include <functional>

class QCheckBox;
class QRadioButton;

class CDlgSingleValue : public CDlgEffectBase {
    Q_OBJECT
public:
    int value() const { return m_value; }

protected:
    struct Setup {
        QString caption;
        QString label;
        int lower = 0;
        int upper = 0;
        int value = 0;
        // The tick spacing; 0 = a fifth of the upper bound.
        int ticks = 0;
        int maxChars = 1000;
        Previews previews = Previews::One;
        // Bounds that follow the preview's size: the upper bound from its width and height.
        std::function<int(int width, int height)> upperFor;
    };
    CDlgSingleValue(const fipSuperImage* source, const Setup& setup, QWidget* parent);

    virtual bool effect(fipSuperImage& image, int value) const = 0;
    bool applyEffect(fipSuperImage& image) const override { return effect(image, clampedValue(0)); }
    // The value stored at Ok from the clamped edit value.
    virtual int finalValue(int value) const { return value; }
    bool storeValues() override;

    int m_value = 0;
};

// Add Noise and Threshold: the preview follows the number typed even outside 0..255, and Ok
// refuses such a number with a message.
class CDlgCheckedLevel : public CDlgSingleValue {
    Q_OBJECT
protected:
    CDlgCheckedLevel(const fipSuperImage* source, const QString& caption, const QString& label,
                     QString invalidText, QWidget* parent);
    bool applyEffect(fipSuperImage& image) const override;
    void editChanged(int row) override;
    bool storeValues() override;
    int typedValue() const;

private:
    QString m_invalidText;
};

class CDlgAddNoise : public CDlgCheckedLevel {
    Q_OBJECT
public:
    explicit CDlgAddNoise(const fipSuperImage* source, QWidget* parent = nullptr);
protected:
    bool effect(fipSuperImage& image, int value) const override;
};

class CDlgThreshold : public CDlgCheckedLevel {
    Q_OBJECT
public:
    explicit CDlgThreshold(const fipSuperImage* source, QWidget* parent = nullptr);
protected:
    bool effect(fipSuperImage& image, int value) const override;
};

class CDlgAverageBlur : public CDlgSingleValue {
    Q_OBJECT
public:
    explicit CDlgAverageBlur(const fipSuperImage* source, QWidget* parent = nullptr);
protected:
    bool effect(fipSuperImage& image, int value) const override;
    int finalValue(int value) const override;
};

class CDlgEmboss : public CDlgSingleValue {
    Q_OBJECT
public:
    explicit CDlgEmboss(const fipSuperImage* source, QWidget* parent = nullptr);
protected:
    bool effect(fipSuperImage& image, int value) const override;
};

class CDlgSolarize : public CDlgSingleValue {
    Q_OBJECT
public:
    explicit CDlgSolarize(const fipSuperImage* source, QWidget* parent = nullptr);
protected:
    bool effect(fipSuperImage& image, int value) const override;
};

class CDlgSpread : public CDlgSingleValue {
    Q_OBJECT
public:
    explicit CDlgSpread(const fipSuperImage* source, QWidget* parent = nullptr);
protected:
    bool effect(fipSuperImage& image, int value) const override;
};

class CDlgMosaic : public CDlgSingleValue {
    Q_OBJECT
public:
    explicit CDlgMosaic(const fipSuperImage* source, QWidget* parent = nullptr);
protected:
    bool effect(fipSuperImage& image, int value) const override;
    int finalValue(int value) const override;
};

class CDlgWind : public CDlgSingleValue {
    Q_OBJECT
public:
    explicit CDlgWind(const fipSuperImage* source, QWidget* parent = nullptr);
    int direction() const { return m_direction; }
    bool smooth() const { return m_smooth; }
    QRadioButton* leftButton() const { return m_left; }
    QRadioButton* rightButton() const { return m_right; }
    QCheckBox* smoothBox() const { return m_smoothBox; }
protected:
    bool effect(fipSuperImage& image, int value) const override;
    int finalValue(int value) const override;
    void editChanged(int row) override;
    bool storeValues() override;
private:
    void readOptions();
    QRadioButton* m_left = nullptr;
    QRadioButton* m_right = nullptr;
    QCheckBox* m_smoothBox = nullptr;
    int m_direction = 0;
    bool m_smooth = true;
};

class CDlgStripe : public CDlgEffectBase {
    Q_OBJECT
public:
    explicit CDlgStripe(const fipSuperImage* source, QWidget* parent = nullptr);
    int swing() const { return m_swing; }
    int frequency() const { return m_frequency; }
protected:
    bool applyEffect(fipSuperImage& image) const override;
    bool storeValues() override;
private:
    int m_swing = 25;
    int m_frequency = 35;
};
