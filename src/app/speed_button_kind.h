#pragma once
// The kind of the text toolbar's speed buttons.
#include "widgets/speed_button.h"
using TToolbarButton = TKitSpeedButton;
