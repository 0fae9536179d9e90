#pragma once
// The eighteen topics of the main window: sheet, text page, caption, help context, page
// width and status read-out width of each, and the look-ups the window makes in it.
#include <array>
#include <string>

// The sheets of MainPC in their order (this is also the stacked index).
enum class TSheet : int {
  Alpha, Field, ThreeD, Mag, Splash, EDef, MagDef, Helix, Millikan, Orbit, Projectile,
  BinOrbit, Alpha2, JJ, BIL, Motor, Dyna, Lenz, MS
};
constexpr int SheetCount = 19;

// PageWidths keeps one width per sheet in an order of its own, which is not the order
// of the sheets; SplashTab has no entry.
constexpr int PageWidthCount = 18;
// Index into PageWidths of a sheet, or -1 for SplashTab.
int PageWidthIndex(TSheet Sheet);
// The initial widths: 450 everywhere but a few pages that need more or less room.
std::array<int, PageWidthCount> InitPageWidths(int Default, int Count = PageWidthCount);

struct TTopicInfo {
  int Topic;               // the Tag of its Topics menu item
  const char *MenuCaption; // nullptr: no menu item
  TSheet Sheet;
  const char *Page;        // text page in the text folder; nullptr: none
  const char *Caption;     // follows "Vornelle - "; nullptr: the caption stays
  int HelpContext;
  int Panel0Width;         // width of the status read-out; -1: as designed
};

// Rows 0 (start-up page) to 18.
const TTopicInfo &TopicInfo(int Topic);
bool IsTopic(int Topic); // 0..18
// The Topics menu lists the topics in this order.
extern const std::array<int, 17> TopicMenuOrder;

// The topic whose text page Link names (file part upper-cased, anchor cut off), or
// Current when the page belongs to no topic.
int TopicOfPage(const std::string &Link, int Current);
// The help context of F1 for a topic; 0 when it has none.
int HelpContextOfTopic(int Topic);
