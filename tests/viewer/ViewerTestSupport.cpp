#include "ViewerTestSupport.h"

#include "imaging/fipSuperImage.h"

#include <QFile>

#include <gtest/gtest.h>

#include <csignal>

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

void editImage(CImageView& view)
{
    ASSERT_TRUE(view.TakeUndoSnapshot());
    view.image()->invert();
    view.MarkChanged();
}

Viewer::Viewer(int count, QSize imageSize)
{
    previousHandler = MessageBoxSeam::setHandler([this](const MessageBoxSeam::Request& r) {
        messages << r.caption + u'|' + r.text;
        lastBox = r;
        return boxAnswer;
    });
    for (int i = 0; i < count; ++i)
        files << writePatternPng(dir.file(QStringLiteral("img%1.png").arg(i)), imageSize.width(), imageSize.height());
    start();
}

Viewer::~Viewer()
{
    view.reset();
    MessageBoxSeam::setHandler(previousHandler);
}

void Viewer::start()
{
    sequence = std::make_unique<FileListSequence>(FileListSequence::fromFolder(dir.path()));
    view = makeView(dir, QSize(600, 400));
    view->setSequence(sequence.get());
    ViewerDialogs dialogs;
    dialogs.querySave = [this](QWidget*, const QString&, const QString&, QString& chosen) {
        ++questions;
        if (whileAsking)
            whileAsking();
        chosen = saveAsChoice;
        return querySaveAnswer;
    };
    dialogs.saveFile = [this](QWidget*, const QString&, const QString&) -> std::optional<QString> {
        if (saveAsChoice.isEmpty())
            return std::nullopt;
        return saveAsChoice;
    };
    dialogs.pickColor = [](QWidget*, QColor) -> std::optional<QColor> { return QColor(0, 255, 0); };
    dialogs.moveToTrash = [this](const QString& path) {
        trashed << path;
        return QFile::remove(path);
    };
    view->setDialogs(dialogs);
}

void Viewer::open(int index, int page)
{
    view->OpenImageAt(index, page);
    view->OnActualSize();
}

QPoint Viewer::origin() const
{
    return QPoint(qRound(view->ImageToClientX(0)), qRound(view->ImageToClientY(0)));
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_saved);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_oldHandler);
}

}  // namespace viewertest
