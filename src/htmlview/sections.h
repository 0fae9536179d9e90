#pragma once
// Sections of a document: paragraphs of flowing text and the fixed block sections.
// A paragraph keeps its text in a byte buffer in which every embedded object (picture,
// panel, form control) is one mark character, so that line breaking, cursor positions
// and selection treat an object as one character.
#include <memory>
#include <string>
#include <vector>

#include "htmlview/attributes.h"
#include "htmlview/font_stack.h"
#include "htmlview/object_pool.h"
#include "htmlview/symbols.h"
#include "htmlview/url_target.h"
#include "platform/canvas.h"
#include "platform/types.h"

class TSectionList;
class TCell;
class IndentManager;
class TokenObj;
class SelTextCount;
class TFloatingObj;
class TImageObj;
class TPanelObj;
class TFormControlObj;
class TSection;

// Mark characters in a paragraph's buffer.
constexpr char ImageMark = '\x04';       // picture or panel
constexpr char ImageMarkNoBrk = '\x07';  // picture or panel added in no-break mode
constexpr char FormMark = '\x02';        // form control
constexpr char FormMarkNoBrk = '\x06';   // form control added in no-break mode
constexpr char NoBreakWhite = '\x05';    // white space in no-break mode, as the tokenizer gives it
constexpr char NoBreakSpace = '\xA0';    // no-break space
constexpr int ListIndent = 35;           // pixels per list level
constexpr int NoneCount = 9999;          // "none" of the count-to-next lookups

// Script position of a font run. The parser's sub/sup state uses the same values.
enum class TScript : uint8_t { Normal = 0, Sub = 1, Sup = 2 };

// The abstract section. Y values are document coordinates (screen Y = Y - YOff).
class TSectionBase {
public:
  VORNELLE_POOLED_OBJECT
  TSectionList *ParentSectionList = nullptr;
  int SectionHeight = 0;
  int DrawHeight = 0;
  int YValue = 0;
  int StartCurs = 0;
  int Len = 0;

  explicit TSectionBase(TSectionList *List) : ParentSectionList(List) {}
  TSectionBase(TSectionList *List, const TSectionBase &Source);
  virtual ~TSectionBase();
  TSectionBase(const TSectionBase &) = delete;
  TSectionBase &operator=(const TSectionBase &) = delete;

  // The copy for printing, owned by NewList.
  virtual std::unique_ptr<TSectionBase> CreateCopy(TSectionList *NewList) const;
  // Adds the selected part to Buffer.
  virtual void CopyToClipboard(SelTextCount &Buffer);
  // Lays the section out at document Y; returns its height. MaxWidth gets the widest
  // need, Curs advances by the section's document positions.
  virtual int DrawLogic(TCanvas &Canvas, int Y, IndentManager &IMgr, int &MaxWidth, int &Curs);
  // Draws the part inside ARect (screen coordinates) at document Y, cell left X;
  // returns the Y below the section.
  virtual int Draw(TCanvas &Canvas, const TRect &ARect, IndentManager &IMgr, int X, int Y);
  // Point queries take document coordinates.
  virtual bool GetURL(TCanvas &Canvas, int X, int Y, TUrlTarget &UrlTarget,
                      TFormControlObj *&FormControl);
  virtual bool PtInObject(int X, int Y, TFloatingObj *&Obj, int &IX, int &IY);
  virtual int FindCursor(TCanvas &Canvas, int X, int Y, int &XR, int &YR, int &CaretHeight,
                         bool &InText);
  virtual int FindString(int From, const std::string &ToFind, bool MatchCase);
  virtual int FindSourcePos(int DocPos);
  virtual int FindDocPos(int SourcePos, bool Prev);
  virtual bool CursorToXY(TCanvas &Canvas, int Cursor, int &X, int &Y);
  virtual bool GetChAtPos(int Pos, char &Ch, TSectionBase *&Obj);
  virtual void UpdateFonts();
  virtual void UpdateSpacing();
  virtual void MinMaxWidth(TCanvas &Canvas, int &Min, int &Max);

  // Sets the owning list and recomputes fixed heights.
  void SetParent(TSectionList *List);
};

