#pragma once
// Set DPI (the stored resolution in dots per inch) and Change Color Depth (depth, colour limit
// and grey).
#include <QDialog>

#include <optional>

class CUpDown;
class QButtonGroup;
class QCheckBox;
class QLineEdit;

class CDlgSetDPI : public QDialog {
    Q_OBJECT
public:
    // dpiX and dpiY are shown rounded.
    CDlgSetDPI(double dpiX, double dpiY, QWidget* parent = nullptr);
    QLineEdit* xEdit() const { return m_x; }
    QLineEdit* yEdit() const { return m_y; }
    int dpiX() const { return m_dpiX; }
    int dpiY() const { return m_dpiY; }
    void accept() override;

private:
    // The integer 1..9999 an edit holds; shows the framework's message when it holds none.
    std::optional<int> readInteger(QLineEdit* edit);
    QLineEdit* m_x = nullptr;
    QLineEdit* m_y = nullptr;
    int m_dpiX = 0;
    int m_dpiY = 0;
};

class CDlgChangeBPP : public QDialog {
    Q_OBJECT
public:
    CDlgChangeBPP(unsigned currentDepth, QWidget* parent = nullptr);

    // 0..4: 1-bit, 4-bit, 8-bit, 24-bit, 32-bit.
    int depthIndex() const;
    void chooseDepth(int index);
    QCheckBox* limitBox() const { return m_limit; }
    QCheckBox* greyBox() const { return m_grey; }
    QLineEdit* colorsEdit() const { return m_colors; }
    CUpDown* colorsSpin() const { return m_spin; }

    // Results after Ok.
    int bpp() const { return m_bpp; }
    int maxColors() const { return m_maxColors; }
    bool grey() const { return m_greyResult; }
    void accept() override;

    static int indexForDepth(unsigned depth);
    static int depthForIndex(int index);

private:
    void depthChosen(int index);
    void enableControls();
    int limitUpper() const { return depthIndex() == 1 ? 16 : 256; }

    QButtonGroup* m_depths = nullptr;
    QCheckBox* m_limit = nullptr;
    QCheckBox* m_grey = nullptr;
    QLineEdit* m_colors = nullptr;
    CUpDown* m_spin = nullptr;
    int m_bpp = 24;
    int m_maxColors = 0;
    bool m_greyResult = false;
};
