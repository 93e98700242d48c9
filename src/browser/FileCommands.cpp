#include "browser/FileCommands.h"

#include "app/MessageBoxSeam.h"
#include "app/WaitCursor.h"
#include "browser/CImageListCtrl.h"
#include "browser/CShellTree.h"
#include "browser/ThumbnailCache.h"
#include "imaging/ImagePrinting.h"
#include "imaging/JpegTransform.h"
#include "imaging/PageRotation.h"
#include "imaging/fipSuperImage.h"
#include "platform/FileClipboard.h"
#include "platform/FileOperations.h"
#include "platform/ShellActions.h"
#include "platform/ShellNamespace.h"
#include "platform/TransferWorker.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

namespace FileCommands {

namespace {

void setClipboard(const PathList& paths, bool cut)
{
    QApplication::clipboard()->setMimeData(FileClipboard::encode({paths, cut}).release());
}

std::optional<ClipboardFiles> clipboardFiles()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data ? FileClipboard::decode(*data) : std::nullopt;
}

ProgressObserver& progressObserver()
{
    static ProgressObserver observer;  // a test seam, like the message box handler
    return observer;
}

void reportError(QWidget* owner, const QString& caption, const QString& text)
{
    MessageBoxSeam::show({owner, caption, text, QMessageBox::Critical, QMessageBox::Ok});
}

QString nameOf(const QByteArray& path)
{
    return QFile::decodeName(fileNameOf(path));
}

bool isFolder(const QByteArray& path)
{
    return statPath(path).isDirectory;
}

}  // namespace

bool CopyToClipboard(const PathList& paths)
{
    if (paths.empty())
        return false;
    setClipboard(paths, false);
    return true;
}

bool CutToClipboard(const PathList& paths)
{
    if (paths.empty())
        return false;
    setClipboard(paths, true);
    return true;
}

bool ClipboardHasFiles()
{
    // Asked for by every command-state refresh: the flag kept from the clipboard's changes,
    // never a read that waits on the clipboard's owner.
    return FileClipboardState::instance().hasFiles();
}

ProgressObserver setProgressObserver(ProgressObserver observer)
{
    return std::exchange(progressObserver(), std::move(observer));
}

namespace {

FileOperations::ConflictChoice askConflict(QWidget* owner, const QString& caption, bool move,
                                           const FileOperations::Conflict& conflict)
{
    using FileOperations::ConflictChoice;
    const QString verb = move ? QStringLiteral("moving") : QStringLiteral("copying");
    const QString text =
        conflict.folders
            ? QStringLiteral("The destination already contains a folder named '%1'.\nDo you want to merge the folder you are %2 "
                             "into it? Nothing is removed from it; you are asked about each file of the same name.")
                  .arg(nameOf(conflict.existing), verb)
            : QStringLiteral("The destination already contains '%1'.\nDo you want to replace it with the one you are %2?")
                  .arg(nameOf(conflict.existing), verb);
    switch (MessageBoxSeam::show({owner, caption, text, QMessageBox::Question,
                                  QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll
                                      | QMessageBox::Cancel})) {
    case QMessageBox::Yes: return ConflictChoice::Replace;
    case QMessageBox::YesToAll: return ConflictChoice::ReplaceAll;
    case QMessageBox::No: return ConflictChoice::Skip;
    case QMessageBox::NoToAll: return ConflictChoice::SkipAll;
    default: return ConflictChoice::Cancel;
    }
}

// Hands the worker's posted events to the progress dialog and ends the wait.
class ProgressPump : public QObject {
public:
    ProgressPump(QProgressDialog& dialog, QEventLoop& loop) : m_dialog(dialog), m_loop(loop) {}
    bool finished = false;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == TransferWorker::ProgressEvent::type()) {
            const auto* p = static_cast<TransferWorker::ProgressEvent*>(e);
            m_dialog.setValue(p->total ? static_cast<int>(p->done * 1000 / p->total) : 0);
            if (progressObserver())
                progressObserver()(m_dialog);
            return true;
        }
        if (e->type() == TransferWorker::finishedEventType()) {
            finished = true;
            m_loop.quit();
            return true;
        }
        return QObject::event(e);
    }

private:
    QProgressDialog& m_dialog;
    QEventLoop& m_loop;
};