// A font run of a paragraph: from Pos to the next run's Pos.
class TFontObj {
public:
  VORNELLE_POOLED_OBJECT
  TSection *Section = nullptr;
  int Pos = 0;
  TMyFont TheFont;
  bool Visited = false;
  bool Hover = false;
  TScript SScript = TScript::Normal;
  // Metrics of TheFont, read by FontChanged.
  int FontHeight = 0; // tmHeight + tmExternalLeading, plus the script shift
  int tmHeight = 0;
  int Overhang = 0;
  int Descent = 0;    // plus the lowering of a subscript
  int ScriptShift = 0; // pixels the baseline moves: up for Sup, down for Sub
  // The advances of TheFont on the canvas last measured with (see text_measure.h).
  const struct TFontWidths &Widths(TCanvas &Canvas) const;

  TFontObj(TSection *ASection, TMyFont Font, int APos, TScript Script = TScript::Normal);
  TFontObj(TSection *ASection, const TFontObj &Source); // deep copy
  ~TFontObj();
  // The run's link: an empty URL for plain text.
  const TUrlTarget &UrlTarget() const { return FLink ? *FLink : NoLink; }
  bool HasUrl() const { return FLink && !FLink->Url.empty(); }
  void SetUrlTarget(const TUrlTarget &Link);
  void ClearUrlTarget() { FLink.reset(); }
  // Re-reads the metrics after every change of TheFont.
  void FontChanged();
  void SetVisited(bool Value);
  void SetHover(bool Value);
  // Colour of the run by its link state.
  void UpdateLinkColor();

private:
  // Most runs are plain text: the link is held apart, which keeps the many runs small.
  std::unique_ptr<TUrlTarget> FLink;
  static const TUrlTarget NoLink;
  mutable const TFontWidths *FWidths = nullptr;
  mutable int FWidthsDpi = 0;
  mutable int FWidthsPage = -1;
  mutable int FWidthsGeneration = -1;
};

// The font runs of a section, ascending by Pos, covering the buffer without gaps.
class TFontList {
public:
  TPoolVector<std::unique_ptr<TFontObj>> Items;
  int Count() const { return int(Items.size()); }
  TFontObj *operator[](int I) const { return Items[size_t(I)].get(); }
  // Font of the run in effect at Pos (the last run whose Pos is not greater).
  TMyFont *GetFontAt(int Pos, int &Overhang) const;
  // Characters from Pos to the next run start, or Leng - Pos in the last run.
  int GetFontCountAt(int Pos, int Leng) const;
  TFontObj *GetFontObjAt(int Pos, int &Index) const;
  TFontObj *GetFontObjAt(int Pos) const { int I; return GetFontObjAt(Pos, I); }
};

// Images and panels of a section, ascending by Pos.
class TImageObjList {
public:
  std::vector<std::unique_ptr<TFloatingObj>> Items;
  ~TImageObjList();
  int Count() const { return int(Items.size()); }
  TFloatingObj *operator[](int I) const { return Items[size_t(I)].get(); }
  TFloatingObj *FindImage(int Pos) const;
  int GetHeightAt(int Pos, int &Align) const;
  int GetWidthAt(int Pos, int &Align, int &HSpace) const;
  int GetImageCountAt(int Pos) const;
};

// Form controls of a section, ascending by Pos (not owned: the forms own them).
class TFormControlList {
public:
  std::vector<TFormControlObj *> Items;
  int Count() const { return int(Items.size()); }
  TFormControlObj *FindControl(int Pos) const;
  int GetHeightAt(int Pos, bool &BaseLine) const;
  int GetWidthAt(int Pos) const;
  int GetControlCountAt(int Pos) const;
};

// One run of the source index: buffer index Pos came from source position Index, and
// the characters after it follow one by one until the next run.
struct IndexObj {
  int Pos = 0;
  int Index = 0;
};

// One laid-out line of a paragraph.
struct LineRec {
  int Start = 0;       // first character (index into Buff)
  int SpaceBefore = 0;
  int SpaceAfter = 0;
  int LineHt = 0;
  int DrawHeight = 0;
  int Ln = 0;
  int Descent = 0;
  int LineIndent = 0;  // x of the text relative to the cell's left
  int DrawX = 0;       // document x at which it was last drawn
  int DrawY = 0;       // document y of its top (from layout)
  int TotalHeight() const { return SpaceBefore + LineHt + SpaceAfter; }
};

// A paragraph of flowing text with fonts, pictures, panels and form controls.
class TSection : public TSectionBase {
public:
  std::string Buff;          // Len characters (one byte each)
  TFontList Fonts;
  TImageObjList Images;
  TFormControlList FormControls;
  // Where the buffer's characters came from, a run per break in the source positions;
  // kept up to date as characters are added.
  TPoolVector<IndexObj> SIndexList;
  std::vector<LineRec> Lines;
  int ListLevel = 0;
  int Indent = 0;
  int ListType = 0;  // 0 none, 1 ordered, 2 unordered, 3 definition
  int Justify = 1;   // 1 left, 2 centre, 3 right
  int ClearAttr = 0; // 0 none, 1 left, 2 right, 3 all
  TMyFont SectionFont;
  int TextEdge = 0; // left edge of the item's text at its top (list markers), from layout

