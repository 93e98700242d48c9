#pragma once
// Resize and Resize Canvas: the size controls of CDlgSizeBase plus, for Resize, the resolution
// and the resample filter, and for the canvas, the position and the background colour.
#include "controls/ColorPalette.h"
#include "imaging/geometry/CDlgSizeBase.h"

class CColorButton;

class CDlgResize : public CDlgSizeBase {
    Q_OBJECT
public:
    CDlgResize(const SizeUnits::Source& source, QWidget* parent = nullptr);

    QLineEdit* dpiEdit() const { return m_dpi; }
    QComboBox* dpiUnitCombo() const { return m_dpiUnit; }
    QComboBox* filterCombo() const { return m_filter; }

    // Results after Ok.
    int newWidth() const { return m_newWidth; }
    int newHeight() const { return m_newHeight; }
    double newDpiX() const { return m_newDpiX; }
    double newDpiY() const { return m_newDpiY; }
    int filterIndex() const { return m_filterIndex; }

protected:
    QSize toPixels(double width, double height, SizeUnits::Unit unit) const override;
    double toUnit(int pixels, bool horizontal, SizeUnits::Unit unit) const override;
    bool validateAndStore(QSize pixels) override;

private:
    double factor() const;

    QLineEdit* m_dpi = nullptr;
    QComboBox* m_dpiUnit = nullptr;
    QComboBox* m_filter = nullptr;
    int m_newWidth = 0;
    int m_newHeight = 0;
    double m_newDpiX = 0;
    double m_newDpiY = 0;
    int m_filterIndex = 1;
};

class CDlgResizeCanvas : public CDlgSizeBase {
    Q_OBJECT
public:
    CDlgResizeCanvas(const SizeUnits::Source& source, QWidget* parent = nullptr);

    QComboBox* positionCombo() const { return m_position; }
    CColorButton* colorButton() const { return m_color; }

    int newWidth() const { return m_newWidth; }
    int newHeight() const { return m_newHeight; }
    int position() const { return m_positionIndex; }
    ColorValue color() const { return m_chosenColor; }

protected:
    QSize toPixels(double width, double height, SizeUnits::Unit unit) const override;
    double toUnit(int pixels, bool horizontal, SizeUnits::Unit unit) const override;
    bool validateAndStore(QSize pixels) override;

private:
    QComboBox* m_position = nullptr;
    CColorButton* m_color = nullptr;
    int m_newWidth = 0;
    int m_newHeight = 0;
    int m_positionIndex = 4;
    ColorValue m_chosenColor = 0xFFFFFF;
};
