#include "htmlview/draw_helpers.h"

#include <algorithm>

#include "platform/numbers.h"

int TextWidth(TCanvas &Canvas, const std::string &Text, int Count, TCodePage Page) {
  Count = std::clamp(Count, 0, int(Text.size()));
  return Canvas.TextWidth(DecodeText(std::string_view(Text).substr(0, size_t(Count)), Page));
}

void DrawTextInRect(TCanvas &Canvas, int Left, int Top, int Right, int Bottom,
                    const std::string &S, TCodePage Page) {
  const TBrushStyle OldStyle = Canvas.Brush().Style;
  const unsigned OldAlign = Canvas.TextAlign();
  Canvas.Brush().Style = bsClear;
  Canvas.SetTextAlign(TA_LEFT | TA_TOP);
  const int LineHeight = Canvas.TextHeight(std::string("A"));
  const TRect Box(Left, Top, Right, Bottom);
  auto Width = [&](const std::string &T) { return Canvas.TextWidth(DecodeText(T, Page)); };
  std::string Rest = Trim(S), Line;
  int Y = Top;
  bool Stopped = false;
  while (!Rest.empty()) {
    size_t Sp = Rest.find(' ');
    std::string Word = Rest.substr(0, Sp);
    Rest = Sp == std::string::npos ? std::string() : Rest.substr(Sp + 1);
    if (Word.empty()) continue;
    std::string Candidate = Line.empty() ? Word : Line + " " + Word;
    if (!Line.empty() && Width(Candidate) > Right - Left) {
      Canvas.TextRect(Box, Left, Y, DecodeText(Line, Page));
      Y += LineHeight;
      Line = Word;
      if (Y + LineHeight > Bottom) {
        Stopped = true;
        break;
      }
    } else {
      Line = Candidate;
    }
  }
  if (!Stopped && !Line.empty() && Y + LineHeight <= Bottom)
    Canvas.TextRect(Box, Left, Y, DecodeText(Line, Page));
  Canvas.Brush().Style = OldStyle;
  Canvas.SetTextAlign(OldAlign);
}

void Draw3DRect(TCanvas &Canvas, int X1, int Y1, int X2, int Y2, bool Raised,
                bool Monochrome) {
  const TBrush OldBrush = Canvas.Brush();
  Canvas.Brush().Style = bsSolid;
  Canvas.Brush().Color = clWhite;
  Canvas.FillRect(TRect(X1, Y1, X2 - 1, Y2 - 1));
  const int W = Monochrome ? 1 : 2;
  const TColor Light = clSilver, Shadow = ColorToRGB(clBtnShadow);
  const TColor TopLeft = Monochrome ? clBlack : Raised ? Light : Shadow;
  const TColor BottomRight = Monochrome ? clBlack : Raised ? Shadow : Light;
  // The frame lies inside the box, as an inside-frame pen draws it.
  Canvas.Brush().Color = BottomRight;
  Canvas.FillRect(TRect(X1, Y2 - W, X2, Y2));
  Canvas.FillRect(TRect(X2 - W, Y1, X2, Y2));
  Canvas.Brush().Color = TopLeft;
  Canvas.FillRect(TRect(X1, Y1, X2 - W, Y1 + W));
  Canvas.FillRect(TRect(X1, Y1, X1 + W, Y2 - W));
  Canvas.Brush() = OldBrush;
}

void DrawLine3D(const TLine3DContext &Doc, TCanvas &Canvas, int X1, int Y1, int X2, int Y2,
                bool Raised) {
  const TColor Bg = Doc.Background & 0x00FFFFFF;
  const bool LightBack = Doc.Printing || Bg == clWhite ||
                         (Doc.Background == clWindow && ColorToRGB(clWindow) == clWhite);
  const TColor Light = LightBack ? clSilver : ColorToRGB(clBtnHighlight);
  const TColor Shadow = ColorToRGB(clBtnShadow);
  TColor First, Second;
  if (Doc.Printing && Doc.MonochromePrinter) {
    First = Second = clBlack;
  } else {
    First = Raised ? Light : Shadow;
    Second = Raised ? Shadow : Light;
  }
  const TPen OldPen = Canvas.Pen();
  Canvas.Pen().Color = First;
  Canvas.Pen().Style = psSolid;
  Canvas.MoveTo(X1, Y1);
  Canvas.LineTo(X1, Y2);
  Canvas.LineTo(X2, Y2);
  Canvas.Pen().Color = Second;
  Canvas.LineTo(X2, Y1);
  Canvas.LineTo(X1, Y1);
  Canvas.Pen() = OldPen;
}
