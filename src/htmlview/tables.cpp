// Tables: attributes, span bookkeeping, column widths, row heights, placement, drawing and
// the queries that go through the cells.
#include "htmlview/tables.h"

#include <algorithm>
#include <cstdlib>

#include "htmlview/doc_images.h"
#include "htmlview/html_utils.h"
#include "htmlview/section_list.h"
#include "htmlview/selection_buffers.h"
#include "platform/numbers.h"

namespace {

int AbsCap(int V, int Cap) { return V == INT32_MIN ? Cap : std::min(Cap, std::abs(V)); }
bool HasPercent(const std::string &S) { return S.find('%') != std::string::npos; }

// Lays a cell's content out with its own indent manager at Y, Width wide.
int LayoutCell(TCanvas &Canvas, TCell &Cell, int Y, int Width, int &Curs) {
  Cell.IMgr.Clear();
  Cell.IMgr.Reset(0, std::max(1, Width));
  Cell.IMgr.Width = std::max(1, Width);
  int MW = 0;
  return Cell.DrawLogic(Canvas, Y, Cell.IMgr, MW, Curs);
}

// The height of a cell's content at Width. Within one layout pass a cell is measured once
// per width; tables met while measuring only measure their own cells (they are laid out
// for good when their cell is), so a cell is laid out at most twice however deep it sits.
int MeasureCell(TCanvas &Canvas, TSectionList *List, TCell &Cell, int Width) {
  const uint32_t Pass = Cell.CurrentPass();
  if (Pass != 0 && Cell.MeasurePass == Pass && Cell.MeasuredWidth == Width)
    return Cell.MeasuredHeight;
  struct TMeasuring {
    TSectionList *L;
    bool Was;
    explicit TMeasuring(TSectionList *A) : L(A), Was(A && A->Measuring) { if (L) L->Measuring = true; }
    ~TMeasuring() { if (L) L->Measuring = Was; }
  } Guard(List);
  int Dummy = 0;
  int H = LayoutCell(Canvas, Cell, 0, Width, Dummy);
  Cell.MeasurePass = Pass;
  Cell.MeasuredWidth = Width;
  Cell.MeasuredHeight = H;
  return H;
}

} // namespace

// ---------------------------------------------------------------- cells and rows

TCellObj::TCellObj(TSectionList *List, const TAttributeList *L, int AVAlign)
    : VAlign(AVAlign), Cell(std::make_unique<TCell>(List)) {
  if (!L) return;
  for (const auto &A : *L) {
    switch (A->Which) {
    case ColSpanSy: if (A->Value > 1) ColSpan = std::min(A->Value, MaxCols + 1); break;
    case RowSpanSy: if (A->Value > 1) RowSpan = std::min(A->Value, 100000); break;
    case WidthSy:
      if (HasPercent(A->Name)) {
        if (A->Value >= 1 && A->Value <= 100) {
          SpecWd = A->Value * 10;
          WidthPercent = true;
        }
      } else if (A->Value > 0) {
        SpecWd = std::min(A->Value, 32000);
        WidthPercent = false;
      }
      break;
    case HeightSy: if (A->Value > 0) SpecHt = std::min(A->Value, 32000); break;
    case BGColorSy: {
      TColor C;
      if (ColorFromHtml(A->Name, C)) {
        Cell->BkColor = C | 0x2000000;
        Cell->BkGnd = true;
      }
      break;
    }
    default: break;
    }
  }
}

TCellObj::TCellObj(TSectionList *List, const TCellObj &S)
    : ColSpan(S.ColSpan), RowSpan(S.RowSpan), SpecHt(S.SpecHt), SpecWd(S.SpecWd),
      WidthPercent(S.WidthPercent), VAlign(S.VAlign),
      Cell(S.Cell ? std::make_unique<TCell>(List, *S.Cell) : std::make_unique<TCell>(List)),
      Wd(S.Wd), Ht(S.Ht), VSize(S.VSize), YIndent(S.YIndent) {
  if (List && !List->PrintTableBackground) Cell->BkGnd = false;
}

std::unique_ptr<TCellObj> TCellObj::MakeDummy(int ARowSpan) {
  auto D = std::make_unique<TCellObj>(nullptr, nullptr, 1);
  D->ColSpan = 0;
  D->RowSpan = ARowSpan;
  D->Cell.reset();
  return D;
}

TCellList::TCellList(const TAttributeList *L) {
  if (!L) return;
  if (TAttribute *A = L->Find(BGColorSy)) {
    TColor C;
    if (ColorFromHtml(A->Name, C)) {
      BkColor = C | 0x2000000;
      BkGnd = true;
    }
  }
}

TCellList::TCellList(TSectionList *List, const TCellList &S) : BkColor(S.BkColor), BkGnd(S.BkGnd) {
  if (List && !List->PrintTableBackground) BkGnd = false;
  for (const auto &C : S) FItems.push_back(std::make_unique<TCellObj>(List, *C));
}

void TCellList::InitializeRow() {
  if (!BkGnd) return;
  for (const auto &C : FItems)
    if (C->Cell && !C->Cell->BkGnd) {
      C->Cell->BkColor = BkColor;
      C->Cell->BkGnd = true;
    }
}

