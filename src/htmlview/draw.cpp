// Drawing paragraphs and rules at the scroll offset, hit tests, cursor positions and the
// copy of the selection.
#include <algorithm>

#include "htmlview/cell.h"
#include "htmlview/doc_images.h"
#include "htmlview/form_controls.h"
#include "htmlview/map_items.h"
#include "htmlview/section_list.h"
#include "htmlview/sections.h"
#include "htmlview/selection_buffers.h"
#include "htmlview/tables.h"
#include "htmlview/text_measure.h"
#include "platform/numbers.h"

namespace {

bool IsImageMark(char C) { return C == ImageMark || C == ImageMarkNoBrk; }
bool IsFormMark(char C) { return C == FormMark || C == FormMarkNoBrk; }

const char *const LowRoman[20] = {"i",   "ii",   "iii",  "iv",  "v",   "vi",  "vii",
                                  "viii", "ix",  "x",    "xi",  "xii", "xiii", "xiv",
                                  "xv",  "xvi",  "xvii", "xviii", "xix", "xx"};

bool LightBackground(TColor Bk) {
  TColor C = ColorToRGB(Bk);
  return Bk == clBtnFace || C == clWhite || C == clSilver || (Bk == clWindow && C == clWhite);
}

// Printed text: near-white text would vanish on the white paper (unless the table
// backgrounds it stands on are printed too), and a two-colour device would lose any
// coloured text; the test looks at red and green only.
TColor PrintedTextColor(TColor Color, int DeviceColors, bool TableBackgrounds) {
  if (DeviceColors < 3) return clBlack;
  if (!TableBackgrounds && (ColorToRGB(Color) & 0xE0E0) > 0xE0DF) return TColor(0xA0A0A0);
  return Color;
}

} // namespace

// ---------------------------------------------------------------- list markers

std::string TSection::ListMarkerText() const {
  if (ListType != 1) return "";
  const auto *O = static_cast<const TOListItem *>(this);
  int N = O->ListNumb;
  std::string T;
  switch (O->ListStyle) {
  case 'a':
  case 'A': {
    // Numbers below 1 have no letter: they show as numbers.
    if (N < 1) T = std::to_string(N);
    else T = std::string(1, char((O->ListStyle == 'a' ? 'a' : 'A') + std::min(N - 1, 25)));
    break;
  }
  case 'i':
  case 'I': {
    if (N < 1) T = std::to_string(N);
    else {
      T = LowRoman[std::min(N, 20) - 1];
      if (O->ListStyle == 'I')
        for (char &C : T) C = char(C - 32);
    }
    break;
  }
  default: T = std::to_string(N); break;
  }
  return T + ".";
}

void TSection::DrawListMarker(TCanvas &Canvas, const LineRec &, int X, int BaseY, int LineTop) {
  TSectionList *L = ParentSectionList;
  int YOff = L ? L->YOff : 0;
  if (ListType == 1) {
    std::string T = ListMarkerText();
    Canvas.Font() = SectionFont;
    std::u16string U = L ? L->Decode(T) : DecodeText(T);
    int W = Canvas.TextWidth(U);
    unsigned SaveAlign = Canvas.TextAlign();
    Canvas.SetTextAlign(TA_BASELINE);
    Canvas.SetBkMode(bkTransparent);
    Canvas.TextOut(X + TextEdge - 5 - W, BaseY - YOff, U);
    Canvas.SetTextAlign(SaveAlign);
  } else if (ListType == 2 && !static_cast<const TUListItem *>(this)->Plain) {
    int XB = X + TextEdge - 8;
    // Half the item font's height above the bottom of its text, measured from the
    // baseline so that a taller run (a subscript) in the line does not move it.
    const TTextMetric &TM =
        FontWidths(Canvas, SectionFont, L ? L->CodePage : TCodePage::Windows1252).Metrics;
    int YB = BaseY + TM.tmDescent - (TM.tmHeight + TM.tmExternalLeading) / 2 - YOff;
    (void)LineTop;
    TPen SavePen = Canvas.Pen();
    TBrush SaveBrush = Canvas.Brush();
    if (!L || LightBackground(L->Background)) {
      static const TColor Colors[3] = {clRed, clNavy, clMaroon};
      if (ListLevel <= 5) {
        TColor C = Colors[ListLevel % 3];
        Canvas.Pen().Color = C;
        Canvas.Pen().Style = psSolid;
        Canvas.Brush().Color = C;
        Canvas.Brush().Style = bsSolid;
      }
    } else {
      Canvas.Pen().Color = SectionFont.Color;
      Canvas.Brush().Style = bsClear;
    }
    Canvas.Ellipse(XB - 2, YB - 2, XB + 3, YB + 3);
    Canvas.Pen() = SavePen;
    Canvas.Brush() = SaveBrush;
  }
}

