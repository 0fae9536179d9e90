#pragma once
// Floating images and list indents of one cell: which part of the cell's width is free
// at a given Y.
#include "htmlview/free_list.h"

// One indent; it covers StartY <= Y < EndY. ID 0 is a floating image, else the list
// level that opened it.
struct IndentRec {
  int X = 0;
  int StartY = 0;
  int EndY = 0;
  int ID = 0;
};

// Float alignments taken by AddFloat.
constexpr int IndentAlignLeft = 1, IndentAlignRight = 3;
// Indents of a list level, in pixels.
constexpr int ListLevelIndent = 35, BlockLevelIndent = 15;
// EndY of a list-level record that is still open.
constexpr int OpenIndentEnd = 9999999;

class IndentManagerBasic {
public:
  virtual ~IndentManagerBasic() = default;
  int Width = 0;     // the cell's width, set by the cell before layout
  int ClipWidth = 0; // kept for the layout code
  // Left records hold X from LfEdge (positive, inward); right records X from RtEdge
  // (negative, inward).
  TFreeList<IndentRec> L, R;
  int CurrentID = 0; // the current list level
  int LfEdge = 0, RtEdge = 0;

  void Reset(int Lf, int Rt);
  void Clear();
  void AddFloat(int Y, int AWidth, int Height, int Alignment);
  int LeftEdgeAt(int Y) const;
  int RightEdgeAt(int Y) const;
  int LowestFloatBottom() const;
  void ClearBelowFloats(int &LeftY, int &RightY) const;
  int LevelIndent() const;
  void ChangeLeftLevel(int Y, int NewLevel);
  void ChangeRightLevel(int Y, int NewLevel);

private:
  void OpenLevel(int Y, int Level, int Indent);
  void CloseLevelsAbove(int Y, int NewLevel);
};
