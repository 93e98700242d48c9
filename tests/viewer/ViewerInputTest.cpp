#include "ViewerTestSupport.h"

#include "viewer/ViewerCommands.h"
#include "viewer/WheelSteps.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

using viewertest::Viewer;

void sendWheel(CImageView& view, QPoint at, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent wheel(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
}

TEST(WheelSteps, WholeNotchesOfScrollingStepOnce)
{
    const struct {
        std::vector<int> deltas;
        std::vector<int> steps;
    } cases[] = {
        {{120, -120}, {1, -1}},                      // a mouse: a step a notch
        {{15, 15, 15, 15, 15, 15, 15, 15}, {0, 0, 0, 0, 0, 0, 0, 1}},  // a touchpad's notch
        {{60, 60, 60, 60}, {0, 1, 0, 1}},
        {{100, -30, -100}, {0, 0, -1}},              // turning back starts afresh
        {{360}, {3}},                                // a fast flick in one event
    };
    for (const auto& c : cases) {
        WheelSteps steps;
        std::vector<int> got;
        for (const int delta : c.deltas)
            got.push_back(steps.add(delta));
        EXPECT_EQ(got, c.steps);
    }
}

TEST(ViewerInput, TouchpadStepsOnceANotchAndCtrlWheelZoomsAroundTheCursor)
{
    Viewer v(3, QSize(1000, 800));  // larger than the view, so it can scroll both ways
    v.open(0);
    const QPoint at(200, 150);
    for (int i = 0; i < 7; ++i)
        sendWheel(*v.view, at, -15);
    EXPECT_EQ(v.view->listIndex(), 0);
    sendWheel(*v.view, at, -15);
    EXPECT_EQ(v.view->listIndex(), 1);

    v.open(0);
    const double before = v.view->zoom();
    const double x = v.view->ClientToImageX(at.x());
    const double y = v.view->ClientToImageY(at.y());
    sendWheel(*v.view, at, 120, Qt::ControlModifier);
    EXPECT_GT(v.view->zoom(), before);
    EXPECT_EQ(v.view->listIndex(), 0);
    EXPECT_NEAR(v.view->ImageToClientX(x), at.x(), 1.0);
    EXPECT_NEAR(v.view->ImageToClientY(y), at.y(), 1.0);
}

TEST(ViewerInput, TheZoomKeysOfLinuxViewers)
{
    Viewer v(1);
    v.open(0);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int sign;  // +1 zooms in, -1 out, 0 back to 100%
    } keys[] = {{Qt::Key_Plus, Qt::ControlModifier, 1},  {Qt::Key_Equal, Qt::ControlModifier, 1},
                {Qt::Key_Plus, Qt::ShiftModifier, 1},    {Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, 1},
                {Qt::Key_Minus, Qt::ControlModifier, -1}, {Qt::Key_0, Qt::ControlModifier, 0}};
    for (const auto& k : keys) {
        v.view->OnCommand(vcmd::ActualSize);
        if (k.sign == 0)
            v.view->OnCommand(vcmd::ZoomIn);
        const double before = v.view->zoom();
        QTest::keyClick(v.view.get(), k.key, k.modifiers);
        if (k.sign > 0)
            EXPECT_GT(v.view->zoom(), before) << k.key;
        else if (k.sign < 0)
            EXPECT_LT(v.view->zoom(), before) << k.key;
        else
            EXPECT_EQ(v.view->zoom(), 1.0);
    }
}

}  // namespace
