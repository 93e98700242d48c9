#pragma once
// The viewer's geometry without a window: zoom factor and `ZoomType`, the step table and fit
// rules, `SetZoom`, `SetScrollPosition` with the scroll bars it implies, the conversions
// between client and image coordinates, and the visible part of the image.
//
// Client coordinates are the window system's (logical) pixels, but the zoom factor counts
// image pixels per device pixel: at 100% on a screen of ratio 2 each image pixel covers one
// device pixel, half a logical one, and a fit never enlarges beyond that.
#include <QRect>
#include <QRectF>
#include <QSize>

#include <array>

enum class ZoomType { FitImage = 0, FitWidth = 1, FitHeight = 2, ActualSize = 3, ZoomLock = 4 };

inline constexpr std::array<double, 19> kZoomSteps = {0.07, 0.1, 0.15, 0.2, 0.25, 0.3, 0.5, 0.7, 1,  1.5,
                                                      2,    3,   4,    5,   6,    7,   8,   12,  16};
inline constexpr double kMinZoom = 0.07;
inline constexpr double kMaxZoom = 16.0;

// Half away from zero.
int roundHalfAway(double x);

double nextZoomIn(double zoom);
double nextZoomOut(double zoom);

// `area` is the window's full rectangle, scroll bars included.
double fitImageFactor(QSize area, QSize image);
// The size `image` is shown at inside `box` at a fixed fit: its own when it fits, else
// reduced with its aspect kept (integer arithmetic, so the same image always gets the same
// size). Empty for an empty image.
QSize fitWithin(QSize image, QSize box);
double fitWidthFactor(QSize area, QSize image, int vBarWidth, bool fullScreen);
double fitHeightFactor(QSize area, QSize image, int hBarHeight, bool fullScreen);

struct ScrollBarsShown {
    bool horizontal = false;
    bool vertical = false;
    bool operator==(const ScrollBarsShown&) const = default;
};
ScrollBarsShown scrollBarsNeeded(QSize window, QSize zoomed, QSize barExtents, bool fullScreen);

// Where the visible part of the image comes from and where it goes, in image pixels and
// client pixels. `valid` is false when the source does not lie inside the image.
struct VisiblePart {
    QRectF source;
    QRect destination;
    bool valid = false;
};

class ViewGeometry {
public:
    // The window (scroll bars included) and the scroll bars' thickness.
    void setWindowSize(QSize window);
    void setBarExtents(int vBarWidth, int hBarHeight);
    void setFullScreen(bool fullScreen);
    void setImageSize(QSize image);
    // Device pixels per logical pixel; takes effect at the next zoom.
    void setDeviceRatio(double ratio) { m_ratio = ratio > 0 ? ratio : 1.0; }
    double deviceRatio() const { return m_ratio; }

    void setZoomType(ZoomType type) { m_zoomType = type; }
    void setAutoFit(bool autoFit) { m_autoFit = autoFit; }

    void setZoom(double zoom);
    void setScrollPosition(double x, double y);
    void fitImage();
    void fitWidth();
    void fitHeight();
    void actualSize();
    void zoomLock();
    // Applies the zoom type to a new image or size when auto-fit is on, else the factor.
    void applyZoomType();
    // The window's size changed: re-fit or re-clamp the scroll position.
    void windowResized(QSize window);

    double imageToClientX(double x) const;
    double imageToClientY(double y) const;
    double clientToImageX(double x) const;
    double clientToImageY(double y) const;
    // Corner by corner with rounding; an empty rectangle stays empty.
    QRect imageToClient(const QRect& image) const;
    QRect clientToImage(const QRect& client) const;

    VisiblePart visiblePart() const;

    double zoom() const { return m_zoom; }
    ZoomType zoomType() const { return m_zoomType; }
    bool autoFit() const { return m_autoFit; }
    QSize imageSize() const { return m_image; }
    QSize zoomedSize() const { return m_zoomed; }
    // The zoomed image in device pixels: the size of a reduction drawn without scaling.
    QSize deviceZoomedSize() const;
    QSize windowSize() const { return m_window; }
    QSize clientSize() const;
    double scrollX() const { return m_scrollX; }
    double scrollY() const { return m_scrollY; }
    ScrollBarsShown scrollBars() const { return m_bars; }
    bool fullScreen() const { return m_fullScreen; }

private:
    void updateScrollBars();
    void clampScroll(double x, double y);
    bool autoFitting() const;
    // Logical pixels per image pixel.
    double scale() const { return m_zoom / m_ratio; }
    QSize deviceSize(QSize logical) const;

    QSize m_window;
    int m_vBarWidth = 0;
    int m_hBarHeight = 0;
    bool m_fullScreen = false;
    QSize m_image{0, 0};
    QSize m_zoomed{0, 0};
    double m_zoom = 1.0;
    double m_ratio = 1.0;
    ZoomType m_zoomType = ZoomType::FitImage;
    bool m_autoFit = true;
    double m_scrollX = 0;
    double m_scrollY = 0;
    ScrollBarsShown m_bars;
};
