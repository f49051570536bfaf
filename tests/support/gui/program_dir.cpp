#include "support/gui/program_dir.h"

void ProgramDir::writeIni(const std::string& bytes)
{
    write("Release.ini", bytes);
}
