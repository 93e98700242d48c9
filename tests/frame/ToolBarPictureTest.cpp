#include "app/CommandIds.h"
#include "frame/ToolBarPicture.h"

#include <QAccessible>
#include <QAction>
#include <QCoreApplication>
#include <QImageReader>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>

namespace {

// The build writes the picture beside the program, two folders above the test binary.
QString composedPicture()
{
    return toolbar::picturePath(QCoreApplication::applicationDirPath() + "/../..");
}

// Summed brightness and count of the visible pixels of an image.
std::pair<double, int> brightness(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    int visible = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb c = argb.pixel(x, y);
            if (qAlpha(c) < 128)
                continue;
            sum += qGray(c);
            ++visible;
        }
    return {sum, visible};
}

TEST(ToolBarPictureTest, ComposedPictureHoldsEveryImageWithABrighterHotCopy)
{
    const QString path = composedPicture();
    const QSize size = QImageReader(path).size();
    ASSERT_TRUE(size.isValid()) << path.toStdString();
    EXPECT_EQ(size.width(), 24 * toolbar::kImageCount * 2);
    EXPECT_GE(size.height(), 24);

    const toolbar::Images images = toolbar::loadPicture(path);
    ASSERT_EQ(images.count(), toolbar::kImageCount);
    ASSERT_EQ(images.hot.size(), images.normal.size());
    for (int n = 0; n < images.count(); ++n) {
        EXPECT_EQ(images.normal[n].size(), QSize(24, 24));
        const auto [normalSum, normalVisible] = brightness(images.normal[n]);
        const auto [hotSum, hotVisible] = brightness(images.hot[n]);
        EXPECT_GT(normalVisible, 40) << "image " << n << " is (nearly) empty";
        EXPECT_EQ(hotVisible, normalVisible) << "image " << n;
        EXPECT_GT(hotSum, normalSum) << "image " << n;
    }

    // On a screen of double density each button shows its 48-pixel picture, not the small
    // one enlarged.
    ASSERT_EQ(images.normal2x.size(), images.normal.size());
    for (int n = 0; n < images.count(); ++n) {
        EXPECT_EQ(images.normal2x[n].size(), QSize(48, 48));
        const QImage shown = images.icon(n).pixmap(QSize(24, 24), 2.0).toImage();
        EXPECT_EQ(shown.size(), QSize(48, 48)) << "image " << n;
        EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32), images.normal2x[n].convertToFormat(QImage::Format_ARGB32))
            << "image " << n;
    }
}

TEST(ToolBarPictureTest, ImagesAreCutFromBothHalves)
{
    QTemporaryDir folder;
    // Three images: cell n of the left half is grey 10·(n+1), of the right half 100 + that.
    QImage picture(24 * 3 * 2, 30, QImage::Format_ARGB32);
    picture.fill(Qt::black);
    for (int n = 0; n < 3; ++n)
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                const int grey = 10 * (n + 1);
                picture.setPixel(24 * n + x, y, qRgb(grey, grey, grey));
                picture.setPixel(72 + 24 * n + x, y, qRgb(100 + grey, 100 + grey, 100 + grey));
            }
    ASSERT_TRUE(picture.save(toolbar::picturePath(folder.path()), "PNG"));

    const toolbar::Images images = toolbar::loadPicture(toolbar::picturePath(folder.path()));
    ASSERT_EQ(images.count(), 3);
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(qRed(images.normal[n].pixel(0, 0)), 10 * (n + 1));
        EXPECT_EQ(qRed(images.normal[n].pixel(23, 23)), 10 * (n + 1));
        EXPECT_EQ(qRed(images.hot[n].pixel(12, 12)), 110 + 10 * n);
    }
    EXPECT_FALSE(images.icon(2).isNull());
    EXPECT_TRUE(images.icon(3).isNull());
    // A disabled button is visibly fainter than the normal grey picture.
    const QImage disabled = images.icon(2).pixmap(QSize(24, 24), QIcon::Disabled).toImage();
    EXPECT_LT(qAlpha(disabled.pixel(12, 12)), 128);
}