// ---------------------------------------------------------------- the table

ThtmlTable::ThtmlTable(TSectionList *List, const TAttributeList &L, TCell *ACell, int AJustify,
                       int ALevel)
    : TSectionBase(List), Caption(std::make_unique<TCellObj>(List, nullptr, 1)),
      Justify(AJustify), Level(ALevel), OwnerCell(ACell) {
  bool Nested = ACell && ACell != static_cast<TCell *>(List);
  for (const auto &A : L) {
    switch (A->Which) {
    case BorderSy: Border = A->Value > 0; break;
    case CellPaddingSy: if (A->Value >= 0) CellPadding = std::min(A->Value, 50); break;
    case CellSpacingSy: if (A->Value >= 0) CellSpacing = std::min(A->Value, 40); break;
    case WidthSy:
      if (HasPercent(A->Name)) {
        WidthPercent = true;
        SpecWidth = (A->Value >= 1 && A->Value <= 100) ? A->Value * 10 : 0;
      } else {
        SpecWidth = std::max(0, std::min(A->Value, 32000));
        WidthPercent = false;
      }
      break;
    case HeightSy:
      // A percentage out of range, or in a cell, still says how many pixels were meant.
      if (HasPercent(A->Name) && !Nested && A->Value >= 1 && A->Value <= 110) {
        SpecHeight = A->Value * 10;
        HeightPercent = true;
      } else {
        SpecHeight = std::max(0, std::min(A->Value, 32000));
        HeightPercent = false;
      }
      break;
    case AlignSy: {
      std::string U = UpperCaseAscii(A->Name);
      if (U == "CENTER") Justify = 2;
      else if (U == "LEFT") {
        Justify = 1;
        Float = true;
      } else if (U == "RIGHT") {
        Justify = 3;
        Float = true;
      }
      break;
    }
    case BGColorSy: {
      TColor C;
      if (ColorFromHtml(A->Name, C)) {
        BkColor = C | 0x2000000;
        BkGnd = true;
      }
      break;
    }
    case BorderColorSy: {
      TColor C;
      if (ColorFromHtml(A->Name, C)) {
        BorderColor = C | 0x2000000;
        BdrOn = true;
      }
      break;
    }
    case HSpaceSy: HSpace = AbsCap(A->Value, 40); break;
    case VSpaceSy: VSpace = AbsCap(A->Value, 200); break;
    default: break;
    }
  }
  if (Border) CellSpacing = std::max(1, CellSpacing + 2);
}

ThtmlTable::ThtmlTable(TSectionList *List, const ThtmlTable &S)
    : TSectionBase(List, S),
      Caption(std::make_unique<TCellObj>(List, *S.Caption)), CaptionOnTop(S.CaptionOnTop),
      Border(S.Border), BorderColor(S.BorderColor), BdrOn(S.BdrOn), BkColor(S.BkColor),
      BkGnd(S.BkGnd), CellPadding(S.CellPadding), CellSpacing(S.CellSpacing),
      SpecWidth(S.SpecWidth), WidthPercent(S.WidthPercent), SpecHeight(S.SpecHeight),
      HeightPercent(S.HeightPercent), Justify(S.Justify), Float(S.Float), HSpace(S.HSpace),
      VSpace(S.VSpace), NumCols(S.NumCols), NumRows(S.NumRows), Initialized(S.Initialized),
      HasAbsWidth(S.HasAbsWidth), Dropped(S.Dropped), Level(S.Level), Widths(S.Widths),
      Percents(S.Percents), MaxWidths(S.MaxWidths), MinWidths(S.MinWidths),
      TotalWidth(S.TotalWidth), TableWidth(S.TableWidth), Indent(S.Indent),
      ColumnsX(S.ColumnsX), CaptionHeight(S.CaptionHeight), TableHeight(S.TableHeight) {
  // Rows are copied with their dummy cells, so the copy is initialized as the original.
  for (const auto &R : S.Rows) Rows.Add(std::make_unique<TCellList>(List, *R));
  if (List && !List->PrintTableBackground) {
    BkGnd = false;
    BdrOn = false;
  }
}

ThtmlTable::~ThtmlTable() = default;

std::unique_ptr<TSectionBase> ThtmlTable::CreateCopy(TSectionList *NewList) const {
  return std::make_unique<ThtmlTable>(NewList, *this);
}

void ThtmlTable::AddRow(std::unique_ptr<TCellList> Row) {
  if (Row) Rows.Add(std::move(Row));
}

void ThtmlTable::SetCaptionAlign(const TAttributeList &L) {
  if (TAttribute *A = L.Find(AlignSy)) CaptionOnTop = LowerCase(A->Name) != "bottom";
}

void ThtmlTable::AddDummyCells() {
  for (const auto &Row : Rows) {
    for (int C = Row->Count() - 1; C >= 0; --C) {
      TCellObj *Cell = (*Row)[C];
      if (Cell->IsDummy()) continue;
      Cell->ColSpan = std::min(Cell->ColSpan, MaxCols);
      for (int K = 1; K < Cell->ColSpan; ++K) {
        Row->Insert(C + 1, TCellObj::MakeDummy(Cell->RowSpan));
        if (Row->Count() > MaxCols) throw EProcessError("Table has too many Columns");
      }
    }
  }
}

