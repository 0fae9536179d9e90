// Building and querying paragraphs and block sections.
#include "htmlview/sections.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "htmlview/cell.h"
#include "htmlview/doc_images.h"
#include "htmlview/form_controls.h"
#include "htmlview/html_utils.h"
#include "htmlview/section_list.h"
#include "htmlview/text_measure.h"
#include "htmlview/tokenizer.h"
#include "platform/numbers.h"

namespace {

// Metrics are read on a canvas that draws nowhere; fonts measure the same everywhere.
TCanvas &MeasureCanvas() {
  static TCanvas C;
  return C;
}

// The metrics of a run's font. A page sets its runs in a handful of fonts again and
// again, so the last tables found are kept at hand, each under a number made of the
// fields that tell fonts apart; the name is compared only when the numbers agree.
// That spares a lookup in the shared table store for each of thousands of runs.
uint64_t FontKey(const TFont &F, TCodePage Page, int Dpi) {
  uint64_t K = uint64_t(uint32_t(F.Height)) * 0x9E3779B97F4A7C15ull;
  K ^= (uint64_t(F.Style) << 1) ^ (uint64_t(F.Pitch) << 9) ^ (uint64_t(uint32_t(F.Charset)) << 17);
  K ^= (uint64_t(uint32_t(F.PixelsPerInch)) << 27) ^ (uint64_t(Page) << 41) ^
       (uint64_t(uint32_t(Dpi)) << 47) ^ (uint64_t(F.Name.size()) << 58);
  return K;
}

const TTextMetric &RunMetrics(const TFont &F, TCodePage Page) {
  struct TRecent {
    uint64_t Key = 0;
    TFont Font;
    TCodePage Page = TCodePage::Windows1252;
    int Dpi = 0;
    int Generation = -1;
    const TFontWidths *W = nullptr;
  };
  // Headings, scripts, emphasis and fixed text make a dozen or more fonts on a page: the
  // tables are kept in sets of four chosen by the number, so a look-up makes at most four
  // comparisons, and two fonts of one set do not push each other out.
  constexpr size_t Ways = 4, Sets = 16;
  static std::array<TRecent, Ways * Sets> Recent;
  static std::array<uint8_t, Sets> NextWay{};
  TCanvas &C = MeasureCanvas();
  const int Dpi = C.PixelsPerInchY();
  const int Generation = FontWidthsGeneration();
  const uint64_t Key = FontKey(F, Page, Dpi);
  const size_t Set = (Key ^ (Key >> 29) ^ (Key >> 47)) % Sets;
  for (size_t I = Set * Ways; I < Set * Ways + Ways; ++I) {
    const TRecent &R = Recent[I];
    if (R.Key == Key && R.W && R.Generation == Generation && R.Page == Page && R.Dpi == Dpi &&
        R.Font.Height == F.Height && R.Font.Style == F.Style && R.Font.Pitch == F.Pitch &&
        R.Font.Charset == F.Charset && R.Font.PixelsPerInch == F.PixelsPerInch &&
        R.Font.Name == F.Name)
      return R.W->Metrics;
  }
  const TFontWidths &W = FontWidths(C, F, Page);
  Recent[Set * Ways + NextWay[Set]] = TRecent{Key, F, Page, Dpi, FontWidthsGeneration(), &W};
  NextWay[Set] = uint8_t((NextWay[Set] + 1) % Ways);
  return W.Metrics;
}

} // namespace

// ---------------------------------------------------------------- TSectionBase

TSectionBase::TSectionBase(TSectionList *List, const TSectionBase &Source)
    : ParentSectionList(List), SectionHeight(Source.SectionHeight),
      DrawHeight(Source.DrawHeight), YValue(Source.YValue), StartCurs(Source.StartCurs),
      Len(Source.Len) {}

TSectionBase::~TSectionBase() = default;

