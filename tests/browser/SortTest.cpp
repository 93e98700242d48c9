#include "browser/FolderItemList.h"
#include "browser/ThumbSettings.h"

#include <gtest/gtest.h>

#include <random>

namespace {

FolderItem record(const QString& name, ItemKind kind, std::uint64_t size = 0, std::int64_t time = 0,
                  int w = 0, int h = 0)
{
    FolderItem r;
    r.displayName = name;
    r.path = "/f/" + name;
    r.kind = kind;
    r.size = size;
    r.lastWriteTime = time;
    r.width = w;
    r.height = h;
    return r;
}

QStringList names(const std::vector<FolderItem>& items)
{
    QStringList out;
    for (const FolderItem& r : items)
        out << r.displayName;
    return out;
}

// The neighbour-exchange sort the order is defined by: exchange only when strictly out of
// order, each pass ending where the previous one last exchanged.
void exchangeSort(std::vector<FolderItem>& items, int type, int direction)
{
    auto key = [&](const FolderItem& a, const FolderItem& b) {
        switch (type) {
        case SortBySize: return a.size < b.size ? -1 : a.size > b.size;
        case SortByType: return extensionOf(a.path).compare(extensionOf(b.path), Qt::CaseInsensitive);
        case SortByDate: return a.lastWriteTime < b.lastWriteTime ? -1 : a.lastWriteTime > b.lastWriteTime;
        case SortByPhotoSize: {
            const long long x = 1LL * a.width * a.height, y = 1LL * b.width * b.height;
            return x < y ? -1 : int(x > y);
        }
        default: return a.displayName.compare(b.displayName, Qt::CaseInsensitive);
        }
    };
    auto outOfOrder = [&](const FolderItem& p, const FolderItem& r) {
        const bool pf = p.kind == ItemKind::Folder, rf = r.kind == ItemKind::Folder;
        if (!pf && rf) return true;
        if (pf && !rf) return false;
        return direction == SortForward ? key(p, r) > 0 : key(r, p) > 0;
    };
    std::size_t limit = items.size();
    while (limit > 1) {
        std::size_t last = 0;
        for (std::size_t i = 0; i + 1 < limit; ++i) {
            if (outOfOrder(items[i], items[i + 1])) {
                std::swap(items[i], items[i + 1]);
                last = i + 1;
            }
        }
        limit = last;
    }
}

}  // namespace

TEST(SortItems, FoldersFirstInBothDirectionsAndTiesKeepTheirOrder)
{
    std::vector<FolderItem> items = {
        record("b.jpg", ItemKind::Image, 10), record("Zed", ItemKind::Folder),
        record("a.jpg", ItemKind::Image, 10), record("link", ItemKind::Shortcut, 5),
        record("alpha", ItemKind::Folder), record("c.zip", ItemKind::OtherFile, 20)};

    auto bySize = items;
    SortItems(bySize, SortBySize, SortForward);
    EXPECT_EQ(names(bySize), QStringList({"Zed", "alpha", "link", "b.jpg", "a.jpg", "c.zip"}));
    SortItems(bySize, SortBySize, SortBackward);
    EXPECT_EQ(names(bySize), QStringList({"Zed", "alpha", "c.zip", "b.jpg", "a.jpg", "link"}));

    auto byName = items;
    SortItems(byName, SortByName, SortBackward);
    EXPECT_EQ(names(byName), QStringList({"Zed", "alpha", "link", "c.zip", "b.jpg", "a.jpg"}));
}

TEST(SortItems, TypeDatePhotoSizeKeys)
{
    std::vector<FolderItem> items = {record("x.PNG", ItemKind::Image), record("noext", ItemKind::OtherFile),
                                     record("y.bmp", ItemKind::Image), record("z.png", ItemKind::Image)};
    SortItems(items, SortByType, SortForward);
    EXPECT_EQ(names(items), QStringList({"noext", "y.bmp", "x.PNG", "z.png"}));

    std::vector<FolderItem> photos = {record("big", ItemKind::Image, 0, 3, 100, 100),
                                      record("unknown1", ItemKind::Image, 0, 2),
                                      record("small", ItemKind::Image, 0, 1, 10, 10),
                                      record("unknown2", ItemKind::Image, 0, 4)};
    auto bySizeOfPhoto = photos;
    SortItems(bySizeOfPhoto, SortByPhotoSize, SortForward);
    EXPECT_EQ(names(bySizeOfPhoto), QStringList({"unknown1", "unknown2", "small", "big"}));
    SortItems(photos, SortByDate, SortBackward);
    EXPECT_EQ(names(photos), QStringList({"unknown2", "big", "unknown1", "small"}));
}

TEST(SortItems, MatchesTheExchangeSortOnRandomListsForEveryKeyAndDirection)
{
    std::mt19937 random(7);
    const QStringList exts = {"jpg", "JPG", "png", "", "txt"};
    for (int round = 0; round < 30; ++round) {
        std::vector<FolderItem> items;
        const int n = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < n; ++i) {
            const QString ext = exts[static_cast<int>(random() % exts.size())];
            const QString name = QString(QChar('a' + static_cast<int>(random() % 4)))
                                 + QString(QChar(random() % 2 ? 'B' : 'b')) + QString::number(i % 3)
                                 + (ext.isEmpty() ? QString() : "." + ext);
            auto r = record(name, static_cast<ItemKind>(random() % 4), random() % 4, random() % 3,
                            static_cast<int>(random() % 3), static_cast<int>(random() % 3));
            r.path = QString("/f%1/").arg(i) + name;  // tells records with equal names apart
            items.push_back(r);
        }
        for (int type = 0; type <= 4; ++type) {
            for (int direction = 0; direction <= 1; ++direction) {
                auto ours = items;
                auto reference = items;
                SortItems(ours, type, direction);
                exchangeSort(reference, type, direction);
                ASSERT_EQ(ours.size(), reference.size());
                for (std::size_t i = 0; i < ours.size(); ++i) {
                    ASSERT_EQ(ours[i].path, reference[i].path) << "type " << type << " dir " << direction;
                }
            }
        }
    }
}