void ThtmlTable::Initialize() {
  NumRows = Rows.Count();
  if (Initialized) return;
  TSectionList *L = ParentSectionList;
  if (L && !L->Printing && !BkGnd && OwnerCell && OwnerCell->BkGnd) {
    BkColor = OwnerCell->BkColor;
    BkGnd = true;
  }
  for (const auto &Row : Rows) {
    Row->InitializeRow();
    if (BkGnd)
      for (const auto &C : *Row)
        if (C->Cell && !C->Cell->BkGnd) {
          C->Cell->BkColor = BkColor;
          C->Cell->BkGnd = true;
        }
    if (Row->Count() > MaxCols) throw EProcessError("Table has too many Columns");
  }
  AddDummyCells();
  NumCols = 0;
  HasAbsWidth = false;
  for (const auto &Row : Rows) {
    NumCols = std::max(NumCols, Row->Count());
    for (const auto &C : *Row)
      if (!C->IsDummy() && C->SpecWd > 0 && !C->WidthPercent) HasAbsWidth = true;
  }
  // Row spans: the covered slots below get dummy cells.
  for (int C = 0; C < NumCols; ++C)
    for (int R = 0; R < NumRows; ++R) {
      TCellList *Row = Rows[R];
      if (C >= Row->Count()) continue;
      TCellObj *Cell = (*Row)[C];
      Cell->RowSpan = std::max(1, std::min(Cell->RowSpan, NumRows - R));
      for (int K = 1; K < Cell->RowSpan; ++K) {
        TCellList *Below = Rows[R + K];
        while (Below->Count() < C) Below->Add(TCellObj::MakeDummy(1));
        Below->Insert(C, TCellObj::MakeDummy(1));
        if (Below->Count() > MaxCols) throw EProcessError("Table has too many Columns");
      }
    }
  NumCols = 0;
  for (const auto &Row : Rows) NumCols = std::max(NumCols, Row->Count());
  if (NumCols > MaxCols) throw EProcessError("Table has too many Columns");
  Initialized = true;
}

void ThtmlTable::GetMinMaxAbs(TCanvas &Canvas, int &TotalMinWidth, int &TotalMaxWidth) {
  int Extra = 2 * CellPadding + CellSpacing;
  for (int C = 0; C <= MaxCols; ++C) MinWidths[size_t(C)] = MaxWidths[size_t(C)] = Percents[size_t(C)] = 0;
  int MaxSpan = 1;
  for (const auto &Row : Rows)
    for (const auto &C : *Row) MaxSpan = std::max(MaxSpan, C->ColSpan);
  int KnownWidth = (SpecWidth > 0 && !WidthPercent) ? SpecWidth : 0;
  for (int Span = 1; Span <= MaxSpan; ++Span) {
    for (const auto &Row : Rows) {
      for (int C = 0; C < Row->Count(); ++C) {
        TCellObj *Cell = (*Row)[C];
        if (Cell->ColSpan != Span || !Cell->Cell) continue;
        int Span_ = std::min(Span, NumCols - C);
        int Mn, Mx;
        Cell->Cell->MinMaxWidth(Canvas, Mn, Mx);
        Mn += Extra;
        Mx += Extra;
        if (Cell->SpecWd > 0 && !Cell->WidthPercent) {
          Mn = std::max(Mn, Cell->SpecWd + Extra);
          Mx = std::max(Mn, Cell->SpecWd + Extra);
        }
        int CellPct = Cell->WidthPercent ? Cell->SpecWd
                      : (Cell->SpecWd > 0 && KnownWidth > 0)
                          ? std::min(1000, MulDiv(Cell->SpecWd, 1000, KnownWidth))
                          : 0;
        if (Span_ <= 1) {
          MinWidths[size_t(C)] = std::max(MinWidths[size_t(C)], Mn);
          MaxWidths[size_t(C)] = std::max(MaxWidths[size_t(C)], Mx);
          Percents[size_t(C)] = std::max(Percents[size_t(C)], CellPct);
          continue;
        }
        // The cell's own percent is shared out first, so that the width it lacks then
        // follows the columns' percents where it gave them one.
        if (CellPct > 0) {
          int S = 0, Without = 0;
          for (int K = C; K < C + Span_; ++K) {
            S += Percents[size_t(K)];
            if (Percents[size_t(K)] == 0) ++Without;
          }
          if (S < CellPct) {
            if (Without > 0) {
              for (int K = C; K < C + Span_; ++K)
                if (Percents[size_t(K)] == 0) Percents[size_t(K)] = (CellPct - S) / Without;
            } else if (S > 0) {
              for (int K = C; K < C + Span_; ++K)
                Percents[size_t(K)] = MulDiv(Percents[size_t(K)], CellPct, S);
            }
          }
        }
        // What the spanned columns lack goes to those without a percent, in proportion
        // to what they have: a percent column would otherwise outgrow its share.
        auto Spread = [&](TColumnArray &A, int Need) {
          int S = 0, Free = 0, PS = 0, FirstFree = -1;
          for (int K = C; K < C + Span_; ++K) {
            S += A[size_t(K)];
            if (Percents[size_t(K)] > 0) {
              PS += Percents[size_t(K)];
            } else {
              Free += A[size_t(K)];
              if (FirstFree < 0) FirstFree = K;
            }
          }
          if (S >= Need) return;
          const int D = Need - S;
          if (FirstFree < 0) {
            for (int K = C; K < C + Span_; ++K) A[size_t(K)] += MulDiv(D, Percents[size_t(K)], PS);
          } else if (Free == 0) {
            A[size_t(FirstFree)] += D;
          } else {
            for (int K = C; K < C + Span_; ++K)
              if (Percents[size_t(K)] == 0) A[size_t(K)] += MulDiv(A[size_t(K)], D, Free);
          }
        };
        Spread(MinWidths, Mn);
        Spread(MaxWidths, Mx);
        for (int K = C; K < C + Span_; ++K)
          MaxWidths[size_t(K)] = std::max(MaxWidths[size_t(K)], MinWidths[size_t(K)]);
      }
    }
  }
  TotalMinWidth = TotalMaxWidth = 0;
  for (int C = 0; C < NumCols; ++C) {
    TotalMinWidth += MinWidths[size_t(C)];
    TotalMaxWidth += MaxWidths[size_t(C)];
  }
}

