// Compiled against one subsystem's usage requirements only. With VORNELLE_PROBE_QT the file
// also asks for a Qt header, which must not be found: Qt is private to the platform core.
#include "platform/canvas.h"
#ifdef VORNELLE_PROBE_QT
#include <QString>
#endif

int ProbeLayer(TCanvas *Canvas) { return Canvas ? 1 : 0; }
