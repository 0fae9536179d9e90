// Form controls in the document: attributes, sizes, submission strings and their pictures.
#include "htmlview/form_controls.h"

#include <algorithm>

#include "htmlview/draw_helpers.h"
#include "htmlview/html_utils.h"
#include "htmlview/section_list.h"
#include "platform/files.h"

namespace {
void SetControlFont(TCanvas &Canvas, const TSectionList *L) {
  Canvas.Font() = TFont();
  Canvas.Font().Name = L ? L->PreFontName : "Courier New";
  Canvas.Font().SetSize(10);
  Canvas.Font().Color = clBlack;
}

std::u16string Decoded(const TSectionList *L, const std::string &Bytes) {
  return L ? L->Decode(Bytes) : DecodeText(Bytes);
}
} // namespace

ThtmlForm::ThtmlForm(TSectionList *List, const TAttributeList *L) : MasterList(List) {
  if (!L) return;
  for (const auto &A : *L) {
    switch (A->Which) {
    case MethodSy: Method = A->Name.substr(0, 4); break;
    case ActionSy: Action = A->Name; break;
    case TargetSy: Target = A->Name; break;
    case EncTypeSy: EncType = A->Name; break;
    default: break;
    }
  }
}

ThtmlForm::~ThtmlForm() = default;

TFormControlObj *ThtmlForm::InsertControl(std::unique_ptr<TFormControlObj> Ctrl) {
  TFormControlObj *P = Ctrl.get();
  P->MyForm = this;
  if (!P->Hidden) ++NonHiddenCount;
  ControlList.push_back(std::move(Ctrl));
  P->ResetToValue();
  return P;
}

void ThtmlForm::ResetControls() {
  for (auto &C : ControlList) {
    C->ResetToValue();
    C->RefreshWindow();
  }
}

void ThtmlForm::SetSizes(TCanvas &Canvas) {
  TFont Save = Canvas.Font();
  for (auto &C : ControlList) {
    SetControlFont(Canvas, MasterList);
    C->SetHeightWidth(Canvas);
    C->RefreshWindow();
  }
  Canvas.Font() = Save;
}

void ThtmlForm::SubmitTheForm(const std::string &ButtonSubmission) {
  if (!MasterList || !MasterList->OnFormSubmit) return;
  MasterList->OnFormSubmit(Action, Target, EncType, Method, Submission(ButtonSubmission));
}

void ThtmlForm::ControlKeyPress(TFormControlObj *Sender, char Key) {
  if (Key == '\r' && dynamic_cast<TEditFormControlObj *>(Sender)) SubmitTheForm("");
}

void ThtmlForm::DoRadios(TFormControlObj *Radio) {
  if (!Radio || Radio->Name.empty()) return;
  for (auto &C : ControlList) {
    auto *R = dynamic_cast<TCheckBoxFormControlObj *>(C.get());
    if (!R || !R->Radio || R == Radio || !SameText(R->Name, Radio->Name) || !R->Checked) continue;
    R->Checked = false;
    R->RefreshWindow();
  }
}

std::vector<std::string> ThtmlForm::Submission(const std::string &ButtonSubmission) const {
  std::vector<std::string> R;
  for (const auto &C : ControlList) {
    std::string S;
    for (int I = 0; C->GetSubmission(I, S); ++I) {
      if (!S.empty()) R.push_back(S);
      S.clear();
    }
  }
  if (!ButtonSubmission.empty()) R.push_back(ButtonSubmission);
  return R;
}

TFormControlObj::TFormControlObj(TSectionList *List, int APos, const TAttributeList &L)
    : Pos(APos), MasterList(List) {
  for (const auto &A : L) {
    if (A->Which == ValueSy) Value = A->Name;
    else if (A->Which == NameSy) Name = A->Name;
    else if (A->Which == OnClickSy) OnClickMessage = A->Name;
  }
}

TFormControlObj::~TFormControlObj() = default;

bool TFormControlObj::DoOnClick() {
  TSectionList *L = MasterList;
  if (!L || !L->OnObjectClick) return true;
  const uint32_t Generation = L->Generation;
  L->OnObjectClick(this, OnClickMessage);
  return L->Generation == Generation;
}

void TFormControlObj::FormControlEnter() {
  TSectionList *L = MasterList;
  if (!L || L->Printing) return;
  // Controls out of sight stay reachable by the keyboard, far off the visible area.
  for (TFormControlObj *C : L->FormControlList)
    if (!C->ShowIt && C->TheControl) C->TheControl->Place(-4000, C->DrawY);
  if (L->Host) L->Host->FormControlEntered(YValue);
}

