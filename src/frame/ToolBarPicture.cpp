#include "frame/ToolBarPicture.h"

#include "app/CommandIds.h"
#include "app/ProgramFiles.h"

#include <QAction>
#include <QImageReader>
#include <QMenu>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

namespace toolbar {

namespace {

constexpr Button separator()
{
    return {0, -1, ButtonStyle::Separator};
}

constexpr Button button(int command, int image, ButtonStyle style = ButtonStyle::Button)
{
    return {command, image, style};
}

// Several pictures (the arrows) are grey already, so Qt's own greyed look hardly differs
// from them: a disabled button is grey and faint.
QImage faded(const QImage& image)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* pixel = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const int grey = qGray(pixel[x]);
            pixel[x] = qRgba(grey, grey, grey, qAlpha(pixel[x]) * 2 / 5);
        }
    }
    return result;
}

}  // namespace

const std::vector<Button>& browserButtons()
{
    static const std::vector<Button> buttons = {
        button(cmd::Back, 0),
        button(cmd::Forward, 1),
        button(cmd::Up, 2),
        separator(),
        button(cmd::Export, 3),
        button(cmd::AddToFavorites, 4),
        button(cmd::NewFolder, 5),
        button(cmd::Delete, 6),
        separator(),
        button(cmd::RotateLeft, 7),
        button(cmd::RotateRight, 8),
        button(cmd::SlideShow, 9),
        button(cmd::FullScreen, 10),
        separator(),
        button(cmd::Print, 11),
        button(cmd::EmailImages, 12),
        button(cmd::SetWallpaperCenter, 13, ButtonStyle::DropDown),
        button(cmd::Sort, 14, ButtonStyle::WholeDropDown),
        separator(),
        button(cmd::Properties, 15),
        button(cmd::HelpButton, 16, ButtonStyle::DropDown),
    };
    return buttons;
}

const std::vector<Button>& viewerButtons()
{
    static const std::vector<Button> buttons = {
        button(cmd::Browse, 18),
        button(cmd::Open, 19),
        button(cmd::SaveAs, 20),
        separator(),
        button(cmd::Undo, 21),
        button(cmd::Redo, 22),
        separator(),
        button(cmd::CropToSelection, 23),
        button(cmd::RotateLeft, 7),
        button(cmd::RotateRight, 8),
        button(cmd::RedEyeReduction, 24),
        button(cmd::EnhanceColors, 25, ButtonStyle::DropDown),
        separator(),
        button(cmd::PreviousImage, 26),
        button(cmd::NextImage, 27),
        button(cmd::QuickSlideShow, 28),
        separator(),
        button(cmd::PanTool, 29),
        button(cmd::SelectTool, 30),
        button(cmd::ZoomTool, 31),
        separator(),
        button(cmd::ZoomIn, 32, ButtonStyle::DropDown),
        button(cmd::ZoomOut, 33, ButtonStyle::DropDown),
        button(cmd::FitImageButton, 34, ButtonStyle::DropDown),
        separator(),
        button(cmd::SlideShow, 9),
        button(cmd::FullScreen, 10),
        separator(),
        button(cmd::Print, 11),
        button(cmd::EmailImages, 12),
        button(cmd::SetWallpaperCenter, 13, ButtonStyle::DropDown),
        separator(),
        button(cmd::Properties, 15),
        button(cmd::HelpButton, 16, ButtonStyle::DropDown),
    };
    return buttons;
}

