#pragma once
// Rotate: an angle in degrees (edit, up-down and slider from -180 to 180) with the reduced
// copy shown turned by it.
#include "imaging/dialogs/CDlgEffectBase.h"

class CDlgRotate : public CDlgEffectBase {
    Q_OBJECT
public:
    CDlgRotate(const fipSuperImage* source, QWidget* parent = nullptr);
    // The angle as typed, after Ok (no range check).
    double angle() const { return m_angle; }

protected:
    bool applyEffect(fipSuperImage& image) const override;
    void editChanged(int row) override;
    bool storeValues() override;

private:
    double typedAngle() const;
    double m_angle = 0;
};
