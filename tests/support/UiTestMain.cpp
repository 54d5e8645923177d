// Test main for programs that use the class library: the application and
// screen objects exist for the whole run, as in the program.
#include <gtest/gtest.h>

#include "ui/Application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ui::InitApplication();
    ui::Application->Initialize();
    int rc = RUN_ALL_TESTS();
    ui::DoneApplication();
    return rc;
}
