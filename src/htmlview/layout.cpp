// Paragraph layout: line breaking around floats, inline objects and list indents; the
// fixed block sections; cell layout.
#include <algorithm>

#include "htmlview/cell.h"
#include "htmlview/doc_images.h"
#include "htmlview/form_controls.h"
#include "htmlview/section_list.h"
#include "htmlview/sections.h"
#include "htmlview/tables.h"
#include "htmlview/text_measure.h"
#include "platform/numbers.h"

namespace {

bool IsImageMark(char C) { return C == ImageMark || C == ImageMarkNoBrk; }
bool IsFormMark(char C) { return C == FormMark || C == FormMarkNoBrk; }
bool IsAnyMark(char C) { return IsImageMark(C) || IsFormMark(C); }

} // namespace

// ---------------------------------------------------------------- IndentManager

void IndentManager::Update(int Y, TFloatingObj &Obj) {
  int H = Obj.ImageHeight + 2 * Obj.VSpace;
  Obj.FloatTop = Y;
  if (Obj.ObjAlign == ALeft) {
    Obj.Indent = LeftEdgeAt(Y) - LfEdge;
    AddFloat(Y, Obj.ImageWidth + Obj.HSpace, H, IndentAlignLeft);
  } else if (Obj.ObjAlign == ARight) {
    int X = RightEdgeAt(Y) - RtEdge - (Obj.ImageWidth + Obj.HSpace);
    AddFloat(Y, Obj.ImageWidth + Obj.HSpace, H, IndentAlignRight);
    Obj.Indent = RtEdge + X + Obj.HSpace;
  }
}

// ---------------------------------------------------------------- text measuring

int TSection::RunWidth(TCanvas &Canvas, const TFontObj &Font, int Start, int N) {
  if (N <= 0) return 0;
  return SumAdvances(Font.Widths(Canvas), std::string_view(Buff.data() + Start, size_t(N))) -
         Font.Overhang;
}

// How many of the N characters of one run from Start fit in Width: the longest prefix whose
// extent less the overhang is within Width.
int TSection::FindTextFit(TCanvas &Canvas, const TFontObj &Font, int Width, int N, int Start) {
  if (N <= 0 || Width < 0) return 0;
  const TFontWidths &W = Font.Widths(Canvas);
  int Sum = -Font.Overhang, K = 0;
  const char *P = Buff.data() + Start;
  while (K < N) {
    Sum += W.Advance[uint8_t(P[K])];
    if (Sum > Width) break;
    ++K;
  }
  return K;
}

int TSection::FindTextWidth(TCanvas &Canvas, int Start, int N, bool RemoveSpaces) {
  if (RemoveSpaces) {
    while (N > 1 && Buff[size_t(Start + N - 1)] == ' ') --N;
  }
  int W = 0;
  int I = Start, End = Start + N;
  while (I < End) {
    char C = Buff[size_t(I)];
    if (IsImageMark(C)) {
      if (TFloatingObj *O = Images.FindImage(I))
        if (!O->IsFloat()) W += O->ImageWidth + 2 * O->HSpace;
      ++I;
    } else if (IsFormMark(C)) {
      int CW = FormControls.GetWidthAt(I);
      if (CW > 0) W += CW;
      ++I;
    } else {
      int Idx;
      TFontObj *F = Fonts.GetFontObjAt(I, Idx);
      int Cnt = std::min({Fonts.GetFontCountAt(I, Len), Images.GetImageCountAt(I),
                          FormControls.GetControlCountAt(I), End - I});
      if (Cnt <= 0) Cnt = 1;
      if (F) W += RunWidth(Canvas, *F, I, Cnt);
      I += Cnt;
    }
  }
  return W;
}

