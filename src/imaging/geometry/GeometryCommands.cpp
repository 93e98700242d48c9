#include "imaging/geometry/GeometryCommands.h"

#include "app/CommandIds.h"
#include "app/WaitCursor.h"
#include "imaging/fipSuperImage.h"
#include "imaging/geometry/CDlgRotate.h"
#include "imaging/geometry/DepthDialogs.h"
#include "imaging/geometry/Resample.h"
#include "imaging/geometry/Rotate.h"
#include "imaging/geometry/SizeDialogs.h"
#include "imaging/geometry/SizeUnits.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace geometry {
namespace {

struct FixedDepth {
    int id;
    WORD bpp;
    BOOL grey;
    WORD maxColors;
};

constexpr FixedDepth kFixedDepths[] = {
    {cmd::DepthBlackAndWhite, 1, TRUE, 0}, {cmd::Depth8Grays, 8, TRUE, 8},    {cmd::Depth16Grays, 8, TRUE, 16},
    {cmd::Depth256Grays, 8, TRUE, 256},    {cmd::Depth8Colors, 8, FALSE, 8},  {cmd::Depth16Colors, 8, FALSE, 16},
    {cmd::Depth256Colors, 8, FALSE, 256},  {cmd::Depth24Bit, 24, FALSE, 0},  {cmd::Depth32Bit, 32, FALSE, 0},
};

const FixedDepth* fixedDepth(int id)
{
    const auto it = std::find_if(std::begin(kFixedDepths), std::end(kFixedDepths),
                                 [id](const FixedDepth& d) { return d.id == id; });
    return it == std::end(kFixedDepths) ? nullptr : &*it;
}

using Change = std::function<bool(fipSuperImage& work, const fipSuperImage& original)>;

struct Plan {
    Change change;
    bool clearsSelection = false;
};

// Geometry and depth operations make a new bitmap; the photo's metadata and resolution go
// with it from the image it was made from.
void keepMetadata(fipSuperImage& changed, const fipSuperImage& original)
{
    FreeImage_CloneMetadata(changed, const_cast<fipSuperImage&>(original));
    changed.setResolution(original.getResolutionX(), original.getResolutionY());
}

std::optional<Plan> askResize(const fipSuperImage& image, QWidget* parent, const EffectUi& ui)
{
    const SizeUnits::Source source = SizeUnits::sourceOf(image);
    CDlgResize dialog(source, parent);
    if (ui.exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    const int w = dialog.newWidth(), h = dialog.newHeight();
    const FREE_IMAGE_FILTER filter = resampleFilter(dialog.filterIndex());
    const double oldX = source.dpiX, oldY = source.dpiY, newX = dialog.newDpiX(), newY = dialog.newDpiY();
    return Plan{[=](fipSuperImage& img, const fipSuperImage& original) {
                    if (!Resample::rescale(original, img, unsigned(w), unsigned(h), filter)
                        && !img.rescale(unsigned(w), unsigned(h), filter))
                        return false;
                    keepMetadata(img, original);
                    const double keptX = original.getResolutionX(), keptY = original.getResolutionY();
                    // Only a resolution the user changed is stored; an image without one keeps none.
                    double x = keptX, y = keptY;
                    if (SizeUnits::roundHalfAway(newX) != SizeUnits::roundHalfAway(oldX))
                        x = newX * SizeUnits::kInchesPerCm;
                    if (SizeUnits::roundHalfAway(newY) != SizeUnits::roundHalfAway(oldY))
                        y = newY * SizeUnits::kInchesPerCm;
                    img.setResolution(x, y);
                    return true;
                },
                true};
}

std::optional<Plan> askCanvas(const fipSuperImage& image, QWidget* parent, const EffectUi& ui)
{
    CDlgResizeCanvas dialog(SizeUnits::sourceOf(image), parent);
    if (ui.exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    const int w = dialog.newWidth(), h = dialog.newHeight(), position = dialog.position();
    const ColorValue c = dialog.color();
    // The automatic marker's colour bytes are 0: the added area is black.
    const RGBQUAD fill{BYTE(ColorPalette::blue(c)), BYTE(ColorPalette::green(c)), BYTE(ColorPalette::red(c)), 0};
    return Plan{[=](fipSuperImage& img, const fipSuperImage& original) {
                    if (!img.setCanvasSize(unsigned(w), unsigned(h), position, fill))
                        return false;
                    keepMetadata(img, original);
                    return true;
                },
                true};
}

std::optional<Plan> askRotation(const fipSuperImage& image, QWidget* parent, const EffectUi& ui)
{
    CDlgRotate dialog(&image, parent);
    if (ui.exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    const double angle = dialog.angle();
    return Plan{[=](fipSuperImage& img, const fipSuperImage& original) {
                    if (!Rotate::rotate(original, img, angle) && !img.rotate(angle))
                        return false;
                    keepMetadata(img, original);
                    return true;
                },
                true};
}

std::optional<Plan> askDpi(const fipSuperImage& image, QWidget* parent, const EffectUi& ui)
{
    const SizeUnits::Source source = SizeUnits::sourceOf(image);
    CDlgSetDPI dialog(source.dpiX, source.dpiY, parent);
    if (ui.exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    const int x = dialog.dpiX(), y = dialog.dpiY();
    return Plan{[=](fipSuperImage& img, const fipSuperImage&) {
                    img.setResolution(x * SizeUnits::kInchesPerCm, y * SizeUnits::kInchesPerCm);
                    return true;
                },
                false};
}

Change depthChange(WORD bpp, BOOL grey, WORD maxColors)
{
    return [=](fipSuperImage& img, const fipSuperImage& original) {
        if (!img.adjustBPP(bpp, grey, maxColors))
            return false;
        keepMetadata(img, original);
        return true;
    };
}

std::optional<Plan> askDepth(const fipSuperImage& image, QWidget* parent, const EffectUi& ui)
{
    CDlgChangeBPP dialog(image.getBPP(), parent);
    if (ui.exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    return Plan{depthChange(WORD(dialog.bpp()), dialog.grey() ? TRUE : FALSE, WORD(dialog.maxColors())), false};
}

}  // namespace

FREE_IMAGE_FILTER resampleFilter(int index)
{
    static constexpr FREE_IMAGE_FILTER kFilters[] = {FILTER_BOX,    FILTER_BILINEAR,   FILTER_BSPLINE,
                                                     FILTER_BICUBIC, FILTER_CATMULLROM, FILTER_LANCZOS3};
    return kFilters[std::clamp(index, 0, 5)];
}

bool handles(int id)
{
    return id == cmd::Resize || id == cmd::CanvasSize || id == cmd::CustomRotation || id == cmd::SetDpi ||
           id == cmd::DepthCustom || fixedDepth(id) != nullptr;
}

bool isEnabled(int id, const fipSuperImage* image, bool viewerMode)
{
    const FREE_IMAGE_TYPE type = image ? image->getImageType() : FIT_UNKNOWN;
    const bool bitmap = type == FIT_BITMAP;
    switch (id) {
    case cmd::Resize:
        return type == FIT_BITMAP || type == FIT_UINT16 || type == FIT_FLOAT || type == FIT_RGB16 ||
               type == FIT_RGBA16 || type == FIT_RGBF || type == FIT_RGBAF;
    case cmd::CanvasSize: return bitmap;
    case cmd::CustomRotation: {
        const unsigned depth = bitmap ? image->getBPP() : 0;
        return viewerMode && (depth == 1 || depth == 8 || depth == 24 || depth == 32);
    }
    case cmd::SetDpi: return image != nullptr;
    default: return handles(id) && bitmap;
    }
}

bool run(int id, EditTarget& target, const EffectUi& ui)
{
    if (!handles(id))
        return false;
    fipSuperImage* image = target.editImage();
    if (!image || !image->isValid())
        return true;
    const std::uint64_t serial = target.imageSerial();
    std::optional<Plan> plan;
    QWidget* parent = target.dialogParent();
    if (const FixedDepth* d = fixedDepth(id)) {
        plan = Plan{depthChange(d->bpp, d->grey, d->maxColors), false};
    } else {
        switch (id) {
        case cmd::Resize: plan = askResize(*image, parent, ui); break;
        case cmd::CanvasSize: plan = askCanvas(*image, parent, ui); break;
        case cmd::CustomRotation: plan = askRotation(*image, parent, ui); break;
        case cmd::SetDpi: plan = askDpi(*image, parent, ui); break;
        case cmd::DepthCustom: plan = askDepth(*image, parent, ui); break;
        default: break;
        }
    }
    if (!plan)
        return true;
    // The dialog's event loop may have let the viewer step to another image.
    image = target.editImage();
    if (target.imageSerial() != serial || !image || !image->isValid())
        return true;

    // The change is made on a copy, so a failing call leaves neither a changed image nor an
    // undo state behind.
    WaitCursor wait;
    fipSuperImage work(*image);
    if (!plan->change(work, *image) || !target.TakeUndoSnapshot())
        return true;
    *image = std::move(work);
    if (plan->clearsSelection)
        target.clearSelection();
    target.MarkChanged();
    return true;
}

}  // namespace geometry
