#include "templates/section.h"

namespace pkm {

void TParam::SetDefaults()
{
    *this = TParam {};
}

} // namespace pkm
