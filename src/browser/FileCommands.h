#pragma once
// The file commands shared by the thumbnail list and the folder trees, and the list's own
// file commands. The work is done by FileOperations; this layer asks the user (through
// MessageBoxSeam and the folder chooser seam), shows progress for long work and reports
// every failure, so no file is lost without a word.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class CImageListCtrl;
class CShellTree;
class QPrinter;
class QProgressDialog;
class QWidget;

using PathList = std::vector<QByteArray>;

namespace FileCommands {

bool CopyToClipboard(const PathList& paths);
bool CutToClipboard(const PathList& paths);
// Whether the clipboard names at least one local file.
bool ClipboardHasFiles();
// Pastes into `target`: copies, or moves a cut (the clipboard keeps the old paths).
bool PasteFiles(QWidget* owner, const QByteArray& target);
// Asks, then moves the items to the trash; a failure is reported and stops nothing else.
bool DeleteToTrash(const PathList& paths, QWidget* owner);
bool CopyFilesToFolder(const PathList& paths, QWidget* owner);
bool MoveFilesToFolder(const PathList& paths, QWidget* owner);
// Asks about every name taken in the target, then copies or moves on a worker thread behind a
// modal progress dialog; false on refusal, cancel or any failure (reported).
bool Transfer(bool move, const PathList& paths, const QByteArray& target, QWidget* owner);
// Creates "New Folder…" in `folder` beside `existingNames`; the created name, empty on failure.
QString CreateNewFolder(const QByteArray& folder, const QStringList& existingNames);
// The print dialog: false when cancelled. Tests answer it and print to a PDF file.
using PrinterQuestion = std::function<bool(QWidget* owner, QPrinter& printer)>;
bool askPrinterWithDialog(QWidget* owner, QPrinter& printer);
// Prints the file's first image on one page, in any format the image library reads.
bool PrintFile(const QByteArray& path, QWidget* owner, const PrinterQuestion& askPrinter = askPrinterWithDialog);

// Called with the progress dialog of a copy or move at every progress report of the worker;
// tests watch and cancel it here. While one is set the dialog shows at once, even for work
// that ends within a moment. Returns the previous observer; empty removes it.
using ProgressObserver = std::function<void(QProgressDialog& dialog)>;
ProgressObserver setProgressObserver(ProgressObserver observer);

// ---- The thumbnail list's file commands ------------------------------------------------

// What the list commands act on; `fromList` fills it from the list widget.
struct ListContext {
    QWidget* owner = nullptr;
    bool viewerMode = false;
    PathList selected;       // selected items' paths
    QByteArray current;      // focused item's path; empty when nothing is focused
    bool currentSelected = false;
    bool currentIsFolder = false;
    bool currentIsImage = false;      // kind 1
    bool allSelectedImages = false;   // every selected item is kind 1
    bool currentMayRename = false;
    bool allMayCopy = false;
    bool allMayMove = false;
    bool allMayDelete = false;
    QByteArray folder;       // the list's folder path; empty for virtual folders
    PrinterQuestion askPrinter = askPrinterWithDialog;
    std::function<void()> rescan;
    std::function<void()> refreshTree;
    std::function<void(const QString& displayName)> beginRename;
    std::function<void(const QByteArray& path)> showFileProperties;  // the program's dialog, when it exists
};

// The context of the list's selection; `tree` (may be null) has its selected node refreshed
// after the list's delete and new folder.
ListContext fromList(CImageListCtrl& list, CShellTree* tree, QWidget* owner, bool viewerMode);

// Whether the list command is one of these file commands.
bool handlesListCommand(int id);
bool isListCommandEnabled(int id, const ListContext& context);
// Runs it; false when disabled or unknown.
bool runListCommand(int id, const ListContext& context);

}  // namespace FileCommands
