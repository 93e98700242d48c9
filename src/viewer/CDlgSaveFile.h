#pragma once
// The save dialog for images: starts on the file type of the name it is given and keeps the
// name's extension in step with the chosen type.
#include <QFileDialog>

class CDlgSaveFile : public QFileDialog {
    Q_OBJECT
public:
    CDlgSaveFile(QWidget* parent, const QString& initialPath, const QString& filter);

private:
    void onFilterSelected(const QString& entry);
};
