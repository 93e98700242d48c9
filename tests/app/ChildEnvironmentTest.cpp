#include "TestFixtures.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

// Programs we launch get the environment the user started us with: our allocator tuning
// (and the variable that carries it across our restart) stays with us.
TEST(ChildEnvironment, LaunchedProgramsSeeTheUsersEnvironment)
{
    const struct {
        const char* given;  // nullptr: not set
        bool tuned;         // the probe itself runs with huge pages
    } cases[] = {{nullptr, true}, {"glibc.malloc.check=0", true}, {"glibc.malloc.hugetlb=1", true}, {"", true}};
    for (const auto& c : cases) {
        fixtures::TempDir tmp;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("GLIBC_TUNABLES"));
        for (const QString& key : env.keys())
            if (key.startsWith(QLatin1String("KELVRA_")))
                env.remove(key);
        if (c.given)
            env.insert(QStringLiteral("GLIBC_TUNABLES"), QString::fromLatin1(c.given));
        QProcess probe;
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral(KELVRA_ENV_PROBE), {tmp.file(QStringLiteral("env.txt"))});
        ASSERT_TRUE(probe.waitForFinished(60000));
        ASSERT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().constData();
        EXPECT_EQ(probe.readAllStandardOutput().trimmed() == "tuned", c.tuned) << (c.given ? c.given : "unset");
        const QList<QByteArray> lines = fixtures::readFile(tmp.file(QStringLiteral("env.txt"))).split('\n');
        QList<QByteArray> tunables;
        for (const QByteArray& line : lines) {
            EXPECT_FALSE(line.startsWith("KELVRA_")) << line.constData();
            if (line.startsWith("GLIBC_TUNABLES="))
                tunables << line.mid(15);
        }
        if (c.given)
            EXPECT_EQ(tunables, QList<QByteArray>{QByteArray(c.given)});
        else
            EXPECT_TRUE(tunables.isEmpty()) << tunables.value(0).constData();
    }
}

}  // namespace
