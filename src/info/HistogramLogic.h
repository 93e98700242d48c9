#pragma once
// The counting and drawing rules of the two histogram displays, callable without a window:
// the panel's capped counts of a reduced copy and its column painting with fifteen pens, and
// the viewer dialog's lazily computed channels and their half-blended bars.

#include <QColor>
#include <QImage>

#include <array>
#include <cstdint>

class fipSuperImage;

namespace histogram {

using Counts = std::array<uint32_t, 256>;

// The panel's channels, in the order its ties are broken.
enum PanelChannel { Grey = 0, Red = 1, Green = 2, Blue = 3 };

struct PanelData {
    std::array<Counts, 4> counts{};   // grey, red, green, blue
    std::array<uint32_t, 4> maxima{};
};

// Counts of the image's grey, red, green and blue, each capped at four times its average
// count, and the maxima after the cap.
PanelData panelData(const fipSuperImage& image);
// The cap of one channel: every count above four times the average becomes that.
void capAtFourTimesAverage(Counts& counts);

// The pen of a set of channels (bit 1 << PanelChannel each).
QColor panelPen(unsigned channelMask);
inline constexpr QRgb kPanelFrame = 0xFFACB299;
// The panel's picture of `size`; `shown` in PanelChannel order.
QImage paintPanel(QSize size, const PanelData& data, const std::array<bool, 4>& shown);

// The viewer dialog's channels, in its merge order.
enum DialogChannel { DlgRed = 0, DlgGreen = 1, DlgBlue = 2, DlgGrey = 3 };

class DialogData {
public:
    // Fills the shown channels not yet computed from `image` (may be null) and caps over the
    // computed ones; true when something was computed.
    bool computeShown(const fipSuperImage* image, const std::array<bool, 4>& shown);
    void reset();
    uint32_t maximum() const { return m_maximum; }
    bool computed(int channel) const { return m_computed[static_cast<size_t>(channel)]; }
    const Counts& counts(int channel) const { return m_counts[static_cast<size_t>(channel)]; }
    QImage paint(QSize size, const std::array<bool, 4>& shown) const;

private:
    std::array<Counts, 4> m_counts{};
    std::array<bool, 4> m_computed{};
    uint32_t m_maximum = 0;
};

QColor dialogColor(int channel);

}  // namespace histogram