TEST(ToolBarPictureTest, MissingOrTooNarrowPictureGivesNoImages)
{
    QTemporaryDir folder;
    EXPECT_TRUE(toolbar::loadPicture(toolbar::picturePath(folder.path())).isEmpty());
    QImage narrow(47, 24, QImage::Format_ARGB32);
    narrow.fill(Qt::red);
    narrow.save(toolbar::picturePath(folder.path()), "PNG");
    EXPECT_TRUE(toolbar::loadPicture(toolbar::picturePath(folder.path())).isEmpty());
}

TEST(ToolBarPictureTest, ToolBarsGetEveryCommandAndTheirDropDowns)
{
    QWidget owner;
    std::map<int, QAction*> actions;
    const menus::ActionLookup lookup = [&](int id) {
        QAction*& action = actions[id];
        if (!action)
            action = new QAction(QString::number(id), &owner);
        return action;
    };
    const toolbar::Images images = toolbar::loadPicture(composedPicture());

    const struct {
        const std::vector<toolbar::Button>* buttons;
        int count;
    } bars[] = {{&toolbar::browserButtons(), 17}, {&toolbar::viewerButtons(), 26}};
    for (const auto& entry : bars) {
        QToolBar bar;
        EXPECT_EQ(toolbar::populate(&bar, *entry.buttons, lookup, images), entry.count);
        for (const toolbar::Button& button : *entry.buttons) {
            if (button.style == toolbar::ButtonStyle::Separator)
                continue;
            EXPECT_LT(button.image, toolbar::kImageCount);
            QAction* action = actions.at(button.command);
            ASSERT_TRUE(bar.actions().contains(action)) << button.command;
            EXPECT_FALSE(action->icon().isNull()) << button.command;
            auto* toolButton = qobject_cast<QToolButton*>(bar.widgetForAction(action));
            ASSERT_TRUE(toolButton) << button.command;
            // Named as the menu names the command, for the tool tip, the status bar and a
            // screen reader alike.
            const QString text = toolbar::buttonName(button.command);
            EXPECT_FALSE(text.isEmpty()) << button.command;
            EXPECT_EQ(action->toolTip(), text);
            EXPECT_EQ(action->statusTip(), text);
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(toolButton);
            ASSERT_TRUE(accessible);
            EXPECT_EQ(accessible->text(QAccessible::Name), text);
            switch (button.style) {
            case toolbar::ButtonStyle::Button:
                EXPECT_EQ(toolButton->menu(), nullptr) << button.command;
                break;
            case toolbar::ButtonStyle::DropDown:
                ASSERT_TRUE(toolButton->menu()) << button.command;
                EXPECT_EQ(toolButton->popupMode(), QToolButton::MenuButtonPopup) << button.command;
                break;
            case toolbar::ButtonStyle::WholeDropDown:
                ASSERT_TRUE(toolButton->menu()) << button.command;
                EXPECT_EQ(toolButton->popupMode(), QToolButton::InstantPopup) << button.command;
                break;
            case toolbar::ButtonStyle::Separator:
                break;
            }
        }
    }

    // Without a picture the buttons are there, without images; a command without an owner
    // still gets a (disabled) button.
    QToolBar bare;
    EXPECT_EQ(toolbar::populate(&bare, toolbar::browserButtons(), [](int) { return nullptr; }, {}), 17);
    for (QAction* action : bare.actions()) {
        EXPECT_TRUE(action->icon().isNull());
        if (!action->isSeparator()) {
            EXPECT_FALSE(action->isEnabled());
            // ... and show their names instead of an empty square.
            auto* toolButton = qobject_cast<QToolButton*>(bare.widgetForAction(action));
            ASSERT_TRUE(toolButton);
            EXPECT_EQ(toolButton->toolButtonStyle(), Qt::ToolButtonTextOnly);
            EXPECT_FALSE(toolButton->text().isEmpty());
        }
    }
}

TEST(ToolBarPictureTest, PlainCommandTextDropsMnemonicsAndKeys)
{
    const struct {
        int id;
        const char* text;
    } cases[] = {{cmd::Open, "Open..."}, {cmd::BlackAndWhite, "Black & White"}, {cmd::Reopen, "Reopen"}, {0, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(menus::plainCommandText(c.id), QString::fromUtf8(c.text)) << c.id;
}

}  // namespace