int TSection::FindCountThatFits(TCanvas &Canvas, int Width, std::vector<TFloatingObj *> &FloatList,
                                int &FloatHeight, IndentManager &IMgr, int Y, int Max, int Start) {
  int U = 0, Cnt = 0, I = Start;
  bool LineEmpty = true;
  while (Cnt < Max) {
    char C = Buff[size_t(I)];
    if (IsImageMark(C)) {
      TFloatingObj *O = Images.FindImage(I);
      if (O && O->IsFloat()) {
        if (LineEmpty) {
          IMgr.Update(Y, *O);
          U += O->HSpace + O->ImageWidth;
          FloatHeight = std::max(FloatHeight, O->ImageHeight + 2 * O->VSpace);
        } else {
          FloatList.push_back(O);
        }
      } else if (O) {
        U += O->ImageWidth + 2 * O->HSpace;
        LineEmpty = false;
      }
      if (U > Width && Cnt > 0) break;
      ++Cnt;
      ++I;
    } else if (IsFormMark(C)) {
      int CW = std::max(0, FormControls.GetWidthAt(I));
      U += CW;
      if (U > Width && Cnt > 0) break;
      LineEmpty = false;
      ++Cnt;
      ++I;
    } else {
      int Run = std::min({Fonts.GetFontCountAt(I, Len), Images.GetImageCountAt(I),
                          FormControls.GetControlCountAt(I), Max - Cnt});
      if (Run <= 0) Run = 1;
      TFontObj *F = Fonts.GetFontObjAt(I);
      int Fit = F ? FindTextFit(Canvas, *F, Width - U, Run, I) : Run;
      if (Fit < Run) {
        Cnt += Fit;
        break;
      }
      if (F) U += RunWidth(Canvas, *F, I, Run);
      Cnt += Run;
      I += Run;
      LineEmpty = false;
    }
  }
  return std::min(Cnt, Max);
}

int TSection::GetClearSpace(IndentManager &IMgr, int Y) const {
  // The drop stops one pixel short of the float's bottom: a float 100 px tall that began
  // at Y moves the cleared text 99 px down.
  int D = 0;
  if (ClearAttr == 1 || ClearAttr == 3) D = std::max(D, IMgr.FloatBottom(1) - Y - 1);
  if (ClearAttr == 2 || ClearAttr == 3) D = std::max(D, IMgr.FloatBottom(2) - Y - 1);
  return std::max(0, D);
}

// ---------------------------------------------------------------- line completion

void TSection::DoDrawLogic(TCanvas &Canvas, int &Y, IndentManager &IMgr, int Start, int N,
                           std::vector<TFloatingObj *> &FloatList, int FloatHeight) {
  LineRec L;
  L.Start = Start;
  L.Ln = N;
  L.DrawY = Y;
  bool OnlyMarks = true;
  for (int K = Start; K < Start + N; ++K)
    if (!IsAnyMark(Buff[size_t(K)])) {
      OnlyMarks = false;
      break;
    }
  if (!OnlyMarks) {
    int Idx;
    Fonts.GetFontObjAt(Start, Idx);
    int Ascent = 0;
    for (int F = std::max(0, Idx); F < Fonts.Count(); ++F) {
      TFontObj *FO = Fonts[F];
      if (FO->Pos >= Start + N && F != Idx) break;
      L.LineHt = std::max(L.LineHt, FO->FontHeight);
      L.Descent = std::max(L.Descent, FO->Descent);
      Ascent = std::max(Ascent, FO->FontHeight - FO->Descent);
    }
    // A lowered subscript reaches below the other runs' descent: the line grows so that
    // the baseline stays clear of the line above.
    L.LineHt = std::max(L.LineHt, Ascent + L.Descent);
  }
  for (const auto &O : Images.Items) {
    if (O->Pos < Start || O->Pos >= Start + N || O->IsFloat()) continue;
    int H = O->ImageHeight;
    switch (O->ObjAlign) {
    case ATop: L.SpaceAfter = std::max(L.SpaceAfter, H - L.LineHt); break;
    case AMiddle: {
      int Half = (H - L.LineHt) / 2;
      L.SpaceAfter = std::max(L.SpaceAfter, Half);
      L.SpaceBefore = std::max(L.SpaceBefore, H - L.LineHt - Half);
      break;
    }
    default: L.SpaceBefore = std::max(L.SpaceBefore, H + L.Descent - L.LineHt); break;
    }
  }
  for (TFormControlObj *C : FormControls.Items) {
    if (C->Pos < Start || C->Pos >= Start + N) continue;
    int H = C->Height;
    if (C->BaseLine) L.SpaceBefore = std::max(L.SpaceBefore, H - (L.LineHt - L.Descent));
    else L.SpaceBefore = std::max(L.SpaceBefore, H - L.LineHt);
    C->YValue = Y;
  }
  int Lf = IMgr.LeftEdgeAt(Y), Rt = IMgr.RightEdgeAt(Y);
  if (Justify == 2 || Justify == 3) {
    int W = FindTextWidth(Canvas, Start, N, true);
    L.LineIndent = Justify == 2 ? std::max(Lf, (Lf + Rt - W) / 2) : Rt - W - 1;
  } else {
    L.LineIndent = Lf;
  }
  int T = L.TotalHeight();
  L.DrawHeight = std::max(T, FloatHeight);
  SectionHeight += T;
  Y += T;
  for (TFloatingObj *O : FloatList) {
    IMgr.Update(Y, *O);
    L.DrawHeight = std::max(L.DrawHeight, T + O->ImageHeight + 2 * O->VSpace);
  }
  FloatList.clear();
  Lines.push_back(L);
}

