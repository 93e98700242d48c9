#pragma once
// The viewer as the target of the image commands (effects, size, depth): the commands in
// imaging/ reach the viewed image, its selection and its undo history through this.
#include "imaging/EditTarget.h"

class CImageView;

class ViewerEditTarget final : public EditTarget {
public:
    explicit ViewerEditTarget(CImageView& view) : m_view(view) {}

    fipSuperImage* editImage() override;
    std::uint64_t imageSerial() const override;
    QRect editSelection() const override;
    void clearSelection() override;
    bool TakeUndoSnapshot() override;
    void RefreshAfterChange() override;
    void MarkChanged() override;
    void MarkMirrored(bool vertically) override;
    bool viewerModeActive() const override;
    QWidget* dialogParent() override;

private:
    CImageView& m_view;
};
