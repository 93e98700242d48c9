// Which image kinds each operation accepts. Accepted kinds must succeed and keep their depth
// (and a valid palette); refused kinds must fail and leave the image exactly as it was.

#include "EffectImages.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>

using namespace effects_test;

namespace {

std::map<std::string, fipSuperImage> everyKind() {
    std::mt19937 random(5);
    const fipSuperImage rgb = makeImage(19, 13, 24, [&](unsigned, unsigned) {
        return Colour{int(random() % 256), int(random() % 256), int(random() % 256)};
    });
    std::map<std::string, fipSuperImage> kinds;
    const auto add = [&](const std::string& name, const std::function<BOOL(fipSuperImage&)>& convert) {
        fipSuperImage img = rgb;
        EXPECT_TRUE(convert(img)) << name;
        kinds.emplace(name, img);
    };
    add("1", [](fipSuperImage& i) { return i.threshold(128); });
    add("4", [](fipSuperImage& i) { return i.convertTo4Bits(); });
    add("8grey", [](fipSuperImage& i) { return i.convertToGrayscale(); });
    add("8palette", [](fipSuperImage& i) { return i.colorQuantize(FIQ_WUQUANT); });
    add("16", [](fipSuperImage& i) { return i.convertTo16Bits555(); });
    add("24", [](fipSuperImage&) { return TRUE; });
    add("32", [](fipSuperImage& i) { return i.convertTo32Bits(); });
    add("uint16", [](fipSuperImage& i) { return i.convertToUINT16(); });
    add("rgb16", [](fipSuperImage& i) { return i.convertToRGB16(); });
    add("rgbaf", [](fipSuperImage& i) { return i.convertToRGBAF(); });
    add("double", [](fipSuperImage& i) { return i.convertToGrayscale() && i.convertToType(FIT_DOUBLE); });
    return kinds;
}

const std::set<std::string> kBitmaps{"1", "4", "8grey", "8palette", "16", "24", "32"};
const std::set<std::string> kOpenable{"1", "4", "8grey", "8palette", "16", "24", "32", "uint16", "rgb16", "rgbaf"};

struct Rule {
    const char* name;
    std::function<BOOL(fipSuperImage&)> run;
    std::set<std::string> accepted;
};

const int kSharpen[] = {-1, -1, -1, -1, 15, -1, -1, -1, -1};

const Rule kRules[] = {
    {"invert", [](fipSuperImage& i) { return i.invert(); }, kBitmaps},
    {"swapChannels", [](fipSuperImage& i) { return i.swapChannels(2); }, kBitmaps},
    {"adjustColors", [](fipSuperImage& i) { return i.adjustColors(10, 10, 1.2, FALSE); }, kBitmaps},
    {"adjustGammaRGB", [](fipSuperImage& i) { return i.adjustGammaRGB(1.2, 0.8, 1); }, kBitmaps},
    {"adjustHSL", [](fipSuperImage& i) { return i.adjustHSL(20, -20, 10); }, kBitmaps},
    {"colorize", [](fipSuperImage& i) { return i.colorize(30, 0.5, 0.5); }, kBitmaps},
    {"sepia", [](fipSuperImage& i) { return i.sepia(); }, kBitmaps},
    {"solarize", [](fipSuperImage& i) { return i.solarize(128, TRUE); }, kBitmaps},
    {"removeRedEye", [](fipSuperImage& i) { return i.removeRedEye(); }, kBitmaps},
    {"addNoise", [](fipSuperImage& i) { return i.addNoise(50); }, {"24", "32"}},
    {"convolute", [](fipSuperImage& i) { return i.convolute(kSharpen, 3, 7, 0); }, kOpenable},
    {"averageBlur", [](fipSuperImage& i) { return i.averageBlur(4); }, kOpenable},
    {"mosaic", [](fipSuperImage& i) { return i.mosaic(4); }, kOpenable},
    {"emboss", [](fipSuperImage& i) { return i.emboss(5); }, kBitmaps},
    {"erode", [](fipSuperImage& i) { return i.erode(5); }, kBitmaps},
    {"edgeDetectMedium", [](fipSuperImage& i) { return i.edgeDetectMedium(); }, kBitmaps},
    {"spread", [](fipSuperImage& i) { return i.spread(3); }, kBitmaps},
    {"stripe", [](fipSuperImage& i) { return i.stripe(25, 35); }, kBitmaps},
    {"wind", [](fipSuperImage& i) { return i.wind(5, 0, TRUE); }, kBitmaps},
};

void PrintTo(const Rule& rule, std::ostream* os) { *os << rule.name; }

class AcceptedDepths : public ::testing::TestWithParam<Rule> {};

TEST_P(AcceptedDepths, AcceptsItsKindsAndRefusesOthersUntouched) {
    const Rule& rule = GetParam();
    for (const auto& [kind, original] : everyKind()) {
        fipSuperImage img = original;
        const bool accepted = rule.accepted.count(kind) > 0;
        EXPECT_EQ(rule.run(img) != FALSE, accepted) << rule.name << " on " << kind;
        if (!accepted) {
            EXPECT_TRUE(samePixels(img, original)) << rule.name << " changed a refused " << kind;
            continue;
        }
        EXPECT_EQ(img.getBitsPerPixel(), original.getBitsPerPixel()) << rule.name << " on " << kind;
        EXPECT_EQ(img.getImageType(), original.getImageType());
        if (original.getBitsPerPixel() <= 8 && original.getImageType() == FIT_BITMAP) {
            const unsigned entries = img.getPaletteSize() / sizeof(RGBQUAD);
            for (unsigned y = 0; y < img.getHeight(); ++y)
                for (unsigned x = 0; x < img.getWidth(); ++x) {
                    BYTE index = 0;
                    ASSERT_TRUE(img.getPixelIndex(x, y, &index));
                    ASSERT_LT(index, entries) << rule.name << " on " << kind;
                }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, AcceptedDepths, ::testing::ValuesIn(kRules),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AcceptedDepths, EmptyImagesAreRefused) {
    fipSuperImage empty;
    EXPECT_FALSE(empty.invert());
    EXPECT_FALSE(empty.averageBlur(3));
    EXPECT_FALSE(empty.adjustHSL(1, 1, 1));
    EXPECT_FALSE(empty.adjustBPP(24, FALSE, 0));
    EXPECT_EQ(empty.getUniqueColors(), 0u);
    char text[8];
    EXPECT_FALSE(empty.convertToAsciiText(text, sizeof text));
}

}  // namespace