// Runs the plan on a worker behind a dialog that is modal from the moment it shows, so no other
// command can start while files are half moved. Work that ends within a moment shows none.
FileOperations::TransferResult runWithProgress(FileOperations::TransferPlan plan, QWidget* owner, const QString& caption)
{
    const bool move = plan.kind == FileOperations::TransferKind::Move;
    QProgressDialog dialog(move ? QStringLiteral("Moving files...") : QStringLiteral("Copying files..."),
                           QStringLiteral("Cancel"), 0, 1000, owner);
    dialog.setWindowTitle(caption);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    // The dialog stays up after Cancel until the worker has removed its unfinished item.
    // (The dialog makes that connection by name, so it is undone by name.)
    QObject::disconnect(&dialog, SIGNAL(canceled()), &dialog, SLOT(cancel()));
    QEventLoop loop;
    ProgressPump pump(dialog, loop);
    TransferWorker worker(std::move(plan), &pump);
    // Tests watch the dialog, so it always shows for them.
    if (!progressObserver() && worker.waitFor(std::chrono::milliseconds(50)))
        return worker.finish();

    bool cancelling = false;
    auto requestCancel = [&] {
        if (cancelling)
            return;
        cancelling = true;
        worker.cancel();
        dialog.setLabelText(QStringLiteral("Cancelling..."));
        loop.quit();
    };
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, requestCancel);
    QObject::connect(&dialog, &QDialog::rejected, &dialog, requestCancel);
    dialog.open();
    if (!pump.finished)
        loop.exec();
    // After a cancel only the worker's last events are awaited; input waits with them.
    while (!pump.finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    dialog.hide();
    return worker.finish();
}

}  // namespace

bool Transfer(bool move, const PathList& paths, const QByteArray& target, QWidget* owner)
{
    const QString caption = move ? QStringLiteral("Move Files") : QStringLiteral("Copy Files");
    // Every question is asked before any progress shows, so nothing covers it.
    FileOperations::TransferPlan plan = FileOperations::planTransfer(
        move ? FileOperations::TransferKind::Move : FileOperations::TransferKind::Copy, paths, target,
        [&](const FileOperations::Conflict& conflict) { return askConflict(owner, caption, move, conflict); });
    if (plan.cancelled)
        return false;
    const auto result = plan.steps.empty() ? FileOperations::runTransfer(plan) : runWithProgress(std::move(plan), owner, caption);
    if (!result.ok && !result.error.isEmpty())
        reportError(owner, caption, result.error);
    if (move)
        ThumbnailCache::forget(paths);
    return result.ok && !result.cancelled;
}

bool PasteFiles(QWidget* owner, const QByteArray& target)
{
    const auto files = clipboardFiles();
    if (!files || target.isEmpty())
        return false;
    // The clipboard keeps the old paths after a cut, as the file managers do.
    return Transfer(files->cut, files->paths, target, owner);
}

bool DeleteToTrash(const PathList& paths, QWidget* owner)
{
    if (paths.empty())
        return false;
    const QString question = paths.size() == 1
                                 ? QStringLiteral("Are you sure you want to move '%1' to the trash?").arg(nameOf(paths.front()))
                                 : QStringLiteral("Are you sure you want to move these %1 items to the trash?").arg(paths.size());
    if (MessageBoxSeam::show({owner, QStringLiteral("Confirm Delete"), question, QMessageBox::Question,
                              QMessageBox::Yes | QMessageBox::No})
        != QMessageBox::Yes)
        return false;
    bool all = true;
    for (const auto& path : paths) {
        QString error;
        if (!FileOperations::MoveToTrash(path, &error)) {
            all = false;
            reportError(owner, QStringLiteral("Delete"), error);
        }
    }
    ThumbnailCache::forget(paths);
    return all;
}

namespace {

bool toChosenFolder(bool move, const PathList& paths, QWidget* owner)
{
    if (paths.empty())
        return false;
    const QString folder = move ? ShellActions::ChooseFolder(owner, QStringLiteral("Move Files"), QStringLiteral("Select folder to move to"))
                                : ShellActions::ChooseFolder(owner, QStringLiteral("Copy Files"), QStringLiteral("Select folder to copy to"));
    if (folder.isEmpty())
        return false;
    return Transfer(move, paths, QFile::encodeName(folder), owner);
}

}  // namespace

bool CopyFilesToFolder(const PathList& paths, QWidget* owner)
{
    return toChosenFolder(false, paths, owner);
}

bool MoveFilesToFolder(const PathList& paths, QWidget* owner)
{
    return toChosenFolder(true, paths, owner);
}

