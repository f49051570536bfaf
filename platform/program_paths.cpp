#include "platform/program_paths.h"

#include "platform/paths.h"

namespace pkm {

ProgramPaths ProgramPaths::beside(const std::string& dir)
{
    const std::string withSeparator = withTrailingSeparator(dir);
    return {withSeparator, withSeparator};
}

} // namespace pkm
