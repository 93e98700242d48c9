#pragma once
// The program's image class: FreeImagePlus's fipImage with the file, format, geometry,
// device and pixel operations the viewer, browser and export use. Every operation works
// in place and returns non-zero on success; on failure the image is left as it was.

#include <FreeImagePlus.h>

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

class QPainter;
class QRect;

class fipSuperImage : public fipImage {
public:
    explicit fipSuperImage(FREE_IMAGE_TYPE imageType = FIT_BITMAP, unsigned width = 0,
                           unsigned height = 0, unsigned bpp = 0);
    fipSuperImage(const fipSuperImage& src);
    fipSuperImage& operator=(const fipSuperImage& src);
    fipSuperImage& operator=(const fipImage& src);
    fipSuperImage(fipSuperImage&& src) noexcept;
    fipSuperImage& operator=(fipSuperImage&& src) noexcept;
    ~fipSuperImage() override = default;

    // ---- Object, files -------------------------------------------------------------
    // Loads any format the library reads. Paths that are not regular files, and files the
    // library cannot identify, fail without touching the library's decoders.
    BOOL load(const char* path, int flag = 0);
    BOOL load(const QString& path, int flag = 0);
    // Writes through a temporary file beside the target and renames it over the target,
    // so a failed save never damages an existing file; the target's permissions are kept.
    BOOL save(const char* path, int flag = 0);
    BOOL save(const QString& path, int flag = 0);
    BOOL save(FREE_IMAGE_FORMAT fif, const QString& path, int flag = 0);
    // Picks the format from the file name and converts a depth the format cannot store.
    BOOL saveFitBPP(const QString& path, int flag = 0);
    // Format of a file by its content when it exists and is recognised, else by its name.
    static FREE_IMAGE_FORMAT getFileType(const QString& path);
    static FREE_IMAGE_FORMAT getFIFFromFilename(const QString& path);
    static bool isMultiPageFile(const QString& path);
    // Converts the image to a depth (and type) that `fif` can write.
    BOOL convertToSupportedBPP(FREE_IMAGE_FORMAT fif);

    // ---- Formats ---------------------------------------------------------------------
    // Name filters in Qt's syntax ("Description (*.a *.b)"), entries separated by ";;".
    static QString getOpenFileFilter();
    // Every format that can store this image (directly or after a depth conversion).
    QString getSaveFileFilter() const;
    // Every extension the library reads, lower case, without dots.
    static const std::vector<QString>& getAllFifExtList();
    static std::vector<FREE_IMAGE_FORMAT> getSupportsWritingFormats();
    // The first (preferred) extension of a format, without the dot.
    static QString getFIFExtension(FREE_IMAGE_FORMAT fif);
    static bool isImageExtension(const QString& extension);

    // ---- Queries ---------------------------------------------------------------------
    unsigned getBPP() const { return getBitsPerPixel(); }
    unsigned getDIBSize() const;
    BYTE* getBits() const { return accessPixels(); }
    // Dots per centimetre, as the library keeps them.
    double getResolutionX() const;
    double getResolutionY() const;
    void setResolution(double dotsPerCmX, double dotsPerCmY);
    // 256 counts; channel 1 red, 2 green, 3 blue, 5 black (luminance).
    BOOL getHistogram(DWORD* histo, FREE_IMAGE_COLOR_CHANNEL channel = FICC_BLACK) const;

    // ---- Geometry --------------------------------------------------------------------
    // Positive degrees turn counter-clockwise; multiples of 90 are exact.
    BOOL rotate(double angle, const void* bkcolor = nullptr);
    BOOL cut(int left, int top, int width, int height, RGBQUAD color);
    BOOL clearSubImage(int left, int top, int width, int height, RGBQUAD color);
    // position: 0 top-left, 1 top, 2 top-right, 3 left, 4 centre, 5 right,
    // 6 bottom-left, 7 bottom, 8 bottom-right.
    BOOL setCanvasSize(unsigned width, unsigned height, int position, RGBQUAD color);
    // Fits inside maxWidth × maxHeight keeping the aspect ratio; never enlarges.
    static BOOL makeThumbnail(fipImage& dst, const fipImage& src, unsigned maxWidth,
                              unsigned maxHeight, BOOL convert = TRUE);
    BOOL makeThumbnail(unsigned maxWidth, unsigned maxHeight, BOOL convert = TRUE);