// ---------------------------------------------------------------- drawing text

void TSection::DrawTheText(TCanvas &Canvas, const TRect &ARect, IndentManager &, LineRec &Line,
                           int X, int BaseY, int LineTop) {
  TSectionList *L = ParentSectionList;
  int YOff = L ? L->YOff : 0;
  int CX = X + Line.LineIndent;
  Line.DrawX = CX;
  int I = Line.Start, End = Line.Start + Line.Ln;
  unsigned SaveAlign = Canvas.TextAlign();
  Canvas.SetTextAlign(TA_BASELINE);
  while (I < End) {
    char C = Buff[size_t(I)];
    if (IsImageMark(C)) {
      TFloatingObj *O = Images.FindImage(I);
      if (O) {
        if (O->IsFloat()) {
          O->DrawX = X + O->Indent;
          O->DrawY = O->FloatTop + O->VSpace;
        } else {
          O->DrawX = CX + O->HSpace;
          int H = O->ImageHeight;
          int TextTop = LineTop + Line.SpaceBefore;
          int Top;
          if (O->ObjAlign == ATop) Top = TextTop;
          else if (O->ObjAlign == AMiddle) Top = TextTop - (H - Line.LineHt - (H - Line.LineHt) / 2);
          else Top = BaseY - H;
          O->DrawY = std::max(LineTop, Top);
          CX += O->ImageWidth + 2 * O->HSpace;
        }
        if (O->DrawY - YOff < ARect.Bottom && O->DrawY + O->ImageHeight - YOff > ARect.Top)
          O->DrawObj(Canvas, O->DrawX, O->DrawY - YOff);
        O->Drawn = true;
        Canvas.SetTextAlign(TA_BASELINE);
      }
      ++I;
      continue;
    }
    if (IsFormMark(C)) {
      if (TFormControlObj *FC = FormControls.FindControl(I)) {
        int Top = FC->BaseLine ? BaseY - FC->Height
                               : LineTop + Line.SpaceBefore + Line.LineHt - FC->Height;
        if (FC->TheControl && L && !L->Printing) {
          // The window control draws itself; it is moved there after the pass.
          FC->ShowIt = true;
          FC->DrawX = CX;
          FC->DrawY = Top - YOff;
        } else {
          if (!L || !L->Printing) FC->ShowIt = true;
          FC->Draw(Canvas, CX, Top - YOff);
        }
        Canvas.SetTextAlign(TA_BASELINE);
        CX += FC->Width;
      }
      ++I;
      continue;
    }
    int SelCount = 32000;
    bool Sel = L ? L->IsInSelection(StartCurs + I, SelCount) : false;
    int Cnt = std::min({Fonts.GetFontCountAt(I, Len), Images.GetImageCountAt(I),
                        FormControls.GetControlCountAt(I), End - I, std::max(1, SelCount)});
    if (Cnt <= 0) Cnt = 1;
    TFontObj *F = Fonts.GetFontObjAt(I);
    if (!F) break;
    Canvas.Font() = F->TheFont;
    // Measured as layout measures: a run as long as a page (one long word) costs an
    // addition a character, not a trip through the font engine.
    int W = RunWidth(Canvas, *F, I, Cnt);
    int Y = BaseY;
    if (F->SScript == TScript::Sup) Y -= F->ScriptShift;
    else if (F->SScript == TScript::Sub) Y += F->ScriptShift;
    if (CX < ARect.Right && CX + W > ARect.Left) {
      // Of a run reaching far beyond the area only the characters near it are drawn, each
      // where it stands in the run; the margin leaves room for glyphs that overhang.
      const TFontWidths &FW = F->Widths(Canvas);
      const int Margin = std::max(64, 2 * F->FontHeight);
      int From = I, To = I + Cnt, DX = CX;
      while (From < To && DX + FW.Advance[uint8_t(Buff[size_t(From)])] < ARect.Left - Margin)
        DX += FW.Advance[uint8_t(Buff[size_t(From++)])];
      int EX = DX, Stop = From;
      while (Stop < To && EX <= ARect.Right + Margin)
        EX += FW.Advance[uint8_t(Buff[size_t(Stop++)])];
      std::string_view S(Buff.data() + From, size_t(Stop - From));
      std::u16string U = L ? L->Decode(S) : DecodeText(S);
      for (char16_t &Ch : U)
        if (Ch == 0xA0) Ch = ' ';
      if (Sel) {
        Canvas.SetBkMode(bkOpaque);
        Canvas.SetBkColor(F->TheFont.Color);
        Canvas.Font().Color = L ? L->Background : clWhite;
      } else {
        Canvas.SetBkMode(bkTransparent);
        if (L && L->Printing)
          Canvas.Font().Color =
              PrintedTextColor(F->TheFont.Color, Canvas.NumColors(), L->PrintTableBackground);
      }
      Canvas.TextOut(DX, Y - YOff, U);
      Canvas.SetBkMode(bkTransparent);
    }
    CX += W;
    I += Cnt;
  }
  Canvas.SetTextAlign(SaveAlign);
}

