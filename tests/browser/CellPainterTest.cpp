#include "browser/CellPainter.h"
#include "browser/ThumbSettings.h"

#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cstdlib>

namespace {

// A cell of the default size (85) with a 60 × 40 thumbnail of one colour.
struct Cell {
    fipSuperImage thumb;
    QImage overlay = makeShortcutOverlay();
    CellInput in;
    Cell()
    {
        QImage red(60, 40, QImage::Format_RGB32);
        red.fill(QColor(200, 0, 0));
        thumb.copyFromQImage(red);
        const CellMetrics m = cellMetricsFor(85);
        in.cell = QSize(m.cellWidth, m.cellHeight);
        in.thumbBox = QSize(85, 85);
        in.thumbnail = &thumb;
        in.fullWidth = 60;
        in.fullHeight = 40;
        in.shortcutOverlay = &overlay;
        in.label = "photo.jpg";
    }
    QImage paint(CellPaintResult* result = nullptr) const
    {
        QImage image(in.cell, QImage::Format_RGB32);
        QPainter p(&image);
        const CellPaintResult r = paintCell(p, in);
        if (result)
            *result = r;
        return image;
    }
};

QColor at(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

}  // namespace

TEST(CellPainter, ThumbnailFrameBandAndLabelInEachSelectionState)
{
    Cell cell;
    CellPaintResult result;
    const QImage plain = cell.paint(&result);
    // 60 × 40 is smaller than the box and not enlarged: centred in the 105 × 118 picture area.
    EXPECT_EQ(result.picture, QRect(22, 39, 60, 40));
    EXPECT_FALSE(result.wantsNewThumbnail);
    const int b = frameWidthFor(60);
    EXPECT_EQ(at(plain, 40, 50), QColor(200, 0, 0));
    EXPECT_EQ(at(plain, 22 - 1, 50), QColor(255, 255, 255));       // frame
    EXPECT_EQ(at(plain, 22 - b - 1, 50), CellColors::Background);  // band, not selected
    EXPECT_EQ(at(plain, 2, 2), CellColors::Background);
    EXPECT_EQ(at(plain, 1, cell.in.cell.height() - 8), CellColors::Background);  // beside the label

    cell.in.selected = true;
    cell.in.listHasFocus = true;
    const QImage focused = cell.paint();
    EXPECT_EQ(at(focused, 22 - b - 1, 50), CellColors::SelectedFocused);
    EXPECT_EQ(at(focused, 22 - b - 3, 50), CellColors::SelectedFocused);
    EXPECT_EQ(at(focused, 22 - b - 4, 50), CellColors::Background);
    cell.in.listHasFocus = false;
    const QImage unfocused = cell.paint();
    EXPECT_EQ(at(unfocused, 22 - b - 1, 50), CellColors::SelectedUnfocused);

    // The focused item's label strip gets a light top-left and dark bottom-right outline.
    cell.in.selected = false;
    cell.in.focused = true;
    const QImage outlined = cell.paint();
    const int H = cell.in.cell.height();
    const int labelLeft = (cell.in.cell.width() - (QFontMetrics(cellFont()).horizontalAdvance("photo.jpg") + 4)) / 2;
    EXPECT_EQ(at(outlined, labelLeft + 1, H - 15), CellColors::FocusLight);
    EXPECT_EQ(at(outlined, labelLeft, H - 8), CellColors::FocusLight);
    EXPECT_EQ(at(outlined, labelLeft + 2, H - 1), CellColors::FocusDark);

    // While renamed, no strip at all.
    cell.in.editing = true;
    const QImage editing = cell.paint();
    EXPECT_EQ(at(editing, labelLeft + 1, H - 15), CellColors::Background);
}

TEST(CellPainter, ShortcutOverlayIconOutlineAndResizedThumbnails)
{
    Cell cell;
    const QImage plain = cell.paint();
    cell.in.shortcut = true;
    const QImage link = cell.paint();
    // The overlay sits at the picture's bottom-left corner and covers part of it.
    EXPECT_NE(plain.copy(22, 48, 32, 32), link.copy(22, 48, 32, 32));
    EXPECT_EQ(plain.copy(60, 39, 20, 5), link.copy(60, 39, 20, 5));

    // Without a thumbnail: the icon and a one-pixel outline around the thumbnail box.
    QImage icon(32, 32, QImage::Format_RGB32);
    icon.fill(Qt::blue);
    cell.in.shortcut = false;
    cell.in.thumbnail = nullptr;
    cell.in.icon = &icon;
    const QImage iconCell = cell.paint();
    const int b = frameWidthFor(32);
    const int boxLeft = (105 - 85) / 2;
    const int boxTop = (118 - 85) / 2;
    EXPECT_EQ(at(iconCell, boxLeft - (b + 3), 60), CellColors::UnselectedOutline);
    EXPECT_EQ(at(iconCell, boxLeft + 85 + b + 1, 60), CellColors::UnselectedOutline);
    EXPECT_EQ(at(iconCell, 60, boxTop - (b + 3)), CellColors::UnselectedOutline);
    EXPECT_EQ(at(iconCell, 52, 58), QColor(Qt::blue));

    // A big thumbnail after the size setting shrank is drawn smaller and asks for a new one.
    Cell big;
    QImage green(200, 150, QImage::Format_RGB32);
    green.fill(Qt::green);
    big.thumb.copyFromQImage(green);
    big.in.fullWidth = 2000;
    big.in.fullHeight = 1500;
    CellPaintResult result;
    big.paint(&result);
    EXPECT_EQ(result.picture.size(), QSize(85, 63));
    EXPECT_TRUE(result.wantsNewThumbnail);
    EXPECT_EQ(drawnThumbnailSize({85, 64}, {200, 200}, 1600, 1200), QSize(200, 150));
    EXPECT_EQ(drawnThumbnailSize({40, 20}, {200, 200}, 40, 20), QSize(40, 20));
    EXPECT_EQ(drawnThumbnailSize({30, 60}, {85, 85}, 300, 600), QSize(42, 85));
}

// On a screen of double density the folder picture and the icon, made at its pixels, take
// their size in cell pixels and land one picture pixel per screen pixel.
TEST(CellPainter, FolderPictureAndIconAtTheScreensDensity)
{
    // Black and white columns one screen pixel wide.
    const auto stripes = [](QSize device) {
        QImage image(device, QImage::Format_RGB32);
        for (int x = 0; x < device.width(); ++x)
            for (int y = 0; y < device.height(); ++y)
                image.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        image.setDevicePixelRatio(2);
        return image;
    };
    const QImage folder = stripes({170, 170});
    const QImage icon = stripes({64, 64});
    for (const bool isFolder : {true, false}) {
        Cell cell;
        cell.in.thumbnail = nullptr;
        cell.in.deviceScale = 2;
        cell.in.browsableFolder = isFolder;
        cell.in.folderPicture = &folder;
        cell.in.icon = &icon;
        QImage shot(cell.in.cell * 2, QImage::Format_RGB32);
        shot.setDevicePixelRatio(2);
        CellPaintResult result;
        {
            QPainter p(&shot);
            result = paintCell(p, cell.in);
        }
        const QSize logical = isFolder ? QSize(85, 85) : QSize(32, 32);
        EXPECT_EQ(result.picture.size(), logical) << isFolder;
        const int y = 2 * result.picture.center().y();
        for (int x = 2 * result.picture.left(); x < 2 * (result.picture.left() + logical.width()) - 1; ++x)
            ASSERT_GT(std::abs(qGray(shot.pixel(x, y)) - qGray(shot.pixel(x + 1, y))), 200) << isFolder << " " << x;
        if (!isFolder)
            continue;
        // The shortcut overlay's opaque pixels land one for one on the screen's.
        const QImage overlay = makeShortcutOverlay(2);
        cell.in.shortcut = true;
        cell.in.shortcutOverlay = &overlay;
        {
            QPainter p(&shot);
            result = paintCell(p, cell.in);
        }
        const QPoint corner(2 * result.picture.left(), 2 * (result.picture.bottom() - 31));
        int opaque = 0;
        for (int oy = 0; oy < overlay.height(); ++oy)
            for (int ox = 0; ox < overlay.width(); ++ox)
                if (qAlpha(overlay.pixel(ox, oy)) == 255) {
                    ++opaque;
                    ASSERT_EQ(shot.pixel(corner + QPoint(ox, oy)) & 0xFFFFFF, overlay.pixel(ox, oy) & 0xFFFFFF) << ox << " " << oy;
                }
        EXPECT_GT(opaque, 200);
    }
}

TEST(CellPainter, EmptyFolderTextIsWhiteNearTheTop)
{
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(CellColors::Background);
    QPainter p(&image);
    paintEmptyText(p, image.rect());
    p.end();
    int whiteTop = -1;
    for (int y = 0; y < image.height() && whiteTop < 0; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 255, 255)) {
                whiteTop = y;
                break;
            }
    EXPECT_GE(whiteTop, 10);
    EXPECT_LT(whiteTop, 30);
    for (int x = 0; x < image.width(); ++x)
        EXPECT_EQ(image.pixel(x, 60), CellColors::Background.rgb());
}
