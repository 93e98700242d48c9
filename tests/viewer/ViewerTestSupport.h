#pragma once
// Folders of small images and views over them for the viewer's tests.
#include "viewer/CImageView.h"
#include "viewer/ImageSequence.h"

#include "app/MessageBoxSeam.h"

#include "TestFixtures.h"

#include <QStringList>

#include <functional>
#include <memory>

#include <sys/resource.h>

namespace viewertest {

// Writes a lossless pattern image (PNG) of the given size.
QString writePatternPng(const QString& path, unsigned width, unsigned height);

// A TIFF of `pages` pattern pages, 10 + i pixels wide and 6 high.
QString writeMultiPageTiff(const QString& path, int pages);

// A view with its own Config.ini and Temp folder inside `dir`, sized `size`, in viewer mode.
std::unique_ptr<CImageView> makeView(const fixtures::TempDir& dir, QSize size);

// The change protocol with one undoable inversion.
void editImage(CImageView& view);

// A folder of images, a view over it, and the dialogs and message boxes answered by the test.
struct Viewer {
    fixtures::TempDir dir;
    QStringList files;
    std::unique_ptr<FileListSequence> sequence;
    std::unique_ptr<CImageView> view;
    int querySaveAnswer = QuerySaveCancel;
    QString saveAsChoice;
    int questions = 0;
    std::function<void()> whileAsking;

    QStringList messages;  // "caption|text" of every message box
    MessageBoxSeam::Request lastBox;
    QStringList trashed;
    QMessageBox::StandardButton boxAnswer = QMessageBox::Ok;
    MessageBoxSeam::Handler previousHandler;

    explicit Viewer(int count, QSize imageSize = QSize(500, 300));
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;
    // (Re)reads the folder and makes a fresh view over it.
    void start();
    // Opens `index` at 100%: a 500 x 300 image sits at (50, 50) of the 600 x 400 view.
    void open(int index, int page = 0);
    QPoint origin() const;
};

// Lets no file grow past `bytes` while it lives: writes fail half-way, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace viewertest