// ---------------------------------------------------------------- TSection layout

int TSection::DrawLogic(TCanvas &Canvas, int Y, IndentManager &IMgr, int &MaxWidth, int &Curs) {
  YValue = Y;
  StartCurs = Curs;
  SectionHeight = 0;
  Lines.clear();
  // A list item outside any list is indented by the smaller step.
  if (Indent == BlockLevelIndent && ListLevel == IMgr.CurrentID + 1) IMgr.ChangeRightLevel(Y, ListLevel);
  else IMgr.ChangeLeftLevel(Y, ListLevel);
  TextEdge = IMgr.LeftEdgeAt(Y);
  if (Len == 0) {
    SectionHeight = DrawHeight = GetClearSpace(IMgr, Y);
    MaxWidth = 0;
    return SectionHeight;
  }
  MaxWidth = IMgr.Width;
  int Avail = IMgr.RightEdgeAt(Y) - IMgr.LeftEdgeAt(Y);
  for (const auto &O : Images.Items) {
    if (auto *Img = dynamic_cast<TImageObj *>(O.get()))
      Img->DrawLogic(ParentSectionList, Canvas, Avail, Fonts.GetFontObjAt(Img->Pos));
    else if (auto *P = dynamic_cast<TPanelObj *>(O.get())) {
      if (P->Panel) {
        P->ImageWidth = P->Panel->Width();
        P->ImageHeight = P->Panel->Height();
      }
    }
    MaxWidth = std::max(MaxWidth, O->ImageWidth + Indent);
  }
  for (TFormControlObj *C : FormControls.Items) MaxWidth = std::max(MaxWidth, C->Width + Indent);

  bool Pre = dynamic_cast<TPreFormated *>(this) != nullptr;
  std::vector<TFloatingObj *> FloatList;
  int P = 0;
  bool First = true;
  while (P < Len) {
    if (First) {
      int D = GetClearSpace(IMgr, Y);
      if (D > 0) {
        LineRec L;
        L.Start = P;
        L.LineHt = D;
        L.DrawHeight = D;
        L.DrawY = Y;
        L.LineIndent = IMgr.LeftEdgeAt(Y);
        Lines.push_back(L);
        Y += D;
        SectionHeight += D;
      }
      First = false;
    }
    int W = Pre ? 32000 : std::max(1, IMgr.RightEdgeAt(Y) - IMgr.LeftEdgeAt(Y));
    int FloatHeight = 0;
    int Max = Len - P;
    int N = std::max(1, FindCountThatFits(Canvas, W, FloatList, FloatHeight, IMgr, Y, Max, P));
    const int NFit = N;
    if (N < Max) {
      if (Buff[size_t(P + N - 1)] == ' ') {
        while (P + N < Len && Buff[size_t(P + N)] == ' ') ++N;
      } else if (Buff[size_t(P + N)] == ImageMark || Buff[size_t(P + N)] == FormMark) {
        // the line ends before the object
      } else {
        int K = P + N - 1;
        while (K >= P && Buff[size_t(K)] != ' ' && Buff[size_t(K)] != ImageMark &&
               Buff[size_t(K)] != FormMark)
          --K;
        if (K >= P) {
          N = K - P + 1;
          // Spaces after the break stay on this line.
          while (P + N < Len && Buff[size_t(P + N)] == ' ') ++N;
        } else {
          // One word wider than the line: it goes whole, with the spaces after it.
          int E = P + N;
          while (E < Len && Buff[size_t(E)] != ' ' && Buff[size_t(E)] != ImageMark &&
                 Buff[size_t(E)] != FormMark)
            ++E;
          while (E < Len && Buff[size_t(E)] == ' ') ++E;
          N = E - P;
          MaxWidth = std::max(MaxWidth, FindTextWidth(Canvas, P, N, true) + IMgr.LeftEdgeAt(Y));
          // Floats beyond the fitted part were not seen: they follow the line.
          for (int Q = P + NFit; Q < P + N; ++Q)
            if (IsImageMark(Buff[size_t(Q)]))
              if (TFloatingObj *O = Images.FindImage(Q))
                if (O->IsFloat()) FloatList.push_back(O);
        }
      }
    }
    // Floats past the line's end are not part of it.
    FloatList.erase(std::remove_if(FloatList.begin(), FloatList.end(),
                                   [&](TFloatingObj *O) { return O->Pos >= P + N; }),
                    FloatList.end());
    DoDrawLogic(Canvas, Y, IMgr, P, N, FloatList, FloatHeight);
    P += N;
  }
  Curs = StartCurs + Len;
  if (ListLevel > 0) {
    int B = IMgr.LevelIndent();
    if (B - YValue > SectionHeight) SectionHeight = B - YValue;
  }
  DrawHeight = std::max(IMgr.LowestFloatBottom() - YValue, SectionHeight);
  return SectionHeight;
}

