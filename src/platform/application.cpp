#include "platform/application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <map>

#include "platform/qt_bridge.h"

namespace {

using Clock = std::chrono::steady_clock;

struct TAppState {
  std::string Title = "Vornelle";
  std::string Hint;
  int Pump = 0;
  int Loops = 0;
  Clock::time_point NextDispatch; // the loops' pump: not before this
  bool Terminated = false;
  bool InIdle = false;
  bool IdleHooked = false;
  std::vector<std::function<void()>> AfterLoops;
  bool AfterLoopsPosted = false;
  TCursor Cursor = crDefault;
  std::map<int, QCursor> Custom;
  std::function<int(const std::string &, TMsgDlgType, TMsgDlgButtons)> DlgHook;
};

TAppState &St() {
  static TAppState S;
  return S;
}

TApplication TheApp;
TScreen TheScreen;

void RunIdle();

void HookIdle() {
  TAppState &S = St();
  if (S.IdleHooked || !QCoreApplication::instance()) return;
  QAbstractEventDispatcher *Disp = QAbstractEventDispatcher::instance();
  if (!Disp) return;
  S.IdleHooked = true;
  QObject::connect(Disp, &QAbstractEventDispatcher::aboutToBlock, Disp, [] { RunIdle(); });
}

void RunIdle() {
  TAppState &S = St();
  if (S.InIdle || S.Pump > 0 || S.Loops > 0 || !Application->OnIdle) return;
  S.InIdle = true;
  bool Done = true;
  auto Handler = Application->OnIdle; // the handler may replace itself
  Handler(Done);
  S.InIdle = false;
  if (!Done) QTimer::singleShot(1, [] {});
}

void RunAfterLoops() {
  TAppState &S = St();
  S.AfterLoopsPosted = false;
  if (S.Loops > 0) return;
  auto Actions = std::move(S.AfterLoops);
  S.AfterLoops.clear();
  for (auto &A : Actions) A();
}

} // namespace

TApplication *const Application = &TheApp;
TScreen *const Screen = &TheScreen;

std::string TApplication::Title() const { return St().Title; }
void TApplication::SetTitle(const std::string &T) {
  // Kept for message boxes only: as the toolkit's display name it would be appended to
  // every window's caption.
  St().Title = T;
}

void TApplication::ProcessMessages() {
  TAppState &S = St();
  if (S.Loops > 0 && Clock::now() < S.NextDispatch) return;
  HookIdle();
  if (!QCoreApplication::instance()) return;
  S.Pump++;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  S.Pump--;
  // Timed from the end: a dispatch that painted for long is not followed by another.
  S.NextDispatch = Clock::now() + PumpInterval;
}

void TApplication::ProcessMessagesUntil(std::chrono::steady_clock::time_point Due) {
  HookIdle();
  if (!QCoreApplication::instance()) return;
  const auto Left = Due - std::chrono::steady_clock::now();
  if (Left <= std::chrono::steady_clock::duration::zero()) {
    ProcessMessages();
    return;
  }
  TAppState &S = St();
  S.Pump++;
  QEventLoop Wait;
  QTimer Wake;
  Wake.setSingleShot(true);
  Wake.setTimerType(Qt::PreciseTimer);
  QObject::connect(&Wake, &QTimer::timeout, &Wait, &QEventLoop::quit);
  // Whole milliseconds rounded up: waking before Due would cut a frame short.
  Wake.start(int(std::chrono::ceil<std::chrono::milliseconds>(Left).count()));
  Wait.exec();
  S.Pump--;
  // Everything that came meanwhile has been dispatched: the loop's next pump can wait.
  S.NextDispatch = Clock::now() + PumpInterval;
}

int TApplication::PumpDepth() const { return St().Pump; }
int TApplication::LoopDepth() const { return St().Loops; }

std::string TApplication::Hint() const { return St().Hint; }
void TApplication::SetHint(const std::string &H) {
  St().Hint = H;
  if (OnHint) OnHint();
}

bool TApplication::HelpContext(int Context) { return OnHelp ? OnHelp(HELP_CONTEXT, Context, "") : false; }
bool TApplication::HelpCommand(int Command, int Data) { return OnHelp ? OnHelp(Command, Data, "") : false; }
bool TApplication::HelpKeyword(const std::string &K) { return OnHelp ? OnHelp(HELP_KEY, 0, K) : false; }

void TApplication::AfterLoops(std::function<void()> Action) {
  TAppState &S = St();
  if (S.Loops == 0) {
    Action();
    return;
  }
  S.AfterLoops.push_back(std::move(Action));
}

void TApplication::EnterLoop() {
  HookIdle();
  TAppState &S = St();
  // The first pump of a loop dispatches whatever its start left waiting.
  if (S.Loops++ == 0) S.NextDispatch = Clock::time_point();
}

void TApplication::LeaveLoop() {
  TAppState &S = St();
  if (S.Loops > 0) S.Loops--;
  if (S.Loops == 0 && !S.AfterLoops.empty() && !S.AfterLoopsPosted && QCoreApplication::instance()) {
    S.AfterLoopsPosted = true;
    // From the event loop, so the loop that just ended has unwound completely.
    QTimer::singleShot(0, [] { RunAfterLoops(); });
  }
}

void TApplication::Terminate() {
  St().Terminated = true;
  if (QCoreApplication::instance()) QCoreApplication::quit();
}
bool TApplication::Terminated() const { return St().Terminated; }

int TApplication::Run() {
  HookIdle();
  if (!QCoreApplication::instance()) return 1;
  return QCoreApplication::exec();
}

