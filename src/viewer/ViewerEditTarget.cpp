#include "viewer/ViewerEditTarget.h"

#include "viewer/CImageView.h"

fipSuperImage* ViewerEditTarget::editImage() { return m_view.image(); }
std::uint64_t ViewerEditTarget::imageSerial() const { return m_view.imageSerial(); }
QRect ViewerEditTarget::editSelection() const { return m_view.selection(); }
void ViewerEditTarget::clearSelection() { m_view.setSelection(QRect()); }
bool ViewerEditTarget::TakeUndoSnapshot() { return m_view.TakeUndoSnapshot(); }
void ViewerEditTarget::RefreshAfterChange() { m_view.RefreshAfterChange(); }
void ViewerEditTarget::MarkChanged() { m_view.MarkChanged(); }
void ViewerEditTarget::MarkMirrored(bool vertically) { m_view.MarkMirrored(vertically); }
bool ViewerEditTarget::viewerModeActive() const { return m_view.viewerModeActive(); }
QWidget* ViewerEditTarget::dialogParent() { return m_view.window(); }