void TSection::MinMaxWidth(TCanvas &Canvas, int &Min, int &Max) {
  int ObjMin = 0, F = 0;
  for (const auto &O : Images.Items) {
    if (auto *Img = dynamic_cast<TImageObj *>(O.get()))
      Img->DrawLogic(ParentSectionList, Canvas, 0, Fonts.GetFontObjAt(Img->Pos));
    else if (auto *P = dynamic_cast<TPanelObj *>(O.get())) {
      if (P->Panel) {
        P->ImageWidth = P->Panel->Width();
        P->ImageHeight = P->Panel->Height();
      }
    }
    if (O->IsFloat()) F += O->ImageWidth + O->HSpace;
    else {
      auto *Img = dynamic_cast<TImageObj *>(O.get());
      if (!(Img && Img->Percent)) ObjMin = std::max(ObjMin, O->ImageWidth);
    }
  }
  for (TFormControlObj *C : FormControls.Items) ObjMin = std::max(ObjMin, C->Width);
  if (Len == 0) {
    Min = Max = 0;
    return;
  }
  Max = FindTextWidth(Canvas, 0, Len, true) + F + Indent;
  int Widest = 0;
  int I = 0;
  while (I < Len) {
    while (I < Len && Buff[size_t(I)] == ' ') ++I;
    int S = I;
    while (I < Len && Buff[size_t(I)] != ' ' && !IsImageMark(Buff[size_t(I)])) ++I;
    if (I > S) Widest = std::max(Widest, FindTextWidth(Canvas, S, I - S, false));
    if (I < Len && IsImageMark(Buff[size_t(I)])) ++I;
  }
  Min = std::max(ObjMin, Widest) + F + Indent;
  Max = std::max(Max, Min);
}

// ---------------------------------------------------------------- preformatted

