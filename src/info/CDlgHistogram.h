#pragma once
// The viewer's modeless "Histogram" tool window: the image's red, green, blue and luminance
// counts, computed on the full image only for the shown channels and only when painting.

#include "info/HistogramLogic.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class fipSuperImage;

class CWndHistogram : public QWidget {
    Q_OBJECT
public:
    using ImageSource = std::function<const fipSuperImage*()>;
    explicit CWndHistogram(ImageSource image, QWidget* parent = nullptr);
    void setShown(int channel, bool shown);
    const std::array<bool, 4>& shown() const { return m_shown; }
    // The image changed: everything is counted again at the next paint.
    void Reset();
    const histogram::DialogData& data() const { return m_data; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ImageSource m_image;
    histogram::DialogData m_data;
    std::array<bool, 4> m_shown{true, true, true, false};  // red, green, blue, grey
    // The last picture and what it showed: a repaint without a change draws it again.
    QImage m_picture;
    std::array<bool, 4> m_pictureShown{};
};

class CDlgHistogram : public QDialog {
    Q_OBJECT
public:
    explicit CDlgHistogram(CWndHistogram::ImageSource image, QWidget* parent = nullptr);
    CWndHistogram* histogramWindow() const { return m_window; }
    QCheckBox* channelBox(int channel) const { return m_boxes[static_cast<size_t>(channel)]; }
    void Reset();

signals:
    // The user closed the window (not a hide by the program).
    void closedByUser();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    CWndHistogram* m_window;
    std::array<QCheckBox*, 4> m_boxes{};
};
