#pragma once
// The "JPEG Lossless Transformations" submenu as the frame carries it out: on the list's
// selected JPEGs in browser mode, on the viewed file in viewer mode.
#include "frame/CommandRouting.h"

class CImageListCtrl;
class CImageView;

namespace JpegLosslessCommands {

bool handles(int id);
bool isEnabled(FrameMode mode, const CImageListCtrl& list, const CImageView& view);
bool run(int id, FrameMode mode, CImageListCtrl& list, CImageView& view);

}  // namespace JpegLosslessCommands
