#pragma once
// "Export": the output format, the destination folder and the size of the exported images.

#include <FreeImage.h>

#include <QDialog>
#include <QString>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

class CDlgExport : public QDialog {
    Q_OBJECT

public:
    // `currentFolder`: the list's folder, the destination of "source folder".
    explicit CDlgExport(const QString& currentFolder, QWidget* parent = nullptr);

    // Results, valid after Ok.
    FREE_IMAGE_FORMAT format() const { return m_format; }
    QString outputFolder() const { return m_outputFolder; }
    int maxSide() const { return m_maxSide; }  // 0 keeps the size

    QComboBox* formatCombo() const { return m_formatCombo; }
    QRadioButton* sourceFolderButton() const { return m_sourceFolder; }
    QRadioButton* otherFolderButton() const { return m_otherFolder; }
    QLineEdit* folderEdit() const { return m_folderEdit; }
    QPushButton* browseButton() const { return m_browse; }
    QRadioButton* originalSizeButton() const { return m_originalSize; }
    QRadioButton* resizeButton() const { return m_resize; }
    QSlider* sizeSlider() const { return m_slider; }
    QLineEdit* sizeEdit() const { return m_sizeEdit; }

    // The folder chooser "Browse..." shows: (owner, title, start folder) -> chosen folder or
    // empty. Tests install their own; an empty chooser restores the dialog.
    using FolderChooser = std::function<QString(QWidget*, const QString&, const QString&)>;
    static FolderChooser setFolderChooser(FolderChooser chooser);

    void accept() override;

private:
    void updateEnabled();
    void browse();
    bool ensureFolder(const QString& folder);

    FREE_IMAGE_FORMAT m_format = FIF_UNKNOWN;
    QString m_outputFolder;
    int m_maxSide = 0;

    QComboBox* m_formatCombo = nullptr;
    QRadioButton* m_sourceFolder = nullptr;
    QRadioButton* m_otherFolder = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    QPushButton* m_browse = nullptr;
    QRadioButton* m_originalSize = nullptr;
    QRadioButton* m_resize = nullptr;
    QSlider* m_slider = nullptr;
    QLineEdit* m_sizeEdit = nullptr;
};
