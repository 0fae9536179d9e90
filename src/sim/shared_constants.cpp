#include "sim/shared_constants.h"

LongBool AbortFlag = true;
int ScreenMode = 0;
bool NoPalette = false;
