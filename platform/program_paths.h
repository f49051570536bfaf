#pragma once
// Where the program finds the programs it runs and the files it keeps.
#include <string>

namespace pkm {

struct ProgramPaths {
    // The program's directory: the stub PKM.DLL and the archivers. Ends in a separator.
    std::string programDir;
    // Release.ini, the templates, and the outputs when "Output dir" is empty. Ends in a separator.
    std::string dataDir;

    // Everything beside the program, in the directory `dir`.
    static ProgramPaths beside(const std::string& dir);

    std::string iniPath() const { return dataDir + "Release.ini"; }
};

} // namespace pkm
