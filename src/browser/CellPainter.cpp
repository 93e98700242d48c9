#include "browser/CellPainter.h"

#include "browser/ThumbSettings.h"
#include "imaging/fipSuperImage.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

QFont cellFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.5);
    return font;
}

QColor stateColor(bool selected, bool listHasFocus)
{
    if (!selected)
        return CellColors::Background;
    return listHasFocus ? CellColors::SelectedFocused : CellColors::SelectedUnfocused;
}

QSize drawnThumbnailSize(QSize thumb, QSize box, int fullWidth, int fullHeight)
{
    const int tw = thumb.width();
    const int th = thumb.height();
    if (tw <= 0 || th <= 0)
        return {};
    if (tw < th) {
        const int h = th >= box.height() ? box.height() : std::min(box.height(), std::max(fullHeight, th));
        return {static_cast<int>(static_cast<qint64>(tw) * h / th), h};
    }
    const int w = tw >= box.width() ? box.width() : std::min(box.width(), std::max(fullWidth, tw));
    return {w, static_cast<int>(static_cast<qint64>(th) * w / tw)};
}

namespace {

void fillBand(QPainter& p, const QRect& outer, int width, const QColor& color)
{
    // A band `width` pixels wide just inside `outer`.
    p.fillRect(QRect(outer.left(), outer.top(), outer.width(), width), color);
    p.fillRect(QRect(outer.left(), outer.bottom() - width + 1, outer.width(), width), color);
    p.fillRect(QRect(outer.left(), outer.top(), width, outer.height()), color);
    p.fillRect(QRect(outer.right() - width + 1, outer.top(), width, outer.height()), color);
}

}  // namespace

CellPaintResult paintCell(QPainter& p, const CellInput& in)
{
    CellPaintResult result;
    const int W = in.cell.width();
    const int H = in.cell.height();
    const QColor state = stateColor(in.selected, in.listHasFocus);
    p.fillRect(QRect(0, 0, W, H), CellColors::Background);

    const QFont font = cellFont();
    const QFontMetrics metrics(font);
    const int labelWidth = std::min(W, metrics.horizontalAdvance(in.label) + 4);
    const QRect label((W - labelWidth) / 2, H - 15, labelWidth, 15);
    const QRect pictureArea(0, 0, W, H - 17);

    const bool haveThumb = in.thumbnail && in.thumbnail->isValid() && in.thumbnail->getWidth() > 0
                           && in.thumbnail->getHeight() > 0;
    if (haveThumb) {
        // A thumbnail made for a screen of higher density is drawn at its size in cell pixels.
        const QSize own(qRound(in.thumbnail->getWidth() / in.deviceScale), qRound(in.thumbnail->getHeight() / in.deviceScale));
        const QSize drawn = drawnThumbnailSize(own, in.thumbBox, in.fullWidth, in.fullHeight);
        const QRect picture(pictureArea.left() + (pictureArea.width() - drawn.width()) / 2,
                            pictureArea.top() + (pictureArea.height() - drawn.height()) / 2, drawn.width(), drawn.height());
        const int b = frameWidthFor(std::max(drawn.width(), drawn.height()));
        const QRect frame = picture.adjusted(-b, -b, b, b);
        fillBand(p, frame.adjusted(-3, -3, 3, 3), 3, state);
        fillBand(p, frame, b, CellColors::Text);
        in.thumbnail->drawEx(p, picture);
        result.picture = picture;
        result.wantsNewThumbnail = drawn.width() != own.width();
    } else {
        QRect picture;
        if (in.browsableFolder && in.folderPicture && !in.folderPicture->isNull()) {
            picture = QRect(QPoint(0, 0), in.folderPicture->deviceIndependentSize().toSize());
            picture.moveCenter(pictureArea.center());
            picture.moveLeft(pictureArea.left() + (pictureArea.width() - picture.width()) / 2);
            picture.moveTop(pictureArea.top() + (pictureArea.height() - picture.height()) / 2);
            p.drawImage(picture.topLeft(), *in.folderPicture);
        } else if (in.icon && !in.icon->isNull()) {
            const QSize iconSize = in.icon->deviceIndependentSize().toSize();
            picture = QRect(pictureArea.left() + (pictureArea.width() - iconSize.width()) / 2,
                            pictureArea.top() + (pictureArea.height() - iconSize.height()) / 2, iconSize.width(),
                            iconSize.height());
            p.drawImage(picture.topLeft(), *in.icon);
        }
        const int b = frameWidthFor(std::max(picture.width(), picture.height()));
        const QRect box(pictureArea.left() + (pictureArea.width() - in.thumbBox.width()) / 2,
                        pictureArea.top() + (pictureArea.height() - in.thumbBox.height()) / 2, in.thumbBox.width(),
                        in.thumbBox.height());
        // Left and top edges b + 3 outside the box, right and bottom b + 2 outside.
        const QRect outline(box.left() - (b + 3), box.top() - (b + 3), box.width() + (b + 3) + (b + 2),
                            box.height() + (b + 3) + (b + 2));
        p.setPen(in.selected ? state : CellColors::UnselectedOutline);
        p.setBrush(Qt::NoBrush);
        p.drawRect(outline.adjusted(0, 0, -1, -1));
        result.picture = picture;
    }

    if (in.shortcut && in.shortcutOverlay && !in.shortcutOverlay->isNull()) {
        const QRect& pic = result.picture;
        const QRect overlay(pic.left(), pic.bottom() - 31, 32, 32);
        p.drawImage(overlay, *in.shortcutOverlay);
    }

    if (!in.editing) {
        p.fillRect(label, state);
        if (in.focused) {
            p.setPen(CellColors::FocusLight);
            p.drawLine(label.topLeft(), label.topRight());
            p.drawLine(label.topLeft(), label.bottomLeft());
            p.setPen(CellColors::FocusDark);
            p.drawLine(label.bottomLeft(), label.bottomRight());
            p.drawLine(label.topRight(), label.bottomRight());
        }
        p.setFont(font);
        p.setPen(CellColors::Text);
        const QString text = metrics.elidedText(in.label, Qt::ElideRight, label.width());
        p.drawText(label, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    return result;
}

void paintEmptyText(QPainter& p, const QRect& client)
{
    p.setFont(cellFont());
    p.setPen(CellColors::Text);
    const QRect area = client.adjusted(0, 10, 0, 0);
    p.drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, QString::fromLatin1(kEmptyFolderText));
}

QImage makeFolderPicture()
{
    QImage image(210, 209, QImage::Format_RGB32);
    image.fill(CellColors::Background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 110, 30), 4));
    p.setBrush(QColor(230, 180, 70));
    QPainterPath back;
    back.moveTo(12, 40);
    back.lineTo(80, 40);
    back.lineTo(96, 58);
    back.lineTo(198, 58);
    back.lineTo(198, 188);
    back.lineTo(12, 188);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 205, 95));
    p.drawRect(QRectF(12, 78, 186, 110));
    return image;
}

QImage makeShortcutOverlay(qreal ratio)
{
    QImage image(QSize(32, 32) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 17.5, 14, 14));
    p.setPen(QPen(QColor(0, 80, 200), 2.5));
    p.drawLine(QPointF(4, 29), QPointF(12, 21));
    p.drawLine(QPointF(7, 21), QPointF(12, 21));
    p.drawLine(QPointF(12, 21), QPointF(12, 26));
    return image;
}