void TFormControlObj::ExitEvent() {
  if (MasterList && MasterList->Host) MasterList->Host->InvalidateDocument();
}

void TFormControlObj::RefreshWindow() {
  if (TheControl) TheControl->Refresh();
}

void TFormControlObj::Draw(TCanvas &, int, int) {}
bool TFormControlObj::GetSubmission(int, std::string &) { return false; }
void TFormControlObj::SetHeightWidth(TCanvas &) {}

TEditFormControlObj::TEditFormControlObj(TSectionList *List, int APos, const TAttributeList &L,
                                         bool APassword)
    : TFormControlObj(List, APos, L), Password(APassword) {
  BaseLine = true;
  if (TAttribute *A = L.Find(SizeSy)) {
    std::string S = A->Name;
    size_t E = S.find_first_of(", ");
    int N;
    if (StrToIntSat(Trim(S.substr(0, E)), N) && N >= 1) EditSize = std::min(N, 1000);
  }
  if (TAttribute *A = L.Find(MaxLengthSy)) MaxLength = std::max(0, A->Value);
  Text = Value;
}

void TEditFormControlObj::SetHeightWidth(TCanvas &Canvas) {
  Width = Canvas.TextWidth(std::string("A")) * EditSize + 5;
}

bool TEditFormControlObj::GetSubmission(int Index, std::string &S) {
  if (Index != 0) return false;
  S = Name + "=" + Text;
  return true;
}

void TEditFormControlObj::Draw(TCanvas &Canvas, int X, int Y) {
  SetControlFont(Canvas, MasterList);
  Canvas.SetTextAlign(TA_LEFT | TA_TOP);
  Canvas.Brush().Style = bsClear;
  std::string T = Password ? std::string(Text.size(), '*') : Text;
  int TH = Canvas.TextHeight(std::string("A"));
  Canvas.TextRect(TRect(X, Y, X + Width, Y + Height), X + 4, Y + (Height - TH) / 2,
                  Decoded(MasterList, T));
  Canvas.Brush().Style = bsSolid;
}

TButtonFormControlObj::TButtonFormControlObj(TSectionList *List, int APos, const TAttributeList &L,
                                             int AWhich)
    : TFormControlObj(List, APos, L), Which(AWhich) {
  BaseLine = true;
  static const char *const Captions[3] = {"Submit", "Reset", "Button"};
  Caption = Value.empty() ? Captions[Which] : Value;
}

void TButtonFormControlObj::Click() {
  ThtmlForm *Form = MyForm;
  const int W = Which;
  const std::string Submit = Name.empty() ? "" : Name + "=" + Value;
  if (!DoOnClick()) return;
  if (W == 1) Form->ResetControls();
  else if (W == 0) Form->SubmitTheForm(Submit);
}

void TButtonFormControlObj::SetHeightWidth(TCanvas &Canvas) {
  std::u16string U = Decoded(MasterList, Caption);
  Height = Canvas.TextHeight(std::u16string(u"A")) + 8;
  Width = Canvas.TextWidth(U) + 20;
}

void TButtonFormControlObj::Draw(TCanvas &Canvas, int X, int Y) {
  SetControlFont(Canvas, MasterList);
  std::u16string U = Decoded(MasterList, Caption);
  Canvas.SetTextAlign(TA_LEFT | TA_TOP);
  Canvas.Brush().Style = bsClear;
  Canvas.TextOut(X + (Width - Canvas.TextWidth(U)) / 2, Y + (Height - Canvas.TextHeight(U)) / 2, U);
  Canvas.Brush().Style = bsSolid;
}

TCheckBoxFormControlObj::TCheckBoxFormControlObj(TSectionList *List, int APos,
                                                 const TAttributeList &L, bool ARadio)
    : TFormControlObj(List, APos, L), Radio(ARadio) {
  BaseLine = true;
  if (!Radio && Value.empty()) Value = "on";
  IsChecked = Checked = L.Find(CheckedSy) != nullptr;
  Width = 13;
  Height = Radio ? 14 : 13;
}

void TCheckBoxFormControlObj::Clicked() {
  if (Radio) {
    Checked = true;
    MyForm->DoRadios(this);
  }
  DoOnClick();
}