  // Building operations. Font is copied with the list's building style added; a
  // non-empty Anchor URL starts the section as a link.
  TSection(TSectionList *List, int Level, const TMyFont &Font, const TUrlTarget *Anchor,
           int AJustify);
  TSection(TSectionList *List, const TSection &Source); // copy for printing
  ~TSection() override;

  virtual void AddChar(char C, int Index);
  virtual void AddTokenObj(const TokenObj &T);
  // Characters with their source positions (what AddTokenObj takes from a token).
  virtual void AddText(const std::string &S, const std::vector<int> &Positions);
  void ChangeFont(TSectionList *List, const TMyFont &Font);
  // ChangeFont, then the run's link ends; Sy = AnchorSy with a URL starts a link.
  void HRef(Symb Sy, TSectionList *List, const TUrlTarget &UrlTarget, const TMyFont &Font);
  TImageObj *AddImage(const TAttributeList &L, TSectionList *List, int Index);
  TPanelObj *AddPanel(const TAttributeList &L, TCell *ACell, int Index);
  TFormControlObj *AddFormControl(Symb Which, const TAttributeList &L, TSectionList *List,
                                  int Index);
  // An empty section gets one space so that it has a line and a height; Index is the
  // source position of the break that asks for it.
  void AddOpBrk(int Index);
  void SetClear(const TAttributeList &L);
  void SetClear(int Clear) { ClearAttr = Clear; }

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList *NewList) const override;
  void CopyToClipboard(SelTextCount &Buffer) override;
  int DrawLogic(TCanvas &Canvas, int Y, IndentManager &IMgr, int &MaxWidth, int &Curs) override;
  int Draw(TCanvas &Canvas, const TRect &ARect, IndentManager &IMgr, int X, int Y) override;
  bool GetURL(TCanvas &Canvas, int X, int Y, TUrlTarget &UrlTarget,
              TFormControlObj *&FormControl) override;
  bool PtInObject(int X, int Y, TFloatingObj *&Obj, int &IX, int &IY) override;
  int FindCursor(TCanvas &Canvas, int X, int Y, int &XR, int &YR, int &CaretHeight,
                 bool &InText) override;
  int FindString(int From, const std::string &ToFind, bool MatchCase) override;
  int FindSourcePos(int DocPos) override;
  int FindDocPos(int SourcePos, bool Prev) override;
  bool CursorToXY(TCanvas &Canvas, int Cursor, int &X, int &Y) override;
  bool GetChAtPos(int Pos, char &Ch, TSectionBase *&Obj) override;
  void UpdateFonts() override;
  void MinMaxWidth(TCanvas &Canvas, int &Min, int &Max) override;

  // Layout helpers.
  int FindCountThatFits(TCanvas &Canvas, int Width, std::vector<TFloatingObj *> &FloatList,
                        int &FloatHeight, IndentManager &IMgr, int Y, int Max, int Start);
  int FindTextFit(TCanvas &Canvas, const TFontObj &Font, int Width, int N, int Start);
  int FindTextWidth(TCanvas &Canvas, int Start, int N, bool RemoveSpaces);
  int GetClearSpace(IndentManager &IMgr, int Y) const;
  // Width of N characters of one run starting at Start (less the overhang).
  int RunWidth(TCanvas &Canvas, const TFontObj &Font, int Start, int N);
  // The marker text of an ordered item, "" for others.
  std::string ListMarkerText() const;

public:
  void DoDrawLogic(TCanvas &Canvas, int &Y, IndentManager &IMgr, int Start, int N,
                   std::vector<TFloatingObj *> &FloatList, int FloatHeight);
  void DrawTheText(TCanvas &Canvas, const TRect &ARect, IndentManager &IMgr, LineRec &Line,
                   int X, int BaseY, int LineTop);
  void DrawListMarker(TCanvas &Canvas, const LineRec &Line, int X, int BaseY, int LineTop);
  int LineAtY(int Y) const; // index into Lines, -1 when none

protected:
  // Appends N characters to the buffer; P holds the source positions of the first NP of
  // them, and the rest repeat P's last (0 when there is none).
  void AppendText(const char *S, size_t N, const int *P, size_t NP);
  // Appends one character from source position Source.
  void AppendChar(char C, int Source);

