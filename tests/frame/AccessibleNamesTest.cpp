// Every control a screen reader can reach carries a name, in each of the window's modes.
#include "FrameTestSupport.h"

#include "app/CommandIds.h"
#include "slideshow/CSlideToolBar.h"
#include "browser/CBrowserView.h"
#include "slideshow/CSlideView.h"
#include "export/CDlgExport.h"
#include "frame/CDlgAbout.h"
#include "imaging/dialogs/CDlgAsciiArt.h"
#include "info/CDlgHistogram.h"
#include "info/CFilePropertyDlg.h"
#include "viewer/CDlgQuerySave.h"
#include "viewer/CDlgSetZoomLevel.h"
#include "imaging/dialogs/ColorDialogs.h"
#include "imaging/dialogs/ValueDialogs.h"
#include "imaging/geometry/CDlgRotate.h"
#include "imaging/geometry/DepthDialogs.h"
#include "imaging/geometry/SizeDialogs.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The controls whose role a screen reader announces by name; scroll bars and plain panes
// (Client, Pane, Grouping) carry no name of their own.
bool needsName(const QAccessibleInterface& a)
{
    switch (a.role()) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonMenu:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
    case QAccessible::PageTabList:
        return true;
    case QAccessible::ScrollBar:
        return false;
    default:
        // Focusable controls, and widgets that paint a picture or text of their own.
        return a.state().focusable || (a.role() == QAccessible::Client && a.childCount() == 0);
    }
}

// Describes every shown control below `root` that needs a name and has none.
void collectNameless(QAccessibleInterface* a, const QString& path, QStringList& nameless)
{
    if (!a || a->state().invisible)
        return;
    // Qt's tool-bar separators and the viewport behind a named scroll area are no controls.
    if (a->object() && (a->object()->inherits("QToolBarSeparator") || a->object()->objectName() == "qt_scrollarea_viewport"))
        return;
    const QString here = path + u'/' + (a->object() ? QString::fromLatin1(a->object()->metaObject()->className()) + u'#' + a->object()->objectName() : QStringLiteral("item"));
    if (needsName(*a) && a->text(QAccessible::Name).trimmed().isEmpty())
        nameless << here + QStringLiteral(" role 0x%1").arg(int(a->role()), 0, 16);
    // Rows and cells of item views are named by their own text; their containers are what
    // matters here.
    if (a->role() == QAccessible::List || a->role() == QAccessible::Tree || a->role() == QAccessible::Table)
        return;
    for (int i = 0; i < a->childCount(); ++i)
        collectNameless(a->child(i), here, nameless);
}

std::string namelessBelow(QObject* root)
{
    QStringList nameless;
    collectNameless(QAccessible::queryAccessibleInterface(root), QString(), nameless);
    return nameless.join(u'\n').toStdString();
}

class AccessibleNamesTest : public FrameWithPhotos {};

TEST_F(AccessibleNamesTest, EveryShownControlHasANameInEachMode)
{
    startFrame({"a.jpg", "b.jpg"}, false);
    ASSERT_TRUE(list()->BrowseToPath(photos.path()));
    // The window's commands (its keys and the tool bars' buttons) and the menus' items are
    // read out by their text.
    QList<QAction*> actions = frame->actions();
    for (QAction* menu : frame->menuBar()->actions())
        actions << menu << menu->menu()->actions();
    QStringList textless;
    for (const QAction* action : actions)
        if (!action->isSeparator() && action->text().remove(u'&').trimmed().isEmpty())
            textless << QString::number(action->data().toInt());
    EXPECT_EQ(textless.join(u' ').toStdString(), "");
    EXPECT_EQ(namelessBelow(frame.get()), "") << "browser";
    frame->GetBrowserView()->choosePane(2);
    EXPECT_EQ(namelessBelow(frame.get()), "") << "favorites";
    frame->GetBrowserView()->choosePane(1);
    list()->OpenItem(0);
    ASSERT_EQ(frame->mode(), FrameMode::Viewer);
    EXPECT_EQ(namelessBelow(frame.get()), "") << "viewer";
    ASSERT_TRUE(frame->OnCommand(cmd::SlideShow));
    EXPECT_EQ(namelessBelow(frame->GetSlideView()->toolBar()), "") << "slide show";
    // The show's picture buttons are buttons a screen reader can press.
    QAccessibleInterface* exit = QAccessible::queryAccessibleInterface(frame->GetSlideView()->toolBar()->button(slideshow::ExitButton));
    ASSERT_TRUE(exit && exit->actionInterface());
    EXPECT_EQ(exit->role(), QAccessible::Button);
    exit->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(frame->mode(), FrameMode::Viewer);
}

// The dialogs whose controls sit beside separate labels or show only a picture.
TEST(AccessibleNames, DialogControlsAreNamed)
{
    fipSuperImage image = fixtures::patternImage(64, 48);
    SizeUnits::Source size;
    size.width = 64;
    size.height = 48;
    const std::vector<std::pair<const char*, std::function<std::unique_ptr<QDialog>()>>> dialogs = {
        {"Add Noise", [&] { return std::make_unique<CDlgAddNoise>(&image); }},
        {"Mosaic", [&] { return std::make_unique<CDlgMosaic>(&image); }},
        {"Wind", [&] { return std::make_unique<CDlgWind>(&image); }},
        {"Stripe", [&] { return std::make_unique<CDlgStripe>(&image); }},
        {"Colorize", [&] { return std::make_unique<CDlgColorize>(&image); }},
        {"Enhance Colors", [&] { return std::make_unique<CDlgEnhanceColors>(&image); }},
        {"Adjust HSL", [&] { return std::make_unique<CDlgAdjustHSL>(&image); }},
        {"Rotate", [&] { return std::make_unique<CDlgRotate>(&image); }},
        {"Resize", [&] { return std::make_unique<CDlgResize>(size); }},
        {"Resize Canvas", [&] { return std::make_unique<CDlgResizeCanvas>(size); }},
        {"Set DPI", [&] { return std::make_unique<CDlgSetDPI>(72.0, 72.0); }},
        {"Change Depth", [&] { return std::make_unique<CDlgChangeBPP>(24u); }},
        {"Export", [&] { return std::make_unique<CDlgExport>(QDir::tempPath()); }},
        {"ASCII Art", [&] { return std::make_unique<CDlgAsciiArt>(image); }},
        {"Histogram", [&] { return std::make_unique<CDlgHistogram>([&] { return &image; }); }},
        {"About", [&] { return std::make_unique<CDlgAbout>(); }},
        {"Properties", [&] { return std::make_unique<CFilePropertyDlg>(QStringList{QDir::tempPath()}); }},
        {"Set Zoom Level", [&] { return std::make_unique<CDlgSetZoomLevel>(0.5, ZoomType::FitImage); }},
        {"Save Changes", [&] { return std::make_unique<CDlgQuerySave>(nullptr, CDlgQuerySave::SaveFileStep{}); }},
    };
    for (const auto& [name, make] : dialogs) {
        const std::unique_ptr<QDialog> dialog = make();
        dialog->show();
        EXPECT_EQ(namelessBelow(dialog.get()), "") << name;
    }
}

}  // namespace
