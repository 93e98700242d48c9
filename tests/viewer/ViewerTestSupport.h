#pragma once
// Folders of small images and views over them for the viewer's tests.
#include "viewer/CImageView.h"
#include "viewer/ImageSequence.h"

#include "TestFixtures.h"

#include <QStringList>

#include <memory>

namespace viewertest {

// Writes a lossless pattern image (PNG) of the given size.
QString writePatternPng(const QString& path, unsigned width, unsigned height);

// A TIFF of `pages` pattern pages, 10 + i pixels wide and 6 high.
QString writeMultiPageTiff(const QString& path, int pages);

// A view with its own Config.ini and Temp folder inside `dir`, sized `size`, in viewer mode.
std::unique_ptr<CImageView> makeView(const fixtures::TempDir& dir, QSize size);

}  // namespace viewertest
