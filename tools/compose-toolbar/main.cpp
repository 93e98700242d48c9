// Composes "tool bar.png" at build time: every image of the recipe side by side, 24 pixels
// apart, the normal images in the left half and brighter "hot" copies in the right half.
// Images come from the icon theme's 24-pixel folder or are drawn here. With SCALE 2 it
// composes "tool bar@2x.png" from the theme's 48-pixel folder, every distance doubled.
//
//   compose-toolbar RECIPE ICON-FOLDER OUTPUT [SCALE]

#include <QColor>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <map>

namespace {

constexpr int kCell = 24;

QImage emptyCell(int scale)
{
    QImage image(kCell * scale, kCell * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A photograph: white mount, sky, sun and a hill.
void drawPhoto(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(0x55, 0x57, 0x53), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    const QRectF inner = r.adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient sky(inner.topLeft(), inner.bottomLeft());
    sky.setColorAt(0, QColor(0x34, 0x65, 0xa4));
    sky.setColorAt(1, QColor(0x72, 0x9f, 0xcf));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(inner);
    p.setBrush(QColor(0xfc, 0xe9, 0x4f));
    p.drawEllipse(QPointF(inner.right() - 3, inner.top() + 3), 1.8, 1.8);
    QPainterPath hill;
    hill.moveTo(inner.left(), inner.bottom());
    hill.cubicTo(inner.left() + inner.width() * 0.3, inner.top() + inner.height() * 0.35,
                 inner.left() + inner.width() * 0.6, inner.bottom(), inner.right(), inner.top() + inner.height() * 0.6);
    hill.lineTo(inner.bottomRight());
    hill.closeSubpath();
    p.setBrush(QColor(0x4e, 0x9a, 0x06));
    p.drawPath(hill);
}

void drawExport(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    drawPhoto(p, QRectF(1.5, 7.5, 15, 13));
    // An arrow leaving the picture towards the top right.
    QPainterPath head;
    head.moveTo(13, 4.5);
    head.lineTo(22.5, 1.5);
    head.lineTo(19.5, 11);
    head.closeSubpath();
    QPainterPath shaft;
    shaft.moveTo(8, 14);
    shaft.lineTo(10, 16);
    shaft.lineTo(18, 8);
    shaft.lineTo(16, 6);
    shaft.closeSubpath();
    const QPainterPath shape = head.united(shaft);
    QLinearGradient green(8, 16, 22, 2);
    green.setColorAt(0, QColor(0x4e, 0x9a, 0x06));
    green.setColorAt(1, QColor(0x8a, 0xe2, 0x34));
    p.setPen(QPen(QColor(0x2e, 0x5c, 0x03), 1));
    p.setBrush(green);
    p.drawPath(shape);
}

void drawCrop(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    // The part that stays, lightly tinted.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x72, 0x9f, 0xcf, 150));
    p.drawRect(QRectF(7, 7, 10, 10));
    QLinearGradient metal(0, 0, 24, 24);
    metal.setColorAt(0, QColor(0x88, 0x8a, 0x85));
    metal.setColorAt(1, QColor(0x2e, 0x34, 0x36));
    p.setPen(QPen(QColor(0x20, 0x22, 0x22), 1));
    p.setBrush(metal);
    // Two interlocking corners.
    QPainterPath first;
    first.addRect(QRectF(4.5, 1.5, 3, 18));
    first.addRect(QRectF(4.5, 16.5, 15, 3));
    QPainterPath second;
    second.addRect(QRectF(16.5, 4.5, 3, 18));
    second.addRect(QRectF(1.5, 4.5, 18, 3));
    p.drawPath(first.simplified());
    p.drawPath(second.simplified());
}

void drawRedEye(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath eye;
    eye.moveTo(1.5, 12);
    eye.quadTo(12, 0, 22.5, 12);
    eye.quadTo(12, 24, 1.5, 12);
    p.setPen(QPen(QColor(0x2e, 0x34, 0x36), 1.2));
    p.setBrush(Qt::white);
    p.drawPath(eye);
    p.setClipPath(eye);
    QRadialGradient iris(QPointF(12, 12), 6);
    iris.setColorAt(0, QColor(0xff, 0x40, 0x30));
    iris.setColorAt(1, QColor(0xa4, 0x00, 0x00));
    p.setPen(QPen(QColor(0x5c, 0x00, 0x00), 1));
    p.setBrush(iris);
    p.drawEllipse(QPointF(12, 12), 5.5, 5.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x10, 0x10, 0x10));
    p.drawEllipse(QPointF(12, 12), 2.3, 2.3);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(10.3, 10.2), 1.1, 1.1);
}

void drawColors(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    // Red, green and blue light adding up to white where all three meet.
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    p.setPen(Qt::NoPen);
    const struct {
        QPointF centre;
        QColor colour;
    } discs[] = {
        {{12, 8}, QColor(0xef, 0x29, 0x29)},
        {{8, 15}, QColor(0x29, 0xcf, 0x29)},
        {{16, 15}, QColor(0x29, 0x5f, 0xef)},
    };
    for (const auto& disc : discs) {
        p.setBrush(disc.colour);
        p.drawEllipse(disc.centre, 6.8, 6.8);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x2e, 0x34, 0x36, 160), 0.8));
    for (const auto& disc : discs)
        p.drawEllipse(disc.centre, 6.8, 6.8);
}