private:
  int LastSource = -1; // source position of the buffer's last character
};

// A PRE block line: no wrapping, no white-space collapsing.
class TPreFormated : public TSection {
public:
  static constexpr int MaxPreLength = 20000;
  using TSection::TSection;
  TPreFormated(TSectionList *List, const TPreFormated &Source) : TSection(List, Source) {}
  void AddTokenObj(const TokenObj &T) override;
  void AddText(const std::string &S, const std::vector<int> &Positions) override;
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList *NewList) const override;
  int DrawLogic(TCanvas &Canvas, int Y, IndentManager &IMgr, int &MaxWidth, int &Curs) override;
  void MinMaxWidth(TCanvas &Canvas, int &Min, int &Max) override;
};

class TUListItem : public TSection {
public:
  bool Plain = false; // UL PLAIN: no bullet
  TUListItem(TSectionList *List, int Level, const TMyFont &Font, const TUrlTarget *Anchor,
             int AJustify = 1);
  TUListItem(TSectionList *List, const TUListItem &Source);
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList *NewList) const override;
};

class TDListItem : public TUListItem {
public:
  TDListItem(TSectionList *List, int Level, const TMyFont &Font, const TUrlTarget *Anchor,
             int AJustify = 1);
  TDListItem(TSectionList *List, const TDListItem &Source);
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList *NewList) const override;
};

class TOListItem : public TUListItem {
public:
  int ListNumb = 1;
  char ListStyle = '1'; // '1', 'a', 'A', 'i', 'I'
  TOListItem(TSectionList *List, int Level, int AListNumb, char AListStyle, const TMyFont &Font,
             const TUrlTarget *Anchor, int AJustify = 1);
  TOListItem(TSectionList *List, const TOListItem &Source);
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList *NewList) const override;
};

// Page break for printing.
class TPage : public TSectionBase {
public:
  explicit TPage(TSectionList *List) : TSectionBase(List) {}
  TPage(TSectionList *List, const TPage &Source) : TSectionBase(List, Source) {}
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList *NewList) const override;
  int Draw(TCanvas &Canvas, const TRect &ARect, IndentManager &IMgr, int X, int Y) override;
};

// Fixed gap between paragraphs.
class TParagraphSpace : public TSectionBase {
public:
  explicit TParagraphSpace(TSectionList *List);
  TParagraphSpace(TSectionList *List, const TParagraphSpace &Source);
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList *NewList) const override;
  void CopyToClipboard(SelTextCount &Buffer) override;
  void UpdateSpacing() override;
};

// Fixed gap around a heading, by heading level.
class THeadingSpace : public TSectionBase {
public:
  int HeadingSize = 0;
  THeadingSpace(TSectionList *List, int Size);
  THeadingSpace(TSectionList *List, const THeadingSpace &Source);
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList *NewList) const override;
  void CopyToClipboard(SelTextCount &Buffer) override;
  void UpdateSpacing() override;
};

// Horizontal rule.
class THorzLine : public TSectionBase {
public:
  int VSize = 2;
  TColor Color = 0;
  bool HasColor = false;
  int Align = 2;       // 1 left, 2 centre, 3 right
  bool NoShade = false;
  int HRWidth = -1;    // pixels, or percent with Percent; -1 = full width
  bool Percent = false;
  THorzLine(TSectionList *List, const TAttributeList &L);
  explicit THorzLine(TSectionList *List); // default rule
  THorzLine(TSectionList *List, const THorzLine &Source);
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList *NewList) const override;
  void CopyToClipboard(SelTextCount &Buffer) override;
  void UpdateSpacing() override;
  int DrawLogic(TCanvas &Canvas, int Y, IndentManager &IMgr, int &MaxWidth, int &Curs) override;
  int Draw(TCanvas &Canvas, const TRect &ARect, IndentManager &IMgr, int X, int Y) override;

private:
  int LfEdge = 0, RtEdge = 0; // edges at the rule's Y from layout, relative to the cell
};

// The heights of the block sections for a base font size.
int ParagraphSpaceHeight(int FontSize);
int HeadingSpaceHeight(int Level, int FontSize);
int HorzLineHeight(int VSize, int FontSize);

// A colour value of the page (a name of the 16, or hexadecimal RRGGBB) as 0x00BBGGRR;
// false for anything else.
bool ColorFromHtml(const std::string &S, TColor &Color);
