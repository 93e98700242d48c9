// Runs the GoogleTest cases inside a QApplication (offscreen in CI), with the XDG folders
// pointed at a temporary home so no test ever touches the real one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// Sanitizer settings live in the test binaries themselves, so a test run from anywhere (CTest,
// a debugger, the shell) behaves the same.
extern "C" const char* __lsan_default_suppressions()
{
    // Caches that system libraries allocate once and keep for the life of the process.
    return "leak:libfreeimage.so\n"
           "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libglib-2.0.so\n";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/.local/share")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/.cache")).toUtf8());
    if (qEnvironmentVariableIsEmpty("KELVRA_DECODER"))
        qputenv("KELVRA_DECODER", KELVRA_TEST_DECODER);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
