#pragma once
// The look the program was designed with, on top of the platform's own style:
// - menus: an item that can be ticked shows its mark only while it is ticked; an unticked
//   item shows nothing (no empty check box), with its text where a ticked item's text is;
// - scroll bars: raised silver thumb and arrow buttons over a light dithered track, so the
//   thumb stands out from the track as on the old desktop. Sizes and hit-testing are the
//   platform style's own.

// Installs the program's style once (later calls do nothing); needs the application object.
void UseClassicStyle();
