#pragma once
// The values the simulation engines and the main window share. Plain variables, read and
// written directly; nothing else of the program is global.
#include <vector>

#include "platform/types.h"

// True (-1) when no simulation loop runs or a stop was requested; False (0) while a loop
// runs. A loop clears it before its first step, tests it after every message-pump call,
// and sets it again when it ends normally. True at program start.
extern LongBool AbortFlag;
// 1: the screen is at most 640 pixels wide (compact layout); 2: wider. 0 until the main
// window has fitted itself to the screen.
extern int ScreenMode;
// True when the display has no palette (a true-colour display): only then is 3-D shading
// used. Written once by the main window at start-up.
extern bool NoPalette;

// Screen polygons and polylines passed between the engines and the main window.
using TPointArray = std::vector<TPoint>;
