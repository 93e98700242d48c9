// Convolution kernels, average blur and mosaic: exact values on step edges, flat images that
// must stay flat at every depth, orientation, and the threaded path against a plain reference.

#include "EffectImages.h"

#include "imaging/effects/Neighbourhood.h"

#include <gtest/gtest.h>

#include <new>
#include <random>
#include <thread>
#include <vector>

using namespace effects_test;

namespace {

const std::vector<int> kGauss3{1, 2, 1, 2, 4, 2, 1, 2, 1};
const std::vector<int> kGauss5{0, 1, 2, 1, 0, 1, 3, 4, 3, 1, 2, 4, 8, 4, 2, 1, 3, 4, 3, 1, 0, 1, 2, 1, 0};
const std::vector<int> kSoften{1, 1, 1, 1, 8, 1, 1, 1, 1};
const std::vector<int> kSharpen{-1, -1, -1, -1, 15, -1, -1, -1, -1};

struct KernelCase {
    const char* name;
    const std::vector<int>* kernel;
    int size;
    int divisor;
    int left, right;             // the step: columns < width / 2 are `left`
    std::vector<int> expected;   // one row of the result
};

// Column sums do the work on a vertical step edge: Gaussian 3 × 3 is (4 8 4) / 16, soften
// (3 10 3) / 16 (halves that must round up), sharpen (−3 13 −3) / 7, Gaussian 5 × 5
// (4 12 20 12 4) / 52.
const KernelCase kCases[] = {
    {"Gaussian3", &kGauss3, 3, 16, 0, 200, {0, 0, 50, 150, 200, 200}},
    {"Soften", &kSoften, 3, 16, 0, 200, {0, 0, 38, 163, 200, 200}},
    {"Sharpen", &kSharpen, 3, 7, 100, 120, {100, 100, 91, 129, 120, 120}},
    {"SharpenClamps", &kSharpen, 3, 7, 0, 200, {0, 0, 0, 255, 200, 200}},
    {"Gaussian5", &kGauss5, 5, 52, 0, 200, {0, 0, 15, 62, 138, 185, 200, 200}},
};

class KernelValues : public ::testing::TestWithParam<KernelCase> {};

TEST_P(KernelValues, StepEdgeGivesExactValuesAtEveryDepth) {
    const KernelCase& k = GetParam();
    const unsigned width = unsigned(k.expected.size());
    const auto step = [&](unsigned x, unsigned) {
        const int v = x < width / 2 ? k.left : k.right;
        return Colour{v, v, v, 77};
    };
    for (const unsigned bpp : {24u, 32u}) {
        fipSuperImage img = makeImage(width, 4, bpp, step);
        ASSERT_TRUE(img.convolute(k.kernel->data(), k.size, k.divisor, 0));
        for (unsigned y = 0; y < 4; ++y)
            for (unsigned x = 0; x < width; ++x) {
                const int e = k.expected[x];
                EXPECT_EQ(colourAt(img, x, y), (Colour{e, e, e, bpp == 32 ? 77 : 255}))
                    << k.name << " bpp " << bpp << " at " << x << "," << y;
            }
    }
    fipSuperImage grey = makeGrey(width, 3, [&](unsigned x, unsigned y) { return step(x, y).r; });
    ASSERT_TRUE(grey.convolute(k.kernel->data(), k.size, k.divisor, 0));
    for (unsigned x = 0; x < width; ++x)
        EXPECT_EQ(indexAt(grey, x, 1), k.expected[x]) << k.name << " grey at " << x;
}

INSTANTIATE_TEST_SUITE_P(FourKernels, KernelValues, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Convolute, KernelRowsRunTopToBottomAndBiasIsAdded) {
    // Each pixel takes its neighbour below-right: the picture moves up and left.
    const std::vector<int> belowRight{0, 0, 0, 0, 0, 0, 0, 0, 1};
    fipSuperImage img = makeImage(4, 3, 24, [](unsigned x, unsigned y) {
        return Colour{int(10 * x), int(10 * y), 0};
    });
    ASSERT_TRUE(img.convolute(belowRight.data(), 3, 1, 5));
    EXPECT_EQ(colourAt(img, 0, 0), (Colour{15, 15, 5}));
    EXPECT_EQ(colourAt(img, 3, 2), (Colour{35, 25, 5}));  // replicated border
}

TEST(Convolute, RejectsMalformedKernels) {
    fipSuperImage img = flatImage(4, 4, 24, {9, 9, 9});
    const fipSuperImage before = img;
    EXPECT_FALSE(img.convolute(kGauss3.data(), 2, 16, 0));
    EXPECT_FALSE(img.convolute(kGauss3.data(), 0, 16, 0));
    EXPECT_FALSE(img.convolute(nullptr, 3, 16, 0));
    EXPECT_TRUE(samePixels(img, before));
}

// Every 8-bit value through kernels small enough for 16-bit sums and large enough for 32-bit
// ones, positive and negative: the quotient is rounded half away from zero, then biased.
TEST(Convolute, RoundsHalvesAwayFromZeroForEverySum) {
    const fipSuperImage ramp = makeImage(256, 2, 24, [](unsigned x, unsigned) {
        return Colour{int(x), int(x), int(x)};
    });
    struct Case { int centre, divisor, bias; };
    for (const Case c : {Case{1, 3, 0}, Case{-1, 3, 200}, Case{200, 600, 0}, Case{-200, 600, 200}, Case{1, 2, 0}, Case{-1, 2, 255}}) {
        const std::vector<int> kernel{0, 0, 0, 0, c.centre, 0, 0, 0, 0};
        fipSuperImage img = ramp;
        ASSERT_TRUE(img.convolute(kernel.data(), 3, c.divisor, c.bias));
        for (int v = 0; v < 256; ++v) {
            const long expected = std::lround(double(c.centre) * v / c.divisor) + c.bias;
            ASSERT_EQ(greyAt(img, unsigned(v), 0), std::clamp<long>(expected, 0, 255))
                << "centre " << c.centre << " divisor " << c.divisor << " value " << v;
        }
    }
}

TEST(Convolute, WeightsTooLargeForTheTableGiveTheSameAnswer) {
    std::vector<int> heavy;
    for (const int w : kGauss3)
        heavy.push_back(w * 2000);
    fipSuperImage img = makeImage(6, 3, 24, [](unsigned x, unsigned) {
        const int v = x < 3 ? 0 : 200;
        return Colour{v, v, v};
    });
    ASSERT_TRUE(img.convolute(heavy.data(), 3, 32000, 0));
    const int expected[] = {0, 0, 50, 150, 200, 200};
    for (unsigned x = 0; x < 6; ++x)
        EXPECT_EQ(greyAt(img, x, 1), expected[x]) << x;
}

// The vectorised, two-thread path against a plain per-pixel reference on a noisy image large
// enough to be split between threads.
TEST(Convolute, MatchesPlainReferenceOnLargeNoisyImage) {
    const unsigned width = 613, height = 509;
    const fipSuperImage source = noisyImage(width, height, 32, 7);
    for (const auto* kernel : {&kGauss5, &kSharpen}) {
        const int size = kernel == &kGauss5 ? 5 : 3, divisor = kernel == &kGauss5 ? 52 : 7, r = size / 2;
        fipSuperImage img = source;
        ASSERT_TRUE(img.convolute(kernel->data(), size, divisor, 3));
        int mismatches = 0;
        for (unsigned y = 0; y < height; ++y)
            for (unsigned x = 0; x < width; ++x) {
                int sums[3] = {0, 0, 0};
                for (int ky = -r; ky <= r; ++ky)
                    for (int kx = -r; kx <= r; ++kx) {
                        const Colour c = colourAt(source, unsigned(std::clamp(int(x) + kx, 0, int(width) - 1)),
                                                  unsigned(std::clamp(int(y) + ky, 0, int(height) - 1)));
                        const int w = (*kernel)[std::size_t((ky + r) * size + kx + r)];
                        sums[0] += w * c.r, sums[1] += w * c.g, sums[2] += w * c.b;
                    }
                int out[3];
                for (int i = 0; i < 3; ++i)
                    out[i] = std::clamp(int(std::lround(double(sums[i]) / divisor)) + 3, 0, 255);
                const Colour expected{out[0], out[1], out[2], colourAt(source, x, y).a};
                if (colourAt(img, x, y) != expected && ++mismatches < 5)
                    ADD_FAILURE() << "at " << x << "," << y << ": " << colourAt(img, x, y) << " != " << expected;
            }
        EXPECT_EQ(mismatches, 0);
    }
}

// Every image kind the viewer can open: a flat image must come out unchanged from every
// normalised kernel and the box blur, and palette images keep valid indices.
TEST(Kernels, FlatImagesStayFlatAtEveryDepth) {
    std::vector<std::pair<const char*, fipSuperImage>> images;
    images.emplace_back("grey8", makeGrey(9, 7, [](unsigned, unsigned) { return 77; }));
    images.emplace_back("palette8", makePalette8(9, 7, [](unsigned, unsigned) { return 40; }));
    images.emplace_back("rgb24", flatImage(9, 7, 24, {10, 120, 250}));
    images.emplace_back("rgba32", flatImage(9, 7, 32, {10, 120, 250, 33}));
    for (const unsigned bpp : {1u, 4u}) {
        fipSuperImage low = flatImage(9, 7, 24, {200, 30, 30});
        ASSERT_TRUE(bpp == 1 ? low.threshold(100) : low.convertTo4Bits());
        images.emplace_back(bpp == 1 ? "bits1" : "bits4", low);
    }
    fipSuperImage rgb565 = flatImage(9, 7, 24, {200, 100, 50});
    ASSERT_TRUE(rgb565.convertTo16Bits565());
    images.emplace_back("rgb565", rgb565);
    fipSuperImage rgb16 = flatImage(9, 7, 24, {200, 100, 50});
    ASSERT_TRUE(rgb16.convertToRGB16());
    images.emplace_back("rgb16", rgb16);
    fipSuperImage rgbaf = flatImage(9, 7, 32, {200, 100, 50, 128});
    ASSERT_TRUE(rgbaf.convertToRGBAF());
    images.emplace_back("rgbaf", rgbaf);

    for (const auto& [name, original] : images) {
        for (const auto* kernel : {&kGauss3, &kGauss5, &kSoften, &kSharpen}) {
            const int size = kernel == &kGauss5 ? 5 : 3;
            const int divisor = kernel == &kGauss5 ? 52 : (kernel == &kSharpen ? 7 : 16);
            fipSuperImage img = original;
            ASSERT_TRUE(img.convolute(kernel->data(), size, divisor, 0)) << name;
            EXPECT_TRUE(samePixels(img, original)) << name << " kernel size " << size << " divisor " << divisor;
        }
        for (const int size : {2, 3, 20, 500}) {
            fipSuperImage img = original;
            ASSERT_TRUE(img.averageBlur(size)) << name;
            EXPECT_TRUE(samePixels(img, original)) << name << " average blur " << size;
        }
    }
}

TEST(AverageBlur, MeansOfTheWindowAcrossAStep) {
    fipSuperImage img = makeImage(6, 5, 24, [](unsigned x, unsigned) {
        const int v = x < 3 ? 0 : 90;
        return Colour{v, v, v};
    });
    ASSERT_TRUE(img.averageBlur(3));
    const int expected[] = {0, 0, 30, 60, 90, 90};
    for (unsigned x = 0; x < 6; ++x)
        EXPECT_EQ(greyAt(img, x, 2), expected[x]) << x;
    EXPECT_FALSE(img.averageBlur(0));
}

TEST(AverageBlur, MatchesPlainMeansOfTheSquare) {
    const unsigned width = 300, height = 260;  // large enough for two threads
    const fipSuperImage source = noisyImage(width, height, 32, 13);
    for (const int size : {4, 7}) {
        fipSuperImage img = source;
        ASSERT_TRUE(img.averageBlur(size));
        const int lo = -(size - 1) / 2, hi = size / 2;
        for (unsigned y = 0; y < height; y += 7)
            for (unsigned x = 0; x < width; ++x) {
                int sum = 0;
                for (int dy = lo; dy <= hi; ++dy)
                    for (int dx = lo; dx <= hi; ++dx)
                        sum += colourAt(source, unsigned(std::clamp(int(x) + dx, 0, int(width) - 1)),
                                        unsigned(std::clamp(int(y) + dy, 0, int(height) - 1))).g;
                const Colour got = colourAt(img, x, y);
                ASSERT_EQ(got.g, int(std::lround(double(sum) / (size * size)))) << size << " at " << x << "," << y;
                ASSERT_EQ(got.a, colourAt(source, x, y).a);
            }
    }
}

// At extreme shapes every effect must run (the sanitizers watch the memory) and keep the size.
TEST(Kernels, ExtremeShapesWork) {
    for (const auto& [w, h] : {std::pair{1u, 1u}, {1u, 4000u}, {4000u, 1u}, {2u, 3u}}) {
        std::mt19937 random(w * 31 + h);
        const fipSuperImage source = makeImage(w, h, 32, [&](unsigned, unsigned) {
            return Colour{int(random() % 256), int(random() % 256), int(random() % 256), 99};
        });
        const std::vector<std::pair<const char*, std::function<BOOL(fipSuperImage&)>>> ops = {
            {"gauss5", [](fipSuperImage& i) { return i.convolute(kGauss5.data(), 5, 52, 0); }},
            {"sharpen", [](fipSuperImage& i) { return i.convolute(kSharpen.data(), 3, 7, 0); }},
            {"averageBlur", [](fipSuperImage& i) { return i.averageBlur(20); }},
            {"mosaic", [](fipSuperImage& i) { return i.mosaic(50); }},
            {"erode", [](fipSuperImage& i) { return i.erode(5); }},
            {"spread", [](fipSuperImage& i) { return i.spread(32); }},
            {"wind", [](fipSuperImage& i) { return i.wind(50, 1, FALSE); }},
            {"emboss", [](fipSuperImage& i) { return i.emboss(5); }},
            {"edges", [](fipSuperImage& i) { return i.edgeDetectHeavy(); }},
            {"stripe", [](fipSuperImage& i) { return i.stripe(25, 35); }},
            {"noise", [](fipSuperImage& i) { return i.addNoise(128); }},
            {"hsl", [](fipSuperImage& i) { return i.adjustHSL(10, 10, 10); }},
            {"colours", [](fipSuperImage& i) { return i.adjustColors(10, 10, 1.5, TRUE) && i.swapChannels(3); }},
            {"tints", [](fipSuperImage& i) { return i.colorize(10, 0.5, 0.5) && i.sepia() && i.solarize(9, TRUE); }},
            {"redEye", [](fipSuperImage& i) { return i.removeRedEye(); }},
        };
        for (const auto& [name, op] : ops) {
            fipSuperImage img = source;
            EXPECT_TRUE(op(img)) << name << " " << w << "x" << h;
            EXPECT_EQ(img.getWidth(), w);
            EXPECT_EQ(img.getHeight(), h);
            EXPECT_EQ(colourAt(img, w - 1, h - 1).a, 99) << name;
        }
        fipSuperImage counted = source;
        EXPECT_GE(counted.getUniqueColors(), 1u);
        char text[64];
        EXPECT_TRUE(counted.convertToAsciiText(text, sizeof text));
        for (const WORD bpp : {1, 4, 8, 24}) {
            fipSuperImage img = source;
            EXPECT_TRUE(img.adjustBPP(bpp, FALSE, bpp == 4 ? 16 : 0)) << bpp;
            EXPECT_TRUE(img.averageBlur(30)) << bpp;
        }
    }
}

TEST(Mosaic, BlocksFromTheTopLeftTakeTheirMeanColour) {
    fipSuperImage img = makeImage(5, 5, 24, [](unsigned x, unsigned y) {
        return Colour{int(10 * x), int(10 * y), int(x + y)};
    });
    ASSERT_TRUE(img.mosaic(2));
    // Top-left block: x 0..1, y 0..1 → red mean 5, green 5, blue mean of 0,1,1,2 = 1.
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 2; ++x)
            EXPECT_EQ(colourAt(img, x, y), (Colour{5, 5, 1}));
    // The last column is a block one pixel wide: x 4, y 2..3.
    EXPECT_EQ(colourAt(img, 4, 2), (Colour{40, 25, 7}));
    EXPECT_EQ(colourAt(img, 4, 3), (Colour{40, 25, 7}));
    EXPECT_EQ(colourAt(img, 4, 4), (Colour{40, 40, 8}));

