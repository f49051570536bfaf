#include <gtest/gtest.h>

#include <cstdlib>

#ifdef PAKMASTER_WITH_QT
#include "support/gui/test_app.h"
#endif

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#ifdef PAKMASTER_WITH_QT
    // Test discovery runs this binary without the test environment.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || *platform == '\0')
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return runTestsWithApplication(argc, argv);
#else
    return RUN_ALL_TESTS();
#endif
}
