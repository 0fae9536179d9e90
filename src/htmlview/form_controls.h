#pragma once
// Form controls as the document holds them: each stands in its paragraph as one mark, is
// sized before layout and, in a viewer, shown as a window control placed by the drawing
// pass; printing and a document without a viewer draw pictures of the controls.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/attributes.h"
#include "platform/canvas.h"

class TSectionList;
class TFormControlObj;

// The window control of a form control object, made by the viewer on its paint panel.
class TFormWindow {
public:
  virtual ~TFormWindow() = default;
  // Shows the object's size, font, options and value again.
  virtual void Refresh() = 0;
  virtual void Place(int X, int Y) = 0; // shown at a point of the paint panel
  virtual void Hide() = 0;
  virtual bool IsVisible() const = 0;
  virtual TRect Bounds() const = 0;
  // It is the control of its window that has the input.
  virtual bool HasInput() const { return false; }
};

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
  // Hands the strings to the document's form-submit handler (nothing without one).
  void SubmitTheForm(const std::string &ButtonSubmission);
  // Enter (#13) in an edit submits the form without a button string.
  void ControlKeyPress(TFormControlObj *Sender, char Key);
  // Unchecks the form's other radio buttons of Radio's NAME, compared without case.
  void DoRadios(TFormControlObj *Radio);
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
  std::unique_ptr<TFormWindow> TheControl; // none without a viewer
  int DrawX = 0, DrawY = 0;                // paint-panel point of the last placing

  TFormControlObj(TSectionList *List, int APos, const TAttributeList &L);
  virtual ~TFormControlObj();
  // The object-click event; false when its handler replaced the document (this object
  // is then gone and nothing more may be done).
  bool DoOnClick();
  // The keyboard reached the control: unplaced controls become reachable off-screen.
  void FormControlEnter();
  void ExitEvent();
  // After a value changed in code: the window shows it.
  void RefreshWindow();
  virtual void Draw(TCanvas &Canvas, int X, int Y); // a picture of the control
  virtual void ResetToValue() {}
  virtual bool GetSubmission(int Index, std::string &S);
  virtual void SetHeightWidth(TCanvas &Canvas);
};

class TEditFormControlObj : public TFormControlObj {
public:
  int EditSize = 20;
  int MaxLength = 0; // 0: no limit
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
  // Object-click event, then reset or submit with NAME=VALUE.
  void Click();
  void Draw(TCanvas &Canvas, int X, int Y) override;
  bool GetSubmission(int, std::string &) override { return false; }
  void SetHeightWidth(TCanvas &Canvas) override;
};

class TCheckBoxFormControlObj : public TFormControlObj {
public:
  bool IsChecked = false, Checked = false;
  bool Radio = false;
  // The user clicked the box or button (its new state in Checked).
  void Clicked();
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
  int HitX = 0, HitY = 0; // the point found under the mouse; a click makes it XPos, YPos
  TImageFormControlObj(TSectionList *List, int APos, const TAttributeList &L);
  // A click at (X, Y) of the picture: kept, object-click event, then the form submits.
  void ImageClick(int X, int Y);
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
  int TopIndex = 0; // the first row the window shows, where a printout starts too
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
  bool Wrap = false; // WRAP "soft" or "hard"
  std::vector<std::string> TheText, Lines;
  TTextAreaFormControlObj(TSectionList *List, int APos, const TAttributeList &L);
  void AddStr(const std::string &Line) { TheText.push_back(Line); }
  void Draw(TCanvas &Canvas, int X, int Y) override;
  void ResetToValue() override { Lines = TheText; }
  bool GetSubmission(int Index, std::string &S) override;
  void SetHeightWidth(TCanvas &Canvas) override;
};
