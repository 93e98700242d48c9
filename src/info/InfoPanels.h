#pragma once
// The information panels as the main frame holds them: the browser's information pane, the
// viewer's histogram window with the user's wish to see it, and the commands that reach them.

#include "info/CDlgHistogram.h"
#include "info/CImagePreviewView.h"

#include <QPointer>
#include <QString>

class InfoPanels {
public:
    InfoPanels(const QString& configPath, QWidget* paneParent, QWidget* frame, CWndHistogram::ImageSource viewerImage);

    CImagePreviewView* pane() const { return m_pane; }
    CDlgHistogram* dialog() const { return m_dialog; }
    bool dialogWanted() const { return m_dialogWanted; }

    // The histogram channel commands (browser mode) and the viewer's Histogram command.
    static bool handlesCommand(int id);
    // Whether the command's item is checked.
    bool isChecked(int id) const;
    void OnCommand(int id);

    // Entering viewer mode shows the wanted window; leaving it hides it and keeps the wish.
    void viewerModeChanged(bool viewer);
    // The viewer's image or pixels changed.
    void resetViewerHistogram();
    // The list's focused item (empty: none).
    void focusedPathChanged(const QString& path);

private:
    QPointer<CImagePreviewView> m_pane;
    QPointer<CDlgHistogram> m_dialog;
    bool m_dialogWanted = false;
};
