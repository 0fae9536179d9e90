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

namespace {
enum class TShape { Rect, Circle, Poly };
}

void TMapItem::AddArea(const TAttributeList &Attributes) {
  std::string Url, Target;
  TShape Shape = TShape::Rect;
  std::vector<int> Coords;
  for (const auto &A : Attributes) {
    switch (A->Which) {
    case HrefSy: Url = A->Name; break;
    case NoHrefSy: Url.clear(); break;
    case TargetSy: Target = A->Name; break;
    case ShapeSy: {
      std::string S = LowerCase(A->Name).substr(0, 4);
      Shape = S == "circ" ? TShape::Circle : S == "poly" ? TShape::Poly : TShape::Rect;
      break;
    }
    case CoordsSy: Coords = ParseCoords(A->Name); break;
    default: break;
    }
  }
  TRegion Region;
  const size_t N = Coords.size();
  // Edges are clamped so that hostile numbers cannot overflow the arithmetic below.
  auto C = [&](size_t K) { return std::clamp(Coords[K], -1000000, 1000000); };
  switch (Shape) {
  case TShape::Rect:
    if (N < 4) return;
    Region = TRegion::FromRect(TRect(C(0), C(1), C(2) + 1, C(3) + 1));
    break;
  case TShape::Circle: {
    if (N < 3) return;
    int X = C(0), Y = C(1), R = C(2);
    Region = TRegion::FromEllipse(TRect(X - R, Y - R, X + R + 1, Y + R + 1));
    break;
  }
  case TShape::Poly: {
    if (N < 6) return;
    std::vector<TPoint> Points;
    for (size_t K = 0; K + 1 < N; K += 2) Points.push_back(TPoint(C(K), C(K + 1)));
    Region = TRegion::FromPolygon(Points, true);
    break;
  }
  }
  Areas.push_back(TMapArea{Url, Region});
  AreaTargets.push_back(Target);
}

bool TMapItem::HitTest(int X, int Y, std::unique_ptr<TUrlTarget> &UrlTarget) const {
  for (size_t I = 0; I < Areas.size(); ++I)
    if (Areas[I].Region.Contains(TPoint(X, Y))) {
      if (Areas[I].Url.empty()) return false;
      UrlTarget = std::make_unique<TUrlTarget>();
      UrlTarget->Url = Areas[I].Url;
      UrlTarget->Target = AreaTargets[I];
      return true;
    }
  return false;
}
