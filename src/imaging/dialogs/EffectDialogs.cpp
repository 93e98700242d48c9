// The parameterised commands: their dialog, then the operation with the values chosen.
#include "imaging/commands/EffectCommands.h"

#include "app/CommandIds.h"
#include "imaging/dialogs/ColorDialogs.h"
#include "imaging/dialogs/ValueDialogs.h"

namespace effects {
namespace {

template <class Dialog, class MakeOperation>
std::optional<Operation> ask(const fipSuperImage& source, QWidget* parent, const EffectUi& ui, MakeOperation make)
{
    Dialog dialog(&source, parent);
    if (ui.exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    return Operation(make(dialog));
}

}  // namespace

std::optional<Operation> askOperation(int id, const fipSuperImage& source, QWidget* parent, const EffectUi& ui)
{
    switch (id) {
    case cmd::Threshold:
        return ask<CDlgThreshold>(source, parent, ui, [](const CDlgThreshold& d) {
            return [v = d.value()](fipSuperImage& i) { return i.threshold(static_cast<BYTE>(v)) != FALSE; };
        });
    case cmd::AddNoise:
        return ask<CDlgAddNoise>(source, parent, ui, [](const CDlgAddNoise& d) {
            return [v = d.value()](fipSuperImage& i) { return i.addNoise(v) != FALSE; };
        });
    case cmd::AverageBlur:
        return ask<CDlgAverageBlur>(source, parent, ui, [](const CDlgAverageBlur& d) {
            return [v = d.value()](fipSuperImage& i) { return i.averageBlur(v) != FALSE; };
        });
    case cmd::Emboss:
        return ask<CDlgEmboss>(source, parent, ui, [](const CDlgEmboss& d) {
            return [v = d.value()](fipSuperImage& i) { return i.emboss(v) != FALSE; };
        });
    case cmd::Solarize:
        return ask<CDlgSolarize>(source, parent, ui, [](const CDlgSolarize& d) {
            return [v = d.value()](fipSuperImage& i) { return i.solarize(static_cast<BYTE>(v), TRUE) != FALSE; };
        });
    case cmd::Spread:
        return ask<CDlgSpread>(source, parent, ui, [](const CDlgSpread& d) {
            return [v = d.value()](fipSuperImage& i) { return i.spread(v) != FALSE; };
        });
    case cmd::Mosaic:
        return ask<CDlgMosaic>(source, parent, ui, [](const CDlgMosaic& d) {
            return [v = d.value()](fipSuperImage& i) { return i.mosaic(v) != FALSE; };
        });
    case cmd::Wind:
        return ask<CDlgWind>(source, parent, ui, [](const CDlgWind& d) {
            return [v = d.value(), dir = d.direction(), smooth = d.smooth()](fipSuperImage& i) {
                return i.wind(v, dir, smooth ? TRUE : FALSE) != FALSE;
            };
        });
    case cmd::Stripe:
        return ask<CDlgStripe>(source, parent, ui, [](const CDlgStripe& d) {
            return [s = d.swing(), f = d.frequency()](fipSuperImage& i) { return i.stripe(s, f) != FALSE; };
        });
    case cmd::Colorize:
        return ask<CDlgColorize>(source, parent, ui, [](const CDlgColorize& d) {
            return [h = d.hue(), s = d.saturation(), a = d.amount()](fipSuperImage& i) {
                return i.colorize(h, s, a * 0.01) != FALSE;
            };
        });
    case cmd::EnhanceColors:
        return ask<CDlgEnhanceColors>(source, parent, ui, [](const CDlgEnhanceColors& d) {
            return [b = d.brightness(), c = d.contrast(), g = d.gamma(), r = d.redGamma(), gr = d.greenGamma(),
                    bl = d.blueGamma()](fipSuperImage& i) {
                const bool adjusted = i.adjustColors(b, c, g, FALSE) != FALSE;
                const bool balanced = i.adjustGammaRGB(r, gr, bl) != FALSE;
                return adjusted && balanced;
            };
        });
    case cmd::AdjustHsl:
        return ask<CDlgAdjustHSL>(source, parent, ui, [](const CDlgAdjustHSL& d) {
            return [h = d.hue(), s = d.saturation(), l = d.lightness()](fipSuperImage& i) {
                return i.adjustHSL(h, s, l) != FALSE;
            };
        });
    default:
        return std::nullopt;
    }
}

}  // namespace effects
