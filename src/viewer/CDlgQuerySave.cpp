#include "viewer/CDlgQuerySave.h"

#include "viewer/ViewerDialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CDlgQuerySave::CDlgQuerySave(QWidget* parent, SaveFileStep saveFile)
    : QDialog(parent), m_saveFile(std::move(saveFile))
{
    setWindowTitle(QStringLiteral("Save Changes"));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    auto* text = new QLabel(QStringLiteral("Do you want to save the changes you've made to this image?"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);

    auto* save = new QPushButton(QStringLiteral("&Save"), this);
    auto* saveAs = new QPushButton(QStringLiteral("Save &As..."), this);
    auto* discard = new QPushButton(QStringLiteral("&Discard"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, [this] { done(QuerySaveSave); });
    connect(saveAs, &QPushButton::clicked, this, &CDlgQuerySave::onSaveAs);
    connect(discard, &QPushButton::clicked, this, [this] { done(QuerySaveDiscard); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(QuerySaveCancel); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {save, saveAs, discard, cancel})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    // The icon sits 10 pixels in from the dialog's corner.
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

void CDlgQuerySave::onSaveAs()
{
    const std::optional<QString> chosen = m_saveFile ? m_saveFile() : std::nullopt;
    if (!chosen) {
        done(QuerySaveCancel);
        return;
    }
    m_chosenPath = *chosen;
    done(QuerySaveSaveAs);
}