std::unique_ptr<TSectionBase> TSectionBase::CreateCopy(TSectionList *NewList) const {
  auto P = std::make_unique<TSectionBase>(NewList);
  P->SectionHeight = SectionHeight;
  return P;
}
void TSectionBase::CopyToClipboard(SelTextCount &) {}
int TSectionBase::DrawLogic(TCanvas &, int Y, IndentManager &IMgr, int &MaxWidth, int &Curs) {
  YValue = Y;
  StartCurs = Curs;
  DrawHeight = SectionHeight;
  MaxWidth = IMgr.Width;
  return SectionHeight;
}
int TSectionBase::Draw(TCanvas &, const TRect &, IndentManager &, int, int Y) {
  YValue = Y;
  return Y + SectionHeight;
}
bool TSectionBase::GetURL(TCanvas &, int, int, TUrlTarget &, TFormControlObj *&) { return false; }
bool TSectionBase::PtInObject(int, int, TFloatingObj *&, int &, int &) { return false; }
int TSectionBase::FindCursor(TCanvas &, int, int, int &, int &, int &, bool &) { return -1; }
int TSectionBase::FindString(int, const std::string &, bool) { return -1; }
int TSectionBase::FindSourcePos(int) { return -1; }
int TSectionBase::FindDocPos(int, bool) { return -1; }
bool TSectionBase::CursorToXY(TCanvas &, int, int &, int &) { return false; }
bool TSectionBase::GetChAtPos(int, char &, TSectionBase *&) { return false; }
void TSectionBase::UpdateFonts() { UpdateSpacing(); }
void TSectionBase::UpdateSpacing() {}
void TSectionBase::MinMaxWidth(TCanvas &, int &Min, int &Max) { Min = Max = 0; }

void TSectionBase::SetParent(TSectionList *List) {
  ParentSectionList = List;
  UpdateSpacing();
}

// ---------------------------------------------------------------- TFontObj

namespace {
// Runs leave the list mostly right after joining it (a link closing, a document torn
// down from its end), so the search runs from the back.
void UnlistLink(std::vector<TFontObj *> &Links, const TFontObj *F) {
  for (size_t K = Links.size(); K-- > 0;)
    if (Links[K] == F) {
      Links.erase(Links.begin() + long(K));
      return;
    }
}
} // namespace

TFontObj::TFontObj(TSection *ASection, TMyFont Font, int APos, TScript Script)
    : Section(ASection), Pos(APos), TheFont(std::move(Font)), SScript(Script) {
  FontChanged();
}

TFontObj::TFontObj(TSection *ASection, const TFontObj &Source)
    : Section(ASection), Pos(Source.Pos), TheFont(Source.TheFont), Visited(Source.Visited),
      Hover(Source.Hover), SScript(Source.SScript) {
  if (Source.FLink) SetUrlTarget(*Source.FLink);
  FontChanged();
}

const TUrlTarget TFontObj::NoLink;

void TFontObj::SetUrlTarget(const TUrlTarget &Link) {
  if (!FLink) FLink = std::make_unique<TUrlTarget>();
  FLink->Copy(Link);
}

TFontObj::~TFontObj() {
  if (Section && Section->ParentSectionList) {
    TSectionList *L = Section->ParentSectionList;
    if (L->ActiveLink == this) L->ActiveLink = nullptr;
    if (HasUrl()) UnlistLink(L->LinkList, this);
  }
}

const TFontWidths &TFontObj::Widths(TCanvas &Canvas) const {
  TSectionList *L = Section ? Section->ParentSectionList : nullptr;
  int Page = int(L ? L->CodePage : TCodePage::Windows1252);
  int Dpi = Canvas.PixelsPerInchY();
  if (!FWidths || FWidthsDpi != Dpi || FWidthsPage != Page ||
      FWidthsGeneration != FontWidthsGeneration()) {
    FWidths = &FontWidths(Canvas, TheFont, TCodePage(Page));
    FWidthsGeneration = FontWidthsGeneration();
    FWidthsDpi = Dpi;
    FWidthsPage = Page;
  }
  return *FWidths;
}

void TFontObj::FontChanged() {
  FWidths = nullptr;
  TSectionList *L = Section ? Section->ParentSectionList : nullptr;
  const TTextMetric &TM =
      RunMetrics(TheFont, L ? L->CodePage : TCodePage::Windows1252);
  tmHeight = TM.tmHeight;
  FontHeight = TM.tmHeight + TM.tmExternalLeading;
  Overhang = TM.tmOverhang;
  Descent = TM.tmDescent;
  // Formulas read as formulas only when the small script text leaves the baseline:
  // superscripts rise by about a third of the normal text height, subscripts drop by a
  // quarter (the script font is three quarters of the normal one).
  ScriptShift = 0;
  if (SScript == TScript::Sup) {
    ScriptShift = (TM.tmHeight * 4) / 9;
    FontHeight += ScriptShift;
  } else if (SScript == TScript::Sub) {
    ScriptShift = TM.tmHeight / 3;
    FontHeight += ScriptShift;
    Descent += ScriptShift;
  }
}

