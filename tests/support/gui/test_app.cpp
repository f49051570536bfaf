#include "support/gui/test_app.h"

#include "platform/widgets/Application.h"

#include <gtest/gtest.h>

using namespace pkm;

int runTestsWithApplication(int argc, char** argv)
{
    TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
