#include "library/modMain.h"

namespace lw {

ModMain& modMain()
{
    static ModMain state;
    return state;
}

} // namespace lw