int TSection::Draw(TCanvas &Canvas, const TRect &ARect, IndentManager &IMgr, int X, int Y) {
  TSectionList *L = ParentSectionList;
  int YOff = L ? L->YOff : 0;
  Y = YValue;
  if (Len == 0 || YValue - YOff > ARect.Bottom || YValue - YOff + DrawHeight < ARect.Top)
    return YValue + SectionHeight;
  int LY = Y;
  for (size_t K = 0; K < Lines.size(); ++K) {
    LineRec &Line = Lines[K];
    int Top = LY;
    int BaseY = Top + Line.SpaceBefore + Line.LineHt - Line.Descent;
    if (L && L->Printing && Top + Line.DrawHeight > L->PageBottom) {
      if (Line.DrawHeight < L->PageHeight()) {
        if (Top < L->PageBottom) L->PageBottom = Top;
        break;
      }
    }
    if (Top - YOff < ARect.Bottom && Top - YOff + Line.DrawHeight >= ARect.Top) {
      if (K == 0 || (K == 1 && Lines[0].Ln == 0)) DrawListMarker(Canvas, Line, X, BaseY, Top);
      DrawTheText(Canvas, ARect, IMgr, Line, X, BaseY, Top);
    } else {
      Line.DrawX = X + Line.LineIndent;
    }
    LY += Line.TotalHeight();
  }
  return YValue + SectionHeight;
}

// ---------------------------------------------------------------- rules and breaks

int THorzLine::Draw(TCanvas &Canvas, const TRect &ARect, IndentManager &, int X, int Y) {
  TSectionList *L = ParentSectionList;
  int YOff = L ? L->YOff : 0;
  Y = YValue;
  int Top = Y - YOff + (SectionHeight - VSize) / 2;
  if (Top > ARect.Bottom || Top + VSize < ARect.Top) return Y + SectionHeight;
  if (L && L->Printing && Y + SectionHeight > L->PageBottom) return Y + SectionHeight;
  int XL, XR;
  int Span = RtEdge - LfEdge;
  if (HRWidth < 0) {
    XL = X + LfEdge + 10;
    XR = X + RtEdge - 10;
  } else {
    int W = Percent ? MulDiv(Span, HRWidth, 100) : HRWidth;
    if (Align == 1) XL = X + LfEdge;
    else if (Align == 3) XL = X + RtEdge - W;
    else XL = X + LfEdge + (Span - W) / 2;
    XR = XL + W;
  }
  TPen SavePen = Canvas.Pen();
  TBrush SaveBrush = Canvas.Brush();
  if (HasColor) {
    Canvas.Brush().Color = Color;
    Canvas.Brush().Style = bsSolid;
    Canvas.FillRect(TRect(XL, Top, XR, Top + VSize));
  } else {
    bool Black = NoShade;
    TColor Light = clBtnHighlight;
    TColor Bk = L ? L->Background : clWhite;
    if ((L && L->Printing) || ColorToRGB(Bk) == clWhite) Light = clSilver;
    Canvas.Pen().Style = psSolid;
    Canvas.Pen().Width = 1;
    Canvas.Pen().Color = Black ? clBlack : clBtnShadow;
    Canvas.MoveTo(XR - 1, Top);
    Canvas.LineTo(XL, Top);
    Canvas.LineTo(XL, Top + VSize);
    Canvas.Pen().Color = Black ? clBlack : Light;
    Canvas.MoveTo(XL, Top + VSize - 1);
    Canvas.LineTo(XR - 1, Top + VSize - 1);
    Canvas.LineTo(XR - 1, Top - 1);
  }
  Canvas.Pen() = SavePen;
  Canvas.Brush() = SaveBrush;
  return Y + SectionHeight;
}

