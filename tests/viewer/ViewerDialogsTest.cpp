// The viewer's own dialogs: the answers of "Save Changes", the save dialog's type and name
// kept in step, the open dialog's information and its preview setting.
#include "ViewerTestSupport.h"

#include "app/ProfileFile.h"
#include "imaging/fipSuperImage.h"
#include "viewer/CDlgOpenFile.h"
#include "viewer/CDlgQuerySave.h"
#include "viewer/CDlgSaveFile.h"
#include "viewer/CDlgSetZoomLevel.h"
#include "viewer/ViewerDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using fixtures::TempDir;

namespace {

QPushButton* button(QDialog& dialog, const QString& text)
{
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

TEST(CDlgQuerySave, EachButtonEndsWithItsAnswerAndSaveAsAsksForAName)
{
    const struct {
        QString text;
        std::optional<QString> chosen;
        int result;
    } cases[] = {
        {QStringLiteral("&Save"), std::nullopt, QuerySaveSave},
        {QStringLiteral("&Discard"), std::nullopt, QuerySaveDiscard},
        {QStringLiteral("&Cancel"), std::nullopt, QuerySaveCancel},
        {QStringLiteral("Save &As..."), QStringLiteral("/tmp/x.png"), QuerySaveSaveAs},
        // Cancelling the save dialog cancels the question.
        {QStringLiteral("Save &As..."), std::nullopt, QuerySaveCancel},
    };
    for (const auto& c : cases) {
        int asked = 0;
        CDlgQuerySave dialog(nullptr, [&] {
            ++asked;
            return c.chosen;
        });
        dialog.open();
        QPushButton* b = button(dialog, c.text);
        ASSERT_NE(b, nullptr) << c.text.toStdString();
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), c.result) << c.text.toStdString();
        EXPECT_EQ(asked, c.text.startsWith(QStringLiteral("Save &As")) ? 1 : 0);
        EXPECT_EQ(dialog.chosenPath(), c.chosen.value_or(QString()));
    }
}

TEST(CDlgSetZoomLevel, TypedDigitsAndEnterGiveWhatWasTypedNotAnItemItStartsLike)
{
    const struct {
        const char* typed;
        int percent;
    } cases[] = {{"8", 8}, {"12", 12}, {"30", 30}, {"1600", 1600}};
    for (const auto& c : cases) {
        CDlgSetZoomLevel dialog(0.5, ZoomType::FitImage);
        dialog.show();
        QLineEdit* edit = dialog.levelEdit()->lineEdit();
        ASSERT_TRUE(edit->hasSelectedText());  // the current level, replaced by typing
        QTest::keyClicks(edit, QLatin1String(c.typed));
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.typed;
        EXPECT_EQ(dialog.percent(), c.percent) << c.typed;
    }
}

TEST(CDlgSaveFile, StartsOnTheFilesTypeAndRenamesWithTheChosenType)
{
    TempDir dir;
    const QString filter = QStringLiteral("Windows or OS/2 Bitmap (*.bmp);;Portable Network Graphics (*.png);;"
                                          "Independent JPEG Group (*.jpg *.jif *.jpeg *.jpe)");
    CDlgSaveFile dialog(nullptr, dir.file(QStringLiteral("holiday.png")), filter);
    EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("Portable Network Graphics (*.png)"));
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("png"));
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QStringLiteral("holiday.png"));
    emit dialog.filterSelected(QStringLiteral("Independent JPEG Group (*.jpg *.jif *.jpeg *.jpe)"));
    EXPECT_EQ(name->text(), QStringLiteral("holiday.jpg"));
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("jpg"));
}

