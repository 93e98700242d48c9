#include "viewer/IncrementalReduction.h"

#include "imaging/geometry/Resample.h"
#include "viewer/ImageLoading.h"

#include <algorithm>

namespace {

// Source bytes averaged per band: about 10 ms of work on one core.
constexpr unsigned kBandBytes = 12u << 20;

}  // namespace

std::unique_ptr<IncrementalReduction> IncrementalReduction::start(const fipSuperImage& image, QSize size)
{
    if (size.isEmpty() || !reducedFromRows(image))
        return nullptr;
    const unsigned factor = reductionBlockFactor(image, size);
    std::unique_ptr<IncrementalReduction> reduction(new IncrementalReduction(size, factor));
    if (!Resample::startBlocks(image, reduction->m_blocks, factor))
        return nullptr;
    return reduction;
}

bool IncrementalReduction::step(const fipSuperImage& image)
{
    if (m_done)
        return true;
    const unsigned rows = m_blocks.getHeight();
    if (m_nextRow < rows) {
        const unsigned band = std::max(1u, kBandBytes / std::max(1u, m_factor * image.getScanWidth()));
        const unsigned end = std::min(rows, m_nextRow + band);
        Resample::shrinkBlockRows(image, m_blocks, m_factor, m_nextRow, end);
        m_nextRow = end;
        return false;
    }
    // The rest of the way is small: a fraction of the pixels the blocks came from.
    fipImage reduced;
    if (Resample::rescale(m_blocks, reduced, static_cast<unsigned>(m_size.width()),
                          static_cast<unsigned>(m_size.height()), FILTER_BOX, false))
        m_result = displayFromRows(reduced);
    // Without memory for it the result stays null, and the view goes on with the stretch.
    m_blocks = fipImage();
    m_done = true;
    return true;
}
