#pragma once
// Printing the viewed image as it is now (edits included) on one page, fitted and centred.
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
