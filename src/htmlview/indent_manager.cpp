#include "htmlview/indent_manager.h"

#include <algorithm>
#include <memory>

void IndentManagerBasic::Reset(int Lf, int Rt) {
  LfEdge = Lf;
  RtEdge = Rt;
  CurrentID = 0;
}

void IndentManagerBasic::Clear() {
  L.Clear();
  R.Clear();
}

void IndentManagerBasic::AddFloat(int Y, int AWidth, int Height, int Alignment) {
  auto Rec = std::make_unique<IndentRec>();
  Rec->StartY = Y;
  Rec->EndY = Y + Height;
  Rec->ID = 0;
  if (Alignment == IndentAlignLeft) {
    Rec->X = LeftEdgeAt(Y) - LfEdge + AWidth;
    L.Add(std::move(Rec));
  } else if (Alignment == IndentAlignRight) {
    Rec->X = RightEdgeAt(Y) - RtEdge - AWidth;
    R.Add(std::move(Rec));
  }
}

int IndentManagerBasic::LeftEdgeAt(int Y) const {
  int X = 0;
  for (const auto &Rec : L)
    if (Rec->StartY <= Y && Y < Rec->EndY) X = std::max(X, Rec->X);
  return LfEdge + X;
}

int IndentManagerBasic::RightEdgeAt(int Y) const {
  int X = 0;
  for (const auto &Rec : R)
    if (Rec->StartY <= Y && Y < Rec->EndY) X = std::min(X, Rec->X);
  return RtEdge + X;
}

int IndentManagerBasic::LowestFloatBottom() const {
  int Y = 0;
  for (const auto &Rec : L)
    if (Rec->ID == 0) Y = std::max(Y, Rec->EndY);
  for (const auto &Rec : R)
    if (Rec->ID == 0) Y = std::max(Y, Rec->EndY);
  return Y;
}

void IndentManagerBasic::ClearBelowFloats(int &LeftY, int &RightY) const {
  LeftY = 0;
  RightY = 0;
  for (const auto &Rec : L)
    if (Rec->ID == 0) LeftY = std::max(LeftY, Rec->EndY + 1);
  for (const auto &Rec : R)
    if (Rec->ID == 0) RightY = std::max(RightY, Rec->EndY + 1);
}

int IndentManagerBasic::LevelIndent() const {
  int X = 0;
  for (const auto &Rec : L)
    if (Rec->ID == CurrentID) X = Rec->X;
  int Result = 1;
  for (const auto &Rec : L)
    if (Rec->X > X) Result = std::max(Result, Rec->EndY + 1);
  return Result;
}

void IndentManagerBasic::OpenLevel(int Y, int Level, int Indent) {
  auto Rec = std::make_unique<IndentRec>();
  Rec->X = LeftEdgeAt(Y) - LfEdge + Indent;
  Rec->StartY = Y;
  Rec->EndY = OpenIndentEnd;
  Rec->ID = Level;
  L.Add(std::move(Rec));
}

void IndentManagerBasic::CloseLevelsAbove(int Y, int NewLevel) {
  for (const auto &Rec : L)
    if (Rec->ID > NewLevel) {
      Rec->ID = 0;
      Rec->EndY = Y - 1;
    }
}

void IndentManagerBasic::ChangeLeftLevel(int Y, int NewLevel) {
  if (NewLevel > CurrentID) {
    for (int Level = CurrentID + 1; Level <= NewLevel; ++Level)
      OpenLevel(Y, Level, ListLevelIndent);
  } else if (NewLevel < CurrentID && CurrentID >= 1) {
    CloseLevelsAbove(Y, NewLevel);
  }
  CurrentID = NewLevel;
}

void IndentManagerBasic::ChangeRightLevel(int Y, int NewLevel) {
  if (NewLevel == CurrentID + 1) {
    OpenLevel(Y, NewLevel, BlockLevelIndent);
    CurrentID = NewLevel;
  } else if (NewLevel == CurrentID - 1 && CurrentID >= 1) {
    CloseLevelsAbove(Y, NewLevel);
    CurrentID = NewLevel;
  }
}
