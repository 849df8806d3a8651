#include "Wine.h"

bool RunningUnderWine() { return false; }
