#pragma once
// Back/forward history of the text pane: each page path once, in the order of first
// visit, with the scroll position it had when it was first left.
#include <string>
#include <vector>

struct TJump {
  std::string Name;
  int Position = 0;
};

struct TJumpRec {
  std::string Name;
  int Position = 0;
};

class TJumpManager {
public:
  // Upper-cased path of the home page; going back onto it empties the history.
  std::string Home;
  int Current = 0;

  void AddJump(const std::string &Name, int Pos);
  TJumpRec Forward();
  TJumpRec Back();
  bool CanBack() const { return Current >= 1; }
  bool CanForward() const { return Current < int(Jumps.size()) - 1; }
  void Clear() { Jumps.clear(); }
  int Count() const { return int(Jumps.size()); }
  const TJump &Jump(int I) const { return Jumps.at(size_t(I)); }

private:
  std::vector<TJump> Jumps;
};
