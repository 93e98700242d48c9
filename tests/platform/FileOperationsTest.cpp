#include "platform/FileOperations.h"
#include "platform/TransferWorker.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include "platform/ShellNamespace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>

TEST(RenamePath, RenamesButNeverReplacesAndRefusesTheRoot)
{
    fixtures::TempDir dir;
    const QByteArray d = QFile::encodeName(dir.path());
    fixtures::writeFile(dir.file("a.jpg"), "a");
    fixtures::writeFile(dir.file("b.jpg"), "b");

    EXPECT_TRUE(FileOperations::RenamePath(d + "/a.jpg", d + "/c d.jpg"));
    EXPECT_EQ(fixtures::readFile(dir.file("c d.jpg")), "a");
    EXPECT_FALSE(QFile::exists(dir.file("a.jpg")));

    EXPECT_FALSE(FileOperations::RenamePath(d + "/c d.jpg", d + "/b.jpg"));
    EXPECT_EQ(fixtures::readFile(dir.file("b.jpg")), "b");

    EXPECT_FALSE(FileOperations::RenamePath(d + "/missing", d + "/x"));
    EXPECT_FALSE(FileOperations::RenamePath("/", d + "/root"));
    EXPECT_FALSE(FileOperations::RenamePath(d + "/b.jpg", d + "/b.jpg"));
    EXPECT_FALSE(FileOperations::RenamePath(d + "/b.jpg", d + "/.."));

    // By name, the item stays in its folder: names that lead elsewhere are refused.
    QDir(dir.path()).mkdir("sub");
    for (const QByteArray& name : {QByteArray("sub/b.jpg"), QByteArray(".."), QByteArray("."), QByteArray(),
                                   QByteArray("x\0y", 3)})
        EXPECT_TRUE(FileOperations::RenameInFolder(d + "/b.jpg", name).isEmpty()) << name.constData();
    EXPECT_EQ(fixtures::readFile(dir.file("b.jpg")), "b");
    EXPECT_EQ(FileOperations::RenameInFolder(d + "/b.jpg", "e.jpg"), d + "/e.jpg");
    EXPECT_EQ(fixtures::readFile(dir.file("e.jpg")), "b");
}

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

}  // namespace

TEST(MakeNewFolderName, SkipsTakenNamesIgnoringCaseAndRestartsAfterEachChange)
{
    using FileOperations::MakeNewFolderName;
    EXPECT_EQ(MakeNewFolderName({}), "New Folder");
    EXPECT_EQ(MakeNewFolderName({"a.jpg", "New Folder x"}), "New Folder");
    EXPECT_EQ(MakeNewFolderName({"New Folder", "new folder (2)"}), "New Folder (3)");
    // Taken names listed out of order still lead to the first free one.
    EXPECT_EQ(MakeNewFolderName({"New Folder (3)", "NEW FOLDER", "New Folder (2)"}), "New Folder (4)");
}

TEST(PathChecks, InsideMeansByWholeComponents)
{
    using FileOperations::isSameOrInside;
    EXPECT_TRUE(isSameOrInside("/a/b", "/a/b"));
    EXPECT_TRUE(isSameOrInside("/a/b/", "/a/b"));
    EXPECT_TRUE(isSameOrInside("/a/b/c", "/a/b"));
    EXPECT_FALSE(isSameOrInside("/a/bc", "/a/b"));
    EXPECT_FALSE(isSameOrInside("/a", "/a/b"));
    EXPECT_TRUE(isSameOrInside("/x", "/"));
}

TEST(PathChecks, CopyNamesKeepTheExtensionAndCountUp)
{
    std::set<QByteArray> taken;
    auto exists = [&](const QByteArray& n) { return taken.count(n) > 0; };
    EXPECT_EQ(FileOperations::copyNameFor("a b.jpg", false, exists), "a b (copy).jpg");
    taken = {"a b (copy).jpg", "a b (copy 2).jpg"};
    EXPECT_EQ(FileOperations::copyNameFor("a b.jpg", false, exists), "a b (copy 3).jpg");
    EXPECT_EQ(FileOperations::copyNameFor("x.y", true, exists), "x.y (copy)");
    EXPECT_EQ(FileOperations::copyNameFor(".hidden", false, exists), ".hidden (copy)");
}

class Transfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(dir.path()).mkpath("src/sub/deeper");
        QDir(dir.path()).mkpath("dst");
        fixtures::writeFile(dir.file("src/a.jpg"), "A");
        fixtures::writeFile(dir.file("src/sub/b.txt"), "B");
        fixtures::writeFile(dir.file("src/sub/deeper/c"), QByteArray(3 << 20, 'c'));
        QFile::link("b.txt", dir.file("src/sub/link"));
    }
    QByteArray p(const char* relative) const { return native(dir.file(QString::fromUtf8(relative))); }

    fixtures::TempDir dir;
};

TEST_F(Transfer, CopiesTreesWithLinksAndReportsProgress)
{
    std::uint64_t lastDone = 0;
    std::uint64_t total = 0;
    const auto result = FileOperations::transfer(FileOperations::TransferKind::Copy, {p("src/a.jpg"), p("src/sub")}, p("dst"), {},
                                                 [&](std::uint64_t done, std::uint64_t all) {
                                                     EXPECT_GE(done, lastDone);
                                                     lastDone = done;
                                                     total = all;
                                                     return true;
                                                 });
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.transferred, 2);
    EXPECT_EQ(total, (3u << 20) + 2 + 2) << "the bytes and one for each item";
    EXPECT_EQ(lastDone, total);
    EXPECT_EQ(fixtures::readFile(dir.file("dst/sub/deeper/c")).size(), 3 << 20);
    EXPECT_EQ(QFileInfo(dir.file("dst/sub/link")).symLinkTarget(), dir.file("dst/sub/b.txt"));
    EXPECT_TRUE(QFile::exists(dir.file("src/sub/b.txt")));
    // No temporary names are left behind.
    EXPECT_EQ(QDir(dir.file("dst")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"a.jpg", "sub"}));
}

TEST_F(Transfer, IntoTheSameFolderMakesCopyNamesAndMovingThereChangesNothing)
{
    using FileOperations::TransferKind;
    EXPECT_TRUE(FileOperations::transfer(TransferKind::Copy, {p("src/a.jpg")}, p("src")).ok);
    EXPECT_TRUE(FileOperations::transfer(TransferKind::Copy, {p("src/a.jpg")}, p("src/")).ok);
    EXPECT_EQ(fixtures::readFile(dir.file("src/a (copy).jpg")), "A");
    EXPECT_EQ(fixtures::readFile(dir.file("src/a (copy 2).jpg")), "A");
    const auto moved = FileOperations::transfer(TransferKind::Move, {p("src/a.jpg")}, p("src"));
    EXPECT_TRUE(moved.ok);
    EXPECT_EQ(moved.transferred, 0);
    EXPECT_EQ(fixtures::readFile(dir.file("src/a.jpg")), "A");
}

