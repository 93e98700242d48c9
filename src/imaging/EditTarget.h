#pragma once
// What a command that changes the shown image needs from the window showing it. The viewer
// implements it; the commands in imaging/ stay below the viewer, and tests can stand in for it.
//
// The protocol of every change: read `editImage()` and `editSelection()`, ask for values (a
// dialog may run its own event loop meanwhile), then check `imageSerial()` is what it was
// before the dialog, `TakeUndoSnapshot()`, change the pixels, `MarkChanged()` on success.

#include <QRect>

#include <cstdint>

class QWidget;
class fipSuperImage;

class EditTarget {
public:
    virtual ~EditTarget() = default;

    // The image shown; null when there is none. The pointer is good only until the target
    // steps to another image, which `imageSerial()` tells.
    virtual fipSuperImage* editImage() = 0;
    // Changes whenever the image is replaced by another one (opened, stepped to, closed), so a
    // command that waited in a dialog can tell that it still works on the same picture.
    virtual std::uint64_t imageSerial() const = 0;

    // The selection in image pixels; empty for none. It may reach outside the image.
    virtual QRect editSelection() const = 0;
    virtual void clearSelection() = 0;

    // Stores the current image in the undo history; false only when there is no valid image.
    // The bytes reach the disk on the history's writer thread, not on the caller's.
    virtual bool TakeUndoSnapshot() = 0;
    // Re-fits the view when the image's size changed and tells the histogram to recompute.
    virtual void RefreshAfterChange() = 0;
    // Sets the modified flag, runs RefreshAfterChange and repaints.
    virtual void MarkChanged() = 0;
    // MarkChanged after the whole image was mirrored, which a view can show by mirroring the
    // picture it already has rather than reducing the photo again.
    virtual void MarkMirrored(bool vertically)
    {
        static_cast<void>(vertically);
        MarkChanged();
    }

    // True while the frame shows the viewer (some commands apply only there).
    virtual bool viewerModeActive() const = 0;
    // Parent of the parameter dialogs and message boxes.
    virtual QWidget* dialogParent() = 0;
};
