#include "app/jump_manager.h"

#include "platform/files.h"

void TJumpManager::DropAfter(int I) {
  if (I + 1 >= 0 && I + 1 < int(Jumps.size())) Jumps.erase(Jumps.begin() + (I + 1), Jumps.end());
}

void TJumpManager::AddJump(const std::string &Name, int Pos, TJumpRoad Road) {
  LinkFollowed = Road == TJumpRoad::Link;
  for (size_t I = 0; I < Jumps.size(); ++I)
    if (SameText(Jumps[I].Name, Name)) {
      Current = int(I);
      if (Road == TJumpRoad::Link) DropAfter(Current);
      return;
    }
  // A page not yet recorded is the one reached from the current entry.
  DropAfter(Current);
  Jumps.push_back({Name, Pos});
  Current = int(Jumps.size()) - 1;
}

TJumpRec TJumpManager::Forward() {
  LinkFollowed = false;
  if (Current + 1 < int(Jumps.size())) {
    ++Current;
    return {Jumps[size_t(Current)].Name, Jumps[size_t(Current)].Position};
  }
  return {};
}

TJumpRec TJumpManager::Back() {
  LinkFollowed = false;
  if (Current > 0) --Current;
  if (Current >= 0 && Current < int(Jumps.size())) {
    TJumpRec J{Jumps[size_t(Current)].Name, Jumps[size_t(Current)].Position};
    if (UpperCase(J.Name) == Home) Jumps.clear();
    return J;
  }
  return {};
}
