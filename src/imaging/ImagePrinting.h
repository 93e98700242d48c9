#pragma once
// Printing an image on one page, fitted and centred: the viewer prints what it shows, edits
// included; the browser prints files in any format the library reads.
#include <QPageLayout>
#include <QRect>
#include <QSize>

class QPainter;
class QPrinter;
class fipSuperImage;

// Wider images go on landscape pages.
QPageLayout::Orientation printOrientationFor(QSize image);
// Draws `image` as large as fits into `page` without distortion, centred.
void renderForPrint(const fipSuperImage& image, QPainter& painter, const QRect& page);
// One page on `printer`; false when the printer could not be started.
bool printImage(const fipSuperImage& image, QPrinter& printer);
