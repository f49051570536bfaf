#pragma once
// Creates the application object (with the general error handler) and runs every test.
int runTestsWithApplication(int argc, char** argv);
