#include "info/InfoPanels.h"

#include "app/CommandIds.h"
#include "info/CHistogramWnd.h"
#include "info/CImagePreviewView.h"

InfoPanels::InfoPanels(const QString& configPath, QWidget* paneParent, QWidget* frame,
                       CWndHistogram::ImageSource viewerImage)
    : m_pane(new CImagePreviewView(configPath, paneParent)),
      m_dialog(new CDlgHistogram(std::move(viewerImage), frame))
{
    m_dialog->hide();
    QObject::connect(m_dialog, &CDlgHistogram::closedByUser, m_dialog, [this] { m_dialogWanted = false; });
}

bool InfoPanels::handlesCommand(int id)
{
    return id == cmd::Histogram || CHistogramWnd::handlesCommand(id);
}

bool InfoPanels::isChecked(int id) const
{
    if (id == cmd::Histogram)
        return m_dialog && m_dialog->isVisible();
    return m_pane && m_pane->histogram()->isChecked(id);
}

void InfoPanels::OnCommand(int id)
{
    if (id == cmd::Histogram) {
        if (!m_dialog)
            return;
        m_dialogWanted = !m_dialog->isVisible();
        m_dialog->setVisible(m_dialogWanted);
        return;
    }
    if (m_pane)
        m_pane->histogram()->OnCommand(id);
}

void InfoPanels::viewerModeChanged(bool viewer)
{
    if (!m_dialog)
        return;
    if (viewer && m_dialogWanted)
        m_dialog->show();
    else if (!viewer)
        m_dialog->hide();
}

void InfoPanels::resetViewerHistogram()
{
    if (m_dialog)
        m_dialog->Reset();
}

void InfoPanels::focusedPathChanged(const QString& path)
{
    if (m_pane)
        m_pane->SetFocusedPath(path);
}
