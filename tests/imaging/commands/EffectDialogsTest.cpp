// The effect dialogs driven as a user would: typing, sliders, the spin, Ok; and the numbers
// behind them.
#include "EffectTarget.h"

#include "app/MessageBoxSeam.h"
#include "controls/CColorButton.h"
#include "imaging/dialogs/CThumbWnd.h"
#include "imaging/dialogs/ColorDialogs.h"
#include "imaging/dialogs/EffectDialogLogic.h"
#include "imaging/dialogs/ValueDialogs.h"
#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

using namespace effectdlg;
using fixtures::patternImage;

namespace {

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

}  // namespace

TEST(EffectDialogLogic, NumbersOfThePart)
{
    struct { int balance; double gamma; } gammas[] = {{-100, 0.01}, {0, 1.00}, {100, 6.99}, {10, 1.6}, {-10, 0.9}};
    for (auto g : gammas)
        EXPECT_DOUBLE_EQ(colorBalanceGamma(g.balance), g.gamma) << g.balance;

    struct { int value, source, preview, minimum, expected; } scales[] = {
        {5, 4000, 200, 2, 100}, {2, 100, 200, 2, 2}, {1, 300, 200, 1, 2}, {5, 0, 200, 2, 0}, {5, 4000, 0, 2, 0}};
    for (auto s : scales)
        EXPECT_EQ(scaleToSource(s.value, s.source, s.preview, s.minimum), s.expected) << s.value << " " << s.source;

    EXPECT_EQ(previewLimitedMax(240, 180, 20, 2), 20);
    EXPECT_EQ(previewLimitedMax(15, 10, 20, 2), 9);
    EXPECT_EQ(previewLimitedMax(1, 1, 20, 2), 2);  // never below the lower bound
    EXPECT_EQ(previewLimitedMax(240, 40, 50, 2), 39);
    EXPECT_EQ(windMax(240), 50);
    EXPECT_EQ(windMax(30), 29);

    struct { const char* text; long long value; } reads[] = {
        {"", 0}, {"42", 42}, {"-7", -7}, {"12abc", 12}, {"abc", 0}, {"99999999999999", 2147483647}};
    for (auto r : reads)
        EXPECT_EQ(readInteger(QString::fromLatin1(r.text)), r.value) << r.text;
    EXPECT_EQ(readInteger(QStringLiteral("1234"), 2), 12);
    EXPECT_DOUBLE_EQ(readDecimal(QStringLiteral("2.5x")), 2.5);
    EXPECT_EQ(gammaText(100), "1.00");
    EXPECT_EQ(gammaText(699), "6.99");
    EXPECT_EQ(roundHalfAway(-2.5), -3);

    EXPECT_EQ(colorizePresets().size(), 19u);
    EXPECT_EQ(colorizePresets()[2].color, QColor(0, 109, 255));
    EXPECT_STREQ(colorizePresets()[kColorizeCustom].name, "Custom");
}

TEST(EffectDialogLogic, ThumbnailFitsWithoutEnlarging)
{
    struct { QSize image, client; QRect expected; } cases[] = {
        {{400, 200}, {200, 200}, {0, 50, 200, 100}},
        {{100, 400}, {200, 200}, {75, 0, 50, 200}},
        {{50, 20}, {200, 100}, {75, 40, 50, 20}},   // small images keep their size
        {{1000, 1}, {100, 100}, {0, 49, 100, 1}},   // at least one pixel
        {{0, 0}, {100, 100}, {}},
    };
    for (auto c : cases)
        EXPECT_EQ(thumbDrawRect(c.image, c.client), c.expected) << c.image.width() << "x" << c.image.height();
}

