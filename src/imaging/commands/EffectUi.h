#pragma once
// How the effect commands run their modal dialogs: `exec` shows one and returns its result.
// Tests replace it to drive the real dialog (type, move sliders, press Ok) without a modal loop.
#include <QDialog>

#include <functional>

struct EffectUi {
    std::function<int(QDialog&)> exec;

    static EffectUi standard()
    {
        return EffectUi{[](QDialog& dialog) { return dialog.exec(); }};
    }
};