bool TCheckBoxFormControlObj::GetSubmission(int Index, std::string &S) {
  if (Index != 0 || !Checked) return false;
  S = Name + "=" + Value;
  return true;
}

void TCheckBoxFormControlObj::Draw(TCanvas &Canvas, int X, int Y) {
  TPen SavePen = Canvas.Pen();
  TBrush SaveBrush = Canvas.Brush();
  if (Radio) {
    // Sunken like the screen's button; a two-colour device has no shadow or silver.
    const bool Mono = Canvas.NumColors() == 2;
    Canvas.Brush().Color = clWhite;
    Canvas.Brush().Style = bsSolid;
    Canvas.Pen().Style = psClear;
    Canvas.Ellipse(X, Y, X + 14, Y + 14);
    Canvas.Pen().Style = psInsideFrame;
    Canvas.Pen().Width = Mono ? 1 : 2;
    Canvas.Pen().Color = Mono ? clBlack : ColorToRGB(clBtnShadow);
    Canvas.Arc(X, Y, X + 14, Y + 14, X + 14, Y, X, Y + 14);
    Canvas.Pen().Color = Mono ? clBlack : clSilver;
    Canvas.Arc(X, Y, X + 14, Y + 14, X, Y + 14, X + 14, Y);
    if (Checked) {
      Canvas.Brush().Color = clBlack;
      Canvas.Pen().Color = clBlack;
      Canvas.Pen().Style = psSolid;
      Canvas.Pen().Width = 1;
      Canvas.Ellipse(X + 5, Y + 5, X + 9, Y + 9);
    }
  } else {
    TRect R(X, Y, X + Width, Y + Height);
    Canvas.Brush().Color = clWhite;
    Canvas.FillRect(R);
    Canvas.DrawEdge(R, EDGE_SUNKEN, BF_RECT);
    if (Checked) {
      Canvas.Pen().Color = clBlack;
      int H = Height;
      Canvas.MoveTo(X + 3, Y + H / 2);
      Canvas.LineTo(X + 5, Y + H / 2 + 2);
      Canvas.LineTo(X + 9, Y + H / 2 - 2);
    }
  }
  Canvas.Pen() = SavePen;
  Canvas.Brush() = SaveBrush;
}

THiddenFormControlObj::THiddenFormControlObj(TSectionList *List, int APos, const TAttributeList &L)
    : TFormControlObj(List, APos, L) {
  Hidden = true;
  Width = Height = 0;
}

bool THiddenFormControlObj::GetSubmission(int Index, std::string &S) {
  if (Index != 0) return false;
  S = Name + "=" + Value;
  return true;
}

TImageFormControlObj::TImageFormControlObj(TSectionList *List, int APos, const TAttributeList &L)
    : TFormControlObj(List, APos, L) {
  Width = Height = 0;
}

void TImageFormControlObj::ImageClick(int X, int Y) {
  XPos = X;
  YPos = Y;
  ThtmlForm *Form = MyForm;
  if (!DoOnClick()) return;
  Form->SubmitTheForm("");
}

bool TImageFormControlObj::GetSubmission(int Index, std::string &S) {
  if (XPos < 0 || Index > 1) return false;
  std::string Pre = Name.empty() ? "" : Name + ".";
  if (Index == 0) S = Pre + "x=" + std::to_string(XPos);
  else {
    S = Pre + "y=" + std::to_string(YPos);
    XPos = -1;
  }
  return true;
}

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList *List, int APos,
                                               const TAttributeList &L, bool ACombo)
    : TFormControlObj(List, APos, L), Combo(ACombo) {
  Multiple = L.Find(MultipleSy) != nullptr;
  if (TAttribute *A = L.Find(SizeSy)) LBSize = A->Value >= 1 ? std::min(A->Value, 1000) : -1;
}

void TListBoxFormControlObj::AddStr(const std::string &Text, const std::string &AValue,
                                    bool Selected) {
  TheOptions.push_back({Text, AValue, Selected});
  Longest = std::max(Longest, std::min(int(Text.size()), 1000));
}

void TListBoxFormControlObj::ResetToValue() {
  CurSelected.assign(TheOptions.size(), false);
  ItemIndex = TheOptions.empty() ? -1 : 0;
  for (size_t I = 0; I < TheOptions.size(); ++I)
    if (TheOptions[I].Selected) {
      CurSelected[I] = true;
      if (!Multiple || ItemIndex == 0) ItemIndex = int(I);
      if (!Multiple) break;
    }
}