void TFontObj::UpdateLinkColor() {
  TSectionList *L = Section ? Section->ParentSectionList : nullptr;
  if (!L || !HasUrl()) return;
  TColor C = Hover ? L->LinkActiveColor : Visited ? L->LinkVisitedColor : L->HotSpotColor;
  TheFont.Color = C | 0x2000000;
  FontChanged();
}

void TFontObj::SetVisited(bool Value) {
  if (Value == Visited) return;
  Visited = Value;
  UpdateLinkColor();
}

void TFontObj::SetHover(bool Value) {
  if (Value == Hover) return;
  Hover = Value;
  UpdateLinkColor();
}

// ---------------------------------------------------------------- TFontList

TFontObj *TFontList::GetFontObjAt(int Pos, int &Index) const {
  Index = -1;
  for (int I = Count() - 1; I >= 0; --I)
    if (Items[size_t(I)]->Pos <= Pos) {
      Index = I;
      return Items[size_t(I)].get();
    }
  if (!Items.empty()) {
    Index = 0;
    return Items[0].get();
  }
  return nullptr;
}

TMyFont *TFontList::GetFontAt(int Pos, int &Overhang) const {
  TFontObj *F = GetFontObjAt(Pos);
  Overhang = F ? F->Overhang : 0;
  return F ? &F->TheFont : nullptr;
}

int TFontList::GetFontCountAt(int Pos, int Leng) const {
  for (const auto &F : Items)
    if (F->Pos > Pos) return F->Pos - Pos;
  return Leng - Pos;
}

// ---------------------------------------------------------------- TImageObjList

TImageObjList::~TImageObjList() = default;

TFloatingObj *TImageObjList::FindImage(int Pos) const {
  for (const auto &O : Items)
    if (O->Pos == Pos) return O.get();
  return nullptr;
}

int TImageObjList::GetHeightAt(int Pos, int &Align) const {
  TFloatingObj *O = FindImage(Pos);
  if (!O) return -1;
  Align = O->ObjAlign;
  return O->ImageHeight;
}

int TImageObjList::GetWidthAt(int Pos, int &Align, int &HSpace) const {
  TFloatingObj *O = FindImage(Pos);
  if (!O) return -1;
  Align = O->ObjAlign;
  HSpace = O->HSpace;
  return O->ImageWidth;
}

int TImageObjList::GetImageCountAt(int Pos) const {
  for (const auto &O : Items)
    if (O->Pos >= Pos) return O->Pos - Pos;
  return NoneCount;
}

// ---------------------------------------------------------------- TFormControlList

TFormControlObj *TFormControlList::FindControl(int Pos) const {
  for (TFormControlObj *C : Items)
    if (C->Pos == Pos) return C;
  return nullptr;
}

int TFormControlList::GetHeightAt(int Pos, bool &BaseLine) const {
  TFormControlObj *C = FindControl(Pos);
  if (!C) return -1;
  BaseLine = C->BaseLine;
  return C->Height;
}

int TFormControlList::GetWidthAt(int Pos) const {
  TFormControlObj *C = FindControl(Pos);
  return C ? C->Width : -1;
}

int TFormControlList::GetControlCountAt(int Pos) const {
  for (TFormControlObj *C : Items)
    if (C->Pos >= Pos) return C->Pos - Pos;
  return NoneCount;
}

// ---------------------------------------------------------------- TSection: building

namespace {
// The font of a run begun now: Font with the building style added, and made three
// quarters of its size in a subscript or superscript, whose kind goes to Script.
TMyFont RunFont(const TSectionList *List, const TMyFont &Font, TScript &Script) {
  TMyFont F = Font;
  Script = TScript::Normal;
  if (List) {
    F.Style |= List->Build.Style;
    Script = List->Build.SScript;
  }
  if (Script != TScript::Normal) F.SetNormalSize(List, MulDiv(F.NormalSize, 3, 4));
  return F;
}
} // namespace

TSection::TSection(TSectionList *List, int Level, const TMyFont &Font, const TUrlTarget *Anchor,
                   int AJustify)
    : TSectionBase(List), ListLevel(Level), Indent(Level * ListIndent), Justify(AJustify),
      SectionFont(Font) {
  TScript Script;
  TMyFont F = RunFont(List, Font, Script);
  // A paragraph has a few runs and source breaks; room for them spares two regrowths.
  Fonts.Items.reserve(4);
  SIndexList.reserve(4);
  auto FO = std::make_unique<TFontObj>(this, std::move(F), 0, Script);
  TFontObj *P = FO.get();
  Fonts.Items.push_back(std::move(FO));
  if (Anchor && !Anchor->Url.empty()) {
    P->SetUrlTarget(*Anchor);
    if (List) List->LinkList.push_back(P);
  }
}

