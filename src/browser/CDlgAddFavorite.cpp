#include "browser/CDlgAddFavorite.h"

#include "app/MessageBoxSeam.h"
#include "browser/CSuperFavoritesTree.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CDlgAddFavorite::CDlgAddFavorite(const QString& favoritesFolder, std::vector<favorites::Target> targets, QWidget* parent)
    : QDialog(parent), m_targets(std::move(targets))
{
    setWindowTitle(QStringLiteral("Add Favorite"));
    auto* layout = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().isNull() ? style()->standardIcon(QStyle::SP_DirIcon).pixmap(32)
                                                        : QApplication::windowIcon().pixmap(32));
    head->addWidget(icon, 0, Qt::AlignTop);
    auto* text = new QVBoxLayout;
    text->addWidget(new QLabel(QStringLiteral("Kelvra Photo Viewer will add shortcuts to"), this));
    text->addWidget(new QLabel(QStringLiteral("your Favorites."), this));
    head->addLayout(text, 1);
    layout->addLayout(head);

    m_tree = new CSuperFavoritesTree(this);
    m_tree->setObjectName(QStringLiteral("AddFavoriteTree"));
    m_tree->initialize(favoritesFolder);
    layout->addWidget(m_tree, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_createFolder = buttons->addButton(QStringLiteral("Create Folder"), QDialogButtonBox::ActionRole);
    connect(m_createFolder, &QPushButton::clicked, this, &CDlgAddFavorite::OnCreateFolder);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgAddFavorite::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(360, 380);
}

void CDlgAddFavorite::OnCreateFolder()
{
    m_tree->createFolderUnder(m_tree->currentItem());
}

void CDlgAddFavorite::accept()
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    if (!item)
        return;
    const QString folder = m_tree->pathOf(item);
    bool overwrite = false;
    for (const favorites::Target& target : m_targets) {
        const QFileInfo existing(favorites::shortcutPath(folder, target.displayName));
        if (!existing.exists() && !existing.isSymLink())
            continue;
        const auto answer = MessageBoxSeam::show(
            {this, QStringLiteral("Add Favorite"),
             QStringLiteral("The shortcut that you are trying to save already exists. Would you like to overwrite the existing shortcut?"),
             QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No});
        if (answer != QMessageBox::Yes) {
            QDialog::reject();
            return;
        }
        overwrite = true;
        break;
    }
    // A shortcut that cannot be made is skipped without a word.
    for (const favorites::Target& target : m_targets)
        favorites::AddFavorite(folder, target, overwrite);
    QDialog::accept();
}
