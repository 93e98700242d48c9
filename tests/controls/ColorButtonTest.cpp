// The colour picker: the palette's plain rules in tables, then the real button and popup.
#include "controls/CColorButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTest>

using namespace ColorPalette;

namespace {

constexpr Boxes kBoth{true, true};
constexpr Boxes kNoBoxes{false, false};
constexpr ColorValue kRed = 0xFF0000;
constexpr ColorValue kBlue = 0x0000FF;

TEST(ColorPalette, TableAndChosenIndex)
{
    EXPECT_STREQ(colors()[0].name, "Black");
    EXPECT_EQ(colors()[9].color, rgb(255, 104, 32));
    EXPECT_EQ(colors()[39].color, rgb(255, 255, 255));
    struct Case { ColorValue color; Boxes boxes; int expected; };
    const Case cases[] = {
        {0x000000, kBoth, 0},
        {kRed, kBoth, 16},
        {kAutomaticColor, kBoth, kAutomaticBox},
        {kAutomaticColor, {false, true}, kMoreBox},
        {0x123456, kBoth, kMoreBox},
        {0x123456, {true, false}, kNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chosenIndex(c.color, c.boxes), c.expected) << std::hex << c.color;
}

TEST(ColorPalette, ArrowKeysWrapOntoAndOffTheBoxes)
{
    struct Case { int hot; Arrow arrow; Boxes boxes; int expected; };
    const Case cases[] = {
        {7, Arrow::Right, kBoth, 8},             // end of a row wraps to the next row
        {8, Arrow::Left, kBoth, 7},
        {39, Arrow::Right, kBoth, kMoreBox},
        {0, Arrow::Left, kBoth, kAutomaticBox},
        {kAutomaticBox, Arrow::Right, kBoth, 0},
        {kMoreBox, Arrow::Right, kBoth, kAutomaticBox},
        {3, Arrow::Up, kBoth, kAutomaticBox},
        {35, Arrow::Down, kBoth, kMoreBox},
        {kMoreBox, Arrow::Down, kBoth, kAutomaticBox},  // round to the other end
        {kAutomaticBox, Arrow::Up, kBoth, kMoreBox},
        {kAutomaticBox, Arrow::Down, kBoth, 0},
        {kMoreBox, Arrow::Up, kBoth, 32},
        {12, Arrow::Down, kBoth, 20},
        {35, Arrow::Down, kNoBoxes, 3},
        {3, Arrow::Up, kNoBoxes, 35},
        {39, Arrow::Right, kNoBoxes, 0},
        {0, Arrow::Left, kNoBoxes, 39},
        {kNone, Arrow::Right, kBoth, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(move(c.hot, c.arrow, c.boxes), c.expected)
            << "hot " << c.hot << " arrow " << int(c.arrow);
}

TEST(ColorPalette, PlacementStaysOnScreen)
{
    const QRect screen(0, 0, 1000, 800);
    const QSize popup(150, 160);
    struct Case { QRect button; QPoint expected; };
    const Case cases[] = {
        {QRect(100, 100, 60, 24), QPoint(100, 124)},   // under the button, left aligned
        {QRect(900, 100, 60, 24), QPoint(850, 124)},   // right edge: shifted left
        {QRect(-30, 100, 60, 24), QPoint(0, 124)},     // left edge: shifted right
        {QRect(100, 700, 60, 24), QPoint(100, 540)},   // bottom edge: above the button
        {QRect(930, 770, 60, 24), QPoint(850, 610)},   // bottom-right corner: both
        {QRect(100, 100, 60, 24), QPoint(100, 124)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(place(c.button, popup, screen), c.expected);
    // A screen shorter than the palette keeps its top on the screen.
    EXPECT_EQ(place(QRect(10, 50, 60, 24), QSize(150, 500), QRect(0, 0, 1000, 300)).y(), 0);
}

// The notifications as the dialog sees them, in order: "name:colour".
struct Recorder {
    QStringList events;
    explicit Recorder(CColorButton& b)
    {
        const auto add = [this](const char* name) {
            return [this, name](ColorValue c, int id) {
                events << QStringLiteral("%1:%2:%3").arg(QLatin1String(name)).arg(c, 0, 16).arg(id);
            };
        };
        QObject::connect(&b, &CColorButton::selectionChanged, add("changed"));
        QObject::connect(&b, &CColorButton::dropDown, add("drop"));
        QObject::connect(&b, &CColorButton::closeUp, add("closeup"));
        QObject::connect(&b, &CColorButton::selectionEndOk, add("ok"));
        QObject::connect(&b, &CColorButton::selectionEndCancel, add("cancel"));
    }
};

struct ButtonInDialog {
    QDialog dialog;
    CColorButton* button = new CColorButton(&dialog, 1009);
    explicit ButtonInDialog(ColorValue color, QPoint at = QPoint(100, 100))
    {
        button->setGeometry(10, 10, 60, 24);
        button->setColor(color);
        dialog.resize(200, 100);
        dialog.move(at);
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    CColorPopup* open()
    {
        // A palette that closed leaves no active window behind on the offscreen platform, and
        // Qt closes popups of an inactive application.
        QCoreApplication::processEvents();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::mouseClick(button, Qt::LeftButton);
        CColorPopup* popup = button->popup();
        EXPECT_TRUE(popup && popup->isVisible());
        return popup;
    }
    static void hover(CColorPopup* popup, int index)
    {
        QTest::mouseMove(popup, popup->cellRect(index).center());
        QCoreApplication::processEvents();
    }
};

TEST(ColorButton, EscapeAfterHoverKeepsTheColourAndSendsNoChangeAfterCloseUp)
{
    ButtonInDialog d(kRed);
    Recorder rec(*d.button);
    CColorPopup* popup = d.open();
    EXPECT_EQ(popup->chosenIndex(), 16);
    EXPECT_TRUE(d.button->isPopupActive());
    ButtonInDialog::hover(popup, 13);
    ButtonInDialog::hover(popup, 26);
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_EQ(rec.events, QStringList({"drop:ff0000:1009", "changed:ff:1009", "changed:ffff00:1009",
                                       "closeup:ff0000:1009", "cancel:ff0000:1009"}));
    EXPECT_EQ(d.button->color(), kRed);
    EXPECT_FALSE(d.button->isPopupActive());
    EXPECT_EQ(d.button->popup(), nullptr);
}

TEST(ColorButton, EndingWithOkNotifiesCloseUpThenOkThenChangeOnlyWhenChanged)
{
    ButtonInDialog d(kRed);
    Recorder rec(*d.button);
    // Release on a cell picks it.
    CColorPopup* popup = d.open();
    ButtonInDialog::hover(popup, 13);
    QTest::mouseRelease(popup, Qt::LeftButton, {}, popup->cellRect(13).center());
    EXPECT_EQ(d.button->color(), kBlue);
    EXPECT_EQ(rec.events.mid(2), QStringList({"closeup:ff:1009", "ok:ff:1009", "changed:ff:1009"}));

    // Enter on the colour it opened with: no change notification.
    rec.events.clear();
    popup = d.open();
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(rec.events, QStringList({"drop:ff:1009", "closeup:ff:1009", "ok:ff:1009"}));

    // Arrow keys walk from the chosen cell; release outside the palette cancels.
    rec.events.clear();
    popup = d.open();
    QTest::keyClick(popup, Qt::Key_Right);
    EXPECT_EQ(popup->hotIndex(), 14);
    QTest::mouseRelease(popup, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_EQ(d.button->color(), kBlue);
    EXPECT_EQ(rec.events.last(), "cancel:ff:1009");
}

TEST(ColorButton, MoreColorsAsksTheColourDialogWithTheInitialColour)
{
    ButtonInDialog d(0x123456);
    std::optional<ColorValue> answer = 0x445566;
    ColorValue askedWith = 0;
    d.button->setMoreColorsChooser([&](ColorValue initial, QWidget*) {
        askedWith = initial;
        return answer;
    });
    Recorder rec(*d.button);
    CColorPopup* popup = d.open();
    EXPECT_EQ(popup->chosenIndex(), kMoreBox);
    QTest::keyClick(popup, Qt::Key_Space);
    EXPECT_EQ(askedWith, 0x123456u);
    EXPECT_EQ(d.button->color(), 0x445566u);
    EXPECT_EQ(rec.events.last(), "changed:445566:1009");

    answer.reset();  // the colour dialog cancelled: the ending is a cancel
    popup = d.open();
    ButtonInDialog::hover(popup, kMoreBox);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(d.button->color(), 0x445566u);
    EXPECT_EQ(rec.events.last(), "cancel:445566:1009");
}

TEST(ColorButton, AutomaticShowsTheAutomaticColourAndOpensOnItsBox)
{
    ButtonInDialog d(kAutomaticColor);
    d.button->setAutomaticColor(Qt::darkCyan);
    EXPECT_EQ(d.button->shownColor(), QColor(Qt::darkCyan));
    CColorPopup* popup = d.open();
    EXPECT_EQ(popup->chosenIndex(), kAutomaticBox);
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST(ColorButton, PaletteNearTheBottomRightCornerOpensAboveAndShiftedLeft)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ButtonInDialog d(kRed, screen.bottomRight() - QPoint(80, 60));
    CColorPopup* popup = d.open();
    const QRect button(d.button->mapToGlobal(QPoint(0, 0)), d.button->size());
    const QRect palette = popup->frameGeometry();
    EXPECT_TRUE(screen.contains(palette));
    EXPECT_LE(palette.bottom(), button.top());
    EXPECT_LT(palette.left(), button.left());
    QTest::keyClick(popup, Qt::Key_Escape);
}

}  // namespace
