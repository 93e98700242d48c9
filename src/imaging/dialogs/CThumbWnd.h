#pragma once
// `CThumbWnd`: the preview pane of the effect dialogs. It owns one image and draws it fitted
// into its client area's screen pixels, centred on white, never enlarged: a copy made for a
// dense screen shows one image pixel per screen pixel.
#include "imaging/fipSuperImage.h"

#include <QRect>
#include <QSize>
#include <QWidget>

// Where an image of `image` pixels is drawn in a client area of `client` pixels: fitted with
// its aspect ratio, not enlarged, centred; each side at least 1. Empty for an empty image.
QRect thumbDrawRect(QSize image, QSize client);
// The screen pixels a window of `logical` size covers at the device pixel ratio `ratio`.
QSize thumbDevicePixels(QSize logical, qreal ratio);

class CThumbWnd : public QWidget {
    Q_OBJECT
public:
    explicit CThumbWnd(QWidget* parent = nullptr);

    fipSuperImage& image() { return m_image; }
    const fipSuperImage& image() const { return m_image; }
    // Takes a copy of `image` and repaints at once (the preview follows a slider).
    void showImage(const fipSuperImage& image);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    fipSuperImage m_image;
};
