#include "support/gui/program_dir.h"

using namespace pkm;

void ProgramDir::writeIni(const std::string& bytes)
{
    write("Release.ini", bytes);
}
