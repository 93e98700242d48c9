#include "viewer/ViewerDialogs.h"

#include "platform/FileOperations.h"
#include "platform/ShellActions.h"
#include "viewer/CDlgOpenFile.h"
#include "viewer/CDlgQuerySave.h"
#include "viewer/CDlgSaveFile.h"

#include <QColorDialog>
#include <QFile>
#include <QPrintDialog>

ViewerDialogs ViewerDialogs::standard()
{
    ViewerDialogs d;
    d.saveFile = [](QWidget* parent, const QString& initial, const QString& filter) -> std::optional<QString> {
        CDlgSaveFile dialog(parent, initial, filter);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().first();
    };
    d.querySave = [saveFile = d.saveFile](QWidget* parent, const QString& path, const QString& filter,
                                          QString& chosen) {
        CDlgQuerySave dialog(parent, [&] { return saveFile(parent, path, filter); });
        const int answer = dialog.exec();
        chosen = dialog.chosenPath();
        return answer;
    };
    d.openFile = [](QWidget* parent, const QString& folder, const QString& filter,
                    const QString& configPath) -> std::optional<QString> {
        CDlgOpenFile dialog(parent, folder, filter, configPath);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().first();
    };
    d.pickColor = [](QWidget* parent, QColor initial) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(initial, parent, QStringLiteral("Set Background Color"));
        if (!c.isValid())
            return std::nullopt;
        return c;
    };
    d.print = [](QWidget* parent, QPrinter& printer) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    // The same trash the browser uses, so both leave restorable entries in the same places.
    d.moveToTrash = [](const QString& path) { return FileOperations::MoveToTrash(QFile::encodeName(path)); };
    d.locateOnDisk = [](const QString& path) { return ShellActions::LocateOnDisk(QFile::encodeName(path)); };
    d.openWith = [](const QString& path, bool editor) {
        const QByteArray native = QFile::encodeName(path);
        return editor ? ShellActions::OpenWithAssociatedEditor(native) : ShellActions::OpenWithAssociatedProgram(native);
    };
    d.showProperties = [](QWidget*, const QString& path) {
        return ShellActions::ShowShellProperties(QFile::encodeName(path));
    };
    return d;
}
