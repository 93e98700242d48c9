#pragma once
// The pixel commands of the Effects, Image and Adjust Colors menus on the viewed image: which
// ones apply to an image, and carrying one out (dialog, undo snapshot, operation, repaint).
//
// The frame carries out most of them; the viewer carries out Negative, the channel swaps,
// Solarize, the flips and the rotations (`handledByViewer`), so those apply only while the
// viewer is shown.
#include "imaging/EditTarget.h"
#include "imaging/commands/EffectUi.h"

#include <functional>
#include <optional>

class fipSuperImage;
class QWidget;

namespace effects {

// A change of an image in place; false when it failed (the image is then unchanged).
using Operation = std::function<bool(fipSuperImage&)>;

bool handles(int id);
bool handledByViewer(int id);
// The command's enabling rule for `image` (null for none); `viewerMode` when the frame shows
// the viewer.
bool isEnabled(int id, const fipSuperImage* image, bool viewerMode);
// Carries out the command on the target's image; false when the id is not one of these.
// A cancelled dialog or a failing operation changes nothing and leaves no undo snapshot.
bool run(int id, EditTarget& target, const EffectUi& ui = EffectUi::standard());

// The operation of a command without parameters; nothing for those with a dialog.
std::optional<Operation> fixedOperation(int id);
// Opens the command's dialog on `source` and returns the operation with the chosen values;
// nothing when cancelled. `source` is read only while the dialog starts.
std::optional<Operation> askOperation(int id, const fipSuperImage& source, QWidget* parent, const EffectUi& ui);

}  // namespace effects
