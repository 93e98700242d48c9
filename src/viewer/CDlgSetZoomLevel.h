#pragma once
// The "Set Zoom Level" dialog. It only collects the choice; `CImageView` applies it.
#include "viewer/ZoomGeometry.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QRadioButton;

class CDlgSetZoomLevel : public QDialog {
    Q_OBJECT
public:
    enum class Choice { FitImage, FitWidth, FitHeight, Specify };

    CDlgSetZoomLevel(double zoom, ZoomType zoomType, QWidget* parent = nullptr);

    Choice choice() const;
    int percent() const { return m_percent; }  // valid after accept() with Specify
    bool lockChecked() const;

    QComboBox* levelEdit() const { return m_level; }
    QRadioButton* radio(Choice choice) const;
    QCheckBox* lockBox() const { return m_lock; }

public slots:
    void accept() override;

private:
    QRadioButton* m_fitImage;
    QRadioButton* m_fitWidth;
    QRadioButton* m_fitHeight;
    QRadioButton* m_specify;
    QComboBox* m_level;
    QCheckBox* m_lock;
    int m_percent = 0;
};
