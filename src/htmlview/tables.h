#pragma once
// Tables: a section of its enclosing cell whose cells are full cells of their own.
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "htmlview/cell.h"

constexpr int MaxCols = 200; // more columns raise "Table has too many Columns"

// One number per column (0 until set). The storage for all MaxCols + 1 columns is made
// when a value is first set, at layout: a page builds many tables, and building each one
// need not clear room for two hundred columns four times over.
class TColumnArray {
public:
  int &operator[](size_t I) {
    if (V.empty()) V.assign(MaxCols + 1, 0);
    return V[I];
  }
  int operator[](size_t I) const { return V.empty() ? 0 : V[I]; }
  std::array<int, MaxCols + 1> ToArray() const {
    std::array<int, MaxCols + 1> A{};
    if (!V.empty()) std::copy(V.begin(), V.end(), A.begin());
    return A;
  }

private:
  std::vector<int> V;
};

class TCellObj {
public:
  VORNELLE_POOLED_OBJECT
  int ColSpan = 1; // 0 for a dummy cell
  int RowSpan = 1;
  int SpecHt = 0;
  int SpecWd = 0; // pixels, or tenths of a percent with WidthPercent
  bool WidthPercent = false;
  int VAlign = 1; // 0 top, 1 middle, 2 bottom
  std::unique_ptr<TCell> Cell;
  // Layout results.
  int Wd = 0, Ht = 0, VSize = 0, YIndent = 0;

  TCellObj(TSectionList *List, const TAttributeList *L, int AVAlign);
  TCellObj(TSectionList *List, const TCellObj &Source);
  static std::unique_ptr<TCellObj> MakeDummy(int ARowSpan);
  bool IsDummy() const { return ColSpan == 0; }
};

// A row.
class TCellList : public TFreeList<TCellObj> {
public:
  VORNELLE_POOLED_OBJECT
  TColor BkColor = clNone;
  bool BkGnd = false;
  int RowHeight = 0;
  int MaxVSize = 0; // the tallest allotted height of a cell starting in the row
  explicit TCellList(const TAttributeList *L = nullptr);
  TCellList(TSectionList *List, const TCellList &Source);
  // Applies the row colour to the cells without one.
  void InitializeRow();
};

class ThtmlTable : public TSectionBase {
public:
  TFreeList<TCellList> Rows;
  std::unique_ptr<TCellObj> Caption;
  bool CaptionOnTop = true;
  bool Border = false;
  TColor BorderColor = clNone;
  bool BdrOn = false;
  TColor BkColor = clNone;
  bool BkGnd = false;
  int CellPadding = 1;
  int CellSpacing = 2;
  int SpecWidth = 0;
  bool WidthPercent = false;
  int SpecHeight = 0;
  bool HeightPercent = false;
  int Justify = 1;
  bool Float = false;
  int HSpace = 5, VSpace = 0;
  int NumCols = 0, NumRows = 0;
  bool Initialized = false;
  bool HasAbsWidth = false;
  bool Dropped = false; // a layout error took it off the page
  int Level = 0;
  TColumnArray Widths, Percents, MaxWidths, MinWidths;
  int TotalWidth = 0, TableWidth = 0, Indent = 0, ColumnsX = 0, CaptionHeight = 0;
  int TableHeight = 0; // the grid's height
  TCell *OwnerCell = nullptr;
  int CellBkColorFrom = -1;

  ThtmlTable(TSectionList *List, const TAttributeList &L, TCell *ACell, int AJustify, int ALevel);
  ThtmlTable(TSectionList *List, const ThtmlTable &Source);
  ~ThtmlTable() override;

  void AddRow(std::unique_ptr<TCellList> Row);
  // Caption placement from CAPTION ALIGN.
  void SetCaptionAlign(const TAttributeList &L);
  void Initialize();
  void AddDummyCells();

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

  // Column sizing steps (exposed for tests).
  void GetMinMaxAbs(TCanvas &Canvas, int &TotalMinWidth, int &TotalMaxWidth);
  void DistributePercentWidths(int TW, int TMin);
  void DistributeNoWidth(int TW, int TMin, int TMax);

private:
  // The cells in query order (caption on top first ... bottom caption last).
  std::vector<TCell *> QueryOrder() const;
  TCell *CellAt(int X, int Y, int &CellX, int &CellY);
  int DrawX = 0; // document x of the table's left, from the last drawing
};