int TPage::Draw(TCanvas &, const TRect &ARect, IndentManager &, int, int Y) {
  TSectionList *L = ParentSectionList;
  Y = YValue;
  if (L && L->Printing) {
    int SY = Y - L->YOff;
    if (SY > ARect.Top + 5 && SY < ARect.Bottom && Y < L->PageBottom) L->PageBottom = Y;
  }
  return Y + SectionHeight;
}

// ---------------------------------------------------------------- cells

int TCell::Draw(TCanvas &Canvas, const TRect &ARect, int, int X, int Y) {
  int YOff = MasterList ? MasterList->YOff : 0;
  // Pictures drawn from here on stand in this cell (nested tables set their own).
  struct TDrawingCell {
    TSectionList *L;
    TCell *Was;
    TDrawingCell(TSectionList *A, TCell *C) : L(A), Was(A ? A->DrawingCell : nullptr) {
      if (L) L->DrawingCell = C;
    }
    ~TDrawingCell() {
      if (L) L->DrawingCell = Was;
    }
  } Drawing(MasterList, this);
  for (auto &S : FItems) {
    int Top = S->YValue - YOff;
    if (Top < ARect.Bottom && Top + S->DrawHeight >= ARect.Top) S->Draw(Canvas, ARect, IMgr, X, S->YValue);
    Y = S->YValue + S->SectionHeight;
  }
  return Y;
}

TSectionBase *TCell::FindSectionAtY(int Y, int &Index) const {
  for (int I = 0; I < Count(); ++I) {
    TSectionBase *S = Items(I);
    if (Y >= S->YValue && Y < S->YValue + std::max(S->DrawHeight, S->SectionHeight)) {
      Index = I;
      return S;
    }
  }
  Index = -1;
  return nullptr;
}

bool TCell::GetURL(TCanvas &Canvas, int X, int Y, TUrlTarget &UrlTarget,
                   TFormControlObj *&FormControl) {
  for (auto &S : FItems)
    if (Y >= S->YValue && Y < S->YValue + std::max(S->DrawHeight, S->SectionHeight))
      if (S->GetURL(Canvas, X, Y, UrlTarget, FormControl)) return true;
  return false;
}

bool TCell::PtInObject(int X, int Y, TFloatingObj *&Obj, int &IX, int &IY) {
  for (auto &S : FItems)
    if (Y >= S->YValue && Y < S->YValue + std::max(S->DrawHeight, S->SectionHeight))
      if (S->PtInObject(X, Y, Obj, IX, IY)) return true;
  return false;
}

int TCell::FindCursor(TCanvas &Canvas, int X, int Y, int &XR, int &YR, int &CaretHeight,
                      bool &InText) {
  for (auto &S : FItems)
    if (Y >= S->YValue && Y < S->YValue + std::max(S->SectionHeight, 1)) {
      int P = S->FindCursor(Canvas, X, Y, XR, YR, CaretHeight, InText);
      if (P >= 0) return P;
    }
  return -1;
}

int TCell::FindString(int From, const std::string &ToFind, bool MatchCase) {
  for (auto &S : FItems) {
    int P = S->FindString(From, ToFind, MatchCase);
    if (P >= 0) return P;
  }
  return -1;
}

int TCell::FindSourcePos(int DocPos) {
  for (auto &S : FItems) {
    int P = S->FindSourcePos(DocPos);
    if (P >= 0) return P;
  }
  return -1;
}

int TCell::FindDocPos(int SourcePos, bool Prev) {
  if (Prev) {
    for (int I = Count() - 1; I >= 0; --I) {
      int P = Items(I)->FindDocPos(SourcePos, true);
      if (P >= 0) return P;
    }
  } else {
    for (auto &S : FItems) {
      int P = S->FindDocPos(SourcePos, false);
      if (P >= 0) return P;
    }
  }
  return -1;
}

bool TCell::CursorToXY(TCanvas &Canvas, int Cursor, int &X, int &Y) {
  for (auto &S : FItems)
    if (S->CursorToXY(Canvas, Cursor, X, Y)) return true;
  return false;
}