TEST_F(Transfer, AFolderIntoItselfOrItsSubFolderIsRefusedBeforeAnythingChanges)
{
    using FileOperations::TransferKind;
    for (auto kind : {TransferKind::Copy, TransferKind::Move}) {
        for (const char* target : {"src/sub", "src/sub/deeper"}) {
            const auto result = FileOperations::transfer(kind, {p("src/a.jpg"), p("src/sub")}, p(target));
            EXPECT_FALSE(result.ok);
            EXPECT_FALSE(result.error.isEmpty());
            EXPECT_EQ(result.transferred, 0);
        }
    }
    // Another spelling of the target, or a link into the folder, is the same folder.
    QFile::link(dir.file("src/sub/deeper"), dir.file("dst/into-sub"));
    for (const char* target : {"src/sub/../sub/deeper", "dst/into-sub"})
        EXPECT_FALSE(FileOperations::transfer(TransferKind::Copy, {p("src/sub")}, p(target)).ok) << target;
    EXPECT_TRUE(QFile::exists(dir.file("src/a.jpg")));
    EXPECT_FALSE(QFile::exists(dir.file("src/sub/a.jpg")));
    EXPECT_EQ(QDir(dir.file("src/sub")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 3);
}

TEST_F(Transfer, ConflictsAreAskedAndNeverOverwrittenSilently)
{
    using FileOperations::ConflictChoice;
    using FileOperations::TransferKind;
    fixtures::writeFile(dir.file("dst/a.jpg"), "old");

    // Without anyone to ask, a conflict is skipped.
    EXPECT_EQ(FileOperations::transfer(TransferKind::Copy, {p("src/a.jpg")}, p("dst")).transferred, 0);
    EXPECT_EQ(fixtures::readFile(dir.file("dst/a.jpg")), "old");

    // Cancel at any question does nothing at all, not even what was planned before it.
    QDir(dir.path()).mkpath("dst/sub");
    const auto cancelled = FileOperations::transfer(TransferKind::Move, {p("src/sub"), p("src/a.jpg")}, p("dst"),
                                                    [](const FileOperations::Conflict& c) {
                                                        return c.folders ? ConflictChoice::Replace : ConflictChoice::Cancel;
                                                    });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(fixtures::readFile(dir.file("dst/a.jpg")), "old");
    EXPECT_TRUE(QFile::exists(dir.file("src/sub/b.txt")));
    EXPECT_FALSE(QFile::exists(dir.file("dst/sub/b.txt")));

    // A file never replaces a folder (that would delete its whole tree).
    QDir(dir.path()).mkpath("dst/x.jpg");
    QFile::copy(dir.file("src/a.jpg"), dir.file("src/x.jpg"));
    const auto refused = FileOperations::transfer(TransferKind::Copy, {p("src/x.jpg")}, p("dst"),
                                                  [](const FileOperations::Conflict&) { return ConflictChoice::Replace; });
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(QFileInfo(dir.file("dst/x.jpg")).isDir());
}

TEST(TransferMerge, AFolderOverAFolderMergesAndAsksAboutEachTakenName)
{
    using FileOperations::ConflictChoice;
    using FileOperations::TransferKind;
    struct Case {
        TransferKind kind;
        std::vector<ConflictChoice> answers;
        std::vector<QByteArray> asked;
        QByteArray b, c;
        bool bLeftInSource, deeperLeftInSource;
    };
    const auto Yes = ConflictChoice::Replace;
    const Case cases[] = {
        // Yes to All at deeper merges it and replaces c without another question.
        {TransferKind::Move, {Yes, Yes, ConflictChoice::ReplaceAll}, {"sub", "b.txt", "deeper"}, "new b", "new c", false, false},
        // A skipped file stays in the moved folder, and so does the folder.
        {TransferKind::Move, {Yes, ConflictChoice::Skip, Yes, Yes}, {"sub", "b.txt", "deeper", "c"}, "old b", "new c", true, false},
        // No to All keeps every existing file; only the new names arrive.
        {TransferKind::Copy, {Yes, ConflictChoice::SkipAll}, {"sub", "b.txt"}, "old b", "old c", true, true},
    };
    for (const auto& test : cases) {
        fixtures::TempDir dir;
        QDir(dir.path()).mkpath("src/sub/deeper");
        QDir(dir.path()).mkpath("dst/sub/deeper");
        fixtures::writeFile(dir.file("src/sub/b.txt"), "new b");
        fixtures::writeFile(dir.file("src/sub/deeper/c"), "new c");
        fixtures::writeFile(dir.file("src/sub/new"), "N");
        fixtures::writeFile(dir.file("dst/sub/keep"), "K");
        fixtures::writeFile(dir.file("dst/sub/b.txt"), "old b");
        fixtures::writeFile(dir.file("dst/sub/deeper/c"), "old c");
        std::vector<QByteArray> asked;
        std::size_t next = 0;
        const auto result = FileOperations::transfer(test.kind, {native(dir.file("src/sub"))}, native(dir.file("dst")),
                                                     [&](const FileOperations::Conflict& c) {
                                                         asked.push_back(fileNameOf(c.source));
                                                         EXPECT_EQ(c.folders, fileNameOf(c.source) == "sub" || fileNameOf(c.source) == "deeper");
                                                         return next < test.answers.size() ? test.answers[next++] : ConflictChoice::Cancel;
                                                     });
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(asked, test.asked);
        EXPECT_EQ(fixtures::readFile(dir.file("dst/sub/keep")), "K") << "what only the destination holds stays";
        EXPECT_EQ(fixtures::readFile(dir.file("dst/sub/new")), "N");
        EXPECT_EQ(fixtures::readFile(dir.file("dst/sub/b.txt")), test.b);
        EXPECT_EQ(fixtures::readFile(dir.file("dst/sub/deeper/c")), test.c);
        EXPECT_EQ(QFile::exists(dir.file("src/sub/b.txt")), test.bLeftInSource);
        EXPECT_EQ(QFile::exists(dir.file("src/sub")), test.bLeftInSource);
        EXPECT_EQ(QFile::exists(dir.file("src/sub/deeper")), test.deeperLeftInSource);
    }
}

TEST_F(Transfer, AFailurePartWayLeavesTheSourceAndNoPartialCopy)
{
    // A FIFO cannot be copied: the folder holding it fails after its other files were copied.
    // (Moving within one volume renames and never copies, so copying is what can fail.)
    ASSERT_EQ(::mkfifo(p("src/sub/deeper/pipe").constData(), 0600), 0);
    const auto result = FileOperations::transfer(FileOperations::TransferKind::Copy, {p("src/sub"), p("src/a.jpg")}, p("dst"));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("pipe"));
    EXPECT_TRUE(QFile::exists(dir.file("src/sub/deeper/c")));
    EXPECT_FALSE(QFile::exists(dir.file("dst/sub")));
    // The other item still went.
    EXPECT_EQ(fixtures::readFile(dir.file("dst/a.jpg")), "A");
    EXPECT_EQ(QDir(dir.file("dst")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList({"a.jpg"}));

    // Cancelling in the middle of a large file removes what was written of it.
    ::unlink(p("src/sub/deeper/pipe").constData());
    const auto cancelled = FileOperations::transfer(FileOperations::TransferKind::Copy, {p("src/sub")}, p("dst"), {},
                                                    [](std::uint64_t done, std::uint64_t) { return done < (1u << 20); });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(QDir(dir.file("dst")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList({"a.jpg"}));
}

TEST(DeletePermanently, RemovesTreesAndReadOnlyFilesButNotLinkTargets)
{
    fixtures::TempDir dir;
    QDir(dir.path()).mkpath("keep");
    QDir(dir.path()).mkpath("gone/inner");
    fixtures::writeFile(dir.file("keep/file"), "k");
    fixtures::writeFile(dir.file("gone/inner/ro"), "r");
    QFile::setPermissions(dir.file("gone/inner/ro"), QFile::ReadOwner);
    QFile::link(dir.file("keep"), dir.file("gone/link"));
    QString error;
    EXPECT_TRUE(FileOperations::DeletePermanently(native(dir.file("gone")), &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.file("gone")));
    EXPECT_TRUE(QFile::exists(dir.file("keep/file")));
    EXPECT_FALSE(FileOperations::DeletePermanently(native(dir.file("gone")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(FileOperations::DeletePermanently("/"));
}

namespace {

// Keeps what a transfer worker posts.
class WorkerEvents : public QObject {
public:
    std::vector<std::uint64_t> done;
    int finished = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == TransferWorker::ProgressEvent::type()) {
            done.push_back(static_cast<TransferWorker::ProgressEvent*>(e)->done);
            return true;
        }
        if (e->type() == TransferWorker::finishedEventType()) {
            ++finished;
            return true;
        }
        return QObject::event(e);
    }
};

}  // namespace

TEST_F(Transfer, TheWorkerReportsByPostedEventsAndItsCancelLeavesNoPartialFile)
{
    using FileOperations::TransferKind;
    fixtures::writeFile(dir.file("src/big"), QByteArray(16 << 20, 'x'));
    WorkerEvents events;
    {
        TransferWorker worker(FileOperations::planTransfer(TransferKind::Copy, {p("src/sub"), p("src/big")}, p("dst")), &events);
        const auto result = worker.finish();
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(result.transferred, 2);
    }
    EXPECT_TRUE(events.done.empty()) << "events arrive through the receiver's event loop only";
    QCoreApplication::sendPostedEvents(&events);
    EXPECT_EQ(events.finished, 1);
    ASSERT_GE(events.done.size(), 10u);
    EXPECT_TRUE(std::is_sorted(events.done.begin(), events.done.end()));
    EXPECT_EQ(QFileInfo(dir.file("dst/big")).size(), 16 << 20);

    // Cancelled at once, or left unfinished and cancelled by the destructor: nothing is left.
    for (bool viaDestructor : {false, true}) {
        QDir(dir.file("dst")).removeRecursively();
        QDir(dir.path()).mkpath("dst");
        TransferWorker worker(FileOperations::planTransfer(TransferKind::Copy, {p("src/big")}, p("dst")), &events);
        worker.cancel();
        if (!viaDestructor)
            EXPECT_TRUE(worker.finish().cancelled);
    }
    EXPECT_EQ(QDir(dir.file("dst")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}
