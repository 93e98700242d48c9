// The file commands of the viewer's context menu, on the open file: print, delete, rename,
// copy and move to a folder, and the desktop's locate, open-with and properties.
#include "viewer/CImageView.h"

#include "app/MessageBoxSeam.h"
#include "app/WaitCursor.h"
#include "imaging/fipSuperImage.h"
#include "platform/FileOperations.h"
#include "imaging/ImagePrinting.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>

void CImageView::SequenceChanged()
{
    settleStep();
    if (!m_sequence || m_itemPath.isEmpty())
        return;
    // An item that is gone keeps its old index: the neighbours are still found from there.
    const int index = m_sequence->findItem(m_itemPath);
    if (index >= 0)
        m_listIndex = index;
}

void CImageView::print()
{
    if (!m_dialogs.print)
        return;
    // What is printed is what is shown, edits included, not the file on disk.
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(m_filePath).fileName());
    printer.setPageOrientation(printOrientationFor(m_geometry.imageSize()));
    if (!m_dialogs.print(this, printer))
        return;
    WaitCursor wait;
    printImage(*m_image, printer);
}

void CImageView::deleteFile()
{
    if (!m_image || m_filePath.isEmpty())
        return;
    if (m_modified
        && MessageBoxSeam::show({this, QStringLiteral("Delete File"),
                                 QStringLiteral("The file has been changed. Do you really want to delete the file?"),
                                 QMessageBox::Question, QMessageBox::Yes | QMessageBox::No})
               != QMessageBox::Yes)
        return;
    // Taken before the list hears of the deletion and drops the item.
    const int next = m_sequence ? m_sequence->nextImage(m_listIndex) : -1;
    const int previous = m_sequence ? m_sequence->previousImage(m_listIndex) : -1;
    // A link's item goes, never the file it leads to in another folder.
    const QString path = m_itemPath.isEmpty() ? m_filePath : m_itemPath;
    if (!m_dialogs.moveToTrash || !m_dialogs.moveToTrash(path))
        return;
    ReleaseImage();
    OpenImageAt(next >= 0 ? next : previous, 0);
    viewport()->update();
    emit fileDeleted(path);
}

void CImageView::renameFile()
{
    if (!m_image || m_filePath.isEmpty() || !m_dialogs.askNewName)
        return;
    // As with Delete, a link is renamed itself; the file it leads to keeps its name.
    const QString subject = m_itemPath.isEmpty() ? m_filePath : m_itemPath;
    const auto name = m_dialogs.askNewName(this, subject);
    if (!name || *name == QFileInfo(subject).fileName())
        return;
    // The image stays open either way; a refused name changes nothing on disk.
    const QString newPath =
        QFile::decodeName(FileOperations::RenameInFolder(QFile::encodeName(subject), QFile::encodeName(*name)));
    if (newPath.isEmpty()) {
        MessageBoxSeam::show({this, QStringLiteral("Rename"),
                              QStringLiteral("Cannot rename '%1' to '%2'.").arg(QFileInfo(subject).fileName(), *name),
                              QMessageBox::Critical, QMessageBox::Ok});
        return;
    }
    // The list finds the item under its new name when it rescans.
    if (subject == m_filePath)
        m_filePath = newPath;
    if (!m_itemPath.isEmpty())
        m_itemPath = newPath;
    UpdateTitle();
    emit statusRefreshRequested();
}

void CImageView::copyFileToFolder()
{
    if (m_image && !m_filePath.isEmpty() && m_dialogs.transferToFolder)
        m_dialogs.transferToFolder(this, m_filePath, false);
}

void CImageView::moveFileToFolder()
{
    if (!m_image || m_filePath.isEmpty() || !m_dialogs.transferToFolder)
        return;
    if (m_modified && QuerySaveChanges() == 0)
        return;
    // Remembered by path: the list drops the moved item, and the indices after it shift.
    const int next = m_sequence ? m_sequence->nextImage(m_listIndex) : -1;
    const auto nextItem = next >= 0 ? m_sequence->itemAt(next) : std::nullopt;
    if (!m_dialogs.transferToFolder(this, m_filePath, true))
        return;
    ReleaseImage();
    OpenImageAt(nextItem ? m_sequence->findItem(nextItem->itemPath) : -1, 0);
    viewport()->update();
}
