#include "widgets/kit_const.h"

void LoadKitCursors() {
  // Hot spots at the middle of the palm.
  Screen->SetCustomCursor(crHand, "widgets/KIT_HANDCUR.png", 16, 16);
  Screen->SetCustomCursor(crDragHand, "widgets/KIT_DRAGCUR.png", 15, 16);
}
