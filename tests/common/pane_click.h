#pragma once
// Clicking the text pane where a piece of its text was drawn, as the mouse would.
#include <QPoint>
#include <string>

#include "htmlview/html_pane.h"

// The panel point inside the first character of Text, Back pixels left of its right edge
// (laid out and painted), or (-1, -1) when the text is not there. The caret after the
// first character is asked for: the one before it may end the section above.
inline QPoint TextPoint(THtmlPane &Pane, const std::string &Text, int Back = 2) {
  TSectionList &D = Pane.Document();
  const int P = D.FindString(0, Text, true);
  int X = 0, Y = 0;
  if (P < 0 || !D.CursorToXY(Pane.PaintPanel()->Canvas(), P + 1, X, Y)) return {-1, -1};
  return {X - Back, Y - Pane.Position() + 5};
}

inline void ClickAt(THtmlPane &Pane, QPoint At, TMouseButton Button = mbLeft) {
  TPaintPanel *Panel = Pane.PaintPanel();
  const TShiftState Held = Button == mbLeft ? ssLeft : Button == mbRight ? ssRight : ssMiddle;
  Panel->OnMouseMove(0, At.x(), At.y());
  Panel->OnMouseDown(Button, Held, At.x(), At.y());
  Panel->OnMouseUp(Button, 0, At.x(), At.y());
}
