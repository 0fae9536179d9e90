#pragma once
// Back/forward history of the text pane: each page path once, with the scroll position
// it had when it was first left. Following a link drops the pages ahead of the one being
// left, as a browser does, so that "back" retraces the way the reader came.
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

// Why a page is recorded: a link leaves it, or "back" leaves it (the pages ahead stay,
// so that "forward" can return to them).
enum class TJumpRoad { Link, Back };

class TJumpManager {
public:
  // Upper-cased path of the home page; going back onto it empties the history.
  std::string Home;
  int Current = 0;

  void AddJump(const std::string &Name, int Pos, TJumpRoad Road = TJumpRoad::Link);
  TJumpRec Forward();
  TJumpRec Back();
  bool CanBack() const { return Current >= 1; }
  bool CanForward() const { return Current < int(Jumps.size()) - 1; }
  void Clear() { Jumps.clear(); }
  int Count() const { return int(Jumps.size()); }
  const TJump &Jump(int I) const { return Jumps.at(size_t(I)); }

private:
  // Drops the entries after index I.
  void DropAfter(int I);
  std::vector<TJump> Jumps;
};