    // ---- Device (Qt) -----------------------------------------------------------------
    // Draws the image stretched into `rect`; with `fillBackground` the rest of the painter's
    // window is filled with `background` first.
    void drawEx(QPainter& painter, const QRect& rect, bool fillBackground = false,
                QRgb background = 0) const;
    QImage toQImage() const;
    BOOL copyFromQImage(const QImage& image);
    // A byte buffer that restores the image bit-exactly for every image type and depth.
    QByteArray copyToHandle() const;
    BOOL copyFromHandle(const QByteArray& handle);
    BOOL copyToClipboard() const;
    BOOL pasteFromClipboard();
    BOOL replace(FIBITMAP* dib);
    BOOL convertFromRawBits(const BYTE* bits, int width, int height, int pitch, unsigned bpp,
                            unsigned redMask, unsigned greenMask, unsigned blueMask,
                            BOOL topDown = FALSE);

    // ---- Colour, effects ---------------------------------------------------------------
    // Implemented in effects/. Unless a comment says otherwise an operation accepts every
    // standard bitmap depth (1, 4, 8, 16, 24, 32 bits); palette images stay palette images with
    // valid indices, and the alpha of 32-bit images is kept. Other image types fail.

    // Negative of the colours; palette images invert their palette.
    BOOL invert();
    // 8-bit grey (Rec. 709 luminance). A 32-bit image with transparency stays 32-bit, grey,
    // with its alpha.
    BOOL convertToGrayscale();
    // bpp 1, 4, 8, 24 or 32. 1 is Floyd-Steinberg black and white; `grey` makes grey levels;
    // maxColors limits the palette (2..16 for 4 bits, 2..256 otherwise; 0 = no limit).
    BOOL adjustBPP(WORD bpp, BOOL grey, WORD maxColors);
    // order 0..4: RGB becomes RBG, BGR, BRG, GRB, GBR.
    BOOL swapChannels(int order);
    // brightness and contrast -100..100 (0 = unchanged), gamma 0.01..6.99 (1 = unchanged,
    // larger is brighter), then optionally the negative.
    BOOL adjustColors(double brightness, double contrast, double gamma, BOOL invert);
    BOOL adjustGammaRGB(double red, double green, double blue);
    // Each -100..100: hue turns the colour wheel by up to half a turn either way; saturation
    // and lightness move towards grey/black (negative) or full colour/white (positive).
    BOOL adjustHSL(int hue, int saturation, int lightness);
    // hue in degrees 0..360 (0 for greys), saturation and lightness 0..1.
    static void RGBtoHSL(BYTE red, BYTE green, BYTE blue, double& hue, double& saturation,
                         double& lightness);
    static void HSLtoRGB(double hue, double saturation, double lightness, BYTE& red,
                         BYTE& green, BYTE& blue);
    // Tints the picture with one colour (hue in degrees, saturation 0..1) keeping its
    // brightness; amount 0..1 blends the tint over the original.
    BOOL colorize(double hue, double saturation, double amount);
    BOOL sepia();
    // Inverts every colour sample above `threshold` (or below it when `aboveThreshold` is 0).
    BOOL solarize(BYTE threshold, BOOL aboveThreshold = TRUE);
    // level 0..255: colour noise of up to ±level/2 per sample (24 and 32 bits).
    BOOL addNoise(int level);
    // Mean of a size × size square around each pixel (any size ≥ 1, even beyond the image).
    BOOL averageBlur(int size);
    // Odd size × size kernel, rows top to bottom; result = round(sum / divisor) + bias,
    // clamped. A divisor of 0 means the kernel's sum (or 1 when that is 0).
    BOOL convolute(const int* kernel, int size, int divisor, int bias);
    // weight 1..15: grey relief lit from the top left.
    BOOL emboss(int weight);
    // Darkest value of each colour sample in a level × level square (odd sizes; 5 = 5 × 5).
    BOOL erode(int level);
    // Bright edges on black, three strengths.
    BOOL edgeDetectLight();
    BOOL edgeDetectMedium();
    BOOL edgeDetectHeavy();
    // Each pixel is replaced by a random one at most `amount` pixels away.
    BOOL spread(int amount);
    // Horizontal light and dark bands: swing 0..100 % brightness change, frequency 0..100
    // bands over the picture's height.
    BOOL stripe(int swing, int frequency);
    // Bright areas streak over `level` pixels; direction 0 blows to the left, 1 to the right;
    // smooth streaks fade out, others end sharply.
    BOOL wind(int level, int direction, BOOL smooth);
    // Square blocks of blockSize pixels from the top-left corner, each its mean colour.
    BOOL mosaic(int blockSize);
    // Turns strongly red pixels into the dark grey of a pupil (24 and 32 bits).
    BOOL removeRedEye();
    // Fills `buffer` with at most `size` characters of text art, lines ended by '\n', and a
    // terminating zero; fails when not one line fits.
    BOOL convertToAsciiText(char* buffer, std::size_t size) const;
    // Distinct colours among the pixels (alpha ignored); 0 for images it cannot count.
    unsigned getUniqueColors() const;
    // The source of addNoise and spread; the same seed gives the same results.
    static void setRandomSeed(std::uint64_t seed);
};
