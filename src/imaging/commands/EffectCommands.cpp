#include "imaging/commands/EffectCommands.h"

#include "app/CommandIds.h"
#include "app/MessageBoxSeam.h"
#include "app/WaitCursor.h"
#include "imaging/dialogs/CDlgAsciiArt.h"
#include "imaging/fipSuperImage.h"

#include <algorithm>
#include <array>

namespace effects {
namespace {

enum class Sel { Yes, No, Only };

struct Command {
    int id;
    Sel sel;
    bool viewer;  // carried out by the viewer rather than the frame
};

constexpr std::array kCommands = {
    Command{cmd::Negative, Sel::Yes, true},         Command{cmd::Grayscale, Sel::No, false},
    Command{cmd::BlackAndWhite, Sel::No, false},    Command{cmd::Threshold, Sel::No, false},
    Command{cmd::Colorize, Sel::Yes, false},        Command{cmd::Sepia, Sel::Yes, false},
    Command{cmd::Solarize, Sel::Yes, true},         Command{cmd::GaussianBlur3, Sel::Yes, false},
    Command{cmd::GaussianBlur5, Sel::Yes, false},   Command{cmd::AverageBlur, Sel::Yes, false},
    Command{cmd::Soften, Sel::Yes, false},          Command{cmd::Sharpen, Sel::Yes, false},
    Command{cmd::AddNoise, Sel::Yes, false},        Command{cmd::Emboss, Sel::Yes, false},
    Command{cmd::Erode, Sel::Yes, false},           Command{cmd::EdgeDetectLight, Sel::Yes, false},
    Command{cmd::EdgeDetectMedium, Sel::Yes, false}, Command{cmd::EdgeDetectHeavy, Sel::Yes, false},
    Command{cmd::Spread, Sel::Yes, false},          Command{cmd::Stripe, Sel::Yes, false},
    Command{cmd::Wind, Sel::Yes, false},            Command{cmd::Mosaic, Sel::Yes, false},
    Command{cmd::EnhanceColors, Sel::Yes, false},   Command{cmd::AdjustHsl, Sel::Yes, false},
    Command{cmd::SwapColorsFirst, Sel::Yes, true},  Command{cmd::SwapColorsFirst + 1, Sel::Yes, true},
    Command{cmd::SwapColorsFirst + 2, Sel::Yes, true}, Command{cmd::SwapColorsFirst + 3, Sel::Yes, true},
    Command{cmd::SwapColorsLast, Sel::Yes, true},   Command{cmd::VerticalFlip, Sel::Yes, true},
    Command{cmd::HorizontalFlip, Sel::Yes, true},   Command{cmd::RotateLeft, Sel::No, true},
    Command{cmd::RotateRight, Sel::No, true},       Command{cmd::Rotate180, Sel::No, true},
    Command{cmd::RedEyeReduction, Sel::Only, false}, Command{cmd::CountColors, Sel::No, false},
    Command{cmd::AsciiArt, Sel::No, false},
};

const Command* find(int id)
{
    const auto it = std::find_if(kCommands.begin(), kCommands.end(), [id](const Command& c) { return c.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

bool isRotation(int id)
{
    return id == cmd::RotateLeft || id == cmd::RotateRight || id == cmd::Rotate180;
}

template <std::size_t N>
bool depthIn(unsigned depth, const std::array<unsigned, N>& depths)
{
    return std::find(depths.begin(), depths.end(), depth) != depths.end();
}

constexpr int kGaussian3[] = {1, 2, 1, 2, 4, 2, 1, 2, 1};
constexpr int kGaussian5[] = {0, 1, 2, 1, 0, 1, 3, 4, 3, 1, 2, 4, 8, 4, 2, 1, 3, 4, 3, 1, 0, 1, 2, 1, 0};
constexpr int kSoften[] = {1, 1, 1, 1, 8, 1, 1, 1, 1};
constexpr int kSharpen[] = {-1, -1, -1, -1, 15, -1, -1, -1, -1};

Operation convolution(const int* kernel, int size, int divisor)
{
    return [=](fipSuperImage& img) { return img.convolute(kernel, size, divisor, 0) != FALSE; };
}

void countColors(fipSuperImage* image, QWidget* parent)
{
    if (!image || !image->isValid() || !image->getInfoHeader())
        return;
    unsigned count = 0;
    {
        WaitCursor wait;
        count = image->getUniqueColors();
    }
    MessageBoxSeam::show({parent, QStringLiteral("Unique Colors"),
                          QStringLiteral("The number of unique colors is: %1.").arg(count),
                          QMessageBox::Information});
}

void showAsciiArt(fipSuperImage* image, QWidget* parent, const EffectUi& ui)
{
    if (!image || !image->isValid())
        return;
    CDlgAsciiArt dialog(*image, parent);
    ui.exec(dialog);
}

// A command that reaches an image its enabling rule excludes does nothing: no dialog, no undo
// state. The whole image changes in place after the snapshot (no second copy of a large
// photo); a selection is changed on its work image first and pasted after the snapshot.
void runOnImage(const Command& command, EditTarget& target, const EffectUi& ui)
{
    fipSuperImage* image = target.editImage();
    if (!isEnabled(command.id, image, true))
        return;
    const std::uint64_t serial = target.imageSerial();
    const QRect s = target.editSelection();
    // A selection holding the whole image changes it in place, without two copies of a photo.
    const QRect whole(0, 0, static_cast<int>(image->getWidth()), static_cast<int>(image->getHeight()));
    const bool onSelection = command.sel != Sel::No && !s.isEmpty() && !s.contains(whole);

    fipSuperImage work;
    if (onSelection && !image->copySubImage(work, s.left(), s.top(), s.left() + s.width(), s.top() + s.height()))
        return;
    std::optional<Operation> op = fixedOperation(command.id);
    if (!op)
        op = askOperation(command.id, onSelection ? work : *image, target.dialogParent(), ui);
    if (!op)
        return;
    // The dialog's event loop may have let the viewer step to another image.
    image = target.editImage();
    if (target.imageSerial() != serial || !image || !image->isValid())
        return;

    // Enhance Colors marks the image whatever its two adjustments report.
    const bool marksAnyway = command.id == cmd::EnhanceColors;
    WaitCursor wait;
    if (onSelection) {
        if (!(*op)(work) && !marksAnyway)
            return;
        if (!target.TakeUndoSnapshot() || !image->pasteSubImage(work, s.left(), s.top(), 256))
            return;
    } else {
        if (!target.TakeUndoSnapshot())
            return;
        if (!(*op)(*image) && !marksAnyway)
            return;
        if (isRotation(command.id))
            target.clearSelection();
        if (command.id == cmd::VerticalFlip || command.id == cmd::HorizontalFlip) {
            target.MarkMirrored(command.id == cmd::VerticalFlip);
            return;
        }
    }
    target.MarkChanged();
}

}  // namespace

bool handles(int id)
{
    return find(id) != nullptr;
}

bool handledByViewer(int id)
{
    const Command* c = find(id);
    return c && c->viewer;
}

bool isEnabled(int id, const fipSuperImage* image, bool viewerMode)
{
    const bool bitmap = image && image->getImageType() == FIT_BITMAP;
    const unsigned depth = bitmap ? image->getBPP() : 0;
    switch (id) {
    case cmd::Grayscale:
    case cmd::BlackAndWhite:
    case cmd::Threshold: return bitmap;
    case cmd::AddNoise: return bitmap && image->isValid() && (depth == 24 || depth == 32);
    case cmd::RedEyeReduction: return bitmap && (depth == 24 || depth == 32);
    case cmd::CountColors: return bitmap && depth != 16;
    case cmd::EnhanceColors: return viewerMode && bitmap && depthIn(depth, std::array{8u, 24u, 32u});
    case cmd::AdjustHsl: return bitmap && depthIn(depth, std::array{4u, 8u, 24u, 32u});
    case cmd::Mosaic:
    case cmd::Wind:
    case cmd::Emboss:
    case cmd::Stripe:
    case cmd::Spread:
    case cmd::EdgeDetectLight:
    case cmd::EdgeDetectMedium:
    case cmd::EdgeDetectHeavy:
    case cmd::Erode:
    case cmd::Colorize:
    case cmd::Sepia: return bitmap && depth >= 24;
    case cmd::AverageBlur:
    case cmd::GaussianBlur3:
    case cmd::GaussianBlur5:
    case cmd::Soften:
    case cmd::Sharpen: return image != nullptr;
    case cmd::AsciiArt: return image && image->isValid();
    // The viewer's own: it answers only while it is shown.
    case cmd::Negative: return viewerMode && bitmap;
    case cmd::Solarize: return viewerMode && bitmap && depth >= 24;
    case cmd::RotateLeft:
    case cmd::RotateRight:
    case cmd::Rotate180: return viewerMode && bitmap && depthIn(depth, std::array{1u, 8u, 24u, 32u});
    case cmd::VerticalFlip:
    case cmd::HorizontalFlip: return viewerMode;
    default:
        if (id >= cmd::SwapColorsFirst && id <= cmd::SwapColorsLast)
            return viewerMode && bitmap;
        return false;
    }
}

std::optional<Operation> fixedOperation(int id)
{
    switch (id) {
    case cmd::Negative: return [](fipSuperImage& i) { return i.invert() != FALSE; };
    case cmd::Grayscale: return [](fipSuperImage& i) { return i.convertToGrayscale() != FALSE; };
    case cmd::BlackAndWhite: return [](fipSuperImage& i) { return i.dither(FID_FS) != FALSE; };
    case cmd::Sepia: return [](fipSuperImage& i) { return i.sepia() != FALSE; };
    case cmd::GaussianBlur3: return convolution(kGaussian3, 3, 16);
    case cmd::GaussianBlur5: return convolution(kGaussian5, 5, 52);
    case cmd::Soften: return convolution(kSoften, 3, 16);
    case cmd::Sharpen: return convolution(kSharpen, 3, 7);
    case cmd::Erode: return [](fipSuperImage& i) { return i.erode(5) != FALSE; };
    case cmd::EdgeDetectLight: return [](fipSuperImage& i) { return i.edgeDetectLight() != FALSE; };
    case cmd::EdgeDetectMedium: return [](fipSuperImage& i) { return i.edgeDetectMedium() != FALSE; };
    case cmd::EdgeDetectHeavy: return [](fipSuperImage& i) { return i.edgeDetectHeavy() != FALSE; };
    case cmd::VerticalFlip: return [](fipSuperImage& i) { return i.flipVertical() != FALSE; };
    case cmd::HorizontalFlip: return [](fipSuperImage& i) { return i.flipHorizontal() != FALSE; };
    case cmd::RotateLeft: return [](fipSuperImage& i) { return i.rotate(90) != FALSE; };
    case cmd::RotateRight: return [](fipSuperImage& i) { return i.rotate(270) != FALSE; };
    case cmd::Rotate180: return [](fipSuperImage& i) { return i.rotate(180) != FALSE; };
    case cmd::RedEyeReduction: return [](fipSuperImage& i) { return i.removeRedEye() != FALSE; };
    default:
        if (id >= cmd::SwapColorsFirst && id <= cmd::SwapColorsLast)
            return [order = id - cmd::SwapColorsFirst](fipSuperImage& i) { return i.swapChannels(order) != FALSE; };
        return std::nullopt;
    }
}

bool run(int id, EditTarget& target, const EffectUi& ui)
{
    const Command* command = find(id);
    if (!command)
        return false;
    fipSuperImage* image = target.editImage();
    if (id == cmd::CountColors) {
        countColors(image, target.dialogParent());
        return true;
    }
    if (id == cmd::AsciiArt) {
        showAsciiArt(image, target.dialogParent(), ui);
        return true;
    }
    if (!image || !image->isValid())
        return true;
    if (command->sel == Sel::Only && target.editSelection().isEmpty()) {
        MessageBoxSeam::show({target.dialogParent(), QStringLiteral("Red Eye Reduction"),
                              QStringLiteral("The feature works only on selections.\nCreate first a selection in the "
                                             "image using the left mouse button."),
                              QMessageBox::Information});
        return true;
    }
    runOnImage(*command, target, ui);
    return true;
}

}  // namespace effects