QString CreateNewFolder(const QByteArray& folder, const QStringList& existingNames)
{
    if (folder.isEmpty())
        return {};
    const QString name = FileOperations::MakeNewFolderName(existingNames);
    return FileOperations::CreateFolder(joinPath(folder, QFile::encodeName(name))) ? name : QString();
}

bool askPrinterWithDialog(QWidget* owner, QPrinter& printer)
{
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

bool PrintFile(const QByteArray& path, QWidget* owner, const PrinterQuestion& askPrinter)
{
    if (!askPrinter)
        return false;
    fipSuperImage image;
    {
        WaitCursor wait;
        if (!image.load(QFile::decodeName(path)) || !image.isValid())
            return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(nameOf(path));
    printer.setPageOrientation(
        printOrientationFor(QSize(static_cast<int>(image.getWidth()), static_cast<int>(image.getHeight()))));
    if (!askPrinter(owner, printer))
        return false;
    WaitCursor wait;
    return printImage(image, printer);
}

// ---- List commands -------------------------------------------------------------------------

ListContext fromList(CImageListCtrl& list, CShellTree* tree, QWidget* owner, bool viewerMode)
{
    ListContext c;
    c.owner = owner;
    c.viewerMode = viewerMode;
    if (tree)
        c.refreshTree = [tree] { tree->RefreshNode(tree->currentItem()); };
    const auto& items = list.items();
    c.allMayCopy = c.allMayMove = c.allMayDelete = c.allSelectedImages = true;
    for (int i = 0; i < items.GetItemCount(); ++i) {
        if (!items.isSelected(i))
            continue;
        const FolderItem& item = items.at(i);
        c.selected.push_back(item.nativePath);
        c.allMayCopy &= (item.attributes & ShellAttr::CanCopy) != 0 && !item.nativePath.isEmpty();
        c.allMayMove &= (item.attributes & ShellAttr::CanMove) != 0 && !item.nativePath.isEmpty();
        c.allMayDelete &= (item.attributes & ShellAttr::CanDelete) != 0 && !item.nativePath.isEmpty();
        c.allSelectedImages &= item.kind == ItemKind::Image;
    }
    if (c.selected.empty())
        c.allMayCopy = c.allMayMove = c.allMayDelete = c.allSelectedImages = false;
    const int focused = list.GetFocusedItem();
    if (focused >= 0 && focused < items.GetItemCount()) {
        const FolderItem& item = items.at(focused);
        c.current = item.nativePath;
        c.currentSelected = items.isSelected(focused);
        c.currentIsFolder = item.kind == ItemKind::Folder || statPath(item.nativePath).isDirectory;
        c.currentIsImage = item.kind == ItemKind::Image;
        c.currentMayRename = (item.attributes & ShellAttr::CanRename) && item.fileSystem;
    }
    c.folder = QFile::encodeName(list.currentFolderPath());
    CImageListCtrl* listPtr = &list;
    c.rescan = [listPtr] { listPtr->Rescan(); };
    c.beginRename = [listPtr](const QString& name) {
        for (int i = 0; i < listPtr->GetItemCount(); ++i) {
            if (listPtr->items().at(i).displayName.compare(name, Qt::CaseInsensitive) == 0) {
                listPtr->setFocus();
                listPtr->selectOnly(i);
                listPtr->ensureVisible(i);
                listPtr->BeginLabelEdit(i);
                return;
            }
        }
    };
    return c;
}

bool handlesListCommand(int id)
{
    using namespace cmd;
    switch (id) {
    case Cut: case Copy: case Paste: case Delete: case CopyToFolder: case MoveToFolder: case NewFolder:
    case LocateOnDisk: case OpenWithProgram: case OpenWithEditor: case Properties: case Print:
    case CopyImageToClipboard: case RotateLeft: case RotateRight: case Rotate180:
        return true;
    default:
        return false;
    }
}

namespace {

// A selected folder takes the paste; with a file selected the paste goes beside it, so Copy then
// Paste in one folder makes copies there.
QByteArray pasteTarget(const ListContext& c)
{
    if (!c.selected.empty() && c.currentSelected && c.currentIsFolder)
        return c.current;
    return c.folder;
}

QByteArray subjectPath(const ListContext& c)
{
    return c.selected.empty() ? c.folder : c.current;
}

}  // namespace

bool isListCommandEnabled(int id, const ListContext& c)
{
    using namespace cmd;
    const bool something = !c.selected.empty();
    switch (id) {
    case Cut: case MoveToFolder:
        return !c.viewerMode && c.allMayMove;
    case Copy: case CopyToFolder:
        return !c.viewerMode && c.allMayCopy;
    case Paste: {
        const QByteArray target = pasteTarget(c);
        return !target.isEmpty() && isFolder(target) && ClipboardHasFiles();
    }
    case Delete:
        return something && c.allMayDelete;
    case NewFolder:
        return !c.folder.isEmpty();
    case LocateOnDisk:
        return !subjectPath(c).isEmpty();
    case OpenWithProgram: case OpenWithEditor:
        return !c.current.isEmpty() && !c.currentIsFolder;
    case Properties:
        return !subjectPath(c).isEmpty();
    case Print:
        return something && c.currentIsImage;
    case CopyImageToClipboard:
        return something && c.currentIsImage;
    case RotateLeft: case RotateRight: case Rotate180:
        return something && c.allSelectedImages;
    default:
        return false;
    }
}

namespace {

// A JPEG whose size allows it is turned losslessly: decoding and encoding it again would lower
// the quality of every photo turned in the browser.
bool rotateJpegLosslessly(const QString& path, double angle)
{
    if (fipSuperImage::getFileType(path) != FIF_JPEG)
        return false;
    const FREE_IMAGE_JPEG_OPERATION operation = angle == 90    ? FIJPEG_OP_ROTATE_270
                                                : angle == 270 ? FIJPEG_OP_ROTATE_90
                                                               : FIJPEG_OP_ROTATE_180;
    return JpegTransform::transformFile(path, path, operation, true);
}

bool rotateSelected(const ListContext& c, double angle)
{
    WaitCursor wait;
    bool any = false;
    for (const auto& path : c.selected) {
        // A file that cannot be loaded, rotated or saved is left out; the others still turn. Every
        // page of a multi-page file turns: loading and saving its first page would drop the rest.
        const QString name = QFile::decodeName(path);
        fipSuperImage image;
        if (rotateJpegLosslessly(name, angle)
            || (fipSuperImage::isMultiPageFile(name) ? PageRotation::rotateEveryPage(name, angle)
                                                     : image.load(name) && image.rotate(angle) && image.save(name, 0)))
            any = true;
    }
    if (any && c.rescan)
        c.rescan();
    return any;
}

}  // namespace

bool runListCommand(int id, const ListContext& c)
{
    using namespace cmd;
    if (!isListCommandEnabled(id, c))
        return false;
    switch (id) {
    case Cut:
        return CutToClipboard(c.selected);
    case Copy:
        return CopyToClipboard(c.selected);
    case Paste: {
        const bool ok = PasteFiles(c.owner, pasteTarget(c));
        if (c.rescan)
            c.rescan();
        return ok;
    }
    case Delete: {
        const bool ok = DeleteToTrash(c.selected, c.owner);
        if (c.rescan)
            c.rescan();
        if (c.refreshTree)
            c.refreshTree();
        return ok;
    }
    case CopyToFolder:
        return CopyFilesToFolder(c.selected, c.owner);
    case MoveToFolder: {
        const bool ok = MoveFilesToFolder(c.selected, c.owner);
        if (c.rescan)
            c.rescan();
        return ok;
    }
    case NewFolder: {
        const QStringList names = QDir(QFile::decodeName(c.folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        const QString name = CreateNewFolder(c.folder, names);
        if (name.isEmpty())
            return false;
        if (c.rescan)
            c.rescan();
        if (c.beginRename)
            c.beginRename(name);
        if (c.refreshTree)
            c.refreshTree();
        return true;
    }
    case LocateOnDisk:
        return ShellActions::LocateOnDisk(subjectPath(c));
    case OpenWithProgram:
        return ShellActions::OpenWithAssociatedProgram(c.current);
    case OpenWithEditor:
        return ShellActions::OpenWithAssociatedEditor(c.current);
    case Properties: {
        const QByteArray path = subjectPath(c);
        if (!isFolder(path) && c.showFileProperties) {
            c.showFileProperties(path);
            return true;
        }
        return ShellActions::ShowShellProperties(path);
    }
    case Print:
        return PrintFile(c.current, c.owner, c.askPrinter);
    case CopyImageToClipboard: {
        fipSuperImage image;
        return image.load(QFile::decodeName(c.current)) && image.copyToClipboard();
    }
    case RotateLeft:
        return rotateSelected(c, 90);
    case RotateRight:
        return rotateSelected(c, 270);
    case Rotate180:
        return rotateSelected(c, 180);
    default:
        return false;
    }
}

}  // namespace FileCommands