TSection::TSection(TSectionList *List, const TSection &Source)
    : TSectionBase(List, Source), Buff(Source.Buff), ListLevel(Source.ListLevel),
      Indent(Source.Indent), ListType(Source.ListType), Justify(Source.Justify),
      ClearAttr(Source.ClearAttr), SectionFont(Source.SectionFont) {
  LastSource = Source.LastSource;
  for (const auto &F : Source.Fonts.Items) {
    auto C = std::make_unique<TFontObj>(this, *F);
    if (C->HasUrl() && List) List->LinkList.push_back(C.get());
    Fonts.Items.push_back(std::move(C));
  }
  for (const auto &O : Source.Images.Items) Images.Items.push_back(O->Clone(List));
  FormControls.Items = Source.FormControls.Items; // shared with the section copied
  SIndexList = Source.SIndexList;
}

TSection::~TSection() {
  // Font runs unregister from the document themselves; images from their destructors.
}

void TSection::AddChar(char C, int Index) { AddText(std::string(1, C), std::vector<int>{Index}); }


void TSection::AppendChar(char C, int Source) { AppendText(&C, 1, &Source, 1); }

void TSection::AppendText(const char *S, size_t N, const int *P, size_t NP) {
  const size_t Base = Buff.size(), Known = std::min(N, NP);
  const int Fill = NP == 0 ? 0 : P[NP - 1];
  // A paragraph that outgrows the string's own room is mostly a long one: room for a
  // line or two at once spares the doublings through 30 and 60.
  if (Base + N > Buff.capacity()) Buff.reserve(std::max(Base + N, std::max<size_t>(128, 2 * Base)));
  Buff.append(S, N);
  Len = int(Buff.size());
  // Steps of one less one are zero: four of them or-ed together are tested at once.
  auto Step = [P](size_t K) { return unsigned(P[K]) - unsigned(P[K - 1]) - 1u; };
  for (size_t K = 0; K < N;) {
    const int First = K < Known ? P[K] : Fill;
    if (Base + K == 0 || First != LastSource + 1) SIndexList.push_back({int(Base + K), First});
    // Text comes mostly in stretches whose positions go on one by one: one run each.
    size_t E = K + 1;
    if (K < Known) {
      while (E + 4 <= Known && (Step(E) | Step(E + 1) | Step(E + 2) | Step(E + 3)) == 0) E += 4;
      while (E < Known && Step(E) == 0) ++E;
    }
    LastSource = E - 1 < Known ? P[E - 1] : Fill;
    K = E;
  }
}

void TSection::AddTokenObj(const TokenObj &T) { AddText(T.S, T.I); }

namespace {
// Whether S holds a byte below 32, tested eight bytes at a time: a byte below 32 is the
// one whose subtraction of 32 borrows into its top bit while that bit was clear.
bool HasControlByte(const std::string &S) {
  constexpr uint64_t Ones = 0x0101010101010101ull, Tops = 0x8080808080808080ull;
  const char *P = S.data();
  size_t N = S.size();
  for (; N >= 8; P += 8, N -= 8) {
    uint64_t X;
    std::memcpy(&X, P, 8);
    if ((X - Ones * 32) & ~X & Tops) return true;
  }
  for (; N > 0; ++P, --N)
    if (uint8_t(*P) < 32) return true;
  return false;
}
} // namespace

