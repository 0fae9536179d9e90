#pragma once
// The controller of a topic page: it builds the controls on its sheet(s) of the main
// window and wires them to the engines. The main window owns one per built page and
// calls it at the moments below; everything else the page does through its own controls
// and through the main window's public members.
#include <memory>
#include <string>

class TFieldFrm;

class TTopicPage {
public:
  virtual ~TTopicPage() = default;
  // The main window's idle pass; Idle is true when no loop runs and nothing prints.
  virtual void UpdateIdleState(bool Idle) { (void)Idle; }
  // Called from FormShow, once the window has its size.
  virtual void FormShown() {}
  // The page's sheet became the active one, or another topic was chosen (AbortFlag is
  // already set then; a loop of the page may still be unwinding).
  virtual void Shown() {}
  virtual void Hidden() {}
  // A link of the text pane that starts with the pound sign: the preset's name.
  // Returns false when the page knows no such preset.
  virtual bool ApplyPreset(const std::string &Name) { (void)Name; return false; }
  // Field and Graph menus: copy or print the page's picture or graph.
  virtual void CopyPicture() {}
  virtual void PrintPicture() {}
};

// Each returns the page's controller; the main window shows a bare sheet where one is null.
std::unique_ptr<TTopicPage> CreateFieldPage(TFieldFrm &Form);      // FieldTab and ThreeDTab
std::unique_ptr<TTopicPage> CreateProjectilePage(TFieldFrm &Form); // ProjectileTab