void ThtmlTable::MinMaxWidth(TCanvas &Canvas, int &Min, int &Max) {
  if (Dropped) {
    Min = Max = 0;
    return;
  }
  Initialize();
  GetMinMaxAbs(Canvas, Min, Max);
  Min += CellSpacing;
  Max += CellSpacing;
  if (!WidthPercent && SpecWidth > 0) {
    Min = std::max(Min, SpecWidth);
    Max = std::max(Max, SpecWidth);
  }
  int CMin = 0, CMax = 0;
  if (Caption && Caption->Cell) Caption->Cell->MinMaxWidth(Canvas, CMin, CMax);
  Min = std::max(Min, CMin);
  Max = std::max(Max, CMin);
}

void ThtmlTable::DistributePercentWidths(int TW, int) {
  std::array<bool, MaxCols + 1> Fixed{};
  int PS = 0, K = 0, SL = 0;
  for (int C = 0; C < NumCols; ++C) {
    size_t I = size_t(C);
    if (Percents[I] > 0) {
      int W = MulDiv(TW, Percents[I], 1000);
      if (W <= MinWidths[I]) {
        Widths[I] = MinWidths[I];
        Fixed[I] = true;
      } else {
        Widths[I] = W;
        PS += Percents[I];
      }
    } else {
      Widths[I] = MinWidths[I];
      ++K;
      SL += MaxWidths[I] - MinWidths[I];
    }
  }
  int Sum = 0;
  for (int C = 0; C < NumCols; ++C) Sum += Widths[size_t(C)];
  int E = Sum - TW;
  if (E > 0 && PS > 0) {
    for (int Pass = 0; Pass < 4; ++Pass) {
      bool Changed = false;
      for (int C = 0; C < NumCols && PS > 0; ++C) {
        size_t I = size_t(C);
        if (Percents[I] == 0 || Fixed[I]) continue;
        int Cut = MulDiv(E, Percents[I], PS);
        if (Widths[I] - Cut < MinWidths[I]) {
          E -= Widths[I] - MinWidths[I];
          PS -= Percents[I];
          Widths[I] = MinWidths[I];
          Fixed[I] = true;
          Changed = true;
        }
      }
      if (!Changed) break;
    }
    if (PS > 0) {
      int E0 = E, PS0 = PS;
      for (int C = 0; C < NumCols; ++C) {
        size_t I = size_t(C);
        if (Percents[I] > 0 && !Fixed[I]) Widths[I] -= MulDiv(E0, Percents[I], PS0);
      }
    }
  } else if (E < 0 && K == 0 && PS > 0) {
    for (int C = 0; C < NumCols; ++C) {
      size_t I = size_t(C);
      if (Percents[I] > 0 && !Fixed[I]) Widths[I] += MulDiv(-E, Percents[I], PS);
    }
  } else if (E < 0 && K > 0) {
    bool BySlack = SL > 0 && (-E) / 2 <= SL;
    for (int C = 0; C < NumCols; ++C) {
      size_t I = size_t(C);
      if (Percents[I] != 0) continue;
      Widths[I] += BySlack ? MulDiv(-E, MaxWidths[I] - MinWidths[I], SL) : (-E) / K;
    }
  }
}

