#pragma once
// The thumbnail list seen through the viewer's eyes: the items, which of them are images,
// and their order.

#include "viewer/ImageSequence.h"

class CImageListCtrl;

class ListImageSequence final : public ImageSequence {
public:
    explicit ListImageSequence(const CImageListCtrl& list) : m_list(list) {}

    int itemCount() const override;
    std::optional<SequenceItem> itemAt(int index) const override;
    int nextImage(int index) const override;
    int previousImage(int index) const override;
    int imageCount() const override;
    int imageOrdinal(int index) const override;
    int findItem(const QString& itemPath) const override;

private:
    const CImageListCtrl& m_list;
};
