#pragma once
// A stand-in for the viewer: one image, a selection, and a count of what the commands did.
#include "imaging/EditTarget.h"
#include "imaging/fipSuperImage.h"

#include <memory>

namespace effecttest {

struct FakeTarget : EditTarget {
    std::unique_ptr<fipSuperImage> image;
    std::uint64_t serial = 1;
    QRect selection;
    int snapshots = 0;
    int marks = 0;
    bool viewerMode = true;

    explicit FakeTarget(fipSuperImage img) : image(std::make_unique<fipSuperImage>(std::move(img))) {}
    fipSuperImage* editImage() override { return image.get(); }
    std::uint64_t imageSerial() const override { return serial; }
    QRect editSelection() const override { return selection; }
    void clearSelection() override { selection = QRect(); }
    bool TakeUndoSnapshot() override { return image && image->isValid() && ++snapshots; }
    void RefreshAfterChange() override {}
    void MarkChanged() override { ++marks; }
    bool viewerModeActive() const override { return viewerMode; }
    QWidget* dialogParent() override { return nullptr; }
    // The viewer stepped to another image (or closed it).
    void replaceImage(std::unique_ptr<fipSuperImage> next)
    {
        image = std::move(next);
        ++serial;
    }
};

}  // namespace effecttest