    fipSuperImage whole = makeImage(3, 2, 24, [](unsigned x, unsigned) { return Colour{int(30 * x), 0, 0}; });
    ASSERT_TRUE(whole.mosaic(100));
    for (unsigned x = 0; x < 3; ++x)
        EXPECT_EQ(colourAt(whole, x, 1), (Colour{30, 0, 0}));
}

}  // namespace

// Memory that runs out while one band of the two-thread split is prepared, on the helper thread
// or on the calling one: the operation fails, the image is untouched, nobody waits forever.
TEST(TwoThreadSplit, MemoryRunningOutInEitherBandFailsTheOperationAndChangesNothing) {
    fipSuperImage image = makeImage(64, 512, 24, [](unsigned x, unsigned y) {
        return Colour{int(x * 3 % 256), int(y % 256), int((x + y) % 256)};
    });
    const kelvra::fx::ImageView view = kelvra::fx::viewOf(image, {kelvra::fx::SampleKind::U8, 3, 3});
    const std::vector<BYTE> before(view.bits, view.bits + view.pitch * view.height);
    const std::thread::id caller = std::this_thread::get_id();
    for (const bool failOnHelper : {true, false}) {
        bool sawHelper = false;
        const bool done = kelvra::fx::forEachNeighbourhood<BYTE>(view, 1, 1, std::size_t(1) << 18, [&] {
            const bool helper = std::this_thread::get_id() != caller;
            sawHelper = sawHelper || helper;
            if (helper == failOnHelper)
                throw std::bad_alloc();
            return [](const BYTE* const*, BYTE* out, unsigned) { out[0] = BYTE(~out[0]); };
        });
        EXPECT_FALSE(done) << failOnHelper;
        EXPECT_TRUE(std::equal(before.begin(), before.end(), view.bits)) << failOnHelper;
        EXPECT_TRUE(sawHelper || !failOnHelper) << "the image was not split";

        const bool ranges = kelvra::fx::parallelBands(512u, true, [&](unsigned, unsigned) {
            if ((std::this_thread::get_id() != caller) == failOnHelper)
                throw std::bad_alloc();
            return [&] { view.bits[0] = BYTE(~view.bits[0]); };
        });
        EXPECT_FALSE(ranges) << failOnHelper;
        EXPECT_EQ(view.bits[0], before[0]) << failOnHelper;
    }
}