void ThtmlTable::DistributeNoWidth(int TW, int TMin, int TMax) {
  int P = 0;
  for (int C = 0; C < NumCols; ++C) P += Percents[size_t(C)];
  std::array<int, MaxCols + 1> Pc = Percents.ToArray();
  std::array<int, MaxCols + 1> Mn = MinWidths.ToArray(), Mx = MaxWidths.ToArray();
  bool Done = false;
  if (P >= 1 && P <= 1000) {
    int R = 0;
    int Need = 0;
    for (int C = 0; C < NumCols; ++C) {
      size_t I = size_t(C);
      if (Pc[I] > 0) Need = std::max(Need, MulDiv(Mx[I], 1000, Pc[I]));
      else R += Mx[I];
    }
    int NeedOthers = P < 1000 ? MulDiv(R, 1000, 1000 - P) : (R == 0 ? 0 : 30000);
    Need = std::max(Need, NeedOthers);
    if (TW >= Need) {
      int W = Need;
      for (int C = 0; C < NumCols; ++C) {
        size_t I = size_t(C);
        if (Pc[I] > 0) Widths[I] = MulDiv(W, Pc[I], 1000);
        else Widths[I] = R == 0 ? 0 : MulDiv(Mx[I], MulDiv(W, 1000 - P, 1000), R);
      }
      Done = true;
    } else {
      // At most ten passes: each drops or rescales percentages until the rest fits.
      for (int Pass = 0; Pass < 10 && !Done; ++Pass) {
        bool Dropped_ = false;
        for (int C = 0; C < NumCols; ++C) {
          size_t I = size_t(C);
          if (Pc[I] > 0 && Mn[I] > MulDiv(TW, Pc[I], 1000) - 1) {
            Pc[I] = 0;
            Dropped_ = true;
          }
        }
        int PSum = 0, OthersMin = 0, PctW = 0;
        for (int C = 0; C < NumCols; ++C) {
          size_t I = size_t(C);
          if (Pc[I] > 0) {
            PSum += Pc[I];
            PctW += MulDiv(TW, Pc[I], 1000);
          } else OthersMin += Mn[I];
        }
        if (PSum == 0) break;
        if (PctW + OthersMin <= TW) {
          for (int C = 0; C < NumCols; ++C) {
            size_t I = size_t(C);
            if (Pc[I] > 0) Mn[I] = Mx[I] = MulDiv(TW, Pc[I], 1000);
          }
          break;
        }
        if (!Dropped_) {
          int Avail = std::max(0, TW - OthersMin);
          int Target = MulDiv(Avail, 1000, std::max(1, TW));
          for (int C = 0; C < NumCols; ++C) {
            size_t I = size_t(C);
            if (Pc[I] > 0) Pc[I] = std::max(0, MulDiv(Pc[I], Target, PSum));
          }
        }
      }
      TMin = TMax = 0;
      for (int C = 0; C < NumCols; ++C) {
        TMin += Mn[size_t(C)];
        TMax += Mx[size_t(C)];
      }
    }
  }
  if (!Done) {
    for (int C = 0; C < NumCols; ++C) {
      size_t I = size_t(C);
      if (TW < TMax && TMax != TMin) Widths[I] = Mn[I] + MulDiv(Mx[I] - Mn[I], TW - TMin, TMax - TMin);
      else Widths[I] = Mx[I];
    }
  }
}

