#include "imaging/geometry/CDlgRotate.h"

#include "imaging/geometry/SizeUnits.h"

#include <QLineEdit>
#include <QSlider>

#include <algorithm>
#include <cmath>

CDlgRotate::CDlgRotate(const fipSuperImage* source, QWidget* parent)
    : CDlgEffectBase(source, QStringLiteral("Rotate"), Previews::One, parent)
{
    const int row = addCustomRow(QStringLiteral("&Angle:"), -180, 180, 0, 36, QStringLiteral("0"),
                                 QStringLiteral("-?[0-9]*[.]?[0-9]*"));
    connect(slider(row), &QSlider::valueChanged, this, [this, row](int position) {
        setEditText(row, QString::number(position));
    });
    connect(spin(row), &CUpDown::positionChanged, this, [this, row](int position) {
        setEditText(row, QString::number(position));
    });
    start();
}

double CDlgRotate::typedAngle() const
{
    const double value = edit(0)->text().toDouble();
    return std::isfinite(value) ? value : 0.0;
}

bool CDlgRotate::applyEffect(fipSuperImage& image) const
{
    const double angle = typedAngle();
    // An angle of 0 shows the copy as it is.
    return angle == 0.0 || image.rotate(angle) != FALSE;
}

void CDlgRotate::editChanged(int row)
{
    refreshPreview();
    const int position = std::clamp(SizeUnits::roundHalfAway(typedAngle()), -180, 180);
    if (slider(row)->value() != position)
        setSliderSilently(row, position);
}

bool CDlgRotate::storeValues()
{
    m_angle = typedAngle();
    return true;
}
