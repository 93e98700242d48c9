#include "browser/CDlgRename.h"

#include "browser/CFileNameEdit.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDlgRename::CDlgRename(const QString& path, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Rename"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&New name"), this);
    m_edit = new CFileNameEdit(this);
    m_edit->setMaxLength(kMaxName);
    m_edit->setText(QFileInfo(path).fileName());
    m_edit->selectAll();
    label->setBuddy(m_edit);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
}

void CDlgRename::accept()
{
    m_name = m_edit->text().left(kMaxName);
    QDialog::accept();
}