int ThtmlTable::DrawLogic(TCanvas &Canvas, int Y, IndentManager &IMgr, int &MaxWidth, int &Curs) {
  YValue = Y;
  StartCurs = Curs;
  if (Dropped) {
    SectionHeight = DrawHeight = Len = 0;
    MaxWidth = 0;
    return 0;
  }
  IMgr.ChangeLeftLevel(Y, Level);
  int Lf = IMgr.LeftEdgeAt(Y);
  int AW = std::max(1, IMgr.RightEdgeAt(Y) - Lf);
  int TW = SpecWidth >= 1 ? (WidthPercent ? MulDiv(AW, SpecWidth, 1000) : SpecWidth) : AW;
  Initialize();
  int TMin, TMax;
  GetMinMaxAbs(Canvas, TMin, TMax);
  // The columns share the table width less the spacing right of the last column.
  int CW = std::max(0, TW - CellSpacing);
  for (int C = 0; C <= MaxCols; ++C) Widths[size_t(C)] = 0;
  if (HasAbsWidth && SpecWidth == 0) {
    int D = TMax - TMin, E = CW - TMin;
    for (int C = 0; C < NumCols; ++C) {
      size_t I = size_t(C);
      if (TMin >= CW) Widths[I] = MinWidths[I];
      else if (TMax <= CW) Widths[I] = MaxWidths[I];
      else if (D < 1) Widths[I] = MinWidths[I] + MulDiv(MinWidths[I], E, std::max(1, TMin));
      else Widths[I] = MinWidths[I] + MulDiv(MaxWidths[I] - MinWidths[I], E, D);
    }
  } else if (CW <= TMin) {
    for (int C = 0; C < NumCols; ++C) Widths[size_t(C)] = MinWidths[size_t(C)];
  } else if (SpecWidth > 0) {
    DistributePercentWidths(CW, TMin);
  } else {
    DistributeNoWidth(CW, TMin, TMax);
  }
  TotalWidth = CellSpacing;
  for (int C = 0; C < NumCols; ++C) TotalWidth += Widths[size_t(C)];
  int CapMin = 0, CapMax = 0;
  if (Caption && Caption->Cell) Caption->Cell->MinMaxWidth(Canvas, CapMin, CapMax);
  TableWidth = std::max(TotalWidth, CapMin);

  // Row heights: cells laid out once at Y 0 for their content heights.
  for (const auto &Row : Rows) Row->RowHeight = 0;
  auto CellWidth = [&](int C, int Span) {
    int W = 0;
    for (int K = C; K < std::min(NumCols, C + Span); ++K) W += Widths[size_t(K)];
    return W;
  };
  int MaxRowSpan = 1;
  for (const auto &Row : Rows)
    for (const auto &C : *Row) MaxRowSpan = std::max(MaxRowSpan, C->RowSpan);
  for (int Span = 1; Span <= MaxRowSpan; ++Span) {
    for (int R = 0; R + Span <= NumRows; ++R) {
      TCellList *Row = Rows[R];
      int H = 0;
      bool Any = false;
      for (int C = 0; C < Row->Count(); ++C) {
        TCellObj *Cell = (*Row)[C];
        if (Cell->IsDummy() || Cell->RowSpan != Span || !Cell->Cell) continue;
        Any = true;
        Cell->Wd = CellWidth(C, Cell->ColSpan);
        int Content = MeasureCell(Canvas, ParentSectionList, *Cell->Cell,
                                  Cell->Wd - 2 * CellPadding - CellSpacing);
        Cell->Ht = Content;
        if (Cell->SpecHt > 0) Content = std::max(Content, Cell->SpecHt - 2 * CellPadding);
        H = std::max(H, Content + 2 * CellPadding + CellSpacing);
      }
      if (!Any) continue;
      if (Span == 1) Row->RowHeight = std::max(Row->RowHeight, H);
      else {
        int S = 0;
        for (int K = R; K < R + Span; ++K) S += Rows[K]->RowHeight;
        if (H > S) {
          int Each = (H - S) / Span;
          for (int K = R; K < R + Span; ++K) Rows[K]->RowHeight += Each;
          Rows[R + Span - 1]->RowHeight += (H - S) - Each * Span;
        }
      }
    }
  }
  int Height = 0;
  CaptionHeight = 0;
  int CapCurs = Curs;
  if (CaptionOnTop && Caption && Caption->Cell && Caption->Cell->Count() > 0) {
    CaptionHeight = LayoutCell(Canvas, *Caption->Cell, Y, TableWidth, CapCurs);
    Curs = CapCurs;
  }
  Height += CaptionHeight;
  int RowY = Y + CaptionHeight;
  int Wanted = 0;
  if (SpecHeight > 0) {
    if (HeightPercent) {
      TSectionList *L = ParentSectionList;
      int Base = L ? (L->Printing ? L->PageAreaHeight : (L->Host ? L->Host->ClientHeight() : 0)) : 0;
      Wanted = MulDiv(Base - CellSpacing - 3, SpecHeight, 1000);
    } else {
      Wanted = SpecHeight;
    }
  }
  int Sum = 0;
  for (const auto &Row : Rows) Sum += Row->RowHeight;
  if (NumRows > 0 && Sum < Wanted) {
    int Each = (Wanted - Sum) / NumRows;
    for (int R = 0; R < NumRows - 1; ++R) Rows[R]->RowHeight += Each;
    Rows[NumRows - 1]->RowHeight += (Wanted - Sum) - Each * (NumRows - 1);
  }
  // Final layout of every cell at its place; while measuring, the heights are all the
  // enclosing cell needs.
  const bool Measuring = ParentSectionList && ParentSectionList->Measuring;
  for (int R = 0; R < NumRows; ++R) {
    TCellList *Row = Rows[R];
    Row->MaxVSize = Row->RowHeight;
    for (int C = 0; C < Row->Count(); ++C) {
      TCellObj *Cell = (*Row)[C];
      if (Cell->IsDummy() || !Cell->Cell) continue;
      int Allotted = 0;
      for (int K = R; K < std::min(NumRows, R + Cell->RowSpan); ++K) Allotted += Rows[K]->RowHeight;
      Cell->VSize = Allotted;
      int Free = Allotted - Cell->Ht - (2 * CellPadding + CellSpacing);
      int Off = Cell->VAlign == 0 ? 0 : Cell->VAlign == 2 ? Free : Free / 2;
      Cell->YIndent = std::max(0, Off);
      Row->MaxVSize = std::max(Row->MaxVSize, Allotted);
      if (!Measuring)
        LayoutCell(Canvas, *Cell->Cell, RowY + CellPadding + CellSpacing + Cell->YIndent,
                   Cell->Wd - 2 * CellPadding - CellSpacing, Curs);
    }
    RowY += Row->RowHeight;
    Height += Row->RowHeight;
  }
  Height += CellSpacing;
  TableHeight = Height - CaptionHeight;
  if (!CaptionOnTop && Caption && Caption->Cell && Caption->Cell->Count() > 0) {
    CaptionHeight = LayoutCell(Canvas, *Caption->Cell, Y + Height, TableWidth, Curs);
    Height += CaptionHeight;
  }
  int Offset = 0;
  if (TableWidth < AW) {
    if (Justify == 2 && !Float) Offset = (AW - TableWidth) / 2;
    else if (Justify == 3) Offset = AW - TableWidth;
  }
  Indent = Offset + Lf;
  ColumnsX = Indent + (TableWidth - TotalWidth) / 2;
  Len = Curs - StartCurs;
  MaxWidth = TableWidth;
  if (Float) {
    Height += 2 * VSpace;
    IMgr.AddFloat(Y, TableWidth + HSpace + 1, Height, Justify == 3 ? IndentAlignRight : IndentAlignLeft);
    DrawHeight = Height;
    SectionHeight = 0;
    return 0;
  }
  DrawHeight = SectionHeight = Height;
  return Height;
}

