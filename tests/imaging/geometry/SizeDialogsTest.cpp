// The size units and the Image menu's dialogs, driven through their real controls.
#include "imaging/geometry/DepthDialogs.h"
#include "imaging/geometry/SizeDialogs.h"
#include "imaging/geometry/SizeUnits.h"

#include "app/MessageBoxSeam.h"
#include "controls/CColorButton.h"
#include "imaging/dialogs/CDlgEffectBase.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace SizeUnits;

namespace {

const Source kPhoto{4000, 3000, 72.0, 72.0};

TEST(SizeUnits, ConversionsBetweenUnits)
{
    EXPECT_DOUBLE_EQ(convertResolution(300, ResolutionUnit::PerCm), 118.11);
    EXPECT_NEAR(convertResolution(118.11, ResolutionUnit::PerInch), 299.999, 1e-9);
    EXPECT_EQ(resizePixels(kPhoto, 50, 50, Unit::Percent, 1), QSize(2000, 1500));
    EXPECT_EQ(resizePixels(kPhoto, 10, 7.5, Unit::Inches, 1), QSize(720, 540));
    EXPECT_EQ(resizePixels(kPhoto, 10, 7.5, Unit::Inches, 2), QSize(1440, 1080));  // at 144 DPI
    EXPECT_EQ(resizePixels(kPhoto, 25.4, 2.54, Unit::Cm, 1), QSize(720, 72));
    EXPECT_DOUBLE_EQ(resizeUnitValue(kPhoto, 720, true, Unit::Inches, 1), 10.0);
    EXPECT_DOUBLE_EQ(resizeUnitValue(kPhoto, 720, true, Unit::Cm, 1), 25.4);
    EXPECT_DOUBLE_EQ(resizeUnitValue(kPhoto, 1000, false, Unit::Percent, 1), 33.333);
    EXPECT_EQ(canvasPixels({100, 50, 300, 150}, 1, 1, Unit::Inches), QSize(300, 150));
    EXPECT_EQ(formatValue(33.333, Unit::Percent), "33.333");
    EXPECT_EQ(formatValue(2249.5, Unit::Pixels), "2250");
    // The keep-aspect rule.
    EXPECT_EQ(heightForWidth(kPhoto, 3000), 2250);
    EXPECT_EQ(heightForWidth(kPhoto, 1), 1);
    EXPECT_TRUE(consistent(kPhoto, 2000, 1500));
    EXPECT_FALSE(consistent(kPhoto, 640, 640));
    // An image without a stored resolution counts as 72 DPI, so nothing divides by 0.
    EXPECT_DOUBLE_EQ(dpiFromDotsPerCm(0), kFallbackDpi);
    EXPECT_NEAR(dpiFromDotsPerCm(28.346456692913385), 72.0, 1e-9);
    EXPECT_EQ(roundHalfAway(-2.5), -3);
    EXPECT_EQ(roundHalfAway(2.5), 3);
}

// Collects message boxes instead of showing them.
struct Boxes {
    QStringList texts;
    MessageBoxSeam::Handler previous;
    Boxes()
    {
        previous = MessageBoxSeam::setHandler([this](const MessageBoxSeam::Request& r) {
            texts << r.caption + "|" + r.text;
            return QMessageBox::Ok;
        });
    }
    ~Boxes() { MessageBoxSeam::setHandler(previous); }
};

void choose(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

TEST(ResizeDialog, StandardSizesKeepAspectAndUnits)
{
    CDlgResize d(kPhoto);
    EXPECT_EQ(d.windowTitle(), "Resize");
    EXPECT_EQ(d.currentSizeText(), "4000 x 3000");
    EXPECT_EQ(d.dpiEdit()->text(), "72");
    EXPECT_EQ(d.filterCombo()->currentText(), "Bilinear");
    EXPECT_TRUE(d.keepAspectBox()->isChecked());

    choose(d.standardSizeCombo(), 7);  // 50%
    EXPECT_EQ(d.widthUnitCombo()->currentText(), "%");
    EXPECT_TRUE(d.keepAspectBox()->isChecked());
    EXPECT_EQ(d.newSizeText(), "2000 x 1500");

    choose(d.standardSizeCombo(), 1);  // 640 x 480
    EXPECT_FALSE(d.keepAspectBox()->isChecked());
    EXPECT_EQ(d.newSizeText(), "640 x 480");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(QSize(d.newWidth(), d.newHeight()), QSize(640, 480));

    CDlgResize typed(kPhoto);
    typed.widthEdit()->setText("3000");
    EXPECT_EQ(typed.heightEdit()->text(), "2250");
    EXPECT_EQ(typed.standardSizeCombo()->currentIndex(), 0);
    choose(typed.widthUnitCombo(), 1);  // inches at 72 DPI
    EXPECT_EQ(typed.heightUnitCombo()->currentText(), "inches");
    EXPECT_EQ(typed.widthEdit()->text(), "41.667");
    EXPECT_EQ(typed.heightEdit()->text(), "31.250");
    typed.dpiEdit()->setText("300");
    choose(typed.dpiUnitCombo(), 1);
    EXPECT_EQ(typed.dpiEdit()->text(), "118.11");
}

TEST(ResizeDialog, OkRefusesBadDpiAndSizes)
{
    Boxes boxes;
    struct Case { QString width, dpi, message; };
    const Case cases[] = {
        {"10000", "72", "Resize|Image size is invalid!"},
        {"0", "72", "Resize|Image size is invalid!"},
        {"100", "6000", "Resize|DPI is invalid!"},
        {"abc", "72", "Resize|Please enter a number."},
    };
    for (const Case& c : cases) {
        CDlgResize d(kPhoto);
        d.keepAspectBox()->setChecked(false);
        d.widthEdit()->setText(c.width);
        d.dpiEdit()->setText(c.dpi);
        boxes.texts.clear();
        d.accept();
        EXPECT_EQ(boxes.texts, QStringList{c.message}) << c.width.toStdString();
        EXPECT_NE(d.result(), QDialog::Accepted);
    }
    // An image without a stored resolution opens at 72 DPI and resizes normally.
    CDlgResize noDpi(Source{400, 300});
    EXPECT_EQ(noDpi.dpiEdit()->text(), "72");
    choose(noDpi.standardSizeCombo(), 6);
    noDpi.accept();
    EXPECT_EQ(noDpi.newWidth(), 100);
    EXPECT_DOUBLE_EQ(noDpi.newDpiX(), 72.0);
}

TEST(CanvasDialog, StartsCentredOnWhiteWithTheSourceSize)
{
    CDlgResizeCanvas d(Source{400, 300, 100, 100});
    EXPECT_EQ(d.windowTitle(), "Resize Canvas");
    EXPECT_EQ(d.positionCombo()->currentText(), "Center");
    EXPECT_EQ(d.colorButton()->color(), 0xFFFFFFu);
    EXPECT_FALSE(d.keepAspectBox()->isChecked());
    choose(d.widthUnitCombo(), 1);
    EXPECT_EQ(d.widthEdit()->text(), "4.000");
    d.widthEdit()->setText("5");
    EXPECT_EQ(d.newSizeText(), "500 x 300");
    Boxes boxes;
    d.heightEdit()->setText("100");  // 10000 pixels
    d.accept();
    EXPECT_EQ(boxes.texts, QStringList{"Resize|Image size is invalid!"});
    EXPECT_TRUE(d.heightEdit()->hasSelectedText());
}

TEST(SetDpiDialog, IntegersFrom1To9999)
{
    Boxes boxes;
    CDlgSetDPI d(299.6, 0.4);
    EXPECT_EQ(d.xEdit()->text(), "300");
    EXPECT_EQ(d.yEdit()->text(), "1");
    const std::pair<QString, QString> cases[] = {
        {"abc", "Set DPI|Please enter an integer."},
        {"0", "Set DPI|Please enter an integer between 1 and 9999."},
        {"10000", "Set DPI|Please enter an integer between 1 and 9999."},
    };
    for (const auto& [text, message] : cases) {
        boxes.texts.clear();
        d.yEdit()->setText(text);
        d.accept();
        EXPECT_EQ(boxes.texts, QStringList{message});
        EXPECT_TRUE(d.xEdit()->hasSelectedText());
    }
    d.yEdit()->setText("72");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.dpiY(), 72);
}

TEST(ChangeDepthDialog, StartLimitsAndValidation)
{
    const std::pair<unsigned, int> starts[] = {{1, 0}, {4, 1}, {8, 2}, {16, 0}, {24, 3}, {32, 4}};
    for (const auto& [depth, index] : starts)
        EXPECT_EQ(CDlgChangeBPP(depth).depthIndex(), index) << depth;

    CDlgChangeBPP d(24);
    EXPECT_EQ(d.windowTitle(), "Change Color Depth");
    EXPECT_FALSE(d.limitBox()->isChecked());
    EXPECT_FALSE(d.colorsEdit()->isEnabled());
    d.limitBox()->click();
    EXPECT_TRUE(d.colorsEdit()->isEnabled());
    d.colorsEdit()->setText("200");
    d.chooseDepth(1);
    EXPECT_EQ(d.colorsEdit()->text(), "16");
    d.chooseDepth(0);
    EXPECT_FALSE(d.limitBox()->isEnabled());
    EXPECT_TRUE(d.greyBox()->isChecked());
    EXPECT_FALSE(d.colorsEdit()->isEnabled());

    Boxes boxes;
    d.chooseDepth(2);
    d.limitBox()->click();
    d.colorsEdit()->setText("1");
    d.accept();
    EXPECT_EQ(boxes.texts, QStringList{"Change Color Depth|You must specify a valid maximum number of colors (2 - 256)."});
    d.colorsEdit()->setText("8");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.bpp(), 8);
    EXPECT_EQ(d.maxColors(), 8);
}

}  // namespace
