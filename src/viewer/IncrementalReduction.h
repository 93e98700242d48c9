#pragma once
// `IncrementalReduction`: the view's smooth reduction of a large photo, made a band of rows at
// a time on the window thread between other events. No turn of the event loop takes long, and
// no other thread reads an image the window thread may change meanwhile.
#include "imaging/fipSuperImage.h"

#include <QImage>
#include <QSize>

#include <memory>

class IncrementalReduction {
public:
    // Null for an image that is not reduced by whole blocks first (a 24-bit or grey image at
    // less than half its size); `reducedDisplayImage` makes those at once.
    static std::unique_ptr<IncrementalReduction> start(const fipSuperImage& image, QSize size);

    // One band of the work on `image`, the image `start` was given, unchanged since. True once
    // the reduction is ready to `take` (null when there was no memory for it).
    bool step(const fipSuperImage& image);
    QImage take() { return std::move(m_result); }
    QSize size() const { return m_size; }

private:
    IncrementalReduction(QSize size, unsigned factor) : m_size(size), m_factor(factor) {}

    QSize m_size;
    unsigned m_factor;
    fipImage m_blocks;
    unsigned m_nextRow = 0;
    bool m_done = false;
    QImage m_result;
};
