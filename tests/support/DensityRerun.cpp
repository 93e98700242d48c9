#include "DensityRerun.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

namespace fixtures {

void rerunAtDensity(const QString& factor)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    ASSERT_NE(test, nullptr);
    QProcess again;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), factor);
    again.setProcessEnvironment(env);
    again.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2").arg(QString::fromUtf8(test->test_suite_name()),
                                                            QString::fromUtf8(test->name()))});
    ASSERT_TRUE(again.waitForFinished(120000));
    EXPECT_EQ(again.exitCode(), 0) << "at " << factor.toStdString() << "x: "
                                   << again.readAllStandardOutput().right(3000).constData();
}

}  // namespace fixtures
