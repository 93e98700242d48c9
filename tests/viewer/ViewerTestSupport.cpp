#include "ViewerTestSupport.h"

#include "imaging/fipSuperImage.h"

#include <QFile>

namespace viewertest {

QString writePatternPng(const QString& path, unsigned width, unsigned height)
{
    fipSuperImage image = fixtures::patternImage(width, height);
    return image.save(path) ? path : QString();
}

QString writeMultiPageTiff(const QString& path, int pages)
{
    fipMultiPage multi;
    const QByteArray name = QFile::encodeName(path);
    if (!multi.open(name.constData(), TRUE, FALSE))
        return {};
    for (int i = 0; i < pages; ++i) {
        fipSuperImage page = fixtures::patternImage(10 + i, 6);
        multi.appendPage(page);
    }
    multi.close(0);
    return path;
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
