#include "templates/section.h"

namespace pkm {

void TParam::SetDefaults()
{
    *this = TParam {};
}

void TParam::CopyFrom(const TParam& other)
{
    *this = other;
}

} // namespace pkm