// ---------------------------------------------------------------- drawing

int ThtmlTable::Draw(TCanvas &Canvas, const TRect &ARect, IndentManager &, int X, int Y) {
  TSectionList *L = ParentSectionList;
  Y = YValue;
  if (Dropped) return Y;
  int YOff = L ? L->YOff : 0;
  int Top = YValue + (Float ? VSpace : 0);
  int H = DrawHeight - (Float ? 2 * VSpace : 0);
  DrawX = X + Indent;
  if (L && L->Printing) {
    int PageTop = L->PageBottom - L->PageAreaHeight;
    if (Top > PageTop + 2 * L->PageAreaHeight / 3 && Top + H > L->PageBottom &&
        H < L->PageAreaHeight) {
      if (Top < L->PageBottom) L->PageBottom = Top;
      return Y + SectionHeight;
    }
    if (Top >= L->PageBottom) return Y + SectionHeight;
  }
  if (Top - YOff > ARect.Bottom || Top - YOff + H < ARect.Top) return Y + SectionHeight;
  int CapH = CaptionOnTop ? CaptionHeight : 0;
  if (CaptionOnTop && Caption && Caption->Cell && Caption->Cell->Count() > 0)
    Caption->Cell->Draw(Canvas, ARect, TableWidth, X + Indent, Top);
  int GridX = X + ColumnsX;
  int GridTop = Top + CapH;
  TPen SavePen = Canvas.Pen();
  TBrush SaveBrush = Canvas.Brush();
  // Only the cells that meet ARect take part, in the border colour's region as in the
  // drawing: a long table costs what shows of it.
  TRect GridBox(GridX, GridTop - YOff, GridX + TotalWidth, GridTop + TableHeight - YOff);
  TRegion BorderRegion;
  if (BdrOn) {
    TRect Shown;
    if (IntersectRect(Shown, GridBox, ARect)) BorderRegion = TRegion::FromRect(Shown);
  }
  int RowY = GridTop;
  for (int R = 0; R < NumRows; ++R) {
    TCellList *Row = Rows[R];
    if (RowY - YOff > ARect.Bottom) break;
    // MaxVSize covers the cells that span down from this row; a border cut reaches one
    // pixel further.
    if (RowY + Row->MaxVSize + 1 - YOff < ARect.Top) {
      RowY += Row->RowHeight;
      continue;
    }
    int CX = GridX;
    for (int C = 0; C < Row->Count(); ++C) {
      TCellObj *Cell = (*Row)[C];
      int ColW = C < NumCols ? Widths[size_t(C)] : 0;
      if (!Cell->IsDummy() && Cell->Cell) {
        TRect Box(CX + CellSpacing, RowY + CellSpacing - YOff, CX + Cell->Wd,
                  RowY + Cell->VSize - YOff);
        if (BdrOn) {
          TRect Cut = Box;
          if (Border) InflateRect(Cut, 1, 1);
          if (Cut.Top < ARect.Bottom && Cut.Bottom > ARect.Top)
            BorderRegion = BorderRegion.Subtracted(TRegion::FromRect(Cut));
        }
        if (Box.Top < ARect.Bottom && Box.Bottom >= ARect.Top) {
          if (Cell->Cell->BkGnd && !(L && L->Printing && !L->PrintTableBackground)) {
            Canvas.Brush().Color = Cell->Cell->BkColor;
            Canvas.Brush().Style = bsSolid;
            Canvas.FillRect(Box);
          }
          Cell->Cell->Draw(Canvas, ARect, Cell->Wd, CX + CellSpacing + CellPadding, RowY);
          if (Border) {
            TRect F = Box;
            InflateRect(F, 1, 1);
            Canvas.DrawEdge(F, BDR_SUNKENOUTER, BF_RECT);
          }
        }
      }
      CX += ColW;
    }
    RowY += Row->RowHeight;
  }
  if (BdrOn && !BorderRegion.IsEmpty()) {
    Canvas.Brush().Color = BorderColor;
    Canvas.Brush().Style = bsSolid;
    for (const TRect &Part : BorderRegion.Rects()) Canvas.FillRect(Part);
  }
  if (Border) Canvas.DrawEdge(GridBox, BDR_RAISEDOUTER, BF_RECT);
  Canvas.Pen() = SavePen;
  Canvas.Brush() = SaveBrush;
  if (!CaptionOnTop && Caption && Caption->Cell && Caption->Cell->Count() > 0)
    Caption->Cell->Draw(Canvas, ARect, TableWidth, X + Indent, GridTop + TableHeight);
  return Y + SectionHeight;
}

// ---------------------------------------------------------------- queries

