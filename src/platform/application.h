#pragma once
// The application object: title, message pump, idle time, hints, help hooks, the
// one-loop-at-a-time guard, the screen and message boxes. No Qt in this header.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

// Cursors (TCursor values of the class library).
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9,
                  crUpArrow = -10, crHourGlass = -11, crDrag = -12, crNoDrop = -13,
                  crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17,
                  crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                  crSizeAll = -22;

// Help commands for HelpCommand.
constexpr int HELP_CONTEXT = 1, HELP_QUIT = 2, HELP_CONTENTS = 3, HELP_KEY = 0x101,
              HELP_FINDER = 0x0B, HELP_PARTIALKEY = 0x105;

class TApplication {
public:
  std::string Title() const;
  void SetTitle(const std::string &Title);

  // Dispatches the events that are waiting and returns; never runs OnIdle. While a
  // simulation loop runs it dispatches at most once every PumpInterval (the first call
  // after the outermost loop began always does) and is otherwise a clock read, so a loop
  // may call it after every step: it pays next to nothing for that, and a stop still
  // reaches it within a few milliseconds.
  void ProcessMessages();
  static constexpr std::chrono::microseconds DefaultPumpInterval{4000};
  // Tests that act at a chosen step of a short loop set zero: every call dispatches.
  std::chrono::microseconds PumpInterval = DefaultPumpInterval;
  // Dispatches events as they come, sleeping in the event loop between them, until Due
  // (or the application quits); a pump like ProcessMessages, so never runs OnIdle.
  void ProcessMessagesUntil(std::chrono::steady_clock::time_point Due);
  // Nesting of ProcessMessages calls in progress.
  int PumpDepth() const;
  // Number of simulation loops running (live TLoopGuard objects).
  int LoopDepth() const;
  bool LoopRunning() const { return LoopDepth() > 0; }

  // Runs once each time the event loop is about to wait, only when no loop runs and no
  // ProcessMessages is in progress. Done = false asks for another call soon.
  std::function<void(bool &Done)> OnIdle;

  // Hints: setting Hint calls OnHint. "short|long": the tooltip shows the short part,
  // the status bar the long part.
  std::string Hint() const;
  void SetHint(const std::string &Hint);
  std::function<void()> OnHint;

  // Help: the window that shows help pages belongs to the main window; it installs
  // OnHelp, which receives the command (HELP_CONTEXT, HELP_CONTENTS, HELP_KEY ...) and
  // its argument (context number, or 0) with the keyword for HELP_KEY. Returns false
  // when no handler is installed.
  std::string HelpFile;
  std::function<bool(int Command, int Data, const std::string &Keyword)> OnHelp;
  bool HelpContext(int Context);
  bool HelpCommand(int Command, int Data);
  bool HelpKeyword(const std::string &Keyword);

  // Runs Action once no simulation loop runs any more: at once when none runs, else from
  // the event loop after the last TLoopGuard has ended (never inside a loop's pump).
  void AfterLoops(std::function<void()> Action);

  // Leaves the main event loop; Terminated stays true afterwards.
  void Terminate();
  bool Terminated() const;

  // Run the main event loop (QApplication::exec); returns its exit code.
  int Run();

  // Internal: called by TLoopGuard.
  void EnterLoop();
  void LeaveLoop();
};

extern TApplication *const Application;

// RAII mark of a running simulation loop: while one lives, LoopRunning() is true.
class TLoopGuard {
public:
  TLoopGuard() { Application->EnterLoop(); }
  ~TLoopGuard() { Application->LeaveLoop(); }
  TLoopGuard(const TLoopGuard &) = delete;
  TLoopGuard &operator=(const TLoopGuard &) = delete;
};
inline bool LoopRunning() { return Application->LoopRunning(); }

std::string GetShortHint(const std::string &Hint); // before '|', all when none
std::string GetLongHint(const std::string &Hint);  // after '|', all when none

struct TScreenRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class TScreen {
public:
  int Width() const;
  int Height() const;
  // The work area (screen minus panels), as Left/Top/Right/Bottom.
  int WorkAreaLeft() const;
  int WorkAreaTop() const;
  int WorkAreaWidth() const;
  int WorkAreaHeight() const;
  int PixelsPerInch() const { return 96; }
  int ColorDepth() const { return 24; }
  // The application-wide cursor (crDefault: each control's own).
  TCursor Cursor() const;
  void SetCursor(TCursor C);
  // Registers a cursor of res/ (a PNG) under a positive number, for custom cursors.
  void SetCustomCursor(TCursor Id, const std::string &Resource, int HotX, int HotY);
};

extern TScreen *const Screen;

// Message boxes.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbAbort = 16,
                         mbRetry = 32, mbIgnore = 64, mbAll = 128, mbHelp = 256;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel, mbOKCancel = mbOK | mbCancel;
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
              mrYes = 6, mrNo = 7, mrAll = 8;

// Shows a modal message box with the application title as caption; returns mr...
int MessageDlg(const std::string &Text, TMsgDlgType Type, TMsgDlgButtons Buttons,
               int HelpContext = 0);
void ShowMessage(const std::string &Text);
// Tests answer message boxes without a window: the hook receives the text, type and
// buttons and returns the result. An empty function restores real boxes.
void SetMessageDlgHook(
    std::function<int(const std::string &Text, TMsgDlgType Type, TMsgDlgButtons Buttons)> Hook);

// Milliseconds since an arbitrary start (wraps after 49 days, as GetTickCount).
uint32_t GetTickCount();
inline uint32_t timeGetTime() { return GetTickCount(); }
