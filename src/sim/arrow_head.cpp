#include "sim/arrow_head.h"

#include <cmath>
#include <numbers>

#include "platform/numbers.h"

TArrowHead ArrowHeadAt(TPoint P1, TPoint P2, int H, int Sign) {
  TPoint B1, B2;
  if (P1.X != P2.X && P1.Y != P2.Y) {
    double A = -std::atan(double(P2.Y - P1.Y) / double(P2.X - P1.X));
    if (P2.X < P1.X) A += Sign * std::numbers::pi;
    const double C = std::cos(A), S = std::sin(A);
    B1 = Point(Round(P2.X - H * C - H * S), Round(P2.Y + H * S - H * C));
    B2 = Point(Round(P2.X - H * C + H * S), Round(P2.Y + H * S + H * C));
  } else if (P1.X == P2.X) {
    if (P2.Y <= P1.Y) {
      B1 = Point(P2.X - H, P2.Y + H);
      B2 = Point(P2.X + H, P2.Y + H);
    } else {
      B1 = Point(P2.X - H, P2.Y - H);
      B2 = Point(P2.X + H, P2.Y - H);
    }
  } else if (P2.X <= P1.X) {
    B1 = Point(P2.X + H, P2.Y - H);
    B2 = Point(P2.X + H, P2.Y + H);
  } else {
    B1 = Point(P2.X - H, P2.Y - H);
    B2 = Point(P2.X - H, P2.Y + H);
  }
  return {P2, B1, B2};
}

void DrawArrowHead(TCanvas &Canvas, TPoint P1, TPoint P2, int H, int Sign) {
  const TArrowHead A = ArrowHeadAt(P1, P2, H, Sign);
  const TPoint Tri[3] = {A.Tip, A.Base1, A.Base2};
  Canvas.Polygon(Tri);
}
