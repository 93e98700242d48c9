// The slide view and its tool bar driven as a user drives them: timers, mouse and keys.
#include "slideshow/CSlideView.h"
#include "DensityRerun.h"

#include "imaging/fipSuperImage.h"
#include "slideshow/SlideButtonArt.h"
#include "viewer/ImageSequence.h"

#include "TestFixtures.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace slideshow;

namespace {

constexpr int kBound = 10000;

QString writePng(const QString& path, unsigned width, unsigned height)
{
    fipSuperImage image = fixtures::patternImage(width, height);
    return image.save(path) ? path : QString();
}

// A shown slide view over `files` with timers short enough that tests need not wait long.
struct Show {
    QStringList files;
    std::unique_ptr<FileListSequence> sequence;
    std::unique_ptr<CSlideView> view;

    explicit Show(QStringList paths, Timings timings = {50, 20}, QSize size = QSize(200, 150))
        : files(std::move(paths)), sequence(std::make_unique<FileListSequence>(files)),
          view(std::make_unique<CSlideView>(nullptr, timings))
    {
        view->setSequence(sequence.get());
        view->resize(size);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        QObject::connect(view.get(), &CSlideView::exitRequested, view.get(), &CSlideView::endShow);
    }
    void start(int index)
    {
        view->OpenSlideAt(index);
        view->beginShow();
    }
    CSuperBitmapButton* button(int id) const { return view->toolBar()->button(id); }
};

bool isBlack(QRgb pixel)
{
    return (pixel & 0xFFFFFF) == 0;
}

}  // namespace

// Every way a show reaches its end pauses there without wrapping, whether the slides decode
// or not, and a slide that cannot be decoded says so.
TEST(SlideView, PlaysToTheLastImageAndPausesThere)
{
    fixtures::TempDir dir;
    for (const char* name : {"bad0.png", "bad1.jpg", "bad2.png"})
        ASSERT_TRUE(fixtures::writeFile(dir.file(QString::fromLatin1(name)), "not an image"));
    QStringList good;
    for (int i = 0; i < 3; ++i)
        good << writePng(dir.file(QStringLiteral("good%1.png").arg(i)), 20 + i, 10);
    const QStringList bad{dir.file("bad0.png"), dir.file("bad1.jpg"), dir.file("bad2.png")};
    const struct {
        const char* name;
        QStringList files;
        int start;
        int end;
    } cases[] = {
        {"every file undecodable", bad, 0, 2},
        {"started on the last image", good, 2, 2},
        {"a single image", {good[0]}, 0, 0},
        {"from the first", good, 0, 2},
    };
    for (const auto& c : cases) {
        Show show(c.files);
        show.start(c.start);
        EXPECT_TRUE(show.view->playing()) << c.name;
        QTRY_VERIFY_WITH_TIMEOUT(!show.view->playing(), kBound);
        EXPECT_EQ(show.view->listIndex(), c.end) << c.name;
        EXPECT_EQ(show.view->hasImage(), c.files != bad) << c.name;
        EXPECT_FALSE(show.view->advanceTimerActive()) << c.name;
        EXPECT_TRUE(show.button(PauseButton)->latched()) << c.name;
        EXPECT_FALSE(show.button(PlayButton)->latched()) << c.name;
        if (c.files == bad) {
            // White text in the middle of a black screen.
            show.view->toolBar()->hide();
            const QImage shot = show.view->grab().toImage();
            EXPECT_TRUE(isBlack(shot.pixel(2, 2)));
            int white = 0;
            for (int x = 0; x < shot.width(); ++x)
                white += (shot.pixel(x, shot.height() / 2) & 0xFFFFFF) == 0xFFFFFF ? 1 : 0;
            EXPECT_GT(white, 0) << "No image available.";
        }
    }
}