void TSection::AddText(const std::string &Src, const std::vector<int> &Positions) {
  if (Src.empty()) return;
  bool NoBreak = ParentSectionList && ParentSectionList->Build.NoBreak;
  // Most text needs none of the mending below: it is appended as it is.
  if (!NoBreak && !(Src[0] == ' ' && (Buff.empty() || Buff.back() == ' ')) &&
      !((Src[0] == ' ' || Src[0] == NoBreakSpace) && !Buff.empty() &&
        (Buff[0] == ImageMark || Buff[0] == ImageMarkNoBrk)) &&
      !HasControlByte(Src)) {
    AppendText(Src.data(), Src.size(), Positions.data(), Positions.size());
    return;
  }
  std::string S = Src;
  std::vector<int> P = Positions;
  P.resize(S.size(), P.empty() ? 0 : P.back());
  // Control bytes would pose as object marks with nothing behind them.
  for (char &C : S)
    if (uint8_t(C) < 32 && !(NoBreak && C == NoBreakWhite)) C = ' ';
  auto Del = [&](size_t K) {
    S.erase(K, 1);
    P.erase(P.begin() + long(K));
  };
  if (NoBreak) {
    if (S[0] == NoBreakWhite &&
        (Buff.empty() || Buff.back() == NoBreakWhite || Buff.back() == ' ' ||
         Buff.back() == NoBreakSpace))
      Del(0);
    bool Changed = true;
    while (Changed) {
      Changed = false;
      for (size_t K = 0; K + 1 < S.size(); ++K) {
        if ((S[K] == ' ' && S[K + 1] == NoBreakWhite) ||
            (S[K] == NoBreakWhite && S[K + 1] == NoBreakWhite)) {
          Del(K + 1);
          Changed = true;
          break;
        }
        if (S[K] == NoBreakWhite && S[K + 1] == ' ') {
          Del(K);
          Changed = true;
          break;
        }
      }
    }
    for (char &C : S)
      if (C == NoBreakWhite) C = NoBreakSpace;
  } else if (S[0] == ' ' && (Buff.empty() || Buff.back() == ' ')) {
    Del(0);
  }
  if (S.empty()) return;
  // Text after floats at a paragraph's start does not begin with a space.
  if (S[0] == ' ' || S[0] == NoBreakSpace) {
    size_t K = 0;
    while (K < Buff.size() && (Buff[K] == ImageMark || Buff[K] == ImageMarkNoBrk)) {
      TFloatingObj *O = Images.FindImage(int(K));
      if (!O || !O->IsFloat()) break;
      ++K;
    }
    if (K > 0 && K == Buff.size()) Del(0);
  }
  if (S.empty()) return;
  AppendText(S.data(), S.size(), P.data(), P.size());
}

void TSection::ChangeFont(TSectionList *List, const TMyFont &Font) {
  // The run's font is made whole first, so that its metrics are read once.
  TScript Script;
  TMyFont Final = RunFont(List, Font, Script);
  TFontObj *Last = Fonts.Items.back().get();
  if (Last->Pos == Len) {
    Last->TheFont = std::move(Final);
    Last->SScript = Script;
    Last->FontChanged();
    return;
  }
  auto N = std::make_unique<TFontObj>(this, std::move(Final), Len, Script);
  if (Last->HasUrl()) {
    N->SetUrlTarget(Last->UrlTarget());
    N->Visited = Last->Visited;
    if (List) List->LinkList.push_back(N.get());
  }
  Fonts.Items.push_back(std::move(N));
}

void TSection::HRef(Symb Sy, TSectionList *List, const TUrlTarget &UrlTarget,
                    const TMyFont &Font) {
  ChangeFont(List, Font);
  TFontObj *F = Fonts.Items.back().get();
  // The run may have carried the link on from the run before (or been that run, left
  // empty): it leaves the link list with its URL, so the list holds only link runs.
  if (F->HasUrl() && List) UnlistLink(List->LinkList, F);
  F->ClearUrlTarget();
  if (Sy == AnchorSy && !UrlTarget.Url.empty()) {
    F->SetUrlTarget(UrlTarget);
    if (List) List->LinkList.push_back(F);
  }
}

TImageObj *TSection::AddImage(const TAttributeList &L, TSectionList *List, int Index) {
  auto I = std::make_unique<TImageObj>(List, Len, L);
  TImageObj *P = I.get();
  Images.Items.push_back(std::move(I));
  bool NoBreak = List && List->Build.NoBreak;
  AppendChar(NoBreak ? ImageMarkNoBrk : ImageMark, Index);
  return P;
}

TPanelObj *TSection::AddPanel(const TAttributeList &L, TCell *ACell, int Index) {
  TSectionList *List = ParentSectionList ? ParentSectionList : (ACell ? ACell->MasterList : nullptr);
  auto I = std::make_unique<TPanelObj>(List, ACell, Len, L);
  TPanelObj *P = I.get();
  Images.Items.push_back(std::move(I));
  bool NoBreak = List && List->Build.NoBreak;
  AppendChar(NoBreak ? ImageMarkNoBrk : ImageMark, Index);
  return P;
}

