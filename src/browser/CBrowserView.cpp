#include "browser/CBrowserView.h"

#include "browser/CFavoritesTree.h"
#include "browser/CShellTree.h"
#include "browser/CTitle.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

CBrowserView::CBrowserView(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_title = new CTitle(this);
    m_title->setTitle(QStringLiteral("Folders"));
    // The pane takes the focus for its tree; named as its title, as the tree is.
    setAccessibleName(m_title->title());
    layout->addWidget(m_title);

    m_stack = new QStackedWidget(this);
    m_shellTree = new CShellTree(m_stack);
    m_shellTree->setObjectName(QStringLiteral("ShellTree"));
    m_favoritesTree = new CFavoritesTree(m_stack);
    m_favoritesTree->setObjectName(QStringLiteral("FavoritesTree"));
    m_stack->addWidget(m_shellTree);
    m_stack->addWidget(m_favoritesTree);
    layout->addWidget(m_stack, 1);

    auto* chooser = new QWidget(this);
    chooser->setObjectName(QStringLiteral("PaneChooser"));
    chooser->setFixedHeight(kChooserHeight);
    chooser->setAutoFillBackground(true);
    QPalette palette = chooser->palette();
    palette.setColor(QPalette::Window, QColor(237, 237, 237));
    // The light grey stays in a dark theme, so its buttons keep dark text.
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    chooser->setPalette(palette);
    auto* buttons = new QHBoxLayout(chooser);
    buttons->setContentsMargins(8, 1, 8, 1);
    buttons->setSpacing(3);
    auto makeButton = [&](const QString& text, const QString& icon, int command) {
        auto* button = new QToolButton(chooser);
        button->setText(text);
        button->setIcon(QIcon::fromTheme(icon));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setCheckable(true);
        connect(button, &QToolButton::clicked, this, [this, command] { choosePane(command); });
        return button;
    };
    m_foldersButton = makeButton(QStringLiteral("Folders"), QStringLiteral("folder"), 1);
    m_favoritesButton = makeButton(QStringLiteral("Favorites"), QStringLiteral("starred"), 2);
    auto* line = new QFrame(chooser);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    buttons->addWidget(m_foldersButton);
    buttons->addWidget(line);
    buttons->addWidget(m_favoritesButton);
    buttons->addStretch(1);
    layout->addWidget(chooser);
    m_foldersButton->setChecked(true);
}

bool CBrowserView::showsFolders() const
{
    return m_stack->currentWidget() == m_shellTree;
}

void CBrowserView::choosePane(int command)
{
    const bool folders = command != 2;
    m_stack->setCurrentWidget(folders ? static_cast<QWidget*>(m_shellTree) : m_favoritesTree);
    m_title->setTitle(folders ? QStringLiteral("Folders") : QStringLiteral("Favorites"));
    setAccessibleName(m_title->title());
    m_foldersButton->setChecked(folders);
    m_favoritesButton->setChecked(!folders);
    (folders ? static_cast<QWidget*>(m_shellTree) : m_favoritesTree)->setFocus();
}

void CBrowserView::focusInEvent(QFocusEvent*)
{
    (showsFolders() ? static_cast<QWidget*>(m_shellTree) : m_favoritesTree)->setFocus();
}
