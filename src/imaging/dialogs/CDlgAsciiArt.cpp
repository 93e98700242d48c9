#include "imaging/dialogs/CDlgAsciiArt.h"

#include "app/MessageBoxSeam.h"
#include "imaging/fipSuperImage.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <vector>

CDlgAsciiArt::CDlgAsciiArt(const fipSuperImage& image, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Ascii Art"));
    std::vector<char> buffer(kBufferSize, '\0');
    if (image.convertToAsciiText(buffer.data(), buffer.size()))
        m_text = QString::fromLatin1(buffer.data());

    auto* layout = new QVBoxLayout(this);
    m_edit = new QPlainTextEdit(m_text, this);
    m_edit->setReadOnly(true);
    m_edit->setAccessibleName(QStringLiteral("Ascii Art"));
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_edit->setMinimumSize(480, 360);
    layout->addWidget(m_edit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    m_copy = buttons->addButton(QStringLiteral("Copy to clipboard"), QDialogButtonBox::ActionRole);
    m_save = buttons->addButton(QStringLiteral("Save to text file..."), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_copy, &QPushButton::clicked, this, &CDlgAsciiArt::copyToClipboard);
    connect(m_save, &QPushButton::clicked, this, &CDlgAsciiArt::saveToFile);
    layout->addWidget(buttons);

    m_chooser = [](QWidget* owner) -> std::optional<QString> {
        const QString path = QFileDialog::getSaveFileName(owner, QStringLiteral("Save to text file"), QString(),
                                                          QStringLiteral("Text files (*.txt);;All files (*)"));
        if (path.isEmpty())
            return std::nullopt;
        return path;
    };
}

void CDlgAsciiArt::copyToClipboard() const
{
    QApplication::clipboard()->setText(m_text);
}

void CDlgAsciiArt::saveToFile()
{
    const std::optional<QString> path = m_chooser(this);
    if (!path)
        return;
    // Written beside the target and renamed over it, so a failed write keeps an older file.
    QSaveFile file(*path);
    const QByteArray bytes = m_text.toLatin1();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return;
    MessageBoxSeam::show({this, QStringLiteral("Ascii Art"),
                          QStringLiteral("The text could not be saved to \"%1\".").arg(*path),
                          QMessageBox::Warning});
}