void drawPan(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    // An open hand: four fingers over a palm, the thumb to the left.
    QPainterPath hand;
    hand.addRoundedRect(QRectF(6.5, 10.5, 13, 11), 4, 4);
    const struct {
        double x;
        double top;
    } fingers[] = {{6.5, 4.5}, {9.8, 2.5}, {13.1, 3}, {16.4, 5.5}};
    for (const auto& finger : fingers)
        hand.addRoundedRect(QRectF(finger.x, finger.top, 3.1, 14 - finger.top), 1.55, 1.55);
    QPainterPath thumb;
    thumb.moveTo(7, 18);
    thumb.lineTo(2.2, 12.8);
    thumb.cubicTo(1.2, 11.6, 2.8, 9.8, 4.2, 10.8);
    thumb.lineTo(8, 14);
    thumb.closeSubpath();
    hand = hand.united(thumb).simplified();
    QLinearGradient skin(0, 2, 0, 22);
    skin.setColorAt(0, QColor(0xfc, 0xe5, 0xc8));
    skin.setColorAt(1, QColor(0xe9, 0xb9, 0x6e));
    p.setPen(QPen(QColor(0x8f, 0x59, 0x02), 1));
    p.setBrush(skin);
    p.drawPath(hand);
}

QImage ownPicture(const QString& name, int scale)
{
    static const std::map<QString, void (*)(QPainter&)> painters = {
        {QStringLiteral("export"), drawExport}, {QStringLiteral("crop"), drawCrop},
        {QStringLiteral("redeye"), drawRedEye}, {QStringLiteral("colors"), drawColors},
        {QStringLiteral("pan"), drawPan},
    };
    const auto found = painters.find(name);
    if (found == painters.end())
        return {};
    // Drawn in the 24-pixel cell's coordinates, at the picture's scale.
    QImage image = emptyCell(scale);
    QPainter p(&image);
    p.scale(scale, scale);
    found->second(p);
    return image;
}

QImage themeIcon(const QString& folder, const QString& name, int scale)
{
    QImage icon(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    if (icon.isNull())
        return icon;
    const int cell = kCell * scale;
    if (icon.size() != QSize(cell, cell))
        icon = icon.scaled(cell, cell, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return icon.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The hot image: every colour a third of the way towards white, the shape unchanged.
QImage brighter(const QImage& source)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            auto lift = [](int v) { return v + (255 - v) / 3; };
            line[x] = qRgba(lift(qRed(c)), lift(qGreen(c)), lift(qBlue(c)), qAlpha(c));
        }
    }
    return image;
}

int fail(const QString& message)
{
    std::fprintf(stderr, "compose-toolbar: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5)
        return fail(QStringLiteral("usage: compose-toolbar RECIPE ICON-FOLDER OUTPUT [SCALE]"));
    const QString recipePath = QString::fromLocal8Bit(argv[1]);
    const QString iconFolder = QString::fromLocal8Bit(argv[2]);
    const QString outputPath = QString::fromLocal8Bit(argv[3]);
    // 2 composes the picture for screens of twice the pixel density, from the theme's icons
    // of twice the size.
    const int scale = argc == 5 ? QString::fromLocal8Bit(argv[4]).toInt() : 1;
    if (scale < 1 || scale > 4)
        return fail(QStringLiteral("the scale must be 1 to 4"));

    QFile recipe(recipePath);
    if (!recipe.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1").arg(recipePath));

    QList<QImage> cells;
    QTextStream in(&recipe);
    int lineNumber = 0;
    while (!in.atEnd()) {
        ++lineNumber;
        QString line = in.readLine();
        line = line.left(line.indexOf(QLatin1Char('#'))).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool ok = false;
        const int index = fields.value(0).toInt(&ok);
        if (fields.size() != 2 || !ok)
            return fail(QStringLiteral("%1:%2: expected an index and a name").arg(recipePath).arg(lineNumber));
        if (index != cells.size())
            return fail(QStringLiteral("%1:%2: index %3 where %4 was due")
                            .arg(recipePath).arg(lineNumber).arg(index).arg(cells.size()));
        const QString name = fields[1];
        const QImage cell = name.startsWith(QStringLiteral("own:")) ? ownPicture(name.mid(4), scale)
                                                                    : themeIcon(iconFolder, name, scale);
        if (cell.isNull())
            return fail(QStringLiteral("%1:%2: no picture \"%3\" (is adwaita-icon-theme installed?)")
                            .arg(recipePath).arg(lineNumber).arg(name));
        cells.append(cell);
    }
    if (cells.isEmpty())
        return fail(QStringLiteral("%1 names no images").arg(recipePath));

    const int cell = kCell * scale;
    const int half = cell * static_cast<int>(cells.size());
    QImage picture(2 * half, cell, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    for (int n = 0; n < cells.size(); ++n) {
        painter.drawImage(cell * n, 0, cells[n]);
        painter.drawImage(half + cell * n, 0, brighter(cells[n]));
    }
    painter.end();
    if (!picture.save(outputPath, "PNG"))
        return fail(QStringLiteral("cannot write %1").arg(outputPath));
    return 0;
}
