#include "info/CExifInfoWnd.h"

#include <QFontDatabase>
#include <QPainter>
#include <QStringList>

#include <algorithm>

CExifInfoWnd::CExifInfoWnd(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ExifInfoWnd"));
    setAccessibleName(QStringLiteral("EXIF Information"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The desktop's own sans face, at the small size the strip was laid out for.
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPointSizeF(8.5);
    setFont(f);
}

void CExifInfoWnd::SetFile(const QString& path)
{
    m_texts = exiftext::forFile(path);
    // The facts are painted; a screen reader reads them from the description.
    QStringList facts;
    for (const Cell& cell : layout(m_texts, std::max(width(), 200)))
        if (!cell.text.trimmed().isEmpty())
            facts << cell.text.trimmed();
    setAccessibleDescription(facts.join(QStringLiteral(", ")));
}

std::vector<CExifInfoWnd::Cell> CExifInfoWnd::layout(const ExifTexts& t, int width)
{
    constexpr int kRowHeight = 16;
    const int leftEnd = width - 60;
    const int rightStart = width - 55;
    std::vector<Cell> cells;
    const auto left = [&](int top, const QString& text) {
        cells.push_back({QRect(QPoint(10, top), QPoint(leftEnd - 1, top + kRowHeight - 1)), text});
    };
    const auto right = [&](int top, const QString& text) {
        cells.push_back({QRect(QPoint(rightStart, top), QPoint(width - 1, top + kRowHeight - 1)), text});
    };
    const QString camera = t.camera();
    if (camera.size() > 1)
        left(5, camera);
    if (!t.exposureTime.isEmpty())
        right(5, t.exposureTime);
    if (!t.focalLength.isEmpty())
        left(21, QStringLiteral("Focal length: ") + t.focalLength);
    if (!t.aperture.isEmpty())
        right(21, t.aperture);
    if (!t.exposureProgram.isEmpty())
        left(37, t.exposureProgram);
    if (!t.isoSpeed.isEmpty())
        right(37, QStringLiteral("ISO: ") + t.isoSpeed);
    if (!t.exposureBias.isEmpty())
        left(53, QStringLiteral("Exposure bias: ") + t.exposureBias);
    return cells;
}

void CExifInfoWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(232, 232, 232));
    painter.setPen(QColor(78, 78, 78));
    const QFontMetrics metrics = painter.fontMetrics();
    for (const Cell& cell : layout(m_texts, width())) {
        // No clipping: a long text runs on past its cell, only cut with an ellipsis.
        const QString text = metrics.elidedText(cell.text, Qt::ElideRight, std::max(0, cell.rect.width()));
        painter.drawText(cell.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, text);
    }
}
