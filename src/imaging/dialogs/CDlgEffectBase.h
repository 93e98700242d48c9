#pragma once
// The frame shared by the effect dialogs: one or two previews on a reduced copy of the image,
// and rows of label, edit, up-down buttons and slider for each value.
//
// The slider writes its position into the edit; the edit, once the dialog has started, is
// read, clamped, shown in the preview and moves the slider. The reduced copy is made once, when
// the dialog opens; the source image is not read after that, so it may go away meanwhile.
#include "imaging/dialogs/CThumbWnd.h"
#include "imaging/fipSuperImage.h"

#include <QDialog>
#include <QString>

#include <vector>

class QGridLayout;
class QLineEdit;
class QSlider;
class QToolButton;
class QVBoxLayout;

// The up-down buttons beside an edit: a position within a range, stepped by the two arrows.
class CUpDown : public QWidget {
    Q_OBJECT
public:
    explicit CUpDown(QWidget* parent = nullptr);
    void setRange(int lower, int upper);
    int lower() const { return m_lower; }
    int upper() const { return m_upper; }
    int position() const { return m_position; }
    // Moves without notifying (the edit moved it).
    void setPosition(int position);
    void stepBy(int steps);

signals:
    // The user stepped: the dialog writes the position into the edit.
    void positionChanged(int position);

private:
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
};

class CDlgEffectBase : public QDialog {
    Q_OBJECT
public:
    // The preview windows' client size; the reduced copy fits inside it.
    static QSize previewClientSize() { return {240, 180}; }

    int valueCount() const { return static_cast<int>(m_rows.size()); }
    QLineEdit* edit(int row) const { return m_rows.at(static_cast<size_t>(row)).edit; }
    QSlider* slider(int row) const { return m_rows.at(static_cast<size_t>(row)).slider; }
    CUpDown* spin(int row) const { return m_rows.at(static_cast<size_t>(row)).spin; }
    CThumbWnd* preview() const { return m_preview; }
    CThumbWnd* originalPreview() const { return m_original; }
    const fipSuperImage& baseImage() const { return m_base; }
    // The value the edit holds now, clamped to the row's bounds.
    int clampedValue(int row) const;

protected:
    enum class Previews { One, Two };
    enum class Sign { Unsigned, Signed };

    // Makes the reduced copy of `source` (null for none); rows come next, then `start()`.
    CDlgEffectBase(const fipSuperImage* source, const QString& caption, Previews previews, QWidget* parent);

    int addRow(const QString& label, int lower, int upper, int value, int ticks, Sign sign = Sign::Unsigned,
               int maxChars = 1000);
    // A row whose slider and edit do not map one to one (the gamma): the derived dialog
    // connects them itself.
    int addCustomRow(const QString& label, int lower, int upper, int position, int ticks, const QString& text,
                     const QString& pattern);
    // Extra controls under the rows.
    QVBoxLayout* extraArea() const { return m_extra; }
    // Applies the default values to the preview and lets the edits work.
    void start();
    bool started() const { return m_started; }

    // The effect with the values shown, on `image` (the preview's copy of the base image).
    virtual bool applyEffect(fipSuperImage& image) const = 0;
    // The edit of `row` changed after start: by default the clamped value moves the slider.
    virtual void editChanged(int row);
    // Ok: stores the values; false keeps the dialog open.
    virtual bool storeValues() = 0;

    void refreshPreview();
    // Writes `text` into an edit (what a slider or the spin does).
    void setEditText(int row, const QString& text);
    void setSliderSilently(int row, int position);
    int sourceWidth() const { return m_sourceWidth; }
    int sourceHeight() const { return m_sourceHeight; }
    int previewWidth() const { return static_cast<int>(m_base.getWidth()); }
    int previewHeight() const { return static_cast<int>(m_base.getHeight()); }
    // On a dense screen the preview is worked out on a copy with more pixels than the preview's
    // own; a length in preview pixels (a radius, a block) is scaled to it by this, so the
    // preview shows the same effect, only sharper.
    int previewLength(int value) const;
    int maxChars(int row) const { return m_rows.at(static_cast<size_t>(row)).maxChars; }

public:
    void accept() override;

private:
    struct Row {
        QLineEdit* edit = nullptr;
        CUpDown* spin = nullptr;
        QSlider* slider = nullptr;
        int lower = 0;
        int upper = 0;
        int maxChars = 1000;
    };
    int addRowWidgets(const QString& label, int lower, int upper, int position, int ticks, const QString& pattern);

    fipSuperImage m_base;
    // The reduced copy at the screen's pixels, when the screen is denser than the preview's
    // pixels and the source has the detail; else invalid and `m_base` is shown.
    fipSuperImage m_dense;
    double m_denseScale = 1;
    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
    CThumbWnd* m_preview = nullptr;
    CThumbWnd* m_original = nullptr;
    QGridLayout* m_grid = nullptr;
    QVBoxLayout* m_extra = nullptr;
    std::vector<Row> m_rows;
    bool m_started = false;
};