bool TCell::GetChAtPos(int Pos, char &Ch, TSectionBase *&Obj) {
  if (Pos < StartCurs || Pos > StartCurs + Len) return false;
  for (auto &S : FItems)
    if (S->GetChAtPos(Pos, Ch, Obj)) return true;
  return false;
}

void TCell::UpdateFonts() {
  for (auto &S : FItems) S->UpdateFonts();
}

void TCell::CopyToClipboard(SelTextCount &Buffer) {
  if (!MasterList) return;
  int SB = MasterList->SelB, SE = MasterList->SelE;
  for (auto &S : FItems) {
    if (S->StartCurs >= SE) break;
    // A gap or rule counts only between selected characters.
    if (S->Len == 0 ? S->StartCurs <= SB : S->StartCurs + S->Len <= SB) continue;
    S->CopyToClipboard(Buffer);
  }
}

// ---------------------------------------------------------------- hit tests

int TSection::LineAtY(int Y) const {
  int LY = YValue;
  for (size_t K = 0; K < Lines.size(); ++K) {
    int H = Lines[K].TotalHeight();
    if (Y >= LY && Y < LY + H) return int(K);
    LY += H;
  }
  return -1;
}

// Characters of a line that fit in Width from its start, and their width.
static int CharsInWidth(TSection &S, TCanvas &Canvas, const LineRec &Line, int Width, int &Used) {
  Used = 0;
  int I = Line.Start, End = Line.Start + Line.Ln, N = 0;
  while (I < End) {
    char C = S.Buff[size_t(I)];
    int W;
    if (IsImageMark(C)) {
      TFloatingObj *O = S.Images.FindImage(I);
      W = O && !O->IsFloat() ? O->ImageWidth + 2 * O->HSpace : 0;
    } else if (IsFormMark(C)) {
      W = std::max(0, S.FormControls.GetWidthAt(I));
    } else {
      int Cnt = std::min({S.Fonts.GetFontCountAt(I, S.Len), S.Images.GetImageCountAt(I),
                          S.FormControls.GetControlCountAt(I), End - I});
      if (Cnt <= 0) Cnt = 1;
      TFontObj *F = S.Fonts.GetFontObjAt(I);
      int Fit = F ? S.FindTextFit(Canvas, *F, Width - Used, Cnt, I) : Cnt;
      if (F) Used += S.RunWidth(Canvas, *F, I, Fit);
      N += Fit;
      if (Fit < Cnt) return N;
      I += Cnt;
      continue;
    }
    if (Used + W > Width) return N;
    Used += W;
    ++N;
    ++I;
  }
  return N;
}

bool TSection::GetURL(TCanvas &Canvas, int X, int Y, TUrlTarget &UrlTarget,
                      TFormControlObj *&FormControl) {
  TSectionList *L = ParentSectionList;
  FormControl = nullptr;
  for (const auto &O : Images.Items) {
    auto *Img = dynamic_cast<TImageObj *>(O.get());
    if (!Img || !Img->Drawn) continue;
    int IX = X - Img->DrawX, IY = Y - Img->DrawY;
    int W = Img->ImageWidth - (Img->HasBorder ? 2 : 0);
    int H = Img->ImageHeight - (Img->HasBorder ? 2 : 0);
    if (IX < 0 || IY < 0 || IX >= W || IY >= H) continue;
    if (L) L->ActiveImage = Img;
    if (Img->MyFormControl) {
      // Only a click keeps the point: hovering must not add one to a later submission.
      Img->MyFormControl->HitX = IX;
      Img->MyFormControl->HitY = IY;
      FormControl = Img->MyFormControl;
      return true;
    }
    if (Img->UseMap && L) {
      for (const auto &M : L->MapList)
        if (M->MapName == Img->MapName) {
          std::unique_ptr<TUrlTarget> T;
          if (M->HitTest(IX, IY, T) && T) {
            UrlTarget.Copy(*T);
            return true;
          }
          return false;
        }
    }
    TFontObj *F = Fonts.GetFontObjAt(Img->Pos);
    if (F && F->HasUrl()) {
      UrlTarget.Copy(F->UrlTarget());
      if (Img->IsMap) {
        UrlTarget.Url += '?';
        UrlTarget.Url += std::to_string(IX);
        UrlTarget.Url += ',';
        UrlTarget.Url += std::to_string(IY);
      }
      return true;
    }
    return false;
  }
  int K = LineAtY(Y);
  if (K < 0) return false;
  const LineRec &Line = Lines[size_t(K)];
  if (X < Line.DrawX) return false;
  int Used;
  int N = CharsInWidth(*this, Canvas, Line, X - Line.DrawX, Used);
  if (N >= Line.Ln) return false;
  int P = Line.Start + N;
  char C = Buff[size_t(P)];
  if (IsImageMark(C)) return false;
  TFontObj *F = Fonts.GetFontObjAt(P);
  if (F && F->HasUrl()) {
    UrlTarget.Copy(F->UrlTarget());
    if (L) L->ActiveLink = F;
    return true;
  }
  return false;
}

