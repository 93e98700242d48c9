// Saving the viewed image: "Save Changes", Save As, and the write itself.
#include "viewer/CImageView.h"

#include "app/MessageBoxSeam.h"
#include "app/NativePath.h"
#include "app/WaitCursor.h"
#include "imaging/ImageLibrary.h"
#include "imaging/JpegQuality.h"
#include "imaging/SafeSave.h"
#include "imaging/decode/ImageDecoding.h"
#include "imaging/fipSuperImage.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

#include <FreeImage.h>

namespace {

bool samePath(const QString& a, const QString& b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// Writes every page of `source` to a new file at `target`, `current` in place of page
// `pageIndex`. The other pages are decoded by the helper, as for viewing: the source may be
// any file a user was sent. False, with nothing written worth keeping, when a page cannot be
// read.
bool writeMultiPage(FREE_IMAGE_FORMAT fif, const QString& source, const QString& target, int pageIndex,
                    FIBITMAP* current, int flags, bool& pageUnreadable)
{
    const QByteArray sourceName = NativePath::encode(source);
    const int count = Decode::countPages(sourceName);
    if (pageIndex < 0 || pageIndex >= count)
        return false;
    FIMULTIBITMAP* out =
        FreeImage_OpenMultiBitmap(fif, QFile::encodeName(target).constData(), TRUE, FALSE, FALSE, flags);
    if (!out)
        return false;
    bool ok = true;
    for (int i = 0; ok && i < count; ++i) {
        if (i == pageIndex) {
            FreeImage_AppendPage(out, current);
            continue;
        }
        const Decode::Decoded page = Decode::decodeImage(sourceName, i, 0, Decode::imageMemoryBudget());
        if (!page.ok()) {
            pageUnreadable = true;
            ok = false;
            break;
        }
        FreeImage_AppendPage(out, page.dib.get());
    }
    const bool closed = FreeImage_CloseMultiBitmap(out, flags) != FALSE;
    return ok && closed;
}

// The bits of the JPEG writer's flags that choose a quality.
constexpr int kJpegQualityFlags =
    0x7F | JPEG_QUALITYSUPERB | JPEG_QUALITYGOOD | JPEG_QUALITYNORMAL | JPEG_QUALITYAVERAGE | JPEG_QUALITYBAD;

// Without a quality of its own the writer would use 75, far below what photos come with:
// an edited photo keeps the quality of the file it was opened from.
int withJpegQuality(int flags, const QString& original)
{
    if ((flags & kJpegQualityFlags) != 0)
        return flags;
    return flags | JpegQuality::estimate(original).value_or(JpegQuality::kFallback);
}

}  // namespace

int CImageView::QuerySaveChanges()
{
    if (m_inQuerySave || !m_dialogs.querySave)
        return 0;
    m_inQuerySave = true;
    QString chosen;
    const QString filter = m_image ? m_image->getSaveFileFilter() : QString();
    const int answer = m_dialogs.querySave(this, m_filePath, filter, chosen);
    m_inQuerySave = false;
    switch (answer) {
    case QuerySaveSave: return SaveImageAs(m_filePath, 0) ? 1 : 0;
    case QuerySaveSaveAs: return !chosen.isEmpty() && SaveImageAs(chosen, 0) ? 1 : 0;
    case QuerySaveDiscard: return 1;
    default: return 0;
    }
}

void CImageView::saveAs()
{
    if (!m_image || !m_image->isValid() || !m_dialogs.saveFile)
        return;
    if (const auto chosen = m_dialogs.saveFile(this, m_filePath, m_image->getSaveFileFilter()))
        SaveImageAs(*chosen, 0);
}

bool CImageView::mayOverwriteViewedFile()
{
    // Another program (or another window) rewrote the file while it was shown here: its
    // work is not replaced unasked. A file that is gone loses nothing by being written.
    const FileStamp now = FileStamp::of(m_filePath);
    // A file too large for memory was opened reduced: writing over it would replace the
    // photo by its reduced copy for good.
    if (now.exists && m_fullSize.isValid()) {
        const QString text = QStringLiteral("The file '%1' is %2 x %3 pixels and was opened reduced to fit in "
                                            "memory.\nDo you want to replace it with the smaller image shown?")
                                 .arg(m_filePath)
                                 .arg(m_fullSize.width())
                                 .arg(m_fullSize.height());
        if (MessageBoxSeam::show({this, QStringLiteral("Save File"), text, QMessageBox::Warning,
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No})
            != QMessageBox::Yes)
            return false;
    }
    if (!now.exists || now == m_fileStamp)
        return true;
    const QString text = QStringLiteral("The file '%1' has been changed on disk since it was opened.\n"
                                        "Do you want to replace it with the image shown?")
                             .arg(m_filePath);
    return MessageBoxSeam::show({this, QStringLiteral("Save File"), text, QMessageBox::Warning,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No})
           == QMessageBox::Yes;
}

bool CImageView::SaveImageAs(const QString& path, int flags)
{
    if (path.isEmpty() || !m_image || !m_image->isValid())
        return false;
    const bool samePlace = samePath(path, m_filePath);
    // The file holds these very pixels: writing them again could only cost quality.
    if (samePlace && m_matchesFile) {
        m_modified = false;
        UpdateTitle();
        return true;
    }
    if (samePlace && !mayOverwriteViewedFile())
        return false;
    WaitCursor wait;
    const FREE_IMAGE_FORMAT source = fipSuperImage::getFileType(m_filePath);
    FREE_IMAGE_FORMAT target = samePlace ? source : fipSuperImage::getFileType(path);
    if (target == FIF_UNKNOWN)
        target = fipSuperImage::getFIFFromFilename(path);

    const auto fail = [&] {
        MessageBoxSeam::show({this, QStringLiteral("Save File"), QStringLiteral("Failed to save file '%1'.").arg(path),
                              QMessageBox::Critical, QMessageBox::Ok});
        return false;
    };
    if (target == FIF_UNKNOWN)
        return fail();
    if (target == FIF_JPEG)
        flags = withJpegQuality(flags, m_filePath);

    // A depth the format cannot take (by the library's own rule: some writers accept a depth
    // they then store wrongly) is converted on a copy, so a failed write leaves the image,
    // its depth and its history exactly as they were.
    std::optional<fipSuperImage> converted;
    if (!ImageLibrary::canStore(target, *m_image)) {
        converted.emplace(*m_image);
        if (!converted->convertToSupportedBPP(target))
            return fail();
    }
    fipSuperImage& out = converted ? *converted : *m_image;

    bool written = false;
    bool silent = false;
    if (m_pageCount > 1 && target == source) {
        // Built beside the target and renamed over it, also in place: the pages already
        // there are never half rewritten.
        const QString sourcePath = m_filePath;
        FIBITMAP* current = out;
        written = SafeSave::writeReplacing(path, [&](const QString& temp) {
            return writeMultiPage(target, sourcePath, temp, m_pageIndex, current, flags, silent);
        });
    } else {
        written = out.save(target, path, flags) != FALSE;
    }
    if (!written)
        return silent ? false : fail();

    if (converted) {
        // What was written is what is shown from now on; the old states have another depth.
        *m_image = std::move(*converted);
        m_undo.clear();
        m_matchesFile = false;
        RefreshAfterChange();
        viewport()->update();
    }

    // A look-ahead copy of the file just written would show the old pixels.
    if (m_preload.path() == path) {
        m_preload.wait();
        m_preload.free();
    }
    m_modified = false;
    if (samePlace) {
        m_matchesFile = true;
        m_fullSize = QSize();  // the file now holds the image as shown, reduced or not
        m_fileStamp = FileStamp::of(m_filePath);
    }
    UpdateTitle();
    return true;
}