TEST(EffectDialogs, AddNoiseRefusesALevelPast255AndSelectsIt)
{
    std::vector<MessageBoxSeam::Request> boxes;
    const auto previous = MessageBoxSeam::setHandler([&](const MessageBoxSeam::Request& r) {
        boxes.push_back(r);
        return QMessageBox::Ok;
    });
    const fipSuperImage source = patternImage(64, 48);
    CDlgAddNoise dialog(&source);
    dialog.show();
    typeInto(dialog.edit(0), QStringLiteral("300"));
    EXPECT_EQ(dialog.slider(0)->value(), 255);
    dialog.accept();
    MessageBoxSeam::setHandler(previous);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Add Noise");
    EXPECT_EQ(boxes[0].text, "You must specify a valid noise level (0 - 255).");
    EXPECT_EQ(boxes[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.edit(0)->selectedText(), "300");

    typeInto(dialog.edit(0), QStringLiteral("200"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.value(), 200);
}

TEST(EffectDialogs, EditsClampMoveTheSliderAndRefusePastedLetters)
{
    const fipSuperImage source = patternImage(64, 48);
    CDlgEmboss emboss(&source);
    EXPECT_EQ(emboss.edit(0)->text(), "5");  // every opening starts from the defaults
    typeInto(emboss.edit(0), QStringLiteral("40"));
    EXPECT_EQ(emboss.slider(0)->value(), 15);
    emboss.accept();
    EXPECT_EQ(emboss.value(), 15);

    CDlgSpread spread(&source);
    QApplication::clipboard()->setText(QStringLiteral("1x2"));
    spread.edit(0)->selectAll();
    spread.edit(0)->paste();
    EXPECT_EQ(spread.edit(0)->text(), "5");
    spread.slider(0)->setValue(20);
    EXPECT_EQ(spread.edit(0)->text(), "20");
    spread.spin(0)->stepBy(1);
    EXPECT_EQ(spread.edit(0)->text(), "21");
    EXPECT_EQ(spread.slider(0)->value(), 21);
}

TEST(EffectDialogs, PreviewFollowsTheValue)
{
    const fipSuperImage source = patternImage(64, 48);
    CDlgSolarize dialog(&source);
    const fipSuperImage atDefault = dialog.preview()->image();  // 255: nothing above it
    EXPECT_TRUE(fixtures::samePixels(atDefault, dialog.baseImage()));
    typeInto(dialog.edit(0), QStringLiteral("10"));
    EXPECT_FALSE(fixtures::samePixels(dialog.preview()->image(), dialog.baseImage()));
    EXPECT_TRUE(fixtures::samePixels(dialog.baseImage(), atDefault));  // made once, never changed
}

TEST(EffectDialogs, MosaicAndWindScaleToTheSource)
{
    const fipSuperImage big = patternImage(4000, 3600);  // previews 200 x 180
    CDlgMosaic mosaic(&big);
    EXPECT_EQ(mosaic.baseImage().getWidth(), 200u);
    mosaic.accept();
    EXPECT_EQ(mosaic.value(), 100);

    const fipSuperImage wide = patternImage(480, 100);  // previews 240 x 50
    CDlgWind wind(&wide);
    EXPECT_EQ(wind.slider(0)->maximum(), 50);
    typeInto(wind.edit(0), QStringLiteral("3"));
    wind.rightButton()->click();
    wind.smoothBox()->click();
    wind.accept();
    EXPECT_EQ(wind.value(), 6);
    EXPECT_EQ(wind.direction(), 1);
    EXPECT_FALSE(wind.smooth());

    const fipSuperImage small = patternImage(15, 10);
    CDlgAverageBlur blur(&small);
    EXPECT_EQ(blur.slider(0)->maximum(), 9);
    EXPECT_EQ(blur.slider(0)->tickInterval(), 1);
    blur.accept();
    EXPECT_EQ(blur.value(), 9);  // the default 10 clamped to the source's 10 - 1
}

TEST(EffectDialogs, EnhanceColorsGammaAndDefaults)
{
    const fipSuperImage source = patternImage(64, 48);
    CDlgEnhanceColors dialog(&source);
    EXPECT_EQ(dialog.edit(CDlgEnhanceColors::Gamma)->text(), "1.00");
    dialog.slider(CDlgEnhanceColors::Gamma)->setValue(250);
    EXPECT_EQ(dialog.edit(CDlgEnhanceColors::Gamma)->text(), "2.50");
    typeInto(dialog.edit(CDlgEnhanceColors::Gamma), QStringLiteral("9.5"));
    EXPECT_EQ(dialog.slider(CDlgEnhanceColors::Gamma)->value(), 699);
    dialog.spin(CDlgEnhanceColors::Gamma)->stepBy(-1);
    EXPECT_EQ(dialog.edit(CDlgEnhanceColors::Gamma)->text(), "6.98");
    typeInto(dialog.edit(CDlgEnhanceColors::Red), QStringLiteral("-100"));
    typeInto(dialog.edit(CDlgEnhanceColors::Blue), QStringLiteral("100"));
    typeInto(dialog.edit(CDlgEnhanceColors::Brightness), QStringLiteral("-300"));
    EXPECT_FALSE(fixtures::samePixels(dialog.preview()->image(), dialog.originalPreview()->image()));
    dialog.accept();
    EXPECT_DOUBLE_EQ(dialog.gamma(), 6.98);
    EXPECT_DOUBLE_EQ(dialog.redGamma(), 0.01);
    EXPECT_DOUBLE_EQ(dialog.greenGamma(), 1.0);
    EXPECT_DOUBLE_EQ(dialog.blueGamma(), 6.99);
    EXPECT_EQ(dialog.brightness(), -100);

    dialog.defaultsButton()->click();
    for (int row = 0; row < dialog.valueCount(); ++row)
        EXPECT_EQ(dialog.edit(row)->text(), row == CDlgEnhanceColors::Gamma ? "1.00" : "0") << row;
    EXPECT_TRUE(fixtures::samePixels(dialog.preview()->image(), dialog.originalPreview()->image()));
}

TEST(EffectDialogs, ColorizePresetsAndAPickedColour)
{
    const fipSuperImage source = patternImage(64, 48);
    CDlgColorize dialog(&source);
    EXPECT_EQ(dialog.presetBox()->currentIndex(), 0);
    EXPECT_EQ(dialog.colorButton()->shownColor(), QColor(235, 138, 0));
    dialog.presetBox()->setCurrentIndex(9);  // Blue
    EXPECT_EQ(dialog.colorButton()->shownColor(), QColor(29, 53, 234));
    emit dialog.colorButton()->selectionEndOk(0x00FF00, 1233);
    EXPECT_EQ(dialog.presetBox()->currentIndex(), kColorizeCustom);
    dialog.accept();
    double hue = 0, saturation = 0, lightness = 0;
    fipSuperImage::RGBtoHSL(29, 53, 234, hue, saturation, lightness);
    EXPECT_DOUBLE_EQ(dialog.hue(), hue);
    EXPECT_DOUBLE_EQ(dialog.saturation(), saturation);
    EXPECT_EQ(dialog.amount(), 50);
}

TEST(EffectDialogs, OpenWithoutASource)
{
    // The command never does this, but a dialog must not fall over on an empty image.
    CDlgAdjustHSL hsl(nullptr);
    typeInto(hsl.edit(CDlgAdjustHSL::Hue), QStringLiteral("-40"));
    hsl.accept();
    EXPECT_EQ(hsl.hue(), -40);
    CDlgMosaic mosaic(nullptr);
    mosaic.accept();
    EXPECT_EQ(mosaic.value(), 0);
}
