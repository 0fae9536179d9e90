#include "htmlview/map_items.h"

#include <algorithm>
#include <cctype>

#include "htmlview/html_utils.h"

std::vector<int> ParseCoords(std::string_view Coords) {
  std::vector<int> Result;
  std::string S = Trim(Coords);
  size_t I = 0;
  while (I < S.size() && int(Result.size()) < MaxCoords) {
    size_t Comma = S.find(',', I), Space = S.find(' ', I);
    size_t End;
    if (Comma != std::string::npos && (Space == std::string::npos || Comma < Space))
      End = Comma;
    else if (Space != std::string::npos)
      End = Space;
    else
      End = S.size();
    std::string Piece = S.substr(I, std::min<size_t>(End - I, 20));
    int Value = 0;
    if (!StrToIntSat(Piece, Value)) Value = 0;
    Result.push_back(Value);
    I = End;
    while (I < S.size() && (S[I] == ',' || S[I] == ' ')) ++I;
  }
  return Result;
}

bool TMapArea::Contains(int X, int Y) const {
  switch (Shape) {
  case TShape::Rect:
    return X >= Box.Left && X < Box.Right && Y >= Box.Top && Y < Box.Bottom;
  case TShape::Circle: {
    if (R < 0) return false; // an empty box
    // (dx² + dy²) <= (R + 1/2)², in quarters to stay with whole numbers.
    const int64_t DX = int64_t(X) - CX, DY = int64_t(Y) - CY;
    return 4 * (DX * DX + DY * DY) <= (2 * int64_t(R) + 1) * (2 * int64_t(R) + 1);
  }
  case TShape::Poly: {
    // Winding number of the polygon round the pixel's centre, in doubled coordinates.
    const int64_t PX = 2 * int64_t(X) + 1, PY = 2 * int64_t(Y) + 1;
    int Winding = 0;
    for (size_t K = 0; K < Points.size(); ++K) {
      const TPoint &A = Points[K], &B = Points[(K + 1) % Points.size()];
      const int64_t AX = 2 * int64_t(A.X), AY = 2 * int64_t(A.Y);
      const int64_t BX = 2 * int64_t(B.X), BY = 2 * int64_t(B.Y);
      const int64_t Side = (BX - AX) * (PY - AY) - (PX - AX) * (BY - AY);
      if (AY <= PY) {
        if (BY > PY && Side > 0) ++Winding;
      } else if (BY <= PY && Side < 0) {
        --Winding;
      }
    }
    return Winding != 0;
  }
  }
  return false;
}

void TMapItem::AddArea(const TAttributeList &Attributes) {
  std::string Url, Target;
  TMapArea::TShape Shape = TMapArea::TShape::Rect;
  std::vector<int> Coords;
  for (const auto &A : Attributes) {
    switch (A->Which) {
    case HrefSy: Url = A->Name; break;
    case NoHrefSy: Url.clear(); break;
    case TargetSy: Target = A->Name; break;
    case ShapeSy: {
      std::string S = LowerCase(A->Name).substr(0, 4);
      Shape = S == "circ"   ? TMapArea::TShape::Circle
              : S == "poly" ? TMapArea::TShape::Poly
                            : TMapArea::TShape::Rect;
      break;
    }
    case CoordsSy: Coords = ParseCoords(A->Name); break;
    default: break;
    }
  }
  TMapArea Area;
  Area.Url = Url;
  const size_t N = Coords.size();
  // Numbers are clamped to the largest picture there can be, so that the arithmetic
  // cannot overflow.
  auto C = [&](size_t K) { return std::clamp(Coords[K], -32767, 32767); };
  switch (Shape) {
  case TMapArea::TShape::Rect:
    if (N < 4) return;
    Area.Box = TRect(C(0), C(1), C(2) + 1, C(3) + 1);
    break;
  case TMapArea::TShape::Circle:
    if (N < 3) return;
    Area.CX = C(0);
    Area.CY = C(1);
    Area.R = C(2);
    break;
  case TMapArea::TShape::Poly:
    if (N < 6) return;
    for (size_t K = 0; K + 1 < N; K += 2) Area.Points.push_back(TPoint(C(K), C(K + 1)));
    break;
  }
  Area.Shape = Shape;
  Areas.push_back(std::move(Area));
  AreaTargets.push_back(Target);
}

bool TMapItem::HitTest(int X, int Y, std::unique_ptr<TUrlTarget> &UrlTarget) const {
  for (size_t I = 0; I < Areas.size(); ++I)
    if (Areas[I].Contains(X, Y)) {
      if (Areas[I].Url.empty()) return false;
      UrlTarget = std::make_unique<TUrlTarget>();
      UrlTarget->Url = Areas[I].Url;
      UrlTarget->Target = AreaTargets[I];
      return true;
    }
  return false;
}
