#pragma once
// Colours, points, rectangles and sizes as the class library's code expects them.
// Plain value types; no Qt here.
#include <algorithm>
#include <cstdint>

// A 32-bit boolean of the class library: True is -1 (all bits set), False 0; any non-zero
// value reads as true.
struct LongBool {
  int32_t Value = 0;
  constexpr LongBool() = default;
  constexpr LongBool(bool B) : Value(B ? -1 : 0) {}
  static constexpr LongBool FromInt(int32_t V) { LongBool L; L.Value = V; return L; }
  constexpr operator bool() const { return Value != 0; }
};

// 0x00BBGGRR. High byte 0x80: system colour (index in the low byte); 0x02: palette
// relative (ignored on true-colour targets); clNone and clDefault are special values.
using TColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
// What a pixel read outside the target returns.
constexpr TColor clInvalid = 0xFFFFFFFF;

// System colours: 0x80000000 | the classic colour index.
constexpr TColor clScrollBar = 0x80000000;
constexpr TColor clBackground = 0x80000001;
constexpr TColor clActiveCaption = 0x80000002;
constexpr TColor clInactiveCaption = 0x80000003;
constexpr TColor clMenu = 0x80000004;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowFrame = 0x80000006;
constexpr TColor clMenuText = 0x80000007;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clCaptionText = 0x80000009;
constexpr TColor clActiveBorder = 0x8000000A;
constexpr TColor clInactiveBorder = 0x8000000B;
constexpr TColor clAppWorkSpace = 0x8000000C;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clHighlightText = 0x8000000E;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clGrayText = 0x80000011;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clInactiveCaptionText = 0x80000013;
constexpr TColor clBtnHighlight = 0x80000014;
constexpr TColor cl3DDkShadow = 0x80000015;
constexpr TColor cl3DLight = 0x80000016;
constexpr TColor clInfoText = 0x80000017;
constexpr TColor clInfoBk = 0x80000018;

// Resolves system colours through the fixed classic table (dark shadow is 0x000000),
// drops the palette-relative byte, and gives clBlack for clNone/clDefault.
TColor ColorToRGB(TColor Color);
// The classic table itself: index 0..24 (COLOR_SCROLLBAR..COLOR_INFOBK).
TColor SysColor(int Index);

constexpr TColor RGB(int R, int G, int B) {
  return TColor(uint32_t(R & 0xFF) | (uint32_t(G & 0xFF) << 8) | (uint32_t(B & 0xFF) << 16));
}
constexpr int GetRValue(TColor C) { return int(C & 0xFF); }
constexpr int GetGValue(TColor C) { return int((C >> 8) & 0xFF); }
constexpr int GetBValue(TColor C) { return int((C >> 16) & 0xFF); }
// 0x00BBGGRR <-> 0xAARRGGBB (opaque), the layout of bitmap scan lines.
constexpr uint32_t ColorToArgb(TColor C) {
  return 0xFF000000u | ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF);
}
constexpr TColor ArgbToColor(uint32_t P) {
  return ((P >> 16) & 0xFF) | (P & 0xFF00) | ((P & 0xFF) << 16);
}

struct TPoint {
  int X = 0, Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(int AX, int AY) : X(AX), Y(AY) {}
  friend constexpr bool operator==(const TPoint &, const TPoint &) = default;
  friend constexpr TPoint operator+(TPoint A, TPoint B) { return {A.X + B.X, A.Y + B.Y}; }
  friend constexpr TPoint operator-(TPoint A, TPoint B) { return {A.X - B.X, A.Y - B.Y}; }
};

struct TSize {
  int cx = 0, cy = 0;
  constexpr TSize() = default;
  constexpr TSize(int W, int H) : cx(W), cy(H) {}
  friend constexpr bool operator==(const TSize &, const TSize &) = default;
};

// Left and top edges belong to the rectangle, right and bottom edges do not.
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(int L, int T, int R, int B) : Left(L), Top(T), Right(R), Bottom(B) {}
  constexpr TRect(TPoint TL, TPoint BR) : Left(TL.X), Top(TL.Y), Right(BR.X), Bottom(BR.Y) {}
  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  friend constexpr bool operator==(const TRect &, const TRect &) = default;
};

constexpr TPoint Point(int X, int Y) { return {X, Y}; }
constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return {Left, Top, Right, Bottom}; }
constexpr TRect Bounds(int Left, int Top, int Width, int Height) {
  return {Left, Top, Left + Width, Top + Height};
}
constexpr bool PtInRect(const TRect &R, TPoint P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
constexpr bool IsRectEmpty(const TRect &R) { return R.Right <= R.Left || R.Bottom <= R.Top; }
constexpr void InflateRect(TRect &R, int DX, int DY) {
  R.Left -= DX; R.Top -= DY; R.Right += DX; R.Bottom += DY;
}
constexpr void OffsetRect(TRect &R, int DX, int DY) {
  R.Left += DX; R.Top += DY; R.Right += DX; R.Bottom += DY;
}
// Both return false and give an empty Rect(0,0,0,0) result when the result is empty.
constexpr bool IntersectRect(TRect &Dst, const TRect &A, const TRect &B) {
  TRect R{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
          std::min(A.Bottom, B.Bottom)};
  if (IsRectEmpty(R)) { Dst = TRect(); return false; }
  Dst = R;
  return true;
}
constexpr bool UnionRect(TRect &Dst, const TRect &A, const TRect &B) {
  if (IsRectEmpty(A)) Dst = B;
  else if (IsRectEmpty(B)) Dst = A;
  else Dst = TRect{std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
                   std::max(A.Bottom, B.Bottom)};
  if (IsRectEmpty(Dst)) { Dst = TRect(); return false; }
  return true;
}
constexpr TPoint CenterPoint(const TRect &R) {
  return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}
