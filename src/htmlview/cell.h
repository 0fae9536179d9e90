#pragma once
// A cell: an ordered, owning list of sections with its own indent manager. The document
// root and every table cell (and caption) is one.
#include <cstdint>
#include <memory>
#include <string>

#include "htmlview/free_list.h"
#include "htmlview/indent_manager.h"
#include "htmlview/sections.h"
#include "platform/numbers.h"

class TFloatingObj;

// Layout error of a section ("Table has too many Columns"): the enclosing cell drops the
// section and lays out the rest.
class EProcessError : public Exception {
public:
  using Exception::Exception;
};

// Float and list indents of one cell.
class IndentManager : public IndentManagerBasic {
public:
  // Registers a left (ObjAlign 3) or right (ObjAlign 4) floating object at Y and sets its
  // Indent; other alignments add nothing.
  void Update(int Y, TFloatingObj &Obj);
};

class TCell : public TFreeList<TSectionBase> {
public:
  VORNELLE_POOLED_OBJECT
  TSectionList *MasterList = nullptr;
  IndentManager IMgr; // held in the cell: a page makes thousands of cells
  int StartCurs = 0;
  int Len = 0;
  // The cell's background colour (table cells); clNone when it has none.
  TColor BkColor = clNone;
  bool BkGnd = false;

  explicit TCell(TSectionList *Master);
  TCell(TSectionList *Master, const TCell &Source); // copy for printing
  ~TCell() override;

  // Appends a section and gives it its parent; a null
  // section is ignored.
  void Add(std::unique_ptr<TSectionBase> Section);
  template <class U> void Add(std::unique_ptr<U> Section) {
    Add(std::unique_ptr<TSectionBase>(std::move(Section)));
  }

  virtual int DrawLogic(TCanvas &Canvas, int Y, IndentManager &AIMgr, int &MaxWidth, int &Curs);
  virtual void MinMaxWidth(TCanvas &Canvas, int &Min, int &Max);
  // Draws the sections meeting ARect (screen coordinates) from document Y at cell left X
  // and width ClipWidth; returns the Y below the last section.
  virtual int Draw(TCanvas &Canvas, const TRect &ARect, int ClipWidth, int X, int Y);
  virtual bool GetURL(TCanvas &Canvas, int X, int Y, TUrlTarget &UrlTarget,
                      TFormControlObj *&FormControl);

  bool PtInObject(int X, int Y, TFloatingObj *&Obj, int &IX, int &IY);
  int FindCursor(TCanvas &Canvas, int X, int Y, int &XR, int &YR, int &CaretHeight,
                 bool &InText);
  int FindString(int From, const std::string &ToFind, bool MatchCase);
  int FindSourcePos(int DocPos);
  int FindDocPos(int SourcePos, bool Prev);
  bool CursorToXY(TCanvas &Canvas, int Cursor, int &X, int &Y);
  bool GetChAtPos(int Pos, char &Ch, TSectionBase *&Obj);
  void UpdateFonts();
  void CopyToClipboard(SelTextCount &Buffer);
  // The section whose band holds document Y (by YValue and DrawHeight), or nullptr.
  TSectionBase *FindSectionAtY(int Y, int &Index) const;
  // Height of the laid-out content (from the last DrawLogic).
  int ContentHeight = 0;
  // What the current layout pass already found (see TSectionList::LayoutPass).
  uint32_t MinMaxPass = 0, MeasurePass = 0;
  int CachedMin = 0, CachedMax = 0, MeasuredWidth = 0, MeasuredHeight = 0;
  // The layout pass in progress, or 0 outside a layout.
  uint32_t CurrentPass() const;
};
