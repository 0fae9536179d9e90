#pragma once
// Form controls as the document holds them: each stands in its paragraph as one mark, is
// sized before layout and drawn as a picture of itself (the viewer shows no window
// controls for them yet).
#include <memory>
#include <string>
#include <vector>

#include "htmlview/attributes.h"
#include "platform/canvas.h"

class TSectionList;
class TFormControlObj;

class ThtmlForm {
public:
  TSectionList *MasterList = nullptr;
  std::string Method = "Get"; // at most 4 characters
  std::string Action, Target, EncType;
  std::vector<std::unique_ptr<TFormControlObj>> ControlList;
  int NonHiddenCount = 0;

  ThtmlForm(TSectionList *List, const TAttributeList *L);
  ~ThtmlForm();
  TFormControlObj *InsertControl(std::unique_ptr<TFormControlObj> Ctrl);
  void ResetControls();
  void SetSizes(TCanvas &Canvas);
  std::vector<std::string> Submission(const std::string &ButtonSubmission) const;
};

class TFormControlObj {
public:
  int Pos = 0;
  TSectionList *MasterList = nullptr;
  ThtmlForm *MyForm = nullptr;
  std::string Value, Name, OnClickMessage;
  bool ShowIt = false;
  int YValue = 0;
  int Width = 120, Height = 20;
  bool BaseLine = false; // sits on the baseline (buttons, check boxes, radios, edits)
  bool Hidden = false;

  TFormControlObj(TSectionList *List, int APos, const TAttributeList &L);
  virtual ~TFormControlObj() = default;
  virtual void Draw(TCanvas &Canvas, int X, int Y); // a picture of the control
  virtual void ResetToValue() {}
  virtual bool GetSubmission(int Index, std::string &S);
  virtual void SetHeightWidth(TCanvas &Canvas);
};

class TEditFormControlObj : public TFormControlObj {
public:
  int EditSize = 20;
  bool Password = false;
  std::string Text;
  TEditFormControlObj(TSectionList *List, int APos, const TAttributeList &L, bool APassword);
  void Draw(TCanvas &Canvas, int X, int Y) override;
  void ResetToValue() override { Text = Value; }
  bool GetSubmission(int Index, std::string &S) override;
  void SetHeightWidth(TCanvas &Canvas) override;
};

class TButtonFormControlObj : public TFormControlObj {
public:
  int Which = 0; // 0 submit, 1 reset, 2 button
  std::string Caption;
  TButtonFormControlObj(TSectionList *List, int APos, const TAttributeList &L, int AWhich);
  void Draw(TCanvas &Canvas, int X, int Y) override;
  bool GetSubmission(int, std::string &) override { return false; }
  void SetHeightWidth(TCanvas &Canvas) override;
};

class TCheckBoxFormControlObj : public TFormControlObj {
public:
  bool IsChecked = false, Checked = false;
  bool Radio = false;
  TCheckBoxFormControlObj(TSectionList *List, int APos, const TAttributeList &L, bool ARadio);
  void Draw(TCanvas &Canvas, int X, int Y) override;
  void ResetToValue() override { Checked = IsChecked; }
  bool GetSubmission(int Index, std::string &S) override;
  void SetHeightWidth(TCanvas &) override {}
};

class THiddenFormControlObj : public TFormControlObj {
public:
  THiddenFormControlObj(TSectionList *List, int APos, const TAttributeList &L);
  void Draw(TCanvas &, int, int) override {}
  bool GetSubmission(int Index, std::string &S) override;
  void SetHeightWidth(TCanvas &) override {}
};

class TImageFormControlObj : public TFormControlObj {
public:
  int XPos = -1, YPos = -1;
  TImageFormControlObj(TSectionList *List, int APos, const TAttributeList &L);
  void Draw(TCanvas &, int, int) override {}
  bool GetSubmission(int Index, std::string &S) override;
  void SetHeightWidth(TCanvas &) override {}
};

struct TOptionObj {
  std::string Text, Value;
  bool Selected = false;
};

// SELECT as a list box (Combo false) or a drop-down combo box.
class TListBoxFormControlObj : public TFormControlObj {
public:
  bool Combo = false;
  bool Multiple = false;
  int LBSize = -1;
  int Longest = 3;
  std::vector<TOptionObj> TheOptions;
  int ItemIndex = -1;
  std::vector<bool> CurSelected;
  TListBoxFormControlObj(TSectionList *List, int APos, const TAttributeList &L, bool ACombo);
  void AddStr(const std::string &Text, const std::string &AValue, bool Selected);
  void Draw(TCanvas &Canvas, int X, int Y) override;
  void ResetToValue() override;
  bool GetSubmission(int Index, std::string &S) override;
  void SetHeightWidth(TCanvas &Canvas) override;
};
using TComboFormControlObj = TListBoxFormControlObj;

class TTextAreaFormControlObj : public TFormControlObj {
public:
  int TARows = 5, TACols = 30;
  std::vector<std::string> TheText, Lines;
  TTextAreaFormControlObj(TSectionList *List, int APos, const TAttributeList &L);
  void AddStr(const std::string &Line) { TheText.push_back(Line); }
  void Draw(TCanvas &Canvas, int X, int Y) override;
  void ResetToValue() override { Lines = TheText; }
  bool GetSubmission(int Index, std::string &S) override;
  void SetHeightWidth(TCanvas &Canvas) override;
};