TFormControlObj *TSection::AddFormControl(Symb Which, const TAttributeList &L,
                                          TSectionList *List, int Index) {
  if (!List) return nullptr;
  ThtmlForm *Form = List->Build.CurrentForm;
  if (!Form) {
    List->HtmlFormList.push_back(std::make_unique<ThtmlForm>(List, nullptr));
    Form = List->Build.CurrentForm = List->HtmlFormList.back().get();
  }
  std::unique_ptr<TFormControlObj> C;
  bool IsImage = false;
  if (Which == InputSy) {
    std::string Type;
    if (TAttribute *A = L.Find(TypeSy)) Type = LowerCase(A->Name);
    if (Type == "submit") C = std::make_unique<TButtonFormControlObj>(List, Len, L, 0);
    else if (Type == "reset") C = std::make_unique<TButtonFormControlObj>(List, Len, L, 1);
    else if (Type == "button") C = std::make_unique<TButtonFormControlObj>(List, Len, L, 2);
    else if (Type == "radio") C = std::make_unique<TCheckBoxFormControlObj>(List, Len, L, true);
    else if (Type == "checkbox") C = std::make_unique<TCheckBoxFormControlObj>(List, Len, L, false);
    else if (Type == "hidden") C = std::make_unique<THiddenFormControlObj>(List, Len, L);
    else if (Type == "image") {
      C = std::make_unique<TImageFormControlObj>(List, Len, L);
      IsImage = true;
    } else C = std::make_unique<TEditFormControlObj>(List, Len, L, Type == "password");
  } else if (Which == SelectSy) {
    TAttribute *Size = L.Find(SizeSy);
    bool List_ = L.Find(MultipleSy) || (Size && Size->Value > 1);
    C = std::make_unique<TListBoxFormControlObj>(List, Len, L, !List_);
  } else if (Which == TextAreaSy) {
    C = std::make_unique<TTextAreaFormControlObj>(List, Len, L);
  } else {
    return nullptr;
  }
  C->MyForm = Form;
  TFormControlObj *P = Form->InsertControl(std::move(C));
  List->FormControlList.push_back(P);
  if (!P->Hidden && !IsImage && List->Host && !List->Printing)
    P->TheControl = List->Host->CreateFormWindow(*P);
  bool NoBreak = List->Build.NoBreak;
  if (IsImage) {
    TImageObj *Img = AddImage(L, List, Index);
    Img->MyFormControl = static_cast<TImageFormControlObj *>(P);
  } else if (!P->Hidden) {
    FormControls.Items.push_back(P);
    AppendChar(NoBreak ? FormMarkNoBrk : FormMark, Index);
  }
  return P;
}

void TSection::AddOpBrk(int Index) {
  if (Len != 0) return;
  // Added as 'X' and made a space so that the collapsing of leading spaces keeps it.
  AddChar('X', Index);
  if (!Buff.empty()) Buff.back() = ' ';
}

void TSection::SetClear(const TAttributeList &L) {
  if (TAttribute *A = L.Find(ClearSy)) {
    std::string V = LowerCase(A->Name);
    ClearAttr = V == "left" ? 1 : V == "right" ? 2 : 3;
  }
}

// ---------------------------------------------------------------- TSection: queries

int TSection::FindSourcePos(int DocPos) {
  if (Len == 0 || DocPos < StartCurs || DocPos >= StartCurs + Len || SIndexList.empty())
    return -1;
  int P = DocPos - StartCurs;
  const IndexObj *Best = &SIndexList[0];
  for (const IndexObj &I : SIndexList)
    if (I.Pos <= P) Best = &I;
    else break;
  return Best->Index + (P - Best->Pos);
}

int TSection::FindDocPos(int SourcePos, bool Prev) {
  if (Len == 0 || SIndexList.empty()) return -1;
  // Source position of the last character.
  const IndexObj &LastRun = SIndexList.back();
  int LastSource = LastRun.Index + (Len - 1 - LastRun.Pos);
  if (Prev) {
    if (SourcePos < SIndexList[0].Index) return -1;
    if (SourcePos > LastSource) return StartCurs + Len - 1;
  } else {
    if (SourcePos > LastSource) return -1;
    if (SourcePos <= SIndexList[0].Index) return StartCurs;
  }
  for (size_t K = 0; K < SIndexList.size(); ++K) {
    const IndexObj &R = SIndexList[K];
    int RunEnd = (K + 1 < SIndexList.size() ? SIndexList[K + 1].Pos : Len); // buffer end
    int RunLen = RunEnd - R.Pos;
    if (SourcePos >= R.Index && SourcePos < R.Index + RunLen)
      return StartCurs + R.Pos + (SourcePos - R.Index);
    if (K + 1 < SIndexList.size() && SourcePos >= R.Index + RunLen &&
        SourcePos < SIndexList[K + 1].Index)
      return Prev ? StartCurs + RunEnd - 1 : StartCurs + RunEnd;
  }
  return -1;
}

