#include "support/gui/program_dir.h"

#include "platform/widgets/TextCodec.h"

ProgramDir::ProgramDir()
{
    setProgramDirectory(path());
}

ProgramDir::~ProgramDir()
{
    setProgramDirectory(std::string());
}

void ProgramDir::writeIni(const std::string& bytes)
{
    write("Release.ini", bytes);
}
