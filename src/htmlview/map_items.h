#pragma once
// Client-side image maps: the areas of one MAP and the hit test of a point.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "htmlview/attributes.h"
#include "htmlview/url_target.h"
#include "platform/canvas.h"

// At most this many numbers are read from one COORDS value.
constexpr int MaxCoords = 301;

// Splits a COORDS value into integers: pieces end at a comma that comes before the first
// space, else at the first space; pieces are cut to 20 characters; a piece that is not a
// number gives 0.
std::vector<int> ParseCoords(std::string_view Coords);

// One area, tested by its geometry: a region built from a hostile circle or polygon
// would be rasterised at its full size.
struct TMapArea {
  enum class TShape { Rect, Circle, Poly };
  std::string Url; // empty for NOHREF
  TShape Shape = TShape::Rect;
  TRect Box;                  // Rect: the pixels Left..Right-1, Top..Bottom-1
  int CX = 0, CY = 0, R = 0;  // Circle: centre pixel and radius
  std::vector<TPoint> Points; // Poly: the corners
  // Whether the pixel (X, Y) belongs to the area: a circle holds the pixels of its
  // bounding box (CX - R .. CX + R) whose centres lie within R + 1/2 of the centre's; a
  // polygon those whose centres it winds round.
  bool Contains(int X, int Y) const;
};

class TMapItem {
public:
  std::string MapName; // the upper-cased NAME of the MAP
  std::vector<TMapArea> Areas;
  std::vector<std::string> AreaTargets; // parallel to Areas

  // Adds the area of one AREA tag; an area with too few numbers adds nothing.
  void AddArea(const TAttributeList &Attributes);
  // The first area (in the order added) that contains the point decides: a URL gives a
  // new link target and true; an area without URL gives false.
  bool HitTest(int X, int Y, std::unique_ptr<TUrlTarget> &UrlTarget) const;
};
