#include "viewer/CDlgSetZoomLevel.h"

#include "app/MessageBoxSeam.h"
#include "viewer/ZoomSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CDlgSetZoomLevel::CDlgSetZoomLevel(double zoom, ZoomType zoomType, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(kZoomLevelCaption);
    auto* group = new QGroupBox(tr("Zoom level"), this);
    m_fitImage = new QRadioButton(tr("Fit whole &image"), group);
    m_fitWidth = new QRadioButton(tr("Fit &width"), group);
    m_fitHeight = new QRadioButton(tr("Fit &height"), group);
    m_specify = new QRadioButton(tr("&Specify:"), group);
    m_level = new QComboBox(group);
    m_level->setEditable(true);
    m_level->setInsertPolicy(QComboBox::NoInsert);
    // An editable combo box completes typed text from its items ("8" became "800" and Enter
    // only took the completion): a level is typed as a number, not picked by its start.
    m_level->setCompleter(nullptr);
    // Its label is the radio button beside it; a screen reader hears the level's meaning.
    m_level->setAccessibleName(tr("Zoom level in percent"));
    m_level->lineEdit()->setAccessibleName(m_level->accessibleName());
    for (const char* item : {"7", "10", "15", "20", "25", "30", "50", "70", "100", "150", "200", "300", "400", "500",
                             "600", "700", "800", "1200", "1600"})
        m_level->addItem(QString::fromLatin1(item));
    auto* grid = new QGridLayout(group);
    grid->addWidget(m_fitImage, 0, 0, 1, 3);
    grid->addWidget(m_fitWidth, 1, 0, 1, 3);
    grid->addWidget(m_fitHeight, 2, 0, 1, 3);
    grid->addWidget(m_specify, 3, 0);
    grid->addWidget(m_level, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("%"), group), 3, 2);

    m_lock = new QCheckBox(tr("&Lock at this zoom level"), this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("Ok"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgSetZoomLevel::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgSetZoomLevel::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_lock);
    layout->addWidget(buttons);

    m_specify->setChecked(true);
    m_level->setEditText(QString::number(roundHalfAway(zoom * 100)));
    m_lock->setChecked(zoomType == ZoomType::ZoomLock);
    m_level->setFocus();
    m_level->lineEdit()->selectAll();
}

CDlgSetZoomLevel::Choice CDlgSetZoomLevel::choice() const
{
    if (m_fitImage->isChecked())
        return Choice::FitImage;
    if (m_fitWidth->isChecked())
        return Choice::FitWidth;
    if (m_fitHeight->isChecked())
        return Choice::FitHeight;
    return Choice::Specify;
}

QRadioButton* CDlgSetZoomLevel::radio(Choice choice) const
{
    switch (choice) {
    case Choice::FitImage: return m_fitImage;
    case Choice::FitWidth: return m_fitWidth;
    case Choice::FitHeight: return m_fitHeight;
    case Choice::Specify: return m_specify;
    }
    return m_specify;
}

bool CDlgSetZoomLevel::lockChecked() const
{
    return m_lock->isChecked();
}

void CDlgSetZoomLevel::accept()
{
    if (choice() == Choice::Specify) {
        const std::optional<int> percent = parseZoomPercent(m_level->currentText());
        if (!percent) {
            MessageBoxSeam::show({this, kZoomLevelCaption, kInvalidZoomLevelText, QMessageBox::Warning,
                                  QMessageBox::Ok});
            m_level->setFocus();
            m_level->lineEdit()->selectAll();
            return;
        }
        m_percent = *percent;
    }
    QDialog::accept();
}
