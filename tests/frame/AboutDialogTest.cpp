#include "frame/CDlgAbout.h"
#include "frame/ProductInfo.h"
#include "browser/CBrowserView.h"

#include "Readability.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

TEST(AboutDialogTest, ShowsTheProductAndItsAddresses)
{
    CDlgAbout dialog;
    EXPECT_EQ(dialog.windowTitle(), "About Kelvra Photo Viewer");
    EXPECT_EQ(dialog.webSiteField()->text(), product::webSite());
    EXPECT_EQ(dialog.mailField()->text(), product::supportMailbox());
    EXPECT_TRUE(dialog.webSiteField()->isReadOnly());
    EXPECT_TRUE(dialog.mailField()->isReadOnly());
    EXPECT_TRUE(dialog.librariesText()->isReadOnly());
    EXPECT_TRUE(dialog.librariesText()->toPlainText().trimmed().endsWith("FreeImage Public License."));
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(Qt::white));

    // Pages and mailbox live on the one reserved example domain.
    EXPECT_EQ(product::helpPage(), product::webSite() + "/help.html");
    EXPECT_EQ(product::downloadPage(), product::webSite() + "/download.html");
    EXPECT_TRUE(QUrl(product::webSite()).host().endsWith(".example"));
    EXPECT_TRUE(QUrl(product::webSite()).host().endsWith(product::supportMailbox().section('@', 1)));
}

// The About box's white page and the pane chooser's grey keep dark text in a dark theme.
TEST(DarkTheme, FixedLightBackgroundsKeepTheirTextReadable)
{
    const fixtures::DarkTheme dark;
    CDlgAbout about;
    EXPECT_EQ(fixtures::unreadableTexts(&about), QStringList());
    CBrowserView browser;
    EXPECT_EQ(fixtures::unreadableTexts(&browser), QStringList());
}

}  // namespace