int TPreFormated::DrawLogic(TCanvas &Canvas, int Y, IndentManager &IMgr, int &MaxWidth, int &Curs) {
  if (Len == 0) {
    YValue = Y;
    StartCurs = Curs;
    Lines.clear();
    IMgr.ChangeLeftLevel(Y, ListLevel);
    SectionHeight = DrawHeight = Fonts.Count() ? Fonts[0]->TheFont.Size() : 10;
    MaxWidth = 0;
    return SectionHeight;
  }
  int SaveWidth = IMgr.Width;
  IMgr.Width = 32000;
  int Dummy = 0;
  int H = TSection::DrawLogic(Canvas, Y, IMgr, Dummy, Curs);
  IMgr.Width = SaveWidth;
  int Mn, Mx;
  MinMaxWidth(Canvas, Mn, Mx);
  MaxWidth = Mx;
  return H;
}

void TPreFormated::MinMaxWidth(TCanvas &Canvas, int &Min, int &Max) {
  if (Len == 0) {
    Min = Max = Indent;
    return;
  }
  Max = FindTextWidth(Canvas, 0, Len, false) + Indent;
  Min = std::min(2000, Max);
}

// ---------------------------------------------------------------- rules

int THorzLine::DrawLogic(TCanvas &Canvas, int Y, IndentManager &IMgr, int &MaxWidth, int &Curs) {
  LfEdge = IMgr.LeftEdgeAt(Y);
  RtEdge = IMgr.RightEdgeAt(Y);
  return TSectionBase::DrawLogic(Canvas, Y, IMgr, MaxWidth, Curs);
}

// ---------------------------------------------------------------- cells

TCell::TCell(TSectionList *Master) : MasterList(Master) {}

TCell::TCell(TSectionList *Master, const TCell &Source)
    : MasterList(Master), BkColor(Source.BkColor),
      BkGnd(Source.BkGnd) {
  for (const auto &S : Source) FItems.push_back(S->CreateCopy(Master));
}

TCell::~TCell() = default;

void TCell::Add(std::unique_ptr<TSectionBase> Section) {
  if (!Section) return;
  Section->SetParent(MasterList);
  FItems.push_back(std::move(Section));
}

int TCell::DrawLogic(TCanvas &Canvas, int Y, IndentManager &AIMgr, int &MaxWidth, int &Curs) {
  StartCurs = Curs;
  int Y0 = Y, Sum = 0;
  MaxWidth = 0;
  for (auto &S : FItems) {
    int MW = 0;
    int H = 0;
    try {
      H = S->DrawLogic(Canvas, Y, AIMgr, MW, Curs);
    } catch (const EProcessError &E) {
      // The section leaves the page (it stays allocated, so that names, links and
      // pictures that point into it stay valid) and the rest is laid out.
      if (auto *T = dynamic_cast<ThtmlTable *>(S.get())) T->Dropped = true;
      S->SectionHeight = S->DrawHeight = 0;
      S->Len = 0;
      if (MasterList && MasterList->Host) MasterList->Host->ShowLayoutError(E.what());
      H = 0;
      MW = 0;
    }
    Y += H;
    Sum += H;
    MaxWidth = std::max(MaxWidth, MW);
  }
  Len = Curs - StartCurs;
  ContentHeight = std::max(Sum, AIMgr.LowestFloatBottom() - Y0);
  return ContentHeight;
}

uint32_t TCell::CurrentPass() const {
  return MasterList && MasterList->InLayout ? MasterList->LayoutPass : 0;
}

void TCell::MinMaxWidth(TCanvas &Canvas, int &Min, int &Max) {
  // A table asks its cells at every level it is laid out from; within one layout pass
  // the answer does not change.
  const uint32_t Pass = CurrentPass();
  if (Pass != 0 && MinMaxPass == Pass) {
    Min = CachedMin;
    Max = CachedMax;
    return;
  }
  Min = Max = 0;
  for (auto &S : FItems) {
    int Mn = 0, Mx = 0;
    S->MinMaxWidth(Canvas, Mn, Mx);
    Min = std::max(Min, Mn);
    Max = std::max(Max, Mx);
  }
  MinMaxPass = Pass;
  CachedMin = Min;
  CachedMax = Max;
}
