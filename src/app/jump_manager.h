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

// Why a page is recorded: a link leaves it (the page shown is then the one reached from
// it), "back" leaves it (the pages ahead stay, so that "forward" can return to them), or a
// Topics-menu change starts the history with it (the page shown was not reached from it).
enum class TJumpRoad { Link, Back, Menu };

class TJumpManager {
public:
  // Upper-cased path of the home page; going back onto it empties the history.
  std::string Home;
  int Current = 0;

  void AddJump(const std::string &Name, int Pos, TJumpRoad Road = TJumpRoad::Link);
  TJumpRec Forward();
  TJumpRec Back();
  // An entry before the current one, or the current entry itself when a link left it:
  // the first link followed from the index goes back to the index.
  bool CanBack() const { return Current >= 1 || (LinkFollowed && !Jumps.empty()); }
  bool CanForward() const { return Current < int(Jumps.size()) - 1; }
  void Clear() {
    Jumps.clear();
    LinkFollowed = false;
  }
  int Count() const { return int(Jumps.size()); }
  const TJump &Jump(int I) const { return Jumps.at(size_t(I)); }

private:
  // Drops the entries after index I.
  void DropAfter(int I);
  std::vector<TJump> Jumps;
  // The page shown was reached by a link from the current entry.
  bool LinkFollowed = false;
};
