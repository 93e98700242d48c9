#include "imaging/geometry/SizeDialogs.h"

#include "controls/CColorButton.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

using namespace SizeUnits;

namespace {

QString numberText(double value)
{
    return QString::number(value, 'g', 12);
}

}  // namespace

CDlgResize::CDlgResize(const Source& source, QWidget* parent)
    : CDlgSizeBase(source, QStringLiteral("Resize"), true, parent)
{
    QGridLayout* rows = extraRows();
    m_dpi = new QLineEdit(numberText(roundHalfAway(std::min(source.dpiX, source.dpiY))), this);
    m_dpiUnit = new QComboBox(this);
    m_dpiUnit->addItems({QStringLiteral("pixels/inch"), QStringLiteral("pixels/cm")});
    auto* dpiLabel = new QLabel(QStringLiteral("&DPI:"), this);
    dpiLabel->setBuddy(m_dpi);
    rows->addWidget(dpiLabel, 0, 0);
    rows->addWidget(m_dpi, 0, 1);
    rows->addWidget(m_dpiUnit, 0, 2);
    m_filter = new QComboBox(this);
    m_filter->addItems({QStringLiteral("Box"), QStringLiteral("Bilinear"), QStringLiteral("B-Spline"),
                        QStringLiteral("Bicubic"), QStringLiteral("Catmull-Rom"), QStringLiteral("Lanczos")});
    m_filter->setCurrentIndex(1);
    auto* filterLabel = new QLabel(QStringLiteral("&Resample filter:"), this);
    filterLabel->setBuddy(m_filter);
    rows->addWidget(filterLabel, 1, 0);
    rows->addWidget(m_filter, 1, 1, 1, 2);

    connect(m_dpi, &QLineEdit::textChanged, this, &CDlgResize::updateLabels);
    connect(m_dpiUnit, &QComboBox::activated, this, [this](int index) {
        m_dpi->setText(numberText(convertResolution(m_dpi->text().toDouble(), ResolutionUnit(index))));
    });
    start();
}

double CDlgResize::factor() const
{
    return resizeFactor(m_source, resolutionPerInch(m_dpi->text().toDouble(), ResolutionUnit(m_dpiUnit->currentIndex())));
}

QSize CDlgResize::toPixels(double width, double height, Unit unit) const
{
    return resizePixels(m_source, width, height, unit, factor());
}

double CDlgResize::toUnit(int pixels, bool horizontal, Unit unit) const
{
    const double k = factor();
    // A resolution of 0 typed in the edit leaves no finite inch value: show 0 rather than inf.
    return k > 0 ? resizeUnitValue(m_source, pixels, horizontal, unit, k) : 0.0;
}

bool CDlgResize::validateAndStore(QSize pixels)
{
    if (!readNumber(m_dpi))
        return false;
    const double k = factor();
    const double dpiX = m_source.dpiX * k;
    const double dpiY = m_source.dpiY * k;
    const auto validDpi = [](double dpi) {
        const int r = roundHalfAway(dpi);
        return r >= 1 && r <= 5000;
    };
    if (!validDpi(dpiX) || !validDpi(dpiY)) {
        refuse(QStringLiteral("DPI is invalid!"), m_dpi);
        return false;
    }
    if (!validSide(pixels.width())) {
        refuse(QStringLiteral("Image size is invalid!"), widthEdit());
        return false;
    }
    if (!validSide(pixels.height())) {
        refuse(QStringLiteral("Image size is invalid!"), heightEdit());
        return false;
    }
    m_newWidth = pixels.width();
    m_newHeight = pixels.height();
    m_newDpiX = dpiX;
    m_newDpiY = dpiY;
    m_filterIndex = m_filter->currentIndex();
    return true;
}

CDlgResizeCanvas::CDlgResizeCanvas(const Source& source, QWidget* parent)
    : CDlgSizeBase(source, QStringLiteral("Resize Canvas"), false, parent)
{
    QGridLayout* rows = extraRows();
    m_position = new QComboBox(this);
    m_position->addItems({QStringLiteral("Top-Left"), QStringLiteral("Top-Center"), QStringLiteral("Top-Right"),
                          QStringLiteral("Middle-Left"), QStringLiteral("Center"), QStringLiteral("Middle-Right"),
                          QStringLiteral("Bottom-Left"), QStringLiteral("Bottom-Center"),
                          QStringLiteral("Bottom-Right")});
    m_position->setCurrentIndex(4);
    auto* positionLabel = new QLabel(QStringLiteral("&Position:"), this);
    positionLabel->setBuddy(m_position);
    rows->addWidget(positionLabel, 0, 0);
    rows->addWidget(m_position, 0, 1);
    m_color = new CColorButton(this, 1009);
    m_color->setColor(0xFFFFFF);
    auto* colorLabel = new QLabel(QStringLiteral("&Background color:"), this);
    colorLabel->setBuddy(m_color);
    rows->addWidget(colorLabel, 1, 0);
    rows->addWidget(m_color, 1, 1);
    start();
}

QSize CDlgResizeCanvas::toPixels(double width, double height, Unit unit) const
{
    return canvasPixels(m_source, width, height, unit);
}

double CDlgResizeCanvas::toUnit(int pixels, bool horizontal, Unit unit) const
{
    return canvasUnitValue(m_source, pixels, horizontal, unit);
}

bool CDlgResizeCanvas::validateAndStore(QSize pixels)
{
    if (!validSide(pixels.width())) {
        refuse(QStringLiteral("Image size is invalid!"), widthEdit());
        return false;
    }
    if (!validSide(pixels.height())) {
        refuse(QStringLiteral("Image size is invalid!"), heightEdit());
        return false;
    }
    m_newWidth = pixels.width();
    m_newHeight = pixels.height();
    m_positionIndex = m_position->currentIndex();
    m_chosenColor = m_color->color();
    return true;
}
