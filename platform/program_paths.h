#pragma once
// Where the program finds the programs it runs and the files it keeps: beside itself (a
// portable copy) or, for an installed copy, in the user's own folder.
#include <string>

namespace pkm {

// An installation leaves this file in the program's directory: the copy is shared by its
// users and keeps nothing beside itself.
inline constexpr const char* kInstalledMarker = "INSTALLED";

// The files a build and an installation put into the program's directory, besides the example
// set in kExamplesFolder: the program, the stub, the 7-Zip adapter, the sound library, the mark
// of an installation and the archivers' links (to the adapter or the system's programs), the
// links last, so that a file reached through one of them is named for itself. Nothing the
// program writes may replace one of them.
inline constexpr const char* kProgramFiles[] = {
    "pakmaster", "pakmaster-window", "pakmaster-render", "PKM.DLL", "pkm_7z_adapter", "libpakmaster_sound.so", kInstalledMarker, "rar", "ace32", "zip", "par2",
};
// The window's program beside the command-line program, which hands it the window and the viewer.
inline constexpr const char* kWindowProgram = "pakmaster-window";
// ... and `render`, drawn with Qt's fonts but without its widgets.
inline constexpr const char* kRenderProgram = "pakmaster-render";
// The folder of the example set inside the program's directory.
inline constexpr const char* kExamplesFolder = "examples";

enum class StoreMode {
    Portable, // Release.ini, the templates and default outputs beside the program
    PerUser,  // ... in $XDG_CONFIG_HOME/pakmaster/
};

// What decides the mode, as found in the program's directory.
struct ProgramDirFacts {
    bool installedMarker = false;
    bool directoryWritable = false;
    bool releaseIniWritable = false; // present and writable
};

// Portable exactly when the copy is not installed and its directory can hold Release.ini.
StoreMode chooseStoreMode(const ProgramDirFacts& facts);
ProgramDirFacts probeProgramDir(const std::string& programDir);

// The directory of the running program's file (links resolved), ending in a separator; empty
// when it cannot be told.
std::string runningProgramDir();

// The variables the per-user folder is taken from.
struct UserEnvironment {
    std::string xdgConfigHome;
    std::string home;
};
// From the process: XDG_CONFIG_HOME, HOME, else the home directory of the user's account.
UserEnvironment processEnvironment();
// $XDG_CONFIG_HOME/pakmaster/ when that is an absolute path, else $HOME/.config/pakmaster/.
std::string perUserFolder(const UserEnvironment& env);

struct ProgramPaths {
    // The program's directory: the stub PKM.DLL and the archivers. Ends in a separator.
    std::string programDir;
    // Release.ini, the templates, and the outputs when "Output dir" is empty. Ends in a separator.
    std::string dataDir;
    StoreMode mode = StoreMode::Portable;

    // Everything beside the program, in the directory `dir`.
    static ProgramPaths beside(const std::string& dir);
    // Everything in `folder`, except the stub and archivers of `dir`.
    static ProgramPaths perUser(const std::string& dir, const std::string& folder);
    // The paths of the program in `dir`, in the mode its directory calls for.
    static ProgramPaths forProgram(const std::string& dir, const UserEnvironment& env);

    std::string iniPath() const { return dataDir + "Release.ini"; }
};

} // namespace pkm