TEST(SlideView, SmallerSlidesAreCentredAtTheirSizeAndLargerOnesFitted)
{
    fixtures::TempDir dir;
    const QString small = writePng(dir.file("small.png"), 40, 20);
    const QString large = writePng(dir.file("large.png"), 400, 100);
    const struct {
        QString file;
        QRect expected;
    } cases[] = {{small, {80, 65, 40, 20}}, {large, {0, 50, 200, 50}}};
    for (const auto& c : cases) {
        Show show({c.file});
        show.view->OpenSlideAt(0);
        show.view->toolBar()->hide();
        EXPECT_EQ(show.view->slideRectOnScreen(), c.expected);
        const QImage shot = show.view->grab().toImage();
        const QRect r = c.expected;
        EXPECT_TRUE(isBlack(shot.pixel(r.center().x(), r.top() - 1)));
        EXPECT_TRUE(isBlack(shot.pixel(r.center().x(), r.bottom() + 1)));
        if (c.file == small) {
            // At 100% every pixel is the file's own.
            const RGBQUAD expected = fixtures::patternColor(7, 5);
            EXPECT_EQ(QColor(shot.pixel(r.left() + 7, r.top() + 5)),
                      QColor(expected.rgbRed, expected.rgbGreen, expected.rgbBlue));
        }
        int lit = 0;
        for (int x = r.left(); x <= r.right(); ++x)
            lit += isBlack(shot.pixel(x, r.center().y())) ? 0 : 1;
        EXPECT_GT(lit, r.width() / 2) << "the slide is drawn across its rectangle";
        QTRY_VERIFY_WITH_TIMEOUT(show.view->showsSmoothSlide(), kBound);
    }
}

