#include "frame/JpegLosslessCommands.h"

#include "app/MessageBoxSeam.h"
#include "app/WaitCursor.h"
#include "browser/CImageListCtrl.h"
#include "imaging/geometry/JpegLossless.h"
#include "viewer/CImageView.h"

namespace JpegLosslessCommands {

bool handles(int id)
{
    return JpegLossless::handles(id);
}

bool isEnabled(FrameMode mode, const CImageListCtrl& list, const CImageView& view)
{
    switch (mode) {
    case FrameMode::Browser:
        return JpegLossless::enabledForSelection(list.items().selectedCount(), list.GetSelectedPaths());
    case FrameMode::Viewer: return view.image() && JpegLossless::isJpegName(view.filePath());
    default: return true;
    }
}

bool run(int id, FrameMode mode, CImageListCtrl& list, CImageView& view)
{
    const FREE_IMAGE_JPEG_OPERATION operation = JpegLossless::operationFor(id);
    if (mode == FrameMode::Browser) {
        WaitCursor wait;
        if (list.GetSelectedImageCount() == 0)
            return true;
        JpegLossless::transformFiles(list.GetSelectedImagePaths(), operation);
        // The turned files' new modification times redraw their thumbnails.
        list.Rescan();
        return true;
    }
    if (mode != FrameMode::Viewer || !view.image() || !JpegLossless::isJpegName(view.filePath()))
        return true;
    const QString path = view.filePath();
    {
        WaitCursor wait;
        if (JpegLossless::transformFiles({path}, operation).transformed != 1)
            return true;
    }
    if (view.isModified()) {
        // Saving the edits at the coming question would write them over the turned file.
        MessageBoxSeam::show({&view, QStringLiteral("JPEG Lossless Transformations"),
                              QStringLiteral("The file '%1' has just been transformed on disk.\nThe image shown "
                                             "has unsaved changes: saving them now replaces the transformed file "
                                             "with the edited image, which was not transformed.")
                                  .arg(path),
                              QMessageBox::Information});
    }
    view.ReloadImage();
    return true;
}

}  // namespace JpegLosslessCommands
