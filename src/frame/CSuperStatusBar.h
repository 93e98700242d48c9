#pragma once
// The main window's status bar: text panes for the current mode, and a slider with a small
// magnifier that sets the zoom in the viewer and the thumbnail size in the browser. The
// texts come from StatusBarModel; the frame supplies the facts.

#include "frame/StatusBarModel.h"

#include <QEvent>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>

#include <functional>
#include <vector>

class QLabel;

// Sent by the slider to the bar 300 ms after the last drag step.
inline constexpr QEvent::Type WM_SLIDER_SETTLED = static_cast<QEvent::Type>(QEvent::User + 118);

// The slider knows whether it is being dragged: while it is, the viewer draws with its fast
// path and the list asks for no new thumbnails.
class CSuperSliderCtrl : public QSlider {
    Q_OBJECT
public:
    explicit CSuperSliderCtrl(QWidget* parent = nullptr);
    bool dragging() const { return m_dragging; }
    // Restarted on every drag step; when it fires the drag has settled.
    void noteTracking();
    void noteOtherChange();

signals:
    void settled();

private:
    QTimer m_settleTimer;
    bool m_dragging = false;
};

class CSuperStatusBar : public QStatusBar {
    Q_OBJECT
public:
    enum class Table { Browser, Viewer, ViewerNoImage };

    explicit CSuperStatusBar(QWidget* parent = nullptr);

    // Shows the panes of `table` with these texts.
    void showPanes(Table table, const StatusBarModel::Panes& panes);
    Table table() const { return m_table; }
    QString paneText(int index) const;
    bool paneEnabled(int index) const;

    // Move the slider without notifying anyone.
    void SetSliderFromZoom(double zoom);
    void SetSliderFromThumbnailSize(int size);
    CSuperSliderCtrl* slider() const { return m_slider; }

signals:
    // The slider moved by the user: the new zoom (viewer) or thumbnail size (browser).
    void zoomRequested(double zoom);
    void thumbnailSizeRequested(int size);
    // 300 ms after a drag: time to redraw in high quality.
    void sliderSettled();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutPanes();
    void onSliderMoved(int position);
    void setSliderQuietly(int position);

    std::vector<QLabel*> m_panes;
    std::vector<std::optional<QString>> m_texts = std::vector<std::optional<QString>>(6);
    CSuperSliderCtrl* m_slider = nullptr;
    QLabel* m_zoomIcon = nullptr;
    Table m_table = Table::Browser;
};
