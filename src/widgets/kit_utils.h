#pragma once
// General helpers of the button kit: painting what lies under a control, drawing part of a
// bitmap with one colour left out, and the "not yet implemented" notice.
#include <span>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/types.h"

class QWidget;

// Paints into Canvas (whose (0, 0) is the control's top-left corner) what lies under
// Control: the parent's background and its own painting, then every visible sibling
// beneath Control in z-order that overlaps it, all clipped to the parent's client area.
// Parts of the control outside the parent keep what Canvas held.
void CopyParentImage(QWidget *Control, TCanvas &Canvas);

// Stretches SrcRect of Source into DstRect of Dest, leaving the pixels of TransparentColor
// out (a mask is built from that colour).
void StretchBltTransparent(TCanvas &Dest, const TRect &DstRect, const TBitmap &Source,
                           const TRect &SrcRect, TColor TransparentColor);
// As StretchBltTransparent into (DstX, DstY, DstW, DstH); a size <= 0 takes the bitmap's.
// TransparentColor clDefault takes the bitmap's lower-left pixel; clNone copies all.
void StretchBitmapRectTransparent(TCanvas &Dest, int DstX, int DstY, int DstW, int DstH,
                                  const TRect &SrcRect, const TBitmap &Bitmap,
                                  TColor TransparentColor);
// SrcRect of Bitmap at (DstX, DstY), unstretched.
void DrawBitmapRectTransparent(TCanvas &Dest, int DstX, int DstY, const TRect &SrcRect,
                               const TBitmap &Bitmap, TColor TransparentColor);

// Draws entry Index of Images at (X, Y) embossed as disabled: the entry's ink (what is
// neither its transparent colour nor white) in Highlight one pixel down and right, then in
// Shadow in place; the rest of the canvas shows through. An index outside the list draws
// nothing.
void ImageListDrawDisabled(std::span<const TBitmap> Images, TCanvas &Canvas, int X, int Y,
                           int Index, TColor Highlight = clBtnHighlight,
                           TColor Shadow = clBtnShadow);

// True when one of the program's windows is the active one (another program's is not).
bool IsForegroundTask();

// Restores the cursor and tells the user "Function not yet implemented"; the caller then
// ends its operation quietly (nothing is raised).
void NotImplemented();
