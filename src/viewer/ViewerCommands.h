#pragma once
// The command ids the viewer answers: the program's one list, plus the names the viewer's
// selection-ratio code uses.

#include "app/CommandIds.h"

namespace vcmd {

using namespace cmd;

inline constexpr int SelRatio1x1 = cmd::Sel1x1;
inline constexpr int SelRatio1x2 = cmd::Sel1x2;
inline constexpr int SelRatio3x4 = cmd::Sel3x4;
inline constexpr int SelRatio9x13 = cmd::Sel9x13;
inline constexpr int SelRatio10x15 = cmd::Sel10x15;
inline constexpr int SelRatio13x18 = cmd::Sel13x18;
inline constexpr int SelRatio20x25 = cmd::Sel20x25;

}  // namespace vcmd
