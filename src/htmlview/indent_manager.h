#pragma once
// Floating images and list indents of one cell: which part of the cell's width is free
// at a given Y.
#include <climits>
#include <map>
#include <vector>

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
  // (negative, inward). Every record of the layout, in the order added; only the
  // manager changes them.
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
  // Largest EndY of the left (Side 1) or right (Side 2) float records; 0 when none.
  int FloatBottom(int Side) const;
  // How many records a question at or below the largest Y asked about so far looks at.
  int LiveRecords() const { return int(LiveL.size() + LiveR.size()); }

private:
  void OpenLevel(int Y, int Level, int Indent);
  void CloseLevelsAbove(int Y, int NewLevel);
  void Rebuild();
  void Added(bool Left, int Index);
  void Retire(bool Left, const IndentRec &Rec) const;
  void Prune(bool Left) const;
  int EdgeAt(bool Left, int Y) const;

  // Layout asks at Y going down the page. A float record that ended at or above Floor,
  // the largest Y asked about so far, cannot cover a later question: it leaves the live
  // lists, so that a question looks only at the records still open or to come and a
  // page's layout stays in step with its length. A question above Floor looks at all.
  mutable std::vector<int> LiveL, LiveR; // indexes into L and R, in order
  mutable int Floor = INT_MIN;
  // What the aggregate queries need of every record, kept as records are added or close:
  // the largest EndY of the float records of each side, and of the left records that
  // left the live list the largest EndY for each X that no record further right beats
  // (X ascending, EndY descending).
  int LeftFloatEnd = -1, RightFloatEnd = -1;
  mutable std::map<int, int> RetiredLeft;
  int LastLeftFloat = -1; // index of the last float record in L, -1 when none
};