TEST(SlideView, TheMouseShowsToolBarAndCursorWhichHideLaterUnlessOverTheBar)
{
    fixtures::TempDir dir;
    Show show({writePng(dir.file("a.png"), 20, 10)}, Timings{40, 100000}, QSize(400, 300));
    show.start(0);
    CSlideToolBar* bar = show.view->toolBar();
    EXPECT_EQ(bar->geometry(), QRect(113, 219, 173, 31));
    EXPECT_TRUE(bar->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(show.view->cursorHidden(), kBound);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(show.view->cursor().shape(), Qt::BlankCursor);

    QTest::mouseMove(show.view.get(), QPoint(30, 30));
    EXPECT_FALSE(show.view->cursorHidden());
    EXPECT_TRUE(bar->isVisible());
    EXPECT_NE(show.view->cursor().shape(), Qt::BlankCursor);
    EXPECT_TRUE(show.view->hideTimerActive());

    // Resting on the bar: the timer fires and nothing hides.
    QTest::mouseMove(show.button(ExitButton));
    EXPECT_EQ(show.button(ExitButton)->look(), Look::Hover);
    show.view->onHideTimer();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_FALSE(show.view->cursorHidden());

    QTest::mouseMove(show.view.get(), QPoint(20, 20));
    EXPECT_EQ(show.button(ExitButton)->look(), Look::Normal);
    QTRY_VERIFY_WITH_TIMEOUT(show.view->cursorHidden(), kBound);
    EXPECT_FALSE(bar->isVisible());
    // A "move" to the same point changes nothing.
    QTest::mouseMove(show.view.get(), QPoint(20, 20));
    EXPECT_TRUE(show.view->cursorHidden());
}

TEST(SlideView, ButtonsAndKeysPlayPauseStepAndExit)
{
    fixtures::TempDir dir;
    QStringList files;
    for (int i = 0; i < 4; ++i)
        files << writePng(dir.file(QStringLiteral("img%1.png").arg(i)), 20 + i, 10);
    Show show(files, Timings{100000, 100000});
    show.start(1);
    QSignalSpy exits(show.view.get(), &CSlideView::exitRequested);

    QTest::mouseClick(show.button(PauseButton), Qt::LeftButton);
    EXPECT_FALSE(show.view->playing());
    EXPECT_TRUE(show.button(PauseButton)->latched());
    EXPECT_FALSE(show.button(PlayButton)->latched());
    EXPECT_EQ(show.button(PauseButton)->look(), Look::Pressed);
    QTest::mouseClick(show.button(PlayButton), Qt::LeftButton);
    EXPECT_TRUE(show.view->playing());
    EXPECT_TRUE(show.button(PlayButton)->latched());
    EXPECT_FALSE(show.button(PauseButton)->latched());

    // Pressed on Next, released outside it: nothing.
    QTest::mousePress(show.button(NextButton), Qt::LeftButton);
    EXPECT_TRUE(show.button(NextButton)->pressed());
    QTest::mouseRelease(show.button(NextButton), Qt::LeftButton, {}, QPoint(-5, 5));
    EXPECT_EQ(show.view->listIndex(), 1);

    const struct {
        int key;
        int index;
        bool playing;
    } keys[] = {
        {Qt::Key_Right, 2, true}, {Qt::Key_PageDown, 3, true}, {Qt::Key_Right, 3, true},  // no wrap
        {Qt::Key_Space, 3, false}, {Qt::Key_Left, 2, false}, {Qt::Key_PageUp, 1, false},
        {Qt::Key_Space, 1, true},
    };
    for (const auto& k : keys) {
        QTest::keyClick(show.view.get(), static_cast<Qt::Key>(k.key));
        EXPECT_EQ(show.view->listIndex(), k.index) << k.key;
        EXPECT_EQ(show.view->playing(), k.playing) << k.key;
    }

    // The step buttons are disabled where they would do nothing; Exit never is.
    QTest::mouseClick(show.button(PreviousButton), Qt::LeftButton);
    EXPECT_EQ(show.view->listIndex(), 0);
    EXPECT_FALSE(show.button(PreviousButton)->isEnabled());
    EXPECT_EQ(show.button(PreviousButton)->look(), Look::Disabled);
    QTest::mouseClick(show.button(NextButton), Qt::LeftButton);
    EXPECT_EQ(show.view->listIndex(), 1);

    // A button never keeps the keyboard focus.
    show.button(PlayButton)->setFocus();
    EXPECT_TRUE(show.view->hasFocus());

    QTest::keyClick(show.view.get(), Qt::Key_Escape);
    EXPECT_EQ(exits.count(), 1);
    show.view->beginShow();
    QTest::mouseClick(show.button(ExitButton), Qt::LeftButton);
    EXPECT_EQ(exits.count(), 2);
    EXPECT_FALSE(show.view->isVisible());
    EXPECT_FALSE(show.view->hasImage());
}

TEST(SlideView, PreviousKeepsTheSlideItLeavesSoNextNeedsNoDecode)
{
    fixtures::TempDir dir;
    QStringList files;
    for (int i = 0; i < 3; ++i)
        files << writePng(dir.file(QStringLiteral("img%1.png").arg(i)), 20 + i, 10);
    Show show(files, Timings{100000, 100000});
    show.start(0);
    show.view->waitForPreload();
    show.view->nextSlide();
    EXPECT_EQ(show.view->directLoads(), 1) << "the second slide came from the look-ahead";
    show.view->waitForPreload();
    const int decodes = show.view->preloadSlot().loadsStarted();

    show.view->previousSlide();
    EXPECT_EQ(show.view->listIndex(), 0);
    EXPECT_TRUE(show.view->preloadSlot().holds(files[1], 0));
    EXPECT_EQ(show.view->preloadSlot().loadsStarted(), decodes) << "the slide left is not decoded again";
    const int direct = show.view->directLoads();
    show.view->nextSlide();
    EXPECT_EQ(show.view->directLoads(), direct);
    ASSERT_TRUE(show.view->hasImage());
    EXPECT_EQ(show.view->image()->getWidth(), 21u);
}

// A finished look-ahead (or the slot a step back fills) brings its slide already reduced to
// the fit, by the same arithmetic and scaling the window thread uses; a copy made for another
// screen size is not used.
TEST(SlideView, TheLookAheadReducesTheNextSlideOffTheWindowThread)
{
    fixtures::TempDir dir;
    const QStringList files{writePng(dir.file("a.png"), 400, 100), writePng(dir.file("b.png"), 400, 100),
                            writePng(dir.file("c.png"), 400, 100)};
    Show show(files, Timings{100000, 100000});
    show.start(0);
    show.view->toolBar()->hide();
    show.view->grab();
    QTRY_VERIFY_WITH_TIMEOUT(show.view->showsSmoothSlide(), kBound);
    const QImage onWindowThread = show.view->grab().toImage();
    const int reductions = show.view->windowReductions();
    EXPECT_GT(reductions, 0) << "the first slide had no look-ahead";

    show.view->waitForPreload();
    show.view->nextSlide();
    const QImage fromLookAhead = show.view->grab().toImage();
    EXPECT_TRUE(show.view->showsSmoothSlide()) << "no quick stretch first";
    EXPECT_EQ(show.view->windowReductions(), reductions);
    EXPECT_EQ(fromLookAhead, onWindowThread);

    // Back and forth again: the slide left behind keeps its reduced copy in the slot.
    show.view->waitForPreload();
    show.view->previousSlide();
    show.view->grab();
    QTRY_VERIFY_WITH_TIMEOUT(show.view->showsSmoothSlide(), kBound);
    const int back = show.view->windowReductions();
    show.view->nextSlide();
    EXPECT_EQ(show.view->grab().toImage(), onWindowThread);
    EXPECT_EQ(show.view->windowReductions(), back);

    // The screen changed while the look-ahead was made: the slide is reduced here again.
    show.view->waitForPreload();
    show.view->resize(300, 150);
    show.view->nextSlide();
    show.view->grab();
    QTRY_VERIFY_WITH_TIMEOUT(show.view->showsSmoothSlide(), kBound);
    EXPECT_GT(show.view->windowReductions(), back);
}

// Files deleted or rewritten behind the show's back: the show goes on with what the disk holds.
TEST(SlideView, FilesReplacedOrDeletedDuringTheShow)
{
    fixtures::TempDir dir;
    QStringList files;
    for (int i = 0; i < 3; ++i)
        files << writePng(dir.file(QStringLiteral("img%1.png").arg(i)), 20 + i, 10);
    Show show(files, Timings{100000, 100000});
    show.start(0);
    show.view->waitForPreload();
    ASSERT_TRUE(show.view->preloadSlot().holds(files[1], 0));
    ASSERT_FALSE(writePng(files[1], 64, 48).isEmpty());
    show.view->nextSlide();
    ASSERT_TRUE(show.view->hasImage());
    EXPECT_EQ(show.view->image()->getWidth(), 64u) << "the stale look-ahead copy is not shown";

    for (const QString& file : files)
        ASSERT_TRUE(QFile::remove(file));
    show.view->waitForPreload();
    show.view->nextSlide();
    EXPECT_EQ(show.view->listIndex(), 2);
    EXPECT_FALSE(show.view->hasImage());
    show.view->onAdvanceTimer();
    EXPECT_FALSE(show.view->playing());
}

// Exit while the look-ahead decodes: the slot is freed once the loader reports, and a view
// destroyed mid-decode waits for its loader.
TEST(SlideView, ExitOrDestructionWhileTheLookAheadDecodes)
{
    fixtures::TempDir dir;
    QStringList files;
    for (int i = 0; i < 2; ++i)
        files << fixtures::writePatternJpeg(dir.file(QStringLiteral("big%1.jpg").arg(i)), 2400, 1600);
    {
        Show show(files);
        show.start(0);
        // A 4-megapixel decode through the helper outlasts the click by far.
        QTest::mouseClick(show.button(ExitButton), Qt::LeftButton);
        EXPECT_FALSE(show.view->showActive());
        QTRY_VERIFY_WITH_TIMEOUT(!show.view->preloadSlot().hasThread() && show.view->preloadSlot().path().isEmpty(),
                                 kBound);
    }
    Show show(files);
    show.start(0);
    EXPECT_TRUE(show.view->preloadSlot().hasThread());
    show.view.reset();
}

TEST(SlideView, AScreenSmallerThanTheToolBar)
{
    fixtures::TempDir dir;
    Show show({writePng(dir.file("a.png"), 300, 200)}, Timings{100000, 100000}, QSize(120, 24));
    show.start(0);
    EXPECT_EQ(show.view->toolBar()->geometry(), QRect(-53, 0, 173, 31));
    EXPECT_EQ(show.view->slideRectOnScreen(), QRect(42, 0, 36, 24));
    // Exit stays within reach.
    QSignalSpy exits(show.view.get(), &CSlideView::exitRequested);
    QTest::mouseClick(show.button(ExitButton), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(exits.count(), 1);
    show.view->grab();
}

// At 1.5 and 2 times the density a slide that fits is shown one file pixel per screen pixel,
// a larger one is reduced to the screen's pixels rather than to fewer, and the buttons show
// pictures drawn for the density.
TEST(SlideView, SlidesAndButtonsAreDrawnAtTheScreensDensity)
{
    const qreal ratio = qApp->devicePixelRatio();
    if (ratio == 1) {
        for (const char* factor : {"1.5", "2"})
            fixtures::rerunAtDensity(QString::fromLatin1(factor));
        return;
    }
    const auto device = [ratio](int logical) { return static_cast<int>(logical * ratio); };
    fixtures::TempDir dir;
    // White, with a black column one pixel wide in the middle.
    const auto writeLine = [&](const char* name, QSize size) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int y = 0; y < size.height(); ++y)
            picture.setPixel(size.width() / 2 + 1, y, qRgb(0, 0, 0));
        const QString path = dir.file(QString::fromLatin1(name));
        return picture.save(path) ? path : QString();
    };
    // The view is 200 x 150 logical pixels; the slides fill its middle third.
    Show show({writeLine("fits.png", {device(200), device(50)}), writeLine("large.png", {device(400), device(100)})});
    ASSERT_EQ(show.view->devicePixelRatioF(), ratio);
    for (const int index : {0, 1}) {
        show.view->OpenSlideAt(index);
        show.view->toolBar()->hide();
        QTRY_VERIFY_WITH_TIMEOUT(show.view->showsSmoothSlide(), kBound);
        ASSERT_EQ(show.view->slideRectOnScreen(), QRect(0, 50, 200, 50)) << index;
        const QImage shot = show.view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shot.size(), QSize(device(200), device(150)));
        // The slide fills the middle third's device rows across every column.
        const int top = device(50), bottom = device(100) - 1, middle = device(100);
        EXPECT_TRUE(isBlack(shot.pixel(middle, top - 1))) << ratio;
        EXPECT_TRUE(isBlack(shot.pixel(middle, bottom + 1))) << ratio;
        EXPECT_GT(qGray(shot.pixel(0, top)), 200) << ratio << " " << index;
        EXPECT_GT(qGray(shot.pixel(device(200) - 1, bottom)), 200) << ratio << " " << index;
        if (index == 0) {
            // Edge sharpness: the line stays one device pixel wide, its neighbours white.
            const int y = device(75);
            EXPECT_LT(qGray(shot.pixel(middle + 1, y)), 30) << ratio;
            EXPECT_GT(qGray(shot.pixel(middle, y)), 225) << ratio;
            EXPECT_GT(qGray(shot.pixel(middle + 2, y)), 225) << ratio;
        }
    }
    show.view->toolBar()->show();
    for (const int id : {PlayButton, ExitButton}) {
        CSuperBitmapButton* button = show.button(id);
        const QImage drawn = drawButtonPicture(id == PlayButton ? Glyph::Play : Glyph::Exit, button->look(), button->size(), ratio).toImage();
        EXPECT_EQ(button->grab().toImage().convertToFormat(QImage::Format_RGB32), drawn.convertToFormat(QImage::Format_RGB32))
            << ratio << " " << id;
    }
}
