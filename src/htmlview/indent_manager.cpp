#include "htmlview/indent_manager.h"

#include <algorithm>
#include <iterator>
#include <memory>

void IndentManagerBasic::Reset(int Lf, int Rt) {
  LfEdge = Lf;
  RtEdge = Rt;
  CurrentID = 0;
}

void IndentManagerBasic::Clear() {
  L.Clear();
  R.Clear();
  Floor = INT_MIN;
  Rebuild();
}

void IndentManagerBasic::Rebuild() {
  LiveL.clear();
  LiveR.clear();
  RetiredLeft.clear();
  LeftFloatEnd = RightFloatEnd = -1;
  LastLeftFloat = -1;
  for (int I = 0; I < L.Count(); ++I) Added(true, I);
  for (int I = 0; I < R.Count(); ++I) Added(false, I);
}

void IndentManagerBasic::Added(bool Left, int Index) {
  const IndentRec &Rec = Left ? *L[Index] : *R[Index];
  if (Rec.ID == 0) {
    int &End = Left ? LeftFloatEnd : RightFloatEnd;
    End = std::max(End, Rec.EndY);
    if (Left) LastLeftFloat = std::max(LastLeftFloat, Index);
    if (Rec.EndY <= Floor) {
      Retire(Left, Rec);
      return;
    }
  }
  (Left ? LiveL : LiveR).push_back(Index);
}

void IndentManagerBasic::Retire(bool Left, const IndentRec &Rec) const {
  if (!Left) return; // of the right side only the largest EndY is asked for, kept already
  // Kept only when no retired record stands as far right and reaches as low.
  auto It = RetiredLeft.lower_bound(Rec.X);
  if (It != RetiredLeft.end() && It->second >= Rec.EndY) return;
  It = RetiredLeft.insert_or_assign(It, Rec.X, Rec.EndY);
  while (It != RetiredLeft.begin()) {
    auto Before = std::prev(It);
    if (Before->second > Rec.EndY) break;
    RetiredLeft.erase(Before);
  }
}

void IndentManagerBasic::Prune(bool Left) const {
  std::vector<int> &Live = Left ? LiveL : LiveR;
  const TFreeList<IndentRec> &List = Left ? L : R;
  Live.erase(std::remove_if(Live.begin(), Live.end(),
                            [&](int I) {
                              const IndentRec &Rec = *List[I];
                              if (Rec.ID != 0 || Rec.EndY > Floor) return false;
                              Retire(Left, Rec);
                              return true;
                            }),
             Live.end());
}

void IndentManagerBasic::AddFloat(int Y, int AWidth, int Height, int Alignment) {
  auto Rec = std::make_unique<IndentRec>();
  Rec->StartY = Y;
  Rec->EndY = Y + Height;
  Rec->ID = 0;
  if (Alignment == IndentAlignLeft) {
    Rec->X = LeftEdgeAt(Y) - LfEdge + AWidth;
    L.Add(std::move(Rec));
    Added(true, L.Count() - 1);
  } else if (Alignment == IndentAlignRight) {
    Rec->X = RightEdgeAt(Y) - RtEdge - AWidth;
    R.Add(std::move(Rec));
    Added(false, R.Count() - 1);
  }
}

int IndentManagerBasic::EdgeAt(bool Left, int Y) const {
  int X = 0;
  auto Take = [&](const IndentRec &Rec) {
    if (Rec.StartY <= Y && Y < Rec.EndY) X = Left ? std::max(X, Rec.X) : std::min(X, Rec.X);
  };
  const TFreeList<IndentRec> &All = Left ? L : R;
  if (Y < Floor) {
    for (const auto &Rec : All) Take(*Rec);
    return X;
  }
  if (Y > Floor) {
    Floor = Y;
    Prune(true);
    Prune(false);
  }
  for (int I : Left ? LiveL : LiveR) Take(*All[I]);
  return X;
}

int IndentManagerBasic::LeftEdgeAt(int Y) const { return LfEdge + EdgeAt(true, Y); }

int IndentManagerBasic::RightEdgeAt(int Y) const { return RtEdge + EdgeAt(false, Y); }

int IndentManagerBasic::LowestFloatBottom() const {
  return std::max({0, LeftFloatEnd, RightFloatEnd});
}

int IndentManagerBasic::FloatBottom(int Side) const {
  return std::max(0, Side == 1 ? LeftFloatEnd : RightFloatEnd);
}

void IndentManagerBasic::ClearBelowFloats(int &LeftY, int &RightY) const {
  LeftY = std::max(0, LeftFloatEnd + 1);
  RightY = std::max(0, RightFloatEnd + 1);
}

int IndentManagerBasic::LevelIndent() const {
  int X = 0;
  if (CurrentID == 0) {
    if (LastLeftFloat >= 0) X = L[LastLeftFloat]->X;
  } else {
    for (int I : LiveL) // the records of open levels are all live
      if (L[I]->ID == CurrentID) X = L[I]->X;
  }
  int Result = 1;
  for (int I : LiveL)
    if (L[I]->X > X) Result = std::max(Result, L[I]->EndY + 1);
  // Of the retired records right of X, the first reaches lowest.
  auto It = RetiredLeft.upper_bound(X);
  if (It != RetiredLeft.end()) Result = std::max(Result, It->second + 1);
  return Result;
}

void IndentManagerBasic::OpenLevel(int Y, int Level, int Indent) {
  auto Rec = std::make_unique<IndentRec>();
  Rec->X = LeftEdgeAt(Y) - LfEdge + Indent;
  Rec->StartY = Y;
  Rec->EndY = OpenIndentEnd;
  Rec->ID = Level;
  L.Add(std::move(Rec));
  Added(true, L.Count() - 1);
}

void IndentManagerBasic::CloseLevelsAbove(int Y, int NewLevel) {
  if (NewLevel < 0) {
    // Floats would close too: rare enough to count everything again.
    for (const auto &Rec : L)
      if (Rec->ID > NewLevel) {
        Rec->ID = 0;
        Rec->EndY = Y - 1;
      }
    Rebuild();
    return;
  }
  bool Closed = false;
  for (int I : LiveL) // the records of open levels are all live
    if (L[I]->ID > NewLevel) {
      L[I]->ID = 0;
      L[I]->EndY = Y - 1;
      LeftFloatEnd = std::max(LeftFloatEnd, Y - 1);
      LastLeftFloat = std::max(LastLeftFloat, I);
      Closed = true;
    }
  if (Closed) Prune(true);
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