bool TSection::PtInObject(int X, int Y, TFloatingObj *&Obj, int &IX, int &IY) {
  for (const auto &O : Images.Items) {
    if (!O->Drawn) continue;
    int DX = X - O->DrawX, DY = Y - O->DrawY;
    if (DX >= 0 && DY >= 0 && DX < O->ImageWidth && DY < O->ImageHeight) {
      Obj = O.get();
      IX = DX;
      IY = DY;
      return true;
    }
  }
  return false;
}

int TSection::FindCursor(TCanvas &Canvas, int X, int Y, int &XR, int &YR, int &CaretHeight,
                         bool &InText) {
  int K = LineAtY(Y);
  if (K < 0) return -1;
  const LineRec &Line = Lines[size_t(K)];
  InText = true;
  CaretHeight = Line.LineHt;
  int Top = YValue;
  for (int J = 0; J < K; ++J) Top += Lines[size_t(J)].TotalHeight();
  YR = Top + Line.SpaceBefore;
  int Above = Line.Start;
  if (X < Line.DrawX) {
    XR = Line.DrawX;
    InText = false;
    return StartCurs + Above;
  }
  int Used;
  int N = CharsInWidth(*this, Canvas, Line, X - Line.DrawX, Used);
  XR = Line.DrawX + Used;
  if (N < Line.Ln) {
    int Used2;
    LineRec One = Line;
    One.Start = Line.Start + N;
    One.Ln = 1;
    CharsInWidth(*this, Canvas, One, 0x3FFFFFFF, Used2);
    if (X - XR > Used2 / 2) {
      ++N;
      XR += Used2;
    }
  }
  if (N >= Line.Ln) InText = false;
  return StartCurs + Above + N;
}

bool TSection::CursorToXY(TCanvas &Canvas, int Cursor, int &X, int &Y) {
  if (Len == 0 || Cursor < StartCurs || Cursor > StartCurs + Len) return false;
  int P = Cursor - StartCurs;
  int Top = YValue;
  for (size_t K = 0; K < Lines.size(); ++K) {
    const LineRec &Line = Lines[K];
    bool Last = K + 1 == Lines.size();
    if (P >= Line.Start && (P < Line.Start + Line.Ln || (Last && P == Line.Start + Line.Ln))) {
      Y = Top;
      LineRec Part = Line;
      Part.Ln = P - Line.Start;
      int Used;
      CharsInWidth(*this, Canvas, Part, 0x3FFFFFFF, Used);
      X = Line.DrawX + Used;
      return true;
    }
    Top += Line.TotalHeight();
  }
  return false;
}

// ---------------------------------------------------------------- copying

void TSection::CopyToClipboard(SelTextCount &Buffer) {
  TSectionList *L = ParentSectionList;
  if (!L || Len == 0) return;
  int SB = L->SelB, SE = L->SelE;
  for (const LineRec &Line : Lines) {
    if (Line.Ln == 0) continue;
    int LS = StartCurs + Line.Start, LE = LS + Line.Ln;
    if (LE <= SB || LS >= SE) continue;
    if (SB <= LS) {
      std::string Sp(size_t(3 * std::max(0, Line.LineIndent / ListIndent)), ' ');
      if (!Sp.empty()) Buffer.AddText(Sp.data(), int(Sp.size()));
    }
    int A = std::max(SB, LS), B = std::min(SE, LE);
    Buffer.AddText(Buff.data() + (A - StartCurs), B - A);
    if (SE >= LE) Buffer.AddText("\r\n", 2);
  }
}

void TParagraphSpace::CopyToClipboard(SelTextCount &Buffer) { Buffer.AddText("\r\n", 2); }
void THeadingSpace::CopyToClipboard(SelTextCount &Buffer) { Buffer.AddText("\r\n", 2); }
void THorzLine::CopyToClipboard(SelTextCount &Buffer) { Buffer.AddText("\r\n", 2); }
