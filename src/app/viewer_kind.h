#pragma once
// The kind of the text pane in the main window's right half.
#include "app/text_pane_placeholder.h"
using TViewerPane = TTextPanePlaceholder;
