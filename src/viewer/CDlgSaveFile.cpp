#include "viewer/CDlgSaveFile.h"
#include "viewer/FileDialogSizing.h"

#include "viewer/SaveFileLogic.h"

#include <QFileInfo>
#include <QLineEdit>

CDlgSaveFile::CDlgSaveFile(QWidget* parent, const QString& initialPath, const QString& filter)
    : QFileDialog(parent, QStringLiteral("Save As"))
{
    // Qt's own dialog: the platform ones do not report type changes or let the name be edited.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setSizeGripEnabled(true);
    fitFileDialog(*this, QSize(820, 520));
    const QStringList entries = splitFilter(filter);
    setNameFilters(entries);
    if (!initialPath.isEmpty()) {
        setDirectory(QFileInfo(initialPath).absolutePath());
        selectFile(QFileInfo(initialPath).fileName());
    }
    const int index = initialFilterIndex(filter, initialPath);
    if (index >= 1 && index <= entries.size()) {
        selectNameFilter(entries[index - 1]);
        setDefaultSuffix(firstExtension(entries[index - 1]));
    }
    connect(this, &QFileDialog::filterSelected, this, &CDlgSaveFile::onFilterSelected);
}

void CDlgSaveFile::onFilterSelected(const QString& entry)
{
    const QString extension = firstExtension(entry);
    setDefaultSuffix(extension);
    auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit || edit->text().isEmpty())
        return;
    const QString renamed = withExtension(edit->text(), extension);
    if (renamed != edit->text())
        edit->setText(renamed);
}
