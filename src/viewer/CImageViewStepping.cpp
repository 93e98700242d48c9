// Image steps whose decoding runs off the window thread: the view takes the target at once
// (index, path, title, status) and keeps the last finished picture until the target's arrives.
#include "viewer/CImageView.h"

#include "imaging/fipSuperImage.h"

#include <QFileInfo>

bool CImageView::beginBackgroundStep(int index)
{
    const auto item = index >= 0 && m_sequence ? m_sequence->itemAt(index) : std::nullopt;
    if (!item)
        return false;
    const QString& path = item->targetPath;
    const bool lookAheadHasIt = m_preload.path() == path && m_preload.page() == 0;
    if (!stepPending() && QFileInfo(path).size() < m_backgroundStepBytes)
        return false;

    // The picture shown now only stands in: it no longer stands for the file it came from.
    m_modified = false;
    m_matchesFile = false;
    m_selection = QRect();
    m_listIndex = index;
    m_pageIndex = 0;
    m_filePath = path;
    m_itemPath = item->itemPath;
    m_itemFolder = QFileInfo(item->itemPath).path();
    UpdateTitle();
    emit statusRefreshRequested();

    if (m_preload.isRunning() && lookAheadHasIt) {
        // Its result arrives with `WM_PRELOAD_DONE`: the file is decoded once, and nobody waits.
        // The picture first, drawn by the fast stretch; its reduction comes right after.
        m_preload.hurry();
        m_stepper.supersede();
        m_stepFromPreload = true;
        return true;
    }
    m_stepFromPreload = false;
    if (auto preloaded = m_preload.take(path, 0)) {
        m_stepper.supersede();
        m_stepper.abandonAll();
        showOpened(std::move(*preloaded));
        return true;
    }
    // A look-ahead for another file only takes a core from the target now.
    m_preload.abandon();
    m_stepper.request(StepTarget{index, path, 0});
    return true;
}

void CImageView::onStepDecoded()
{
    for (SteppedImage& done : m_stepper.collect()) {
        if (done.newest)
            showOpened(std::move(done.image));
        else
            showInterim(std::move(done.image));
    }
    emit statusRefreshRequested();
}

bool CImageView::onPreloadDoneForStep()
{
    if (!m_stepFromPreload || m_preload.isRunning())
        return false;
    m_stepFromPreload = false;
    m_stepper.abandonAll();  // only earlier targets, kept to be shown: the newest is here
    if (auto preloaded = m_preload.take(m_filePath, m_pageIndex))
        showOpened(std::move(*preloaded));
    else  // rewritten since, or not decoded: decode it here, as a step would have
        m_stepper.request(StepTarget{m_listIndex, m_filePath, m_pageIndex});
    emit statusRefreshRequested();
    return true;
}

void CImageView::showInterim(PreloadedImage interim)
{
    if (!interim.loaded.image)
        return;
    ReleaseImage();
    m_image = std::move(interim.loaded.image);
    m_pageCount = interim.loaded.pageCount;
    m_geometry.setAutoFit(true);
    RefreshAfterChange();
    m_display = std::move(interim.display);
    adoptReduction(std::move(interim.reduced));
    viewport()->update();
}

void CImageView::settleStep()
{
    if (m_stepFromPreload) {
        m_stepFromPreload = false;
        m_preload.waitForImage();
        m_stepper.abandonAll();
        if (auto preloaded = m_preload.take(m_filePath, m_pageIndex)) {
            showOpened(std::move(*preloaded));
            return;
        }
        m_stepper.request(StepTarget{m_listIndex, m_filePath, m_pageIndex});
    }
    if (auto done = m_stepper.finishNewest())
        showOpened(std::move(done->image));
}

void CImageView::abandonSteps()
{
    m_stepper.abandonAll();
    m_stepFromPreload = false;
}
