#pragma once
// The kind of the text pane in the main window's right half.
#include "htmlview/html_pane.h"
using TViewerPane = THtmlPane;
