#pragma once
// Icons on the clipboard: a format of their own, which TPicture knows to hold a TIcon.

// Registers the format (once) and returns its number.
unsigned RegisterClipIcon();
