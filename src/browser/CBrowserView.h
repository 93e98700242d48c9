#pragma once
// The left side of browser mode: the title, the folder tree or the favorites tree (one at a
// time) and the chooser that switches between them.

#include "browser/CFavoritesTree.h"

#include <QWidget>

class CShellTree;
class CTitle;
class QStackedWidget;
class QToolButton;

class CBrowserView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kChooserHeight = 26;
    explicit CBrowserView(QWidget* parent = nullptr);

    CShellTree* shellTree() const { return m_shellTree; }
    CFavoritesTree* favoritesTree() const { return m_favoritesTree; }
    CTitle* title() const { return m_title; }
    QToolButton* foldersButton() const { return m_foldersButton; }
    QToolButton* favoritesButton() const { return m_favoritesButton; }
    bool showsFolders() const;

    // 1: the folder tree, 2: the favorites tree; the shown tree takes the focus.
    void choosePane(int command);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    CTitle* m_title = nullptr;
    QStackedWidget* m_stack = nullptr;
    CShellTree* m_shellTree = nullptr;
    CFavoritesTree* m_favoritesTree = nullptr;
    QToolButton* m_foldersButton = nullptr;
    QToolButton* m_favoritesButton = nullptr;
};
