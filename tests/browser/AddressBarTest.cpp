#include "browser/AddressPath.h"
#include "browser/CAddressComboEx.h"
#include "browser/CComboEdit.h"
#include "browser/CDlgRename.h"
#include "browser/CFileNameEdit.h"
#include "app/MessageBoxSeam.h"
#include "platform/ShellNamespace.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace {

// Records the message boxes shown while it lives.
class MessageLog {
public:
    MessageLog()
    {
        m_previous = MessageBoxSeam::setHandler([this](const MessageBoxSeam::Request& r) {
            texts << r.text;
            return QMessageBox::Ok;
        });
    }
    ~MessageLog() { MessageBoxSeam::setHandler(m_previous); }
    QStringList texts;

private:
    MessageBoxSeam::Handler m_previous;
};

}  // namespace

TEST(TypedPath, AcceptsFoldersAndHomeShorthandOnly)
{
    fixtures::TempDir dir;
    QDir(dir.path()).mkpath("a b/c");
    fixtures::writeFile(dir.file("file.jpg"), "x");
    const QByteArray home = QFile::encodeName(dir.path());

    EXPECT_EQ(resolveTypedPath("  ", home).result, TypedPath::Empty);
    EXPECT_EQ(resolveTypedPath(dir.file("a b") + "//", home).path, home + "/a b");
    EXPECT_EQ(resolveTypedPath("/", home).path, "/");
    EXPECT_EQ(resolveTypedPath("~", home).path, home);
    EXPECT_EQ(resolveTypedPath("~/a b/c", home).path, home + "/a b/c");
    for (const QString& bad : {dir.file("missing"), dir.file("file.jpg"), QString("a b"), QString("~user/x"), QString("C:")})
        EXPECT_EQ(resolveTypedPath(bad, home).result, TypedPath::Invalid) << bad.toStdString();
}

class AddressBar : public ::testing::Test {
protected:
    AddressBar() : shell(QFile::encodeName(dir.path()), {{"/", "/dev/sda1", "ext4", "File System"}})
    {
        QDir(dir.path()).mkpath("pics/2024");
    }
    ItemIdList folder(const char* relative) const { return shell.idListFromPath(QFile::encodeName(dir.file(relative))); }

    fixtures::TempDir dir;
    ShellNamespace shell;
};

TEST_F(AddressBar, ATypedFolderIsAddedAndVisitedAndABadOneIsExplained)
{
    CAddressComboEx combo(dir.file("HistoryPath.data"));
    combo.setShell(&shell);
    QSignalSpy navigate(&combo, &CAddressComboEx::navigateRequested);
    MessageLog log;

    combo.lineEdit()->setText(dir.file("pics/2024/"));
    combo.browseToTypedPath();
    ASSERT_EQ(navigate.size(), 1);
    EXPECT_EQ(navigate[0][0].value<ItemIdList>(), folder("pics/2024"));
    EXPECT_TRUE(combo.selectedNames(folder("pics/2024")));
    EXPECT_EQ(combo.itemText(0), dir.file("pics/2024"));

    combo.lineEdit()->setText("pics");
    combo.browseToTypedPath();
    EXPECT_EQ(navigate.size(), 1);
    ASSERT_EQ(log.texts.size(), 1);
    EXPECT_EQ(log.texts[0], "Could not browse to folder 'pics'.\nPlease check the path.");
    EXPECT_EQ(combo.count(), 1);
    EXPECT_EQ(combo.lineEdit()->selectedText(), "pics");
}

TEST_F(AddressBar, HistoryIsSavedWhenTheBarGoesAndRestoredNewestFirst)
{
    {
        CAddressComboEx combo(dir.file("HistoryPath.data"));
        combo.setShell(&shell);
        combo.AddAddress(folder("pics"), 0);
        combo.AddAddress(folder("pics/2024"), 1);
    }
    CAddressComboEx combo(dir.file("HistoryPath.data"));
    combo.setShell(&shell);
    combo.LoadAddresses();
    ASSERT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(combo.itemText(0), dir.file("pics/2024"));
    EXPECT_EQ(combo.history().entries()[0].source, 1u);
    EXPECT_FALSE(combo.itemIcon(0).isNull());
}

TEST_F(AddressBar, AFolderReachedByTwoRoutesIsNamedOnce)
{
    // The same folder through Home and through Computer > File System.
    ItemIdList viaRoot({{ItemTag::Computer, {}}, {ItemTag::Volume, "/"}});
    for (const QByteArray& part : QFile::encodeName(dir.file("pics")).split('/'))
        if (!part.isEmpty())
            viaRoot = viaRoot.combined(ItemIdList::entry(part));
    ASSERT_NE(viaRoot, folder("pics"));
    ASSERT_EQ(shell.pathFromIdList(viaRoot), shell.pathFromIdList(folder("pics")));
    {
        CAddressComboEx combo(dir.file("HistoryPath.data"));
        combo.setShell(&shell);
        combo.AddAddress(folder("pics"), 0);
        combo.AddAddress(folder("pics/2024"), 0);
        combo.AddAddress(viaRoot, 0);
        EXPECT_EQ(combo.count(), 2);
        EXPECT_TRUE(combo.selectedNames(folder("pics")));
    }
    EXPECT_EQ(HistoryFile::parse(fixtures::readFile(dir.file("HistoryPath.data"))).size(), 2u);

    // A file written with both routes loads as one entry; as for a repeated id list, the
    // later record replaces the earlier.
    HistoryFile::save(dir.file("HistoryPath.data"), [&] {
        AddressHistory both;
        both.addAddress(viaRoot, 0);
        both.addAddress(folder("pics"), 1);
        return both;
    }());
    CAddressComboEx combo(dir.file("HistoryPath.data"));
    combo.setShell(&shell);
    combo.LoadAddresses();
    ASSERT_EQ(combo.count(), 1);
    EXPECT_EQ(combo.history().entries()[0].folder, viaRoot);
}

TEST_F(AddressBar, KeysThatWouldStepThroughTheHistoryDoNothingWhileClosed)
{
    CAddressComboEx combo(dir.file("HistoryPath.data"));
    combo.setShell(&shell);
    combo.AddAddress(folder("pics"), 0);
    combo.AddAddress(folder("pics/2024"), 0);
    combo.show();
    QSignalSpy navigate(&combo, &CAddressComboEx::navigateRequested);
    for (auto key : {Qt::Key_Up, Qt::Key_PageUp, Qt::Key_PageDown})
        QTest::keyClick(combo.comboEdit(), key);
    EXPECT_EQ(combo.currentIndex(), 0);
    QTest::keyClick(combo.comboEdit(), Qt::Key_Down);
    EXPECT_TRUE(combo.view()->isVisible());
    EXPECT_EQ(combo.currentIndex(), 0);
    combo.hidePopup();
    EXPECT_EQ(navigate.size(), 0);
}

TEST(RenameDialog, ShowsTheFileNameAndKeepsTheEditedTextWithoutRefusedCharacters)
{
    CDlgRename dialog("/photos/2024/beach day.jpg");
    EXPECT_EQ(dialog.windowTitle(), "Rename");
    EXPECT_EQ(dialog.edit()->text(), "beach day.jpg");
    int beeps = 0;
    dialog.edit()->setBeep([&] { ++beeps; });
    dialog.edit()->selectAll();
    QTest::keyClicks(dialog.edit(), "a\\b:c.png");
    EXPECT_EQ(beeps, 2);
    dialog.accept();
    EXPECT_EQ(dialog.newName(), "abc.png");
}
