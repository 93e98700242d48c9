#pragma once
// Tests of drawing at a screen's pixel density run themselves again in a child process whose
// screen has that density (QT_SCALE_FACTOR); the child's failures become the running test's.
#include <QString>

namespace fixtures {

void rerunAtDensity(const QString& factor);

}  // namespace fixtures