QIcon Images::icon(int index) const
{
    if (index < 0 || index >= count())
        return {};
    QIcon result;
    result.addPixmap(QPixmap::fromImage(normal[index]), QIcon::Normal);
    result.addPixmap(QPixmap::fromImage(hot[index]), QIcon::Active);
    result.addPixmap(QPixmap::fromImage(faded(normal[index])), QIcon::Disabled);
    if (index < normal2x.size() && index < hot2x.size()) {
        // Qt picks these on screens of double density instead of enlarging the small ones.
        const auto sharp = [](QImage image) {
            image.setDevicePixelRatio(2);
            return QPixmap::fromImage(image);
        };
        result.addPixmap(sharp(normal2x[index]), QIcon::Normal);
        result.addPixmap(sharp(hot2x[index]), QIcon::Active);
        result.addPixmap(sharp(faded(normal2x[index])), QIcon::Disabled);
    }
    return result;
}

QString buttonName(int command)
{
    // Buttons whose own command is in no menu are named after what they drop or stand for.
    switch (command) {
    case cmd::Sort: return QStringLiteral("Sort");
    case cmd::FitImageButton: return menus::plainCommandText(cmd::FitImage);
    case cmd::HelpButton: return menus::plainCommandText(cmd::Help);
    default: return menus::plainCommandText(command);
    }
}

QString picturePath(const QString& programFolder)
{
    return ProgramFiles::dataFile(programFolder, QStringLiteral("tool bar.png"));
}

namespace {

void cutPicture(const QString& path, int size, QList<QImage>& normal, QList<QImage>& hot)
{
    QImageReader reader(path);
    QImage picture = reader.read();
    if (picture.isNull())
        return;
    picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int count = picture.width() / (2 * size);
    const int hotLeft = picture.width() / 2;
    for (int n = 0; n < count; ++n) {
        // A picture lower than its cells leaves the rest of each image transparent.
        normal.append(picture.copy(size * n, 0, size, size));
        hot.append(picture.copy(hotLeft + size * n, 0, size, size));
    }
}

}  // namespace

Images loadPicture(const QString& path)
{
    Images images;
    cutPicture(path, kImageSize, images.normal, images.hot);
    if (images.isEmpty())
        return images;
    QString sharp = path;
    if (sharp.endsWith(QStringLiteral(".png")))
        sharp.insert(sharp.size() - 4, QStringLiteral("@2x"));
    cutPicture(sharp, 2 * kImageSize, images.normal2x, images.hot2x);
    if (images.normal2x.size() != images.normal.size()) {
        images.normal2x.clear();
        images.hot2x.clear();
    }
    return images;
}

int populate(QToolBar* bar, const std::vector<Button>& buttons, const menus::ActionLookup& actionFor,
             const Images& images)
{
    bar->setIconSize(QSize(kImageSize, kImageSize));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    int added = 0;
    for (const Button& entry : buttons) {
        if (entry.style == ButtonStyle::Separator) {
            bar->addSeparator();
            continue;
        }
        QAction* action = actionFor ? actionFor(entry.command) : nullptr;
        if (!action) {
            action = new QAction(bar);
            action->setData(entry.command);
            action->setEnabled(false);
        }
        const QIcon icon = images.icon(entry.image);
        if (!icon.isNull())
            action->setIcon(icon);
        // The tool tip and the status bar's fly-by text name the button as its menu item does.
        const QString text = buttonName(entry.command);
        if (!text.isEmpty()) {
            action->setIconText(text);
            action->setToolTip(text);
            action->setStatusTip(text);
        }
        bar->addAction(action);
        ++added;
        // Without its picture a button shows its name rather than nothing at all.
        if (icon.isNull() && action->icon().isNull())
            if (auto* plainButton = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
                plainButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
        if (entry.style == ButtonStyle::Button)
            continue;
        auto* toolButton = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        if (!toolButton)
            continue;
        QMenu* menu = menus::buildDropDownMenu(entry.command, actionFor, toolButton);
        if (!menu)
            continue;  // a drop-down whose menu is not found shows none
        toolButton->setMenu(menu);
        toolButton->setPopupMode(entry.style == ButtonStyle::WholeDropDown ? QToolButton::InstantPopup
                                                                           : QToolButton::MenuButtonPopup);
    }
    return added;
}

}  // namespace toolbar
