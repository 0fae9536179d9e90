#pragma once
// TTopicPage: the controller of a topic page. It builds its controls on its sheet(s),
// owns its state and its engine, and the window calls it at the moments below. A page
// reaches the window only through TPageHost.
//
// Teardown: a page builds everything under one content widget per sheet (Content) and
// deletes those first in its destructor (DestroyContent), so no control outlives the
// state its handlers use. Popup menus are parented to a content widget.
//
// One loop at a time (Run): a loop clears AbortFlag, disables the page's start controls
// and whatever would change the running model, enables its stop controls, pumps through
// the yield it is given, and when it returns, however it ended, puts every one of those
// controls back as it was. A start that arrives while another loop unwinds waits for it;
// one that arrives while a loop runs on is ignored, so loops never nest.
#include <QPointer>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/page_host.h"
#include "sim/yield.h"

class QWidget;

enum class TSharedMenu { Field, ContourResolution, Graph, Speed };
// Why the window stops the pages: a Topics menu change, a link into another topic (also
// "back" and "forward"), the "index" button, closing the window.
enum class TStopCause { TopicMenu, TopicLink, Index, Close };

class TTopicPage {
public:
  explicit TTopicPage(TPageHost &AHost);
  virtual ~TTopicPage();
  TTopicPage(const TTopicPage &) = delete;
  TTopicPage &operator=(const TTopicPage &) = delete;

  // ---- Hooks the window calls ----
  // The idle pass; Idle is true when no loop runs and nothing prints.
  virtual void UpdateIdleState(bool Idle) { (void)Idle; }
  // From FormShow, once the window has its size.
  virtual void FormShown() {}
  // A sheet of the page became the active one, or stopped being it (AbortFlag is set
  // already; a loop of the page may still be unwinding).
  virtual void Shown() {}
  virtual void Hidden() {}
  // Every page hears this when the topic changes, "index" is pressed or the window
  // closes; a page puts its running controls back and stops what the cause stops.
  virtual void Stop(TStopCause Cause) { (void)Cause; }
  // A link of the text pane that starts with the pound sign: the preset's name.
  // Returns false when the page knows no such preset.
  virtual bool ApplyPreset(const std::string &Name) { (void)Name; return false; }
  // Whether ApplyPreset knows the name (the window shows the page's topic first).
  virtual bool HasPreset(const std::string &Name) const { (void)Name; return false; }
  // The shared menus: shown (visible or enabled) on sheet S of this page?
  virtual bool UsesMenu(TSharedMenu Menu, TSheet S) const { (void)Menu; (void)S; return false; }
  // Before the menu drops: tick and enable the page's items.
  virtual void MenuPopup(TSharedMenu Menu) { (void)Menu; }
  // An item of a shared menu other than copy and print.
  virtual void MenuClick(TMenuItem Item) { (void)Item; }
  // The Field menu's "Copy" and "Print..", and the Graph menu's items.
  virtual void CopyPicture() {}
  virtual void PrintPicture() {}
  virtual void CopyGraph() {}
  virtual void PrintGraph() {}
  // A tick of the window's 100 ms timer.
  virtual void Timer1Timer() {}

  // ---- The run protocol ----
  // A loop of this page is running (or unwinding).
  bool Running() const { return RunDepth > 0; }
  // Set when the running loop was asked to stop (a stop button, a topic change, a command
  // that must wait for the loop): a sequence of passes ends instead of going on.
  bool StopRequested() const { return FStopRequested; }
  void RequestStop();

  TPageHost &Host;

protected:
  struct TRunControls {
    std::vector<QWidget *> Disable; // start controls, and what would change the model
    std::vector<QWidget *> Enable;  // stop controls
  };
  // Runs Body as the program's one loop, with the yield it should pump through. Returns
  // false when Body did not run now (a loop runs on, or prints; or the start waits for
  // an unwinding loop and runs Body later).
  bool Run(const TRunControls &Controls, std::function<void(const TYield &Yield)> Body);
  // Runs Action now when no loop runs; else stops the running loop and runs Action once
  // it has unwound (never after this page is gone).
  void WhenIdle(std::function<void()> Action);
  // Pumps messages; false once AbortFlag is set or the page is gone.
  TYield PumpYield() const;
  // Pumps messages once; false when the page went away meanwhile.
  bool PumpOnce() const;
  // Keeps a callback from running after the page is gone.
  std::weak_ptr<int> AliveToken() const { return FAlive; }

  // The page's content widget on sheet S, filling it (it scrolls when the sheet is smaller
  // than the page's minimum size); made on first use.
  QWidget *Content(TSheet S);
  // Deletes every content widget: the first thing a page's destructor does.
  void DestroyContent();

private:
  struct TContent {
    TSheet Sheet;
    QPointer<QWidget> Widget;
    QPointer<QWidget> Frame; // the scroll area around Widget, filling the sheet
  };
  std::vector<TContent> Contents;
  int RunDepth = 0;
  bool FStopRequested = false;
  std::shared_ptr<int> FAlive = std::make_shared<int>(0);
};