bool TListBoxFormControlObj::GetSubmission(int Index, std::string &S) {
  if (Index < 0 || size_t(Index) >= TheOptions.size()) return false;
  bool Counts = Multiple ? (size_t(Index) < CurSelected.size() && CurSelected[size_t(Index)])
                         : Index == ItemIndex;
  S.clear();
  if (Counts) {
    const TOptionObj &O = TheOptions[size_t(Index)];
    S = Name + "=" + (O.Value.empty() ? O.Text : O.Value);
  }
  return true;
}

void TListBoxFormControlObj::SetHeightWidth(TCanvas &Canvas) {
  int AW = Canvas.TextWidth(std::string("A")), AH = Canvas.TextHeight(std::string("A"));
  if (Combo) {
    // The height stays as made; the width follows the screen's default font.
    const TFont Save = Canvas.Font();
    Canvas.Font() = TFont();
    Width = Canvas.TextWidth(std::string("A")) * Longest + 30;
    Canvas.Font() = Save;
  } else {
    int Rows = LBSize > 0 ? LBSize : std::max(1, std::min(8, int(TheOptions.size())));
    Height = AH * Rows + 4;
    Width = AW * Longest + 15;
  }
}

void TListBoxFormControlObj::Draw(TCanvas &Canvas, int X, int Y) {
  Draw3DRect(Canvas, X, Y, X + Width, Y + Height, false);
  SetControlFont(Canvas, MasterList);
  Canvas.SetTextAlign(TA_LEFT | TA_TOP);
  Canvas.Brush().Style = bsClear;
  TRect Clip(X + 4, Y + 4, X + Width - 8, Y + Height - 8);
  if (Combo) {
    if (ItemIndex >= 0 && size_t(ItemIndex) < TheOptions.size())
      Canvas.TextRect(Clip, X + 4, Y + 4, Decoded(MasterList, TheOptions[size_t(ItemIndex)].Text));
  } else {
    int AH = Canvas.TextHeight(std::string("A"));
    int Rows = LBSize > 0 ? LBSize : 8;
    const int Top = std::max(0, TopIndex);
    for (int I = 0; Top + I < int(TheOptions.size()) && I < Rows; ++I)
      Canvas.TextRect(Clip, X + 4, Y + 4 + I * AH,
                      Decoded(MasterList, TheOptions[size_t(Top + I)].Text));
  }
  Canvas.Brush().Style = bsSolid;
}

TTextAreaFormControlObj::TTextAreaFormControlObj(TSectionList *List, int APos,
                                                 const TAttributeList &L)
    : TFormControlObj(List, APos, L) {
  if (TAttribute *A = L.Find(RowsSy)) if (A->Value > 0) TARows = std::min(A->Value, 200);
  if (TAttribute *A = L.Find(ColsSy)) if (A->Value > 0) TACols = std::min(A->Value, 500);
  if (TAttribute *A = L.Find(WrapSy)) {
    std::string W = LowerCase(A->Name);
    Wrap = W == "soft" || W == "hard";
  }
}

bool TTextAreaFormControlObj::GetSubmission(int Index, std::string &S) {
  if (Index != 0) return false;
  S = Name + "=";
  for (size_t I = 0; I < Lines.size(); ++I) S += (I ? "\r\n" : "") + Lines[I];
  return true;
}

void TTextAreaFormControlObj::SetHeightWidth(TCanvas &Canvas) {
  Height = Canvas.TextHeight(std::string("A")) * TARows + 5;
  Width = Canvas.TextWidth(std::string("A")) * TACols + 5;
}

void TTextAreaFormControlObj::Draw(TCanvas &Canvas, int X, int Y) {
  Draw3DRect(Canvas, X, Y, X + Width, Y + Height, false);
  SetControlFont(Canvas, MasterList);
  Canvas.SetTextAlign(TA_LEFT | TA_TOP);
  Canvas.Brush().Style = bsClear;
  int AH = Canvas.TextHeight(std::string("A"));
  TRect Clip(X + 4, Y + 4, X + Width - 8, Y + Height - 8);
  for (int I = 0; I < int(Lines.size()) && I < TARows; ++I)
    Canvas.TextRect(Clip, X + 4, Y + 4 + I * AH, Decoded(MasterList, Lines[size_t(I)]));
  Canvas.Brush().Style = bsSolid;
}
