#include "CDlgExport.h"

#include "ExportLogic.h"

#include "app/MessageBoxSeam.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {

CDlgExport::FolderChooser& installedChooser()
{
    static CDlgExport::FolderChooser chooser;  // a test seam, like the message box handler
    return chooser;
}

QString chooseFolder(QWidget* owner, const QString& title, const QString& start)
{
    if (installedChooser())
        return installedChooser()(owner, title, start);
    return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
}

}  // namespace

CDlgExport::FolderChooser CDlgExport::setFolderChooser(FolderChooser chooser)
{
    FolderChooser previous = std::move(installedChooser());
    installedChooser() = std::move(chooser);
    return previous;
}

CDlgExport::CDlgExport(const QString& currentFolder, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Export"));

    m_formatCombo = new QComboBox(this);
    for (const ExportLogic::FormatEntry& entry : ExportLogic::outputFormats())
        m_formatCombo->addItem(entry.text, static_cast<int>(entry.fif));
    m_formatCombo->setCurrentIndex(m_formatCombo->count() > 0 ? 0 : -1);
    auto* formatLabel = new QLabel(QStringLiteral("Ouput format"), this);
    formatLabel->setBuddy(m_formatCombo);

    auto* destination = new QGroupBox(QStringLiteral("Destination"), this);
    m_sourceFolder = new QRadioButton(QStringLiteral("Place modified images in source folder"), destination);
    m_otherFolder = new QRadioButton(QStringLiteral("Place modified images in the following folder"), destination);
    m_folderEdit = new QLineEdit(QDir::toNativeSeparators(currentFolder), destination);
    m_browse = new QPushButton(QStringLiteral("Browse..."), destination);
    m_sourceFolder->setChecked(true);
    auto* destinationLayout = new QGridLayout(destination);
    destinationLayout->addWidget(m_sourceFolder, 0, 0, 1, 2);
    destinationLayout->addWidget(m_otherFolder, 1, 0, 1, 2);
    destinationLayout->addWidget(m_folderEdit, 2, 0);
    destinationLayout->addWidget(m_browse, 2, 1);

    auto* size = new QGroupBox(QStringLiteral("Size"), this);
    m_originalSize = new QRadioButton(QStringLiteral("Use original size"), size);
    m_resize = new QRadioButton(QStringLiteral("Resize to:"), size);
    m_slider = new QSlider(Qt::Horizontal, size);
    m_slider->setRange(0, ExportLogic::kSliderMax);
    m_slider->setValue(ExportLogic::kDefaultSliderPosition);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_sizeEdit = new QLineEdit(QString::number(ExportLogic::sizeForSliderPosition(ExportLogic::kDefaultSliderPosition)), size);
    m_sizeEdit->setAlignment(Qt::AlignRight);
    m_sizeEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_sizeEdit));
    m_originalSize->setChecked(true);
    auto* sizeLayout = new QGridLayout(size);
    sizeLayout->addWidget(m_originalSize, 0, 0, 1, 3);
    sizeLayout->addWidget(m_resize, 1, 0);
    sizeLayout->addWidget(m_slider, 1, 1);
    auto* pixels = new QHBoxLayout;
    pixels->addWidget(m_sizeEdit);
    pixels->addWidget(new QLabel(QStringLiteral("pixels"), size));
    sizeLayout->addLayout(pixels, 1, 2);

    // Each pair is its own group of choices.
    auto* destinationGroup = new QButtonGroup(this);
    destinationGroup->addButton(m_sourceFolder);
    destinationGroup->addButton(m_otherFolder);
    auto* sizeGroup = new QButtonGroup(this);
    sizeGroup->addButton(m_originalSize);
    sizeGroup->addButton(m_resize);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(formatLabel);
    layout->addWidget(m_formatCombo);
    layout->addWidget(destination);
    layout->addWidget(size);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgExport::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgExport::reject);
    connect(m_otherFolder, &QRadioButton::toggled, this, &CDlgExport::updateEnabled);
    connect(m_resize, &QRadioButton::toggled, this, &CDlgExport::updateEnabled);
    connect(m_browse, &QPushButton::clicked, this, &CDlgExport::browse);
    connect(m_slider, &QSlider::valueChanged, this, [this](int position) {
        const QSignalBlocker block(m_sizeEdit);
        m_sizeEdit->setText(QString::number(ExportLogic::sizeForSliderPosition(position)));
    });
    connect(m_sizeEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QSignalBlocker block(m_slider);
        m_slider->setValue(ExportLogic::sliderPositionForSize(ExportLogic::numberFromDigits(text)));
    });
    updateEnabled();
}

void CDlgExport::updateEnabled()
{
    m_folderEdit->setEnabled(m_otherFolder->isChecked());
    m_browse->setEnabled(m_otherFolder->isChecked());
    m_slider->setEnabled(m_resize->isChecked());
    m_sizeEdit->setEnabled(m_resize->isChecked());
}

void CDlgExport::browse()
{
    const QString chosen = chooseFolder(this, QStringLiteral("Browse for output folder"), m_folderEdit->text());
    if (!chosen.isEmpty())
        m_folderEdit->setText(QDir::toNativeSeparators(chosen));
}

bool CDlgExport::ensureFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    const auto answer = MessageBoxSeam::show(
        {this, QStringLiteral("Kelvra Photo Viewer"),
         QStringLiteral("The specified output folder does not exist.\nDo you want to create it?"),
         QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No});
    // A relative name would land wherever the program happens to run.
    return answer == QMessageBox::Yes && QDir::isAbsolutePath(folder) && QDir().mkpath(folder)
           && QFileInfo(folder).isDir();
}

void CDlgExport::accept()
{
    const QString folder = m_folderEdit->text();
    if (!ensureFolder(folder)) {
        m_folderEdit->setFocus();
        m_folderEdit->selectAll();
        return;
    }
    m_format = m_formatCombo->currentIndex() >= 0
                   ? static_cast<FREE_IMAGE_FORMAT>(m_formatCombo->currentData().toInt())
                   : FIF_UNKNOWN;
    m_outputFolder = folder;
    m_maxSide = m_resize->isChecked() ? ExportLogic::maxSideFromText(m_sizeEdit->text()) : 0;
    QDialog::accept();
}
