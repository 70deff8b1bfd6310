#ifndef TESTS_SUPPORT_COMMALOCALE_H
#define TESTS_SUPPORT_COMMALOCALE_H

// A run in a comma-decimal locale, as most of Europe has it: the C library's printf and strtod
// families then write and read "," for the decimal point, and Qt's system locale shows ",".
// A test file starts its whole process in that locale (startInCommaLocale from a static
// initializer, before the application object takes its locale from the environment) and wraps
// its fixtures in InCommaLocale, which checks before and after every test that the C library
// really writes ",". Where the locale cannot be had, a test skips, and fails under CI=true.

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

namespace testsupport {

inline constexpr const char *CommaLocaleName = "de_DE.UTF-8";

// The build makes the locale into this folder when the system lacks it (HXR_TEST_LOCALE_DIR).
inline std::string builtLocaleFolder()
{
#ifdef HXR_TEST_LOCALE_DIR
    return HXR_TEST_LOCALE_DIR;
#else
    return {};
#endif
}

// Names the comma locale for the whole process and points the C library at the copy the build
// made, if there is one. Returns true so that a file can call it from a static initializer.
inline bool startInCommaLocale()
{
    const std::string folder = builtLocaleFolder();
    const std::string numeric = folder + '/' + CommaLocaleName + "/LC_NUMERIC";
    if (!folder.empty() && access(numeric.c_str(), R_OK) == 0)
        setenv("LOCPATH", folder.c_str(), 1);
    setenv("LC_ALL", CommaLocaleName, 1);
    return true;
}

inline bool commaLocaleInForce()
{
    return std::strcmp(std::localeconv()->decimal_point, ",") == 0;
}

inline bool underContinuousIntegration()
{
    const char *ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}

// The fixture Base with the C library's whole locale switched to the comma locale for every
// test, and that checked again when the test ends.
template <class Base>
class InCommaLocale : public Base
{
protected:
    void SetUp() override
    {
        std::setlocale(LC_ALL, CommaLocaleName);
        if (!commaLocaleInForce()) {
            const std::string why =
                std::string("the C library cannot switch to ") + CommaLocaleName +
                " (made by the test fixture comma_locale into " + builtLocaleFolder() + ")";
            if (underContinuousIntegration())
                FAIL() << why;
            GTEST_SKIP() << why;
        }
        baseSetUp_ = true;
        Base::SetUp();
    }

    void TearDown() override
    {
        if (!baseSetUp_)
            return;
        Base::TearDown();
        EXPECT_TRUE(commaLocaleInForce()) << "the test left the comma locale";
        std::setlocale(LC_ALL, CommaLocaleName);
    }

private:
    bool baseSetUp_ = false;
};

} // namespace testsupport

#endif
