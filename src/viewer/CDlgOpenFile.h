#pragma once
// The open dialog for images, with an "Image Information" group and a preview below the list.
// The preview's on/off choice is "ShowPreview" in section "OpenFileDlg".
#include <QFileDialog>
#include <QImage>
#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;

// What the information group shows for one file.
struct ImageFileFacts {
    bool known = false;  // the library knows the type
    QString format;      // "Unavailable" when unknown
    QString size;
    QString width;       // "Unknown" for 0
    QString height;
    QImage preview;      // null without a preview
};

// `preview` asks for a thumbnail fitted into `area`; width and height then come from it.
ImageFileFacts describeImageFile(const QString& path, bool preview, QSize area);
QString formatFileSize(qint64 bytes);

class CDlgOpenFile : public QFileDialog {
    Q_OBJECT
public:
    CDlgOpenFile(QWidget* parent, const QString& folder, const QString& filter, const QString& configPath);

    bool previewOn() const;
    // The selection changed (public so tests can drive it without a file system model).
    void showFacts(const QString& path);
    const ImageFileFacts& facts() const { return m_facts; }

private:
    void onPreviewToggled(bool on);

    QString m_configPath;
    QString m_current;
    ImageFileFacts m_facts;
    QGroupBox* m_group = nullptr;
    QLabel* m_labels[4] = {};
    QLabel* m_values[4] = {};
    QLabel* m_preview = nullptr;
    QCheckBox* m_showPreview = nullptr;
};
