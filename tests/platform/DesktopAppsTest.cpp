#include "platform/DesktopApps.h"
#include "platform/ShellActions.h"

#include "TestFixtures.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Desktop entries written into the test's own XDG_DATA_HOME as the packages of an editor and
// a viewer install theirs; GIO finds them as the desktop does.
TEST(DesktopApps, TheAssociatedEditorIsFoundAndLaunchedOnTheFile)
{
    const QString applications = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/applications");
    ASSERT_TRUE(QDir().mkpath(applications));
    fixtures::TempDir tmp;
    const QString record = tmp.file(QStringLiteral("launched.txt"));
    const QString script = tmp.file(QStringLiteral("stand-in editor"));
    ASSERT_TRUE(fixtures::writeFile(script, QStringLiteral("#!/bin/sh\n{ printf '%s\\n' \"$@\"; env; } > '%1.part' && mv '%1.part' '%1'\n")
                                                .arg(record).toUtf8()));
    QFile(script).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto entry = [&](const char* name, const char* categories) {
        return fixtures::writeFile(applications + QLatin1Char('/') + QString::fromLatin1(name),
                                   QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=\"%2\" %f\n"
                                                  "MimeType=image/png;\nCategories=%3\n")
                                       .arg(QString::fromLatin1(name), script, QString::fromLatin1(categories))
                                       .toUtf8());
    };
    ASSERT_TRUE(entry("test-paint.desktop", "Graphics;2DGraphics;RasterGraphics;"));
    ASSERT_TRUE(entry("test-viewer.desktop", "Graphics;Viewer;2DGraphics;"));
    // What update-desktop-database writes when a package installs the entries.
    ASSERT_TRUE(fixtures::writeFile(applications + QStringLiteral("/mimeinfo.cache"),
                                    "[MIME Cache]\nimage/png=test-viewer.desktop;test-paint.desktop;\n"));

    const QByteArray photo = QFile::encodeName(tmp.file(QStringLiteral("a photo & more.png")));
    ASSERT_TRUE(fixtures::writeFile(QFile::decodeName(photo), QByteArray("\x89PNG\r\n\x1a\n", 8)));
    const QStringList editors = DesktopApps::editorsFor(photo);
    EXPECT_TRUE(editors.contains(QStringLiteral("test-paint.desktop"))) << editors.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(editors.contains(QStringLiteral("test-viewer.desktop")));

    ASSERT_TRUE(ShellActions::OpenWithAssociatedEditor(photo));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(record); }, 20000));
    const QList<QByteArray> lines = fixtures::readFile(record).split('\n');
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), photo);
}

}  // namespace
