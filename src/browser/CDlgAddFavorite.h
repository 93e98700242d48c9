#pragma once
// "Add Favorite": the user picks (or creates) a category in a favorites tree of the dialog's
// own, and OK makes a shortcut there for every item it was given.

#include "browser/Favorites.h"

#include <QDialog>

#include <vector>

class CSuperFavoritesTree;
class QPushButton;

class CDlgAddFavorite : public QDialog {
    Q_OBJECT
public:
    CDlgAddFavorite(const QString& favoritesFolder, std::vector<favorites::Target> targets, QWidget* parent = nullptr);

    CSuperFavoritesTree* tree() const { return m_tree; }
    QPushButton* createFolderButton() const { return m_createFolder; }

    // OK: asks once before replacing shortcuts that exist (No creates nothing), then adds all.
    void accept() override;
    void OnCreateFolder();

private:
    std::vector<favorites::Target> m_targets;
    CSuperFavoritesTree* m_tree = nullptr;
    QPushButton* m_createFolder = nullptr;
};
