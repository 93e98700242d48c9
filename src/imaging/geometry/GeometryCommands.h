#pragma once
// The Image menu's size, canvas, custom rotation, resolution and colour depth commands on the
// viewed image: which apply, and carrying one out (dialog, undo snapshot, change, repaint).
#include "imaging/EditTarget.h"
#include "imaging/commands/EffectUi.h"

#include <FreeImage.h>

class fipSuperImage;

namespace geometry {

bool handles(int id);
bool isEnabled(int id, const fipSuperImage* image, bool viewerMode);
// Carries out the command; false when the id is not one of these. A cancelled dialog or a
// failing operation leaves the image, its modified flag and the undo history as they were.
bool run(int id, EditTarget& target, const EffectUi& ui = EffectUi::standard());

// The library's filter for the resize dialog's filter entry.
FREE_IMAGE_FILTER resampleFilter(int index);

}  // namespace geometry