std::string GetShortHint(const std::string &H) {
  size_t P = H.find('|');
  return P == std::string::npos ? H : H.substr(0, P);
}
std::string GetLongHint(const std::string &H) {
  size_t P = H.find('|');
  return P == std::string::npos ? H : H.substr(P + 1);
}

namespace {
QRect ScreenGeometry(bool Avail) {
  QScreen *S = QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
  if (!S) return QRect(0, 0, 1024, 768);
  return Avail ? S->availableGeometry() : S->geometry();
}
} // namespace

int TScreen::Width() const { return ScreenGeometry(false).width(); }
int TScreen::Height() const { return ScreenGeometry(false).height(); }
int TScreen::WorkAreaLeft() const { return ScreenGeometry(true).left(); }
int TScreen::WorkAreaTop() const { return ScreenGeometry(true).top(); }
int TScreen::WorkAreaWidth() const { return ScreenGeometry(true).width(); }
int TScreen::WorkAreaHeight() const { return ScreenGeometry(true).height(); }
TCursor TScreen::Cursor() const { return St().Cursor; }
void TScreen::SetCursor(TCursor C) {
  TAppState &S = St();
  if (C == S.Cursor) return;
  if (QGuiApplication::instance()) {
    if (S.Cursor != crDefault) QGuiApplication::restoreOverrideCursor();
    if (C != crDefault) QGuiApplication::setOverrideCursor(ToQCursor(C));
  }
  S.Cursor = C;
}
void TScreen::SetCustomCursor(TCursor Id, const std::string &Resource, int HotX, int HotY) {
  QPixmap P(QString::fromStdString(":/" + Resource));
  if (P.isNull()) P = QPixmap(QString::fromStdString(":/" + Resource + ".png"));
  if (!P.isNull()) St().Custom[Id] = QCursor(P, HotX, HotY);
}

QCursor ToQCursor(int C) {
  auto &Custom = St().Custom;
  auto It = Custom.find(C);
  if (It != Custom.end()) return It->second;
  switch (C) {
  case crNone: return QCursor(Qt::BlankCursor);
  case crCross: return QCursor(Qt::CrossCursor);
  case crIBeam: return QCursor(Qt::IBeamCursor);
  case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
  case crSizeNS: return QCursor(Qt::SizeVerCursor);
  case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
  case crSizeWE: return QCursor(Qt::SizeHorCursor);
  case crUpArrow: return QCursor(Qt::UpArrowCursor);
  case crHourGlass:
  case crSQLWait: return QCursor(Qt::WaitCursor);
  case crDrag:
  case crMultiDrag: return QCursor(Qt::DragCopyCursor);
  case crNoDrop:
  case crNo: return QCursor(Qt::ForbiddenCursor);
  case crHSplit: return QCursor(Qt::SplitHCursor);
  case crVSplit: return QCursor(Qt::SplitVCursor);
  case crAppStart: return QCursor(Qt::BusyCursor);
  case crHelp: return QCursor(Qt::WhatsThisCursor);
  case crHandPoint: return QCursor(Qt::PointingHandCursor);
  case crSizeAll: return QCursor(Qt::SizeAllCursor);
  default: return QCursor(Qt::ArrowCursor);
  }
}

void SetMessageDlgHook(std::function<int(const std::string &, TMsgDlgType, TMsgDlgButtons)> Hook) {
  St().DlgHook = std::move(Hook);
}

int MessageDlg(const std::string &Text, TMsgDlgType Type, TMsgDlgButtons Buttons, int HelpContext) {
  (void)HelpContext;
  TAppState &S = St();
  if (S.DlgHook) return S.DlgHook(Text, Type, Buttons);
  if (!QApplication::instance()) return mrCancel;
  QMessageBox Box;
  Box.setWindowTitle(QString::fromStdString(S.Title));
  Box.setText(QString::fromStdString(Text));
  switch (Type) {
  case mtWarning: Box.setIcon(QMessageBox::Warning); break;
  case mtError: Box.setIcon(QMessageBox::Critical); break;
  case mtInformation: Box.setIcon(QMessageBox::Information); break;
  case mtConfirmation: Box.setIcon(QMessageBox::Question); break;
  default: break;
  }
  struct TMap { TMsgDlgButtons B; QMessageBox::StandardButton Q; int R; };
  const TMap Map[] = {{mbYes, QMessageBox::Yes, mrYes},       {mbNo, QMessageBox::No, mrNo},
                      {mbOK, QMessageBox::Ok, mrOk},          {mbCancel, QMessageBox::Cancel, mrCancel},
                      {mbAbort, QMessageBox::Abort, mrAbort}, {mbRetry, QMessageBox::Retry, mrRetry},
                      {mbIgnore, QMessageBox::Ignore, mrIgnore}, {mbAll, QMessageBox::YesToAll, mrAll},
                      {mbHelp, QMessageBox::Help, mrNone}};
  QMessageBox::StandardButtons Qb;
  for (const TMap &M : Map)
    if (Buttons & M.B) Qb |= M.Q;
  if (!Qb) Qb = QMessageBox::Ok;
  Box.setStandardButtons(Qb);
  S.Pump++; // a modal box is a nested loop: no idle handler inside it
  int Res = Box.exec();
  S.Pump--;
  for (const TMap &M : Map)
    if (Res == M.Q) return M.R;
  return mrCancel;
}

void ShowMessage(const std::string &Text) { MessageDlg(Text, mtCustom, mbOK); }

uint32_t GetTickCount() {
  static QElapsedTimer T = [] {
    QElapsedTimer E;
    E.start();
    return E;
  }();
  return uint32_t(T.elapsed());
}
