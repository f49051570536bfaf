#pragma once
// A temporary program directory for window tests: Release.ini, templates and outputs live
// there instead of beside the test binary.
#include "platform/program_paths.h"
#include "support/temp_dir.h"

#include <string>

class ProgramDir : public TempDir {
public:
    // Creates Release.ini with these bytes (an empty file by default).
    void writeIni(const std::string& bytes = std::string());
    std::string iniPath() const { return file("Release.ini"); }
    // The program's directory and its data directory both here.
    pkm::ProgramPaths paths() const { return pkm::ProgramPaths::beside(path()); }
};