bool TSection::GetChAtPos(int Pos, char &Ch, TSectionBase *&Obj) {
  if (Len == 0 || Pos < StartCurs || Pos >= StartCurs + Len) return false;
  Ch = Buff[size_t(Pos - StartCurs)];
  Obj = this;
  return true;
}

int TSection::FindString(int From, const std::string &ToFind, bool MatchCase) {
  if (Len == 0 || ToFind.empty() || From >= StartCurs + Len) return -1;
  size_t Start = size_t(std::max(0, From - StartCurs));
  std::string Find = ToFind.substr(0, 255);
  if (MatchCase) {
    size_t P = Buff.find(Find, Start);
    return P == std::string::npos ? -1 : StartCurs + int(P);
  }
  std::string U = UpperCaseAscii(Find);
  for (size_t P = Start; P + U.size() <= Buff.size(); ++P) {
    bool Ok = true;
    for (size_t K = 0; K < U.size() && Ok; ++K) {
      char C = Buff[P + K];
      if (C >= 'a' && C <= 'z') C = char(C - 32);
      Ok = C == U[K];
    }
    if (Ok) return StartCurs + int(P);
  }
  return -1;
}

void TSection::UpdateFonts() {
  TSectionList *L = ParentSectionList;
  if (!L) return;
  auto Apply = [&](TMyFont &F, bool Link) {
    F.Name = F.Fixed ? L->PreFontName : L->FontName;
    F.Charset = L->Charset;
    F.SetSize(MulDiv(L->FontSize, F.NormalSize, 12));
    F.Color = (Link ? L->HotSpotColor : L->FontColor) | 0x2000000;
  };
  for (auto &F : Fonts.Items) {
    Apply(F->TheFont, F->HasUrl());
    if (F->HasUrl()) {
      if (F->Hover) F->TheFont.Color = L->LinkActiveColor | 0x2000000;
      else if (F->Visited) F->TheFont.Color = L->LinkVisitedColor | 0x2000000;
    }
    F->FontChanged();
  }
  Apply(SectionFont, false);
}

// ---------------------------------------------------------------- list items

TUListItem::TUListItem(TSectionList *List, int Level, const TMyFont &Font, const TUrlTarget *Anchor,
                       int AJustify)
    : TSection(List, Level, Font, Anchor, AJustify) {
  ListType = 2;
}
TUListItem::TUListItem(TSectionList *List, const TUListItem &Source)
    : TSection(List, Source), Plain(Source.Plain) {}
std::unique_ptr<TSectionBase> TUListItem::CreateCopy(TSectionList *NewList) const {
  return std::make_unique<TUListItem>(NewList, *this);
}

TDListItem::TDListItem(TSectionList *List, int Level, const TMyFont &Font, const TUrlTarget *Anchor,
                       int AJustify)
    : TUListItem(List, Level, Font, Anchor, AJustify) {
  ListType = 3;
}
TDListItem::TDListItem(TSectionList *List, const TDListItem &Source) : TUListItem(List, Source) {}
std::unique_ptr<TSectionBase> TDListItem::CreateCopy(TSectionList *NewList) const {
  return std::make_unique<TDListItem>(NewList, *this);
}

TOListItem::TOListItem(TSectionList *List, int Level, int AListNumb, char AListStyle,
                       const TMyFont &Font, const TUrlTarget *Anchor, int AJustify)
    : TUListItem(List, Level, Font, Anchor, AJustify), ListNumb(AListNumb), ListStyle(AListStyle) {
  ListType = 1;
}
TOListItem::TOListItem(TSectionList *List, const TOListItem &Source)
    : TUListItem(List, Source), ListNumb(Source.ListNumb), ListStyle(Source.ListStyle) {}
std::unique_ptr<TSectionBase> TOListItem::CreateCopy(TSectionList *NewList) const {
  return std::make_unique<TOListItem>(NewList, *this);
}

std::unique_ptr<TSectionBase> TSection::CreateCopy(TSectionList *NewList) const {
  return std::make_unique<TSection>(NewList, *this);
}
std::unique_ptr<TSectionBase> TPreFormated::CreateCopy(TSectionList *NewList) const {
  return std::make_unique<TPreFormated>(NewList, *this);
}