TEST(CDlgOpenFile, InformationOfTheSelectedFileAndThePreviewSetting)
{
    TempDir dir;
    const QString png = viewertest::writePatternPng(dir.file(QStringLiteral("a.png")), 400, 100);
    ASSERT_TRUE(fixtures::writeFile(dir.file(QStringLiteral("notes.txt")), QByteArray("hello")));
    const QString config = dir.file(QStringLiteral("Config.ini"));

    CDlgOpenFile dialog(nullptr, dir.path(), fipSuperImage::getOpenFileFilter(), config);
    EXPECT_TRUE(dialog.previewOn());
    dialog.showFacts(png);
    EXPECT_TRUE(dialog.facts().known);
    EXPECT_EQ(dialog.facts().format, QStringLiteral("PNG"));
    EXPECT_EQ(dialog.facts().width, QStringLiteral("400"));
    EXPECT_EQ(dialog.facts().height, QStringLiteral("100"));
    EXPECT_EQ(dialog.facts().size, formatFileSize(QFileInfo(png).size()));
    EXPECT_TRUE(dialog.facts().size.endsWith(QStringLiteral(" KB")));
    ASSERT_FALSE(dialog.facts().preview.isNull());
    EXPECT_LE(dialog.facts().preview.width(), 160);

    dialog.showFacts(dir.file(QStringLiteral("notes.txt")));
    EXPECT_FALSE(dialog.facts().known);
    EXPECT_EQ(dialog.facts().format, QStringLiteral("Unavailable"));

    // Turning the preview off is remembered; without it the size comes from the header.
    dialog.findChild<QCheckBox*>()->setChecked(false);
    EXPECT_EQ(ProfileFile(config).getInt(QStringLiteral("OpenFileDlg"), QStringLiteral("ShowPreview"), 1), 0);
    dialog.showFacts(png);
    EXPECT_TRUE(dialog.facts().preview.isNull());
    EXPECT_EQ(dialog.facts().width, QStringLiteral("400"));
    CDlgOpenFile again(nullptr, dir.path(), fipSuperImage::getOpenFileFilter(), config);
    EXPECT_FALSE(again.previewOn());
}

TEST(CDlgOpenFile, AJpegPreviewIsItsStoredThumbnailElseAReducedDecoding)
{
    TempDir dir;
    const QString plain = fixtures::writePatternJpeg(dir.file(QStringLiteral("plain.jpg")), 640, 480);
    ASSERT_FALSE(plain.isEmpty());
    // The stored thumbnail is black, unlike the photo, so its use shows.
    fipSuperImage flat(FIT_BITMAP, 160, 120, 24);
    const QString flatPath = dir.file(QStringLiteral("flat.jpg"));
    ASSERT_TRUE(flat.save(flatPath, 95));
    const QString camera = dir.file(QStringLiteral("camera.jpg"));
    ASSERT_TRUE(fixtures::writeFile(camera, fixtures::withExifThumbnail(fixtures::readFile(plain),
                                                                       fixtures::readFile(flatPath))));

    const ImageFileFacts stored = describeImageFile(camera, true, QSize(160, 120));
    EXPECT_EQ(stored.width, QStringLiteral("640"));
    EXPECT_EQ(stored.height, QStringLiteral("480"));
    ASSERT_EQ(stored.preview.size(), QSize(160, 120));
    EXPECT_LE(qRed(stored.preview.pixel(80, 60)), 4);

    const ImageFileFacts reduced = describeImageFile(plain, true, QSize(160, 120));
    EXPECT_EQ(reduced.width, QStringLiteral("640"));
    ASSERT_EQ(reduced.preview.size(), QSize(160, 120));
    EXPECT_NEAR(qGreen(reduced.preview.pixel(0, 0)), fixtures::patternColor(0, 0).rgbGreen, 24);

    // A damaged file gives no preview and no size, and no crash.
    QByteArray cut = fixtures::readFile(camera);
    cut.truncate(cut.size() / 3);
    ASSERT_TRUE(fixtures::writeFile(dir.file(QStringLiteral("cut.jpg")), cut));
    const ImageFileFacts damaged = describeImageFile(dir.file(QStringLiteral("cut.jpg")), true, QSize(160, 120));
    EXPECT_TRUE(damaged.known);
}

}  // namespace
