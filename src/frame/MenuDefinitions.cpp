// The contents of every menu and the accelerator table. Texts are the program's own wording;
// the part after a tab is the key shown beside the item (docs/menus.md explains where each
// command sits).

#include "app/CommandIds.h"
#include "frame/Menus.h"

#include <map>

namespace menus {

MenuItem MenuItem::command(int id, const QString& text)
{
    MenuItem item;
    item.kind = Kind::Command;
    item.id = id;
    item.text = text;
    return item;
}

MenuItem MenuItem::separator()
{
    return MenuItem{};
}

MenuItem MenuItem::submenu(const QString& text, std::vector<MenuItem> children)
{
    MenuItem item;
    item.kind = Kind::Submenu;
    item.text = text;
    item.children = std::move(children);
    return item;
}

namespace {

MenuItem C(int id, const char* text)
{
    return MenuItem::command(id, QString::fromUtf8(text));
}

MenuItem S()
{
    return MenuItem::separator();
}

MenuItem M(const char* text, MenuItems children)
{
    return MenuItem::submenu(QString::fromUtf8(text), std::move(children));
}

// ---- Pieces that several menus share -----------------------------------------------------

MenuItems openWith()
{
    return {C(cmd::OpenWithProgram, "Associated &Program\tF3"),
            C(cmd::OpenWithEditor, "Associated &Editor\tF4")};
}

MenuItems setWallpaper()
{
    return {C(cmd::SetWallpaperCenter, "&Center"), C(cmd::SetWallpaperTile, "&Title"),
            C(cmd::SetWallpaperStretch, "&Stretch"), S(), C(cmd::RestoreWallpaper, "&Restore")};
}

MenuItems selectionRatio()
{
    return {C(cmd::SelFree, "&Free"),       C(cmd::SelSameAsImage, "&Same as Image"), S(),
            C(cmd::Sel1x1, "&1:1"),         C(cmd::Sel1x2, "1:&2"),
            C(cmd::Sel3x4, "&3:4"),         C(cmd::Sel9x13, "&9:13"),
            C(cmd::Sel10x15, "1&0:15"),     C(cmd::Sel13x18, "13:1&8"),
            C(cmd::Sel20x25, "20:2&5"),     S(),
            C(cmd::SelPortrait, "&Portrait"), C(cmd::SelLandscape, "&Landscape")};
}

MenuItems sortBy()
{
    return {C(cmd::SortByName, "File &Name"),
            C(cmd::SortBySize, "File &Size"),
            C(cmd::SortByType, "File &Type"),
            C(cmd::SortByDate, "&Modified Date"),
            C(cmd::SortByPhotoSize, "&Photo Size"),
            S(),
            C(cmd::SortForward, "Sort &Forward"),
            C(cmd::SortBackward, "Sort &Backward")};
}

MenuItems thumbnailSizes()
{
    static const char* const kTexts[] = {"36x36",   "48x48",   "64x64",   "85x85",
                                         "100x100", "128x128", "150x150", "200x200"};
    MenuItems items;
    int id = cmd::ThumbSizeFirst;
    for (const char* text : kTexts)
        items.push_back(C(id++, text));
    return items;
}

MenuItems histogramChannels()
{
    return {C(cmd::HistogramRed, "&Red"), C(cmd::HistogramGreen, "&Green"),
            C(cmd::HistogramBlue, "&Blue"), C(cmd::HistogramGray, "Gr&ay")};
}

MenuItems jpegLossless()
{
    return {C(cmd::JpegRotateLeft, "Rotate &Left 90 Degrees"),
            C(cmd::JpegRotateRight, "Rotate &Right 90 Degrees"),
            C(cmd::JpegRotate180, "Rotate &180 Degrees"),
            S(),
            C(cmd::JpegVerticalFlip, "&Vertical Flip"),
            C(cmd::JpegHorizontalFlip, "&Horizontal Flip")};
}

// Zoom levels from 1600% down to 7%, `first` and `last` counted from the top.
MenuItems zoomLevels(int first, int last)
{
    static const char* const kTexts[] = {"1600%", "1200%", "800%", "700%", "600%", "500%", "400%",
                                         "300%",  "200%",  "150%", "100%", "70%",  "50%",  "30%",
                                         "25%",   "20%",   "15%",  "10%",  "7%"};
    MenuItems items;
    for (int i = first; i <= last; ++i)
        items.push_back(C(cmd::ZoomLevelFirst + i, kTexts[i]));
    return items;
}

constexpr int kLevel100 = 10;  // position of "100%" in the level list
constexpr int kLevelLast = 18;

MenuItem helpMenu()
{
    return M("&Help", {C(cmd::Help, "&Help\tF1"), S(), C(cmd::Website, "&Kelvra Photo Viewer Website"),
                       C(cmd::CheckForUpdates, "Check for &Updates"), C(cmd::ContactUs, "Co&ntact Us"), S(),
                       C(cmd::About, "&About Kelvra Photo Viewer...")});
}

// The file commands of the list's item menus, from Cut down to Properties.
MenuItems listFileCommands()
{
    return {C(cmd::Cut, "Cu&t\tCtrl+X"),
            C(cmd::Copy, "&Copy\tCtrl+C"),
            C(cmd::Paste, "&Paste\tCtrl+V"),
            S(),
            C(cmd::Delete, "&Delete\tDelete"),
            C(cmd::Rename, "Rena&me\tF2"),
            C(cmd::CopyToFolder, "Copy to &Folder..."),
            C(cmd::MoveToFolder, "Mo&ve to Folder..."),
            S(),
            C(cmd::Properties, "Propert&ies...\tAlt+Enter")};
}

MenuItems concat(MenuItems head, const MenuItems& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// ---- Main menus --------------------------------------------------------------------------

MenuItems browserMain()
{
    return {
        M("&File", {C(cmd::Open, "&Open...\tCtrl+O"), S(), C(cmd::NewFolder, "&New Folder\tCtrl+N"), S(),
                    M("Open Wit&h", openWith()), C(cmd::LocateOnDisk, "&Locate on Disk\tCtrl+Enter"),
                    C(cmd::AddToFavorites, "Add to &Favorites...\tCtrl+D"), S(),
                    C(cmd::Export, "&Export...\tCtrl+Shift+E"), C(cmd::EmailImages, "E&mail Images..."),
                    C(cmd::Print, "&Print...\tCtrl+P"), S(), C(cmd::Properties, "Propert&ies...\tAlt+Enter"),
                    S(), C(cmd::Exit, "E&xit\tCtrl+Q")}),
        M("&Edit", {C(cmd::Cut, "Cu&t\tCtrl+X"), C(cmd::Copy, "&Copy\tCtrl+C"), C(cmd::Paste, "&Paste\tCtrl+V"),
                    S(), C(cmd::Delete, "&Delete\tDelete"), C(cmd::Rename, "Rena&me\tF2"), S(),
                    C(cmd::CopyToFolder, "Copy to &Folder..."), C(cmd::MoveToFolder, "Mo&ve to Folder..."),
                    C(cmd::CopyImageToClipboard, "Copy &Image to Clipboard"), S(),
                    C(cmd::SelectAll, "Select &All\tCtrl+A"), C(cmd::SelectAllFiles, "Select All Fi&les"),
                    C(cmd::SelectAllImages, "Select All Ima&ges"), C(cmd::InvertSelection, "I&nvert Selection"),
                    C(cmd::ClearSelection, "Cl&ear Selection")}),
        M("&View", {C(cmd::ToolBar, "&Tool Bar"), C(cmd::AddressBar, "A&ddress Bar"),
                    C(cmd::StatusBar, "&Status Bar"), S(), M("&Histogram", histogramChannels()), S(),
                    M("Thumbnail Si&ze", thumbnailSizes()), M("S&ort By", sortBy()), S(),
                    C(cmd::Back, "&Back\tAlt+Left"), C(cmd::Forward, "&Forward\tAlt+Right"), C(cmd::Up, "&Up"),
                    C(cmd::Refresh, "&Refresh\tF5"), S(), C(cmd::SlideShow, "Slide Sho&w\tCtrl+L"),
                    C(cmd::FullScreen, "Fu&ll Screen\tF11")}),
        M("&Tools", {C(cmd::RotateLeft, "Rotate &Left\tShift+L"), C(cmd::RotateRight, "Rotate &Right\tShift+R"),
                     C(cmd::Rotate180, "Rotate &180 Degrees"),
                     M("&JPEG Lossless Transformations", jpegLossless()), S(),
                     M("Set &Wallpaper", setWallpaper())}),
        helpMenu(),
    };
}

MenuItems viewerMain()
{
    return {
        M("&File", {C(cmd::Open, "&Open...\tCtrl+O"), C(cmd::Reopen, "R&eopen\tCtrl+R"),
                    C(cmd::Close, "&Close\tCtrl+F4"), S(), C(cmd::Save, "&Save\tCtrl+S"),
                    C(cmd::SaveAs, "Save &As...\tCtrl+Shift+S"), S(), M("Open Wit&h", openWith()),
                    C(cmd::LocateOnDisk, "&Locate on Disk\tCtrl+Enter"),
                    C(cmd::AddToFavorites, "Add to &Favorites...\tCtrl+D"), S(),
                    C(cmd::EmailImages, "E&mail Images..."), C(cmd::Print, "&Print...\tCtrl+P"), S(),
                    C(cmd::Properties, "Propert&ies...\tAlt+Enter"), S(), C(cmd::Exit, "E&xit\tCtrl+Q")}),
        M("&Edit", {C(cmd::Undo, "&Undo\tCtrl+Z"), C(cmd::Redo, "&Redo\tCtrl+Y"), S(), C(cmd::Cut, "Cu&t\tCtrl+X"),
                    C(cmd::Copy, "&Copy\tCtrl+C"), C(cmd::Paste, "&Paste\tCtrl+V"), C(cmd::Clear, "C&lear"), S(),
                    C(cmd::SelectAll, "Select &All\tCtrl+A"), C(cmd::ClearSelection, "Cl&ear Selection"),
                    C(cmd::InvertSelection, "I&nvert Selection"), M("Set Select&ioin Ratio", selectionRatio()),
                    C(cmd::CropToSelection, "Cr&op to Selection\tCtrl+Shift+X"), S(),
                    C(cmd::SetBackgroundColor, "Set &Background Color..."), S(),
                    C(cmd::Delete, "&Delete\tDelete"), C(cmd::Rename, "Rena&me\tF2"),
                    C(cmd::CopyToFolder, "Copy to &Folder..."), C(cmd::MoveToFolder, "Mo&ve to Folder...")}),
        M("&View", {C(cmd::ToolBar, "&Tool Bar"), C(cmd::StatusBar, "&Status Bar"), C(cmd::Histogram, "&Histogram"),
                    S(), C(cmd::Browse, "&Browse\tEnter"), S(), C(cmd::NextImage, "&Next Image\tPage Down"),
                    C(cmd::PreviousImage, "Pre&vious Image\tPage Up"), C(cmd::FirstImage, "First Ima&ge\tHome"),
                    C(cmd::LastImage, "&Last Image\tEnd"), S(), C(cmd::NextPage, "Next &Page"),
                    C(cmd::PreviousPage, "Previous P&age"), C(cmd::FirstPage, "&First Page"),
                    C(cmd::LastPage, "Last Pag&e"), S(), C(cmd::FullScreen, "F&ull Screen\tF11"),
                    C(cmd::QuickSlideShow, "&Quick Slide Show\tPause"), C(cmd::SlideShow, "Slide Sho&w\tCtrl+L")}),
        M("&Zoom", {C(cmd::ZoomIn, "Zoom &In\t+"), C(cmd::ZoomOut, "Zoom &Out\t-"), S(),
                    C(cmd::ActualSize, "&Actual Size\t/"), C(cmd::FitImage, "&Fit Image\t*"),
                    C(cmd::FitWidth, "Fit &Width"), C(cmd::FitHeight, "Fit &Height"), S(),
                    C(cmd::ZoomLock, "Zoom &Lock"), C(cmd::ZoomTo, "Zoom &to..."), S(),
                    M("&Zoom Level", zoomLevels(0, kLevelLast))}),
        M("&Image", {C(cmd::Resize, "Re&size..."), C(cmd::CanvasSize, "Ca&nvas Size..."), S(),
                     M("&Rotate", {C(cmd::RotateLeft, "Rotate &Left\tShift+L"),
                                   C(cmd::RotateRight, "Rotate &Right\tShift+R"),
                                   C(cmd::Rotate180, "Rotate &180 Degrees"), S(),
                                   C(cmd::CustomRotation, "&Custom...")}),
                     C(cmd::VerticalFlip, "&Vertical Flip\tShift+V"),
                     C(cmd::HorizontalFlip, "&Horizontal Flip\tShift+H"), S(),
                     C(cmd::EnhanceColors, "&Enhance Colors...\tCtrl+E"), C(cmd::AdjustHsl, "&Adjust HSL..."),
                     M("S&wap Colors", {C(cmd::SwapColorsFirst, "RGB>RBG"), C(cmd::SwapColorsFirst + 1, "RGB>BGR"),
                                        C(cmd::SwapColorsFirst + 2, "RGB>BRG"), C(cmd::SwapColorsFirst + 3, "RGB>GRB"),
                                        C(cmd::SwapColorsFirst + 4, "RGB>GBR")}),
                     C(cmd::RedEyeReduction, "Red E&ye Reduction"), S(), C(cmd::SetDpi, "Se&t DIP..."),
                     M("Change Color &Depth",
                       {C(cmd::DepthBlackAndWhite, "&Black && White (1 bit)"), C(cmd::Depth8Grays, "&8 Grays"),
                        C(cmd::Depth16Grays, "&16 Grays"), C(cmd::Depth256Grays, "&256 Grays"), S(),
                        C(cmd::Depth8Colors, "8 &Colors"), C(cmd::Depth16Colors, "1&6 Colors"),
                        C(cmd::Depth256Colors, "2&56 Color"), C(cmd::Depth24Bit, "24-bit &True Color"),
                        C(cmd::Depth32Bit, "&32-bit True Color"), S(), C(cmd::DepthCustom, "C&ustom...")}),
                     C(cmd::CountColors, "&Count Colors Used...")}),
        M("Effect&s", {C(cmd::Negative, "&Negative"), C(cmd::Grayscale, "&Grayscale"),
                       C(cmd::BlackAndWhite, "&Black && White"), C(cmd::Threshold, "Thresho&ld..."), S(),
                       C(cmd::Colorize, "&Colorize..."), C(cmd::Sepia, "&Sepia"), C(cmd::Solarize, "S&olarize..."),
                       S(), C(cmd::GaussianBlur3, "Gaussian Blur &3 x 3"),
                       C(cmd::GaussianBlur5, "Gaussian Blur &5 x 5"), C(cmd::AverageBlur, "&Average Blur"),
                       C(cmd::Soften, "So&ften"), C(cmd::Sharpen, "S&harpen"), S(),
                       C(cmd::AddNoise, "Add No&ise..."), C(cmd::Emboss, "&Emboss..."), C(cmd::Erode, "E&rode"),
                       M("E&dge Detect", {C(cmd::EdgeDetectLight, "&Light"), C(cmd::EdgeDetectMedium, "&Medium"),
                                          C(cmd::EdgeDetectHeavy, "&Heavy")}),
                       S(), C(cmd::Spread, "S&pread..."), C(cmd::Stripe, "S&tripe..."), C(cmd::Wind, "&Wind..."),
                       C(cmd::Mosaic, "&Mosaic...")}),
        M("&Tools", {C(cmd::PanTool, "&Pan Tool\tCtrl+1"), C(cmd::SelectTool, "&Select Tool\tCtrl+2"),
                     C(cmd::ZoomTool, "&Zoom Tool\tCtrl+3"), S(),
                     M("&JPEG Lossless Transformations", jpegLossless()), M("Set &Wallpaper", setWallpaper())}),
        helpMenu(),
    };
}

// ---- Context menus -----------------------------------------------------------------------

MenuItems shellTreePopup()
{
    return {M("ShellTreePopup",
              {C(cmd::TreeNewFolder, "&New Folder"), C(cmd::TreeAddToFavorites, "Add to &Favorites..."),
               C(cmd::TreeLocateOnDisk, "&Locate on Disk"), S(), C(cmd::TreeCut, "Cu&t"),
               C(cmd::TreeCopy, "&Copy"), C(cmd::TreePaste, "&Paste"), S(), C(cmd::TreeDelete, "&Delete"),
               C(cmd::TreeRename, "Rena&me"), S(), C(cmd::TreeProperties, "Propert&ies...")})};
}

MenuItems favoritesPopup()
{
    return {M("Favorites Popup Menu",
              {C(cmd::TreeNewFolder, "&New Folder"), C(cmd::TreeLocateOnDisk, "&Locate on Disk"), S(),
               C(cmd::TreeCut, "Cu&t"), C(cmd::TreeCopy, "&Copy"), C(cmd::TreePaste, "&Paste"), S(),
               C(cmd::TreeDelete, "&Delete"), C(cmd::TreeRename, "Rena&me"), S(),
               C(cmd::TreeProperties, "Propert&ies...")})};
}

MenuItems listPhotoPopup()
{
    MenuItems head = {C(cmd::ViewAndEdit, "&View and Edit\tEnter"),
                      C(cmd::FullScreen, "View in F&ull Screen"),
                      C(cmd::SlideShow, "Slide Sho&w\tCtrl+L"),
                      S(),
                      M("Open Wit&h", openWith()),
                      S(),
                      C(cmd::RotateLeft, "Rotate &Left\tShift+L"),
                      C(cmd::RotateRight, "Rotate &Right\tShift+R"),
                      C(cmd::Rotate180, "Rotate &180 Degrees"),
                      S(),
                      C(cmd::CopyImageToClipboard, "Copy &Image to Clipboard"),
                      M("Set &Wallpaper", setWallpaper()),
                      C(cmd::EmailImages, "E&mail Images..."),
                      C(cmd::Print, "&Print...\tCtrl+P"),
                      C(cmd::Export, "&Export...\tCtrl+Shift+E"),
                      S(),
                      C(cmd::AddToFavorites, "Add to &Favorites...\tCtrl+D"),
                      C(cmd::LocateOnDisk, "&Locate on Disk\tCtrl+Enter"),
                      S()};
    return {M("ListCtrl Popup Menu - Photo", concat(std::move(head), listFileCommands()))};
}

MenuItems listFolderPopup()
{
    // "Browse" carries the frame's Open command.
    MenuItems head = {C(cmd::Open, "&Browse"), S(), C(cmd::AddToFavorites, "Add to &Favorites...\tCtrl+D"),
                      C(cmd::LocateOnDisk, "&Locate on Disk\tCtrl+Enter"), S()};
    return {M("ListCtrl Popup Menu - Folder", concat(std::move(head), listFileCommands()))};
}

MenuItems listFilePopup()
{
    MenuItems head = {M("Open Wit&h", openWith()), C(cmd::AddToFavorites, "Add to &Favorites...\tCtrl+D"),
                      C(cmd::LocateOnDisk, "&Locate on Disk\tCtrl+Enter"), S()};
    return {M("ListCtrl Popup Menu - File", concat(std::move(head), listFileCommands()))};
}

MenuItems listBackgroundPopup()
{
    return {M("ListCtrl Popup Menu - SYS",
              {M("Sort &By", sortBy()), M("Thumbnail Si&ze", thumbnailSizes()), C(cmd::Refresh, "&Refresh\tF5"),
               S(), C(cmd::Paste, "&Paste\tCtrl+V"), C(cmd::NewFolder, "&New Folder\tCtrl+N"), S(),
               C(cmd::SelectAll, "Select &All\tCtrl+A"), C(cmd::SelectAllFiles, "Select All Fi&les"),
               C(cmd::SelectAllImages, "Select All Ima&ges"), C(cmd::InvertSelection, "I&nvert Selection"), S(),
               C(cmd::SlideShow, "Slide Sho&w\tCtrl+L"), C(cmd::Export, "&Export...\tCtrl+Shift+E"), S(),
               C(cmd::AddToFavorites, "Add to &Favorites...\tCtrl+D"),
               C(cmd::LocateOnDisk, "&Locate on Disk\tCtrl+Enter"),
               C(cmd::Properties, "Propert&ies...\tAlt+Enter")})};
}

MenuItems imageViewPopup()
{
    return {M("Image View Menu",
              {C(cmd::FullScreen, "&Full Screen\tF11"),
               C(cmd::QuickSlideShow, "&Quick Slide Show\tPause"),
               C(cmd::Browse, "&Browse\tEnter"),
               S(),
               C(cmd::NextImage, "&Next Image\tPage Down"),
               C(cmd::PreviousImage, "Pre&vious Image\tPage Up"),
               C(cmd::FirstImage, "First Ima&ge\tHome"),
               C(cmd::LastImage, "&Last Image\tEnd"),
               S(),
               C(cmd::ZoomIn, "Zoom &In\t+"),
               C(cmd::ZoomOut, "Zoom &Out\t-"),
               C(cmd::ActualSize, "&Actual Size\t/"),
               C(cmd::FitImage, "&Fit Image\t*"),
               S(),
               C(cmd::RotateLeft, "Rotate &Left\tShift+L"),
               C(cmd::RotateRight, "Rotate &Right\tShift+R"),
               C(cmd::CropToSelection, "Cr&op to Selection\tCtrl+Shift+X"),
               C(cmd::ClearSelection, "Cl&ear Selection"),
               M("Set Select&ioin Ratio", selectionRatio()),
               S(),
               C(cmd::Delete, "&Delete\tDelete"),
               C(cmd::Rename, "&Rename\tF2"),
               S(),
               M("Open Wit&h", openWith()),
               C(cmd::AddToFavorites, "Add to &Favorites...\tCtrl+D"),
               C(cmd::LocateOnDisk, "&Locate on Disk\tCtrl+Enter"),
               M("Set &Wallpaper", setWallpaper()),
               S(),
               C(cmd::Properties, "Proper&ties\tAlt+Enter")})};
}

std::map<int, MenuItems> makeResources()
{
    std::map<int, MenuItems> resources;
    resources[BrowserMain] = browserMain();
    resources[ViewerMain] = viewerMain();
    resources[ShellTreePopup] = shellTreePopup();
    resources[HistogramPopup] = {M("Histogram", histogramChannels())};
    resources[ListPhotoPopup] = listPhotoPopup();
    resources[ListFolderPopup] = listFolderPopup();
    resources[ListBackgroundPopup] = listBackgroundPopup();
    resources[ListFilePopup] = listFilePopup();
    resources[FavoritesPopup] = favoritesPopup();
    resources[ImageViewPopup] = imageViewPopup();
    resources[ZoomInLevels] = {M("Zoom In", zoomLevels(0, kLevel100))};
    resources[ZoomOutLevels] = {M("Zoom Out", zoomLevels(kLevel100, kLevelLast))};
    resources[AdjustColors] = {M("Adjust Colors", {C(cmd::EnhanceColors, "&Enhance Colors...\tCtrl+E"),
                                                   C(cmd::AdjustHsl, "&Adjust HSL...")})};
    return resources;
}

const std::map<int, MenuItems>& resources()
{
    static const std::map<int, MenuItems> all = makeResources();
    return all;
}

}  // namespace

const MenuItems& menuResource(int resource)
{
    static const MenuItems none;
    const auto& all = resources();
    const auto found = all.find(resource);
    return found == all.end() ? none : found->second;
}

const std::vector<int>& menuResources()
{
    static const std::vector<int> numbers = [] {
        std::vector<int> list;
        for (const auto& entry : resources())
            list.push_back(entry.first);
        return list;
    }();
    return numbers;
}

// ---- Accelerators ------------------------------------------------------------------------

const std::vector<Accelerator>& accelerators()
{
    // The main keyboard's Return and the keypad's Enter are one key to the user.
    static const std::vector<Accelerator> table = {
        {QKeySequence(Qt::CTRL | Qt::Key_D), cmd::AddToFavorites},
        {QKeySequence(Qt::ALT | Qt::Key_Left), cmd::Back},
        {QKeySequence(Qt::ALT | Qt::Key_Right), cmd::Forward},
        {QKeySequence(Qt::CTRL | Qt::Key_F4), cmd::Close},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X), cmd::CropToSelection},
        {QKeySequence(Qt::CTRL | Qt::Key_E), cmd::EnhanceColors},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), cmd::Exit},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), cmd::Export},
        {QKeySequence(Qt::Key_F11), cmd::FullScreen},
        {QKeySequence(Qt::SHIFT | Qt::Key_H), cmd::HorizontalFlip},
        {QKeySequence(Qt::SHIFT | Qt::Key_V), cmd::VerticalFlip},
        {QKeySequence(Qt::CTRL | Qt::Key_Return), cmd::LocateOnDisk},
        {QKeySequence(Qt::CTRL | Qt::Key_Enter), cmd::LocateOnDisk},
        {QKeySequence(Qt::CTRL | Qt::Key_N), cmd::NewFolder},
        {QKeySequence(Qt::CTRL | Qt::Key_O), cmd::Open},
        {QKeySequence(Qt::Key_F3), cmd::OpenWithProgram},
        {QKeySequence(Qt::Key_F4), cmd::OpenWithEditor},
        {QKeySequence(Qt::CTRL | Qt::Key_1), cmd::PanTool},
        {QKeySequence(Qt::CTRL | Qt::Key_2), cmd::SelectTool},
        {QKeySequence(Qt::CTRL | Qt::Key_3), cmd::ZoomTool},
        {QKeySequence(Qt::CTRL | Qt::Key_P), cmd::Print},
        {QKeySequence(Qt::ALT | Qt::Key_Return), cmd::Properties},
        {QKeySequence(Qt::ALT | Qt::Key_Enter), cmd::Properties},
        {QKeySequence(Qt::Key_Pause), cmd::QuickSlideShow},
        {QKeySequence(Qt::Key_F5), cmd::Refresh},
        {QKeySequence(Qt::Key_F2), cmd::Rename},
        {QKeySequence(Qt::CTRL | Qt::Key_R), cmd::Reopen},
        {QKeySequence(Qt::SHIFT | Qt::Key_L), cmd::RotateLeft},
        {QKeySequence(Qt::SHIFT | Qt::Key_R), cmd::RotateRight},
        {QKeySequence(Qt::CTRL | Qt::Key_S), cmd::Save},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), cmd::SaveAs},
        {QKeySequence(Qt::CTRL | Qt::Key_L), cmd::SlideShow},
        // The key users everywhere press for help.
        {QKeySequence(Qt::Key_F1), cmd::Help},
    };
    return table;
}

const std::vector<Accelerator>& desktopAccelerators()
{
    static const std::vector<Accelerator> table = {
        // Up a folder as in the desktop's file managers (the browser only; edits keep their
        // Backspace).
        {QKeySequence(Qt::ALT | Qt::Key_Up), cmd::Up},
        {QKeySequence(Qt::Key_Backspace), cmd::Up},
    };
    return table;
}

}  // namespace menus
