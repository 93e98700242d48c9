#include "viewer/CDlgOpenFile.h"
#include "viewer/FileDialogSizing.h"

#include "app/ProfileFile.h"
#include "imaging/JpegPreview.h"
#include "imaging/decode/ImageDecoding.h"
#include "imaging/fipSuperImage.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QFile>
#include <QLabel>

#include <algorithm>

namespace {

const QString kSection = QStringLiteral("OpenFileDlg");
const QString kKey = QStringLiteral("ShowPreview");
constexpr QSize kPreviewArea(160, 120);

QString dimension(unsigned value)
{
    return value == 0 ? QStringLiteral("Unknown") : QString::number(value);
}

struct Preview {
    QImage picture;
    QSize fullSize;
};

QImage fittedInto(const QImage& picture, QSize area)
{
    if (picture.width() <= area.width() && picture.height() <= area.height())
        return picture;
    return picture.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// A JPEG shows the thumbnail stored in it, else a reduced decoding: a large photo is never
// decoded whole for a 160-pixel preview. Other formats are fitted by the decoder helper.
Preview makePreview(const QString& path, FREE_IMAGE_FORMAT fif, QSize area)
{
    const QByteArray name = QFile::encodeName(path);
    if (fif == FIF_JPEG) {
        if (const auto header = readJpegHeader(path)) {
            QImage picture = header->embeddedThumbnail;
            if (picture.isNull())
                picture = decodeJpegReduced(path, std::max(area.width(), area.height()));
            if (!picture.isNull())
                return {fittedInto(picture, area), header->fullSize};
        }
    }
    Preview preview;
    Decode::Decoded made = Decode::decodeThumbnail(name, static_cast<unsigned>(area.width()),
                                                         static_cast<unsigned>(area.height()), 0);
    if (made.ok()) {
        preview.fullSize = made.fullSize;
        fipSuperImage image;
        image.replace(made.dib.release());
        preview.picture = image.toQImage();
    }
    return preview;
}

}  // namespace

// The same form as the thumbnail list's size column, without linking the list.
QString formatFileSize(qint64 bytes)
{
    const double size = static_cast<double>(bytes);
    if (bytes < 1024)
        return QString::number(bytes) + (bytes == 1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"));
    if (bytes < 1024 * 1024)
        return QString::asprintf("%.2f KB", size / 1024);
    if (bytes < 1024LL * 1024 * 1024)
        return QString::asprintf("%.2f MB", size / (1024 * 1024));
    return QString::asprintf("%.2f GB", size / (1024.0 * 1024 * 1024));
}

ImageFileFacts describeImageFile(const QString& path, bool preview, QSize area)
{
    ImageFileFacts facts;
    const FREE_IMAGE_FORMAT fif = path.isEmpty() ? FIF_UNKNOWN : fipSuperImage::getFileType(path);
    if (fif == FIF_UNKNOWN) {
        facts.format = QStringLiteral("Unavailable");
        return facts;
    }
    facts.known = true;
    facts.format = QString::fromLatin1(FreeImage_GetFormatFromFIF(fif));
    facts.size = formatFileSize(QFileInfo(path).size());
    unsigned width = 0, height = 0;
    if (preview) {
        const Preview made = makePreview(path, fif, area);
        facts.preview = made.picture;
        width = static_cast<unsigned>(std::max(made.fullSize.width(), 0));
        height = static_cast<unsigned>(std::max(made.fullSize.height(), 0));
    }
    if (width == 0 || height == 0) {
        // Without a preview the header is enough.
        const QSize size = Decode::readImageSize(QFile::encodeName(path));
        width = size.width() > 0 ? static_cast<unsigned>(size.width()) : 0;
        height = size.height() > 0 ? static_cast<unsigned>(size.height()) : 0;
    }
    facts.width = dimension(width);
    facts.height = dimension(height);
    return facts;
}

CDlgOpenFile::CDlgOpenFile(QWidget* parent, const QString& folder, const QString& filter, const QString& configPath)
    : QFileDialog(parent, QStringLiteral("Open")), m_configPath(configPath)
{
    // Qt's own dialog, so the information group can be added under the list.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setSizeGripEnabled(true);
    fitFileDialog(*this, QSize(820, 640));
    setNameFilters(filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts));
    if (!folder.isEmpty())
        setDirectory(folder);

    m_group = new QGroupBox(QStringLiteral("Image Information"), this);
    auto* grid = new QGridLayout(m_group);
    const QString names[4] = {QStringLiteral("Format:"), QStringLiteral("Size:"), QStringLiteral("Width:"),
                              QStringLiteral("Height:")};
    for (int i = 0; i < 4; ++i) {
        m_labels[i] = new QLabel(names[i], m_group);
        m_values[i] = new QLabel(m_group);
        grid->addWidget(m_labels[i], i, 0);
        grid->addWidget(m_values[i], i, 1);
    }
    m_preview = new QLabel(this);
    m_preview->setFixedSize(kPreviewArea);
    m_preview->setAlignment(Qt::AlignCenter);
    m_showPreview = new QCheckBox(QStringLiteral("Show preview"), this);
    m_showPreview->setChecked(ProfileFile(m_configPath).getInt(kSection, kKey, 1) == 1);

    if (auto* layout = qobject_cast<QGridLayout*>(this->layout())) {
        const int row = layout->rowCount();
        auto* bottom = new QHBoxLayout;
        bottom->addWidget(m_group);
        bottom->addSpacing(20);
        bottom->addWidget(m_preview);
        bottom->addStretch(1);
        layout->addLayout(bottom, row, 0, 1, layout->columnCount());
        layout->addWidget(m_showPreview, row + 1, 0, 1, layout->columnCount());
    }
    connect(this, &QFileDialog::currentChanged, this, &CDlgOpenFile::showFacts);
    connect(m_showPreview, &QCheckBox::toggled, this, &CDlgOpenFile::onPreviewToggled);
    showFacts(QString());
}

bool CDlgOpenFile::previewOn() const
{
    return m_showPreview->isChecked();
}

void CDlgOpenFile::showFacts(const QString& path)
{
    m_current = path;
    m_facts = describeImageFile(QFileInfo(path).isFile() ? path : QString(), previewOn(), kPreviewArea);
    m_values[0]->setText(m_facts.format);
    m_values[1]->setText(m_facts.size);
    m_values[2]->setText(m_facts.width);
    m_values[3]->setText(m_facts.height);
    for (int i = 1; i < 4; ++i) {
        m_labels[i]->setVisible(m_facts.known);
        m_values[i]->setVisible(m_facts.known);
    }
    m_preview->setPixmap(m_facts.preview.isNull() ? QPixmap() : QPixmap::fromImage(m_facts.preview));
    m_preview->setVisible(previewOn());
}

void CDlgOpenFile::onPreviewToggled(bool on)
{
    ProfileFile(m_configPath).writeInt(kSection, kKey, on ? 1 : 0);
    if (on && m_facts.preview.isNull())
        showFacts(m_current);
    m_preview->setVisible(on);
}
