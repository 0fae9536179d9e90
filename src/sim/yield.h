#pragma once
// How an engine's long loop lets the rest of the program run. The loop calls Yield after
// every step (after drawing it); Yield returns false when the loop must stop. In the
// program it pumps messages and tests AbortFlag; in a test it counts steps, so engines
// need neither an application object nor a timer.
#include <functional>

using TYield = std::function<bool()>;
