#pragma once
// The kit's screen cursors: an open hand and a grabbing hand, drawn in res/widgets/.
#include "platform/application.h"

constexpr TCursor crHand = 14000; // "KIT_HANDCUR"
constexpr TCursor crDragHand = 14001; // "KIT_DRAGCUR"

// Puts "KIT_HANDCUR" and "KIT_DRAGCUR" into the screen's cursor table as crHand and
// crDragHand; the program does it at start-up (needs the application object).
void LoadKitCursors();
