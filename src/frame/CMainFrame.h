#pragma once
// The program's only top-level window and the hub through which the panes reach each other:
// the browser's two splitters, the image view, the slide view, the tool bars and the address
// band, the status bar; the working mode, full screen, the folder history and the settings.

#include "browser/CImageListCtrl.h"
#include "browser/FileCommands.h"
#include "frame/CommandRouting.h"
#include "frame/FolderHistory.h"
#include "frame/MainFrameSettings.h"
#include "frame/StatusBarModel.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class CAddressComboEx;
class InfoPanels;
class CBrowserView;
class CImageView;
struct ViewerDialogs;
class CShellTree;
class CSlideView;
class CSuperSplitterWnd;
class CSuperStatusBar;
class ImageSequence;
class ListImageSequence;
class QComboBox;
class QLabel;
class QStackedWidget;
class QToolBar;

// What the frame needs from the application: where settings and temporary files live.
struct FrameServices {
    QString configPath;
    QString tempFolder;
    QString programFolder;
    bool showHiddenFiles = false;
};

// The enabled and checked state of a command's items; checked is empty for items that are
// not check marks.
struct CommandState {
    bool enabled = true;
    std::optional<bool> checked;
};

class QAction;

class CMainFrame : public QMainWindow, public ImageListHost {
    Q_OBJECT
public:
    explicit CMainFrame(FrameServices services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    FrameMode mode() const { return m_mode; }
    FrameMode previousMode() const { return m_previousMode; }
    bool isFullScreenMode() const { return m_fullScreen; }
    const FrameServices& services() const { return m_services; }

    // ---- Pane accessors --------------------------------------------------------------
    CImageView* GetImageView() const { return m_imageView; }
    CSlideView* GetSlideView() const { return m_slideView; }
    CImageListCtrl* GetThumbnailList() const { return m_thumbnailList; }
    QWidget* GetFolderPane() const { return m_folderPane; }
    CBrowserView* GetBrowserView() const { return m_browserView; }
    CShellTree* GetShellTree() const { return m_shellTree; }
    CAddressComboEx* GetAddressBar() const { return m_addressCombo; }
    // Whether the visible folder tree has the keyboard focus (commands then act on it).
    bool folderTreeHasFocus() const;
    QWidget* GetInformationPane() const { return m_informationPane; }
    InfoPanels* infoPanels() const { return m_info.get(); }
    CSuperStatusBar* GetStatusBar() const { return m_statusBar; }
    QToolBar* browserToolBar() const { return m_browserToolBar; }
    QToolBar* viewerToolBar() const { return m_viewerToolBar; }
    QToolBar* addressBand() const { return m_addressBand; }
    CSuperSplitterWnd* outerSplitter() const { return m_outerSplitter; }
    CSuperSplitterWnd* innerSplitter() const { return m_innerSplitter; }

    // ---- Modes -----------------------------------------------------------------------
    void EnterViewerMode();
    void EnterBrowserMode();
    void EnterFullScreen();
    void LeaveFullScreen();
    // The slide show over the list's images from item `index`, in full screen, and back to the
    // mode it started from.
    void StartSlideShow(int index);
    void EndSlideShow();
    // File > Exit: ends the program even from the viewer.
    void requestQuit();

    // ---- Folder history --------------------------------------------------------------
    void PushHistory(const QByteArray& idList, int source);
    const FolderHistory& history() const { return m_history; }
    // Every change of folder ends here: the list browses and the history records it.
    bool SelectFolder(const ItemIdList& folder, int source);
    void OnBack();
    void OnForward();
    void OnUp();
    bool canGoUp() const;
    // The folder the program starts in: the newest of the address history, else the user's
    // pictures folder.
    void OpenStartFolder();

    // ---- ImageListHost -----------------------------------------------------------------
    bool openImageInViewer(int index, const QString& path) override;
    bool selectFolderInTree(const ItemIdList& folder, int source) override;
    void setFrameTitle(const QString& title) override;
    void refreshStatusBar() override { RefreshStatusBar(); }
    void focusedPathChanged(const QString& path) override;
    void itemsChanged() override;
    bool isSizeSliderDragging() const override;
    void runCommand(int id) override;
    void showContextMenu(ListMenu menu, QPoint globalPos) override;

    // ---- Commands (FrameCommands.cpp) ----------------------------------------------------
    // The one action of a command id, shared by menus, tool bars and accelerators.
    QAction* actionFor(int id);
    // Carries out a command where the mode and the focus send it; false when it is
    // disabled or has no owner here.
    bool OnCommand(int id);
    CommandState commandState(int id) const;
    // Asks every command's owner for its state and updates the actions.
    void UpdateCommandStates();

    // ---- Bars ------------------------------------------------------------------------
    bool showToolBar() const { return m_settings.showToolBar; }
    bool showAddressBar() const { return m_settings.showAddressBar; }
    bool showStatusBar() const { return m_settings.showStatusBar; }
    void setShowToolBar(bool show);
    void setShowAddressBar(bool show);
    void setShowStatusBar(bool show);

    // ---- Status bar --------------------------------------------------------------------
    void RefreshStatusBar();
    // Browser mode only: the size clamped to 36..200 for the list, and the slider follows.
    void SetThumbnailSizeFromSlider(int size);
    // Viewer mode only: the factor clamped to 0.07..16.
    void SetZoomFromFrame(double zoom);
    // The folder's images as the viewer and the status bar see them.
    void setImageSequence(const ImageSequence* sequence);
    // What browser mode shows in the status bar; the thumbnail list supplies it.

    // The window placement as it would be stored now.
    WindowPlacement currentPlacement() const;

signals:
    void modeChanged(FrameMode mode);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildPanes();
    static ViewerDialogs viewerDialogs();
    // The folder tree reaches the list, the history and the address bar through the frame.
    void connectFolderTree();
    void buildBars();
    void applyBars();
    void applyPlacementOnFirstShow();
    StatusBarModel::BrowserFacts browserFacts() const;
    void buildCommands();
    void installMenuBar();
    FocusPane focusPane() const;
    CommandState frameCommandState(int id) const;
    CommandState viewerCommandState(int id) const;
    CommandState listCommandState(int id) const;
    bool runFrameCommand(int id);
    bool runViewerCommand(int id);
    bool openFromDialog();
    void goToHistoryEntry(const ItemIdList& folder, int source);
    FileCommands::ListContext listFileContext() const;
    bool isFileCommandEnabled(int id) const;
    bool runListCommand(int id);
    // Closes the viewer's image, asking first when it is modified; false when cancelled.
    bool closeViewerImage();

    FrameServices m_services;
    MainFrameSettings m_settings;
    FolderHistory m_history;

    QStackedWidget* m_stack = nullptr;
    CSuperSplitterWnd* m_outerSplitter = nullptr;
    CSuperSplitterWnd* m_innerSplitter = nullptr;
    QWidget* m_folderPane = nullptr;
    QWidget* m_informationPane = nullptr;
    std::unique_ptr<InfoPanels> m_info;
    QWidget* m_thumbnailPane = nullptr;
    CImageListCtrl* m_thumbnailList = nullptr;
    std::unique_ptr<ListImageSequence> m_listSequence;
    std::map<int, QAction*> m_actions;
    QAction* m_openListItem = nullptr;  // the list menus' "View and Edit" and "Browse"
    int m_listCommandInFlight = 0;
    // Set while UpdateCommandStates runs; otherwise a single state builds its own.
    std::optional<FileCommands::ListContext> m_statesContext;
    CImageView* m_imageView = nullptr;
    CSlideView* m_slideView = nullptr;
    QToolBar* m_browserToolBar = nullptr;
    QToolBar* m_viewerToolBar = nullptr;
    QToolBar* m_addressBand = nullptr;
    CAddressComboEx* m_addressCombo = nullptr;
    CBrowserView* m_browserView = nullptr;
    CShellTree* m_shellTree = nullptr;
    CSuperStatusBar* m_statusBar = nullptr;
    const ImageSequence* m_sequence = nullptr;

    FrameMode m_mode = FrameMode::Browser;
    FrameMode m_previousMode = FrameMode::Browser;
    bool m_fullScreen = false;
    bool m_quitRequested = false;
    bool m_layoutInitialised = false;
    // Placement from before full screen, stored if the program ends in full screen.
    WindowPlacement m_placementBeforeFullScreen;
    Qt::WindowStates m_statesBeforeFullScreen;
    QPointer<QWidget> m_activeBeforeViewer;
};
