#include "frame/CDlgAbout.h"

#include "frame/ProductInfo.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The banner across the top: a sky-to-sea band with a sun behind two hills, the program's
// own picture rather than an image file.
QPixmap bannerPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0.0, QColor(0x1c, 0x5f, 0xa8));
    sky.setColorAt(1.0, QColor(0x8f, 0xc3, 0xea));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xff, 0xd4, 0x5c));
    painter.drawEllipse(QPointF(width * 0.78, height * 0.42), height * 0.22, height * 0.22);
    QPainterPath far;
    far.moveTo(0, height);
    far.cubicTo(width * 0.25, height * 0.35, width * 0.55, height * 0.95, width, height * 0.55);
    far.lineTo(width, height);
    painter.setBrush(QColor(0x3d, 0x8b, 0x4f));
    painter.drawPath(far);
    QPainterPath near;
    near.moveTo(0, height * 0.8);
    near.cubicTo(width * 0.35, height * 0.6, width * 0.6, height * 1.05, width, height * 0.85);
    near.lineTo(width, height);
    near.lineTo(0, height);
    painter.setBrush(QColor(0x2a, 0x6b, 0x3a));
    painter.drawPath(near);
    painter.end();
    return QPixmap::fromImage(image);
}

QLineEdit* readOnlyField(const QString& text, QWidget* parent)
{
    auto* field = new QLineEdit(text, parent);
    field->setReadOnly(true);
    field->setCursorPosition(0);
    return field;
}

}  // namespace

QString CDlgAbout::librariesNotice()
{
    return QStringLiteral(
        "The image library of this program reads and writes its file formats with the "
        "following libraries:\n"
        "\n"
        "JPEG: the Independent JPEG Group's JPEG software (libjpeg), https://www.ijg.org/, and "
        "libjpeg-turbo, https://libjpeg-turbo.org/. This software is based in part on the work "
        "of the Independent JPEG Group.\n"
        "\n"
        "PNG: libpng, http://www.libpng.org/pub/png/libpng.html. Copyright the PNG Reference "
        "Library Authors.\n"
        "\n"
        "TIFF: LibTIFF, https://libtiff.gitlab.io/libtiff/. Copyright Sam Leffler and Silicon "
        "Graphics, Inc.\n"
        "\n"
        "MNG: libmng, https://libmng.com/. Copyright Gerard Juyn.\n"
        "\n"
        "OpenEXR: https://openexr.com/. Copyright Contributors to the OpenEXR Project.\n"
        "\n"
        "JPEG 2000: OpenJPEG, https://www.openjpeg.org/. Copyright the Université catholique "
        "de Louvain and the OpenJPEG contributors.\n"
        "\n"
        "zlib: https://zlib.net/. Copyright Jean-loup Gailly and Mark Adler.\n"
        "\n"
        "This software is based in part on the work of the FreeImage library, "
        "https://freeimage.sourceforge.io/, used under the FreeImage Public License.");
}

CDlgAbout::CDlgAbout(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About ") + product::kName);
    // Every control sits on white, as on a printed page, with dark text whatever the
    // desktop's theme (a dark theme's light text would vanish on it).
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text})
        white.setColor(role, Qt::black);
    setPalette(white);
    setAutoFillBackground(true);

    auto* banner = new QLabel(this);
    banner->setPixmap(bannerPicture(420, 72));
    banner->setAlignment(Qt::AlignCenter);

    auto* name = new QLabel(product::kName, this);
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
    name->setFont(nameFont);
    auto* version = new QLabel(product::kVersionText, this);

    m_webSite = readOnlyField(product::webSite(), this);
    m_mail = readOnlyField(product::supportMailbox(), this);
    auto* addresses = new QFormLayout;
    addresses->addRow(QStringLiteral("Web site:"), m_webSite);
    addresses->addRow(QStringLiteral("E-mail:"), m_mail);

    m_libraries = new QPlainTextEdit(librariesNotice(), this);
    m_libraries->setReadOnly(true);
    m_libraries->setAccessibleName(QStringLiteral("Libraries"));
    m_libraries->setMinimumHeight(140);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addLayout(addresses);
    layout->addWidget(m_libraries, 1);
    layout->addWidget(buttons);
    resize(460, 460);
}
