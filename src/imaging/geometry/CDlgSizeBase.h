#pragma once
// The controls the resize and canvas dialogs share: the standard sizes, width and height in
// one of four units, the keep-aspect box and the current and new pixel sizes. The derived
// dialog decides how a value in a unit becomes pixels and back.
#include "imaging/geometry/SizeUnits.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

class CDlgSizeBase : public QDialog {
    Q_OBJECT
public:
    QComboBox* standardSizeCombo() const { return m_standard; }
    QLineEdit* widthEdit() const { return m_width; }
    QLineEdit* heightEdit() const { return m_height; }
    QComboBox* widthUnitCombo() const { return m_widthUnit; }
    QComboBox* heightUnitCombo() const { return m_heightUnit; }
    QCheckBox* keepAspectBox() const { return m_keepAspect; }
    QString currentSizeText() const;
    QString newSizeText() const;
    // The pixel size the controls hold now.
    QSize pixelSize() const;

    void accept() override;

protected:
    CDlgSizeBase(const SizeUnits::Source& source, const QString& caption, bool keepAspect, QWidget* parent);

    // The derived dialog's rows go here, between the size rows and the keep-aspect box.
    QGridLayout* extraRows() const { return m_extra; }
    // Lets the edits react; called at the end of the derived constructor.
    void start();
    // A width and height typed in `unit` as pixels, and a pixel count as a value in `unit`.
    virtual QSize toPixels(double width, double height, SizeUnits::Unit unit) const = 0;
    virtual double toUnit(int pixels, bool horizontal, SizeUnits::Unit unit) const = 0;
    // Ok after the sizes were read: false keeps the dialog open.
    virtual bool validateAndStore(QSize pixels) = 0;

    void updateLabels();
    // Shows the message (caption "Resize") and puts the focus into `edit` with its text selected.
    void refuse(const QString& text, QLineEdit* edit);
    // Reads a decimal edit; shows the framework's message when the text is not a number.
    std::optional<double> readNumber(QLineEdit* edit);

    const SizeUnits::Source m_source;

private:
    SizeUnits::Unit unit() const;
    void writeValue(QLineEdit* edit, int pixels, bool horizontal);
    void setCustom();
    void widthChanged();
    void heightChanged();
    void standardChosen(int index);
    void unitChosen(QComboBox* changed, int index);
    void keepAspectClicked(bool on);

    QComboBox* m_standard = nullptr;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
    QComboBox* m_widthUnit = nullptr;
    QComboBox* m_heightUnit = nullptr;
    QCheckBox* m_keepAspect = nullptr;
    QLabel* m_current = nullptr;
    QLabel* m_new = nullptr;
    QGridLayout* m_extra = nullptr;
    SizeUnits::Unit m_unit = SizeUnits::Unit::Pixels;
    bool m_started = false;
    int m_writing = 0;  // > 0 while the dialog writes its own edits
};
