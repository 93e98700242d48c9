#include "ViewerTestSupport.h"

#include "imaging/fipSuperImage.h"

namespace viewertest {

QString writePatternPng(const QString& path, unsigned width, unsigned height)
{
    fipSuperImage image = fixtures::patternImage(width, height);
    return image.save(path) ? path : QString();
}

std::unique_ptr<CImageView> makeView(const fixtures::TempDir& dir, QSize size)
{
    auto view = std::make_unique<CImageView>(ViewerSettings{dir.file(QStringLiteral("Temp")),
                                                            dir.file(QStringLiteral("Config.ini"))});
    view->resize(size);
    view->setViewerModeActive(true);
    view->show();
    return view;
}

}  // namespace viewertest