void TPreFormated::AddTokenObj(const TokenObj &T) { AddText(T.S, T.I); }

void TPreFormated::AddText(const std::string &Src, const std::vector<int> &Positions) {
  if (Src.empty() || Len > MaxPreLength) return;
  std::string S = Src;
  for (char &C : S)
    if (uint8_t(C) < 32) C = ' ';
  std::vector<int> P = Positions;
  P.resize(S.size(), P.empty() ? 0 : P.back());
  AppendText(S.data(), S.size(), P.data(), P.size());
}

// ---------------------------------------------------------------- block sections

int ParagraphSpaceHeight(int FontSize) { return MulDiv(14, FontSize, 12); }
int HeadingSpaceHeight(int Level, int FontSize) {
  static const int K[7] = {8, 16, 12, 10, 8, 6, 4};
  return MulDiv(Level >= 1 && Level <= 6 ? K[Level] : 8, FontSize, 12);
}
int HorzLineHeight(int VSize, int FontSize) { return MulDiv(20, FontSize, 12) - 2 + VSize; }

std::unique_ptr<TSectionBase> TPage::CreateCopy(TSectionList *NewList) const {
  return std::make_unique<TPage>(NewList, *this);
}

TParagraphSpace::TParagraphSpace(TSectionList *List) : TSectionBase(List) { UpdateSpacing(); }
TParagraphSpace::TParagraphSpace(TSectionList *List, const TParagraphSpace &Source)
    : TSectionBase(List, Source) {}
std::unique_ptr<TSectionBase> TParagraphSpace::CreateCopy(TSectionList *NewList) const {
  return std::make_unique<TParagraphSpace>(NewList, *this);
}
void TParagraphSpace::UpdateSpacing() {
  SectionHeight = ParagraphSpaceHeight(ParentSectionList ? ParentSectionList->FontSize : 12);
}

THeadingSpace::THeadingSpace(TSectionList *List, int Size) : TSectionBase(List), HeadingSize(Size) {
  UpdateSpacing();
}
THeadingSpace::THeadingSpace(TSectionList *List, const THeadingSpace &Source)
    : TSectionBase(List, Source), HeadingSize(Source.HeadingSize) {}
std::unique_ptr<TSectionBase> THeadingSpace::CreateCopy(TSectionList *NewList) const {
  return std::make_unique<THeadingSpace>(NewList, *this);
}
void THeadingSpace::UpdateSpacing() {
  SectionHeight = HeadingSpaceHeight(HeadingSize, ParentSectionList ? ParentSectionList->FontSize : 12);
}

THorzLine::THorzLine(TSectionList *List) : TSectionBase(List) { UpdateSpacing(); }

THorzLine::THorzLine(TSectionList *List, const TAttributeList &L) : TSectionBase(List) {
  for (const auto &A : L) {
    switch (A->Which) {
    case SizeSy:
      if (A->Value >= 1 && A->Value <= 20) VSize = A->Value;
      break;
    case WidthSy:
      if (A->Name.find('%') != std::string::npos) {
        if (A->Value >= 1 && A->Value <= 100) {
          HRWidth = A->Value;
          Percent = true;
        }
      } else if (A->Value > 0) {
        HRWidth = A->Value;
        Percent = false;
      }
      break;
    case AlignSy: {
      std::string V = LowerCase(A->Name);
      Align = V == "left" ? 1 : V == "right" ? 3 : 2;
      break;
    }
    case ColorSy: {
      TColor C;
      if (ColorFromHtml(A->Name, C)) {
        Color = C | 0x2000000;
        HasColor = true;
      }
      break;
    }
    case NoShadeSy: NoShade = true; break;
    default: break;
    }
  }
  UpdateSpacing();
}

THorzLine::THorzLine(TSectionList *List, const THorzLine &Source)
    : TSectionBase(List, Source), VSize(Source.VSize), Color(Source.Color),
      HasColor(Source.HasColor), Align(Source.Align), NoShade(Source.NoShade),
      HRWidth(Source.HRWidth), Percent(Source.Percent) {}
std::unique_ptr<TSectionBase> THorzLine::CreateCopy(TSectionList *NewList) const {
  return std::make_unique<THorzLine>(NewList, *this);
}
void THorzLine::UpdateSpacing() {
  SectionHeight = HorzLineHeight(VSize, ParentSectionList ? ParentSectionList->FontSize : 12);
}