std::vector<TCell *> ThtmlTable::QueryOrder() const {
  std::vector<TCell *> V;
  if (Dropped) return V;
  if (CaptionOnTop && Caption && Caption->Cell) V.push_back(Caption->Cell.get());
  for (const auto &Row : Rows)
    for (const auto &C : *Row)
      if (!C->IsDummy() && C->Cell) V.push_back(C->Cell.get());
  if (!CaptionOnTop && Caption && Caption->Cell) V.push_back(Caption->Cell.get());
  return V;
}

TCell *ThtmlTable::CellAt(int X, int Y, int &CellX, int &CellY) {
  if (Dropped) return nullptr;
  int Top = YValue + (Float ? VSpace : 0);
  int CapH = CaptionOnTop ? CaptionHeight : 0;
  int GridTop = Top + CapH;
  if (Y < Top) return nullptr;
  if (Caption && Caption->Cell) {
    bool InCap = CaptionOnTop ? Y < GridTop : Y >= GridTop + TableHeight;
    if (InCap) {
      if (X >= DrawX && X < DrawX + TableWidth) {
        CellX = DrawX;
        CellY = CaptionOnTop ? Top : GridTop + TableHeight;
        return Caption->Cell.get();
      }
      return nullptr;
    }
  }
  int GridX = DrawX + (ColumnsX - Indent);
  if (X < GridX || X >= GridX + TotalWidth) return nullptr;
  int RowY = GridTop;
  for (int R = 0; R < NumRows; ++R) {
    TCellList *Row = Rows[R];
    int CX = GridX;
    for (int C = 0; C < Row->Count(); ++C) {
      TCellObj *Cell = (*Row)[C];
      if (!Cell->IsDummy() && Cell->Cell && X >= CX && X < CX + Cell->Wd && Y >= RowY &&
          Y < RowY + Cell->VSize) {
        CellX = CX;
        CellY = RowY;
        return Cell->Cell.get();
      }
      CX += C < NumCols ? Widths[size_t(C)] : 0;
    }
    RowY += Row->RowHeight;
  }
  return nullptr;
}

bool ThtmlTable::GetURL(TCanvas &Canvas, int X, int Y, TUrlTarget &UrlTarget,
                        TFormControlObj *&FormControl) {
  int CX, CY;
  TCell *C = CellAt(X, Y, CX, CY);
  return C && C->GetURL(Canvas, X, Y, UrlTarget, FormControl);
}

bool ThtmlTable::PtInObject(int X, int Y, TFloatingObj *&Obj, int &IX, int &IY) {
  int CX, CY;
  TCell *C = CellAt(X, Y, CX, CY);
  return C && C->PtInObject(X, Y, Obj, IX, IY);
}

int ThtmlTable::FindCursor(TCanvas &Canvas, int X, int Y, int &XR, int &YR, int &CaretHeight,
                           bool &InText) {
  int CX, CY;
  TCell *C = CellAt(X, Y, CX, CY);
  return C ? C->FindCursor(Canvas, X, Y, XR, YR, CaretHeight, InText) : -1;
}

int ThtmlTable::FindString(int From, const std::string &ToFind, bool MatchCase) {
  for (TCell *C : QueryOrder()) {
    int P = C->FindString(From, ToFind, MatchCase);
    if (P >= 0) return P;
  }
  return -1;
}

int ThtmlTable::FindSourcePos(int DocPos) {
  for (TCell *C : QueryOrder()) {
    int P = C->FindSourcePos(DocPos);
    if (P >= 0) return P;
  }
  return -1;
}

int ThtmlTable::FindDocPos(int SourcePos, bool Prev) {
  std::vector<TCell *> V = QueryOrder();
  if (Prev) {
    // Cells from the last backwards, the caption last.
    std::vector<TCell *> B;
    for (auto It = V.rbegin(); It != V.rend(); ++It)
      if (!(Caption && *It == Caption->Cell.get())) B.push_back(*It);
    if (Caption && Caption->Cell && !Dropped) B.push_back(Caption->Cell.get());
    V = B;
  }
  for (TCell *C : V) {
    int P = C->FindDocPos(SourcePos, Prev);
    if (P >= 0) return P;
  }
  return -1;
}

bool ThtmlTable::CursorToXY(TCanvas &Canvas, int Cursor, int &X, int &Y) {
  for (TCell *C : QueryOrder())
    if (C->CursorToXY(Canvas, Cursor, X, Y)) return true;
  return false;
}

bool ThtmlTable::GetChAtPos(int Pos, char &Ch, TSectionBase *&Obj) {
  for (TCell *C : QueryOrder())
    if (C->GetChAtPos(Pos, Ch, Obj)) return true;
  return false;
}

void ThtmlTable::UpdateFonts() {
  if (Caption && Caption->Cell) Caption->Cell->UpdateFonts();
  for (const auto &Row : Rows)
    for (const auto &C : *Row)
      if (C->Cell) C->Cell->UpdateFonts();
}

void ThtmlTable::CopyToClipboard(SelTextCount &Buffer) {
  for (TCell *C : QueryOrder()) C->CopyToClipboard(Buffer);
}
