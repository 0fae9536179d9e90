#pragma once
// Menus as the class library draws them: an item that can be ticked shows its mark only
// while it is ticked; an unticked item shows nothing (no empty check box), with its text
// where a ticked item's text is.

// Installs the program's style once (later calls do nothing); needs the application object.
void UseClassicStyle();
