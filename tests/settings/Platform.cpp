#include "TempFolder.h"

bool RunningUnderWine()
{
    return false;
}
