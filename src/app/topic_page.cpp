#include "app/topic_page.h"

#include <QLayout>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/application.h"
#include "sim/shared_constants.h"

TTopicPage::TTopicPage(TPageHost &AHost) : Host(AHost) {}

TTopicPage::~TTopicPage() {
  FAlive.reset();
  DestroyContent();
}

QWidget *TTopicPage::Content(TSheet S) {
  for (const TContent &C : Contents)
    if (C.Sheet == S && C.Widget) return C.Widget;
  QWidget *Sheet = Host.SheetWidget(S);
  auto *W = new QWidget(Sheet);
  W->setObjectName(Sheet->objectName() + "Content");
  QLayout *L = Sheet->layout();
  if (!L) {
    L = new QVBoxLayout(Sheet);
    L->setContentsMargins(0, 0, 0, 0);
    L->setSpacing(0);
  }
  L->addWidget(W);
  Contents.push_back({S, W});
  return W;
}

void TTopicPage::DestroyContent() {
  for (TContent &C : Contents) delete C.Widget.data();
  Contents.clear();
}

void TTopicPage::RequestStop() {
  AbortFlag = true;
  FStopRequested = true;
}

TYield TTopicPage::PumpYield() const {
  std::weak_ptr<int> Alive = FAlive;
  return [Alive] {
    Application->ProcessMessages();
    return !Alive.expired() && !AbortFlag;
  };
}

bool TTopicPage::PumpOnce() const {
  std::weak_ptr<int> Alive = FAlive;
  Application->ProcessMessages();
  return !Alive.expired();
}

bool TTopicPage::Run(const TRunControls &Controls, std::function<void(const TYield &Yield)> Body) {
  if (Host.BusyFlag()) return false;
  if (Application->LoopRunning() || Running()) {
    // A loop that runs on keeps the program's one loop; one that was told to stop is
    // waited for, then this start goes ahead.
    if (!AbortFlag) return false;
    std::weak_ptr<int> Alive = FAlive;
    Application->AfterLoops([this, Alive, Controls, Body] {
      if (!Alive.expired()) Run(Controls, Body);
    });
    return false;
  }
  struct TSaved {
    QPointer<QWidget> Widget;
    bool Enabled;
  };
  std::vector<TSaved> Saved;
  for (QWidget *W : Controls.Disable)
    if (W) Saved.push_back({W, W->isEnabled()});
  for (QWidget *W : Controls.Enable)
    if (W) Saved.push_back({W, W->isEnabled()});
  for (QWidget *W : Controls.Disable)
    if (W) W->setEnabled(false);
  for (QWidget *W : Controls.Enable)
    if (W) W->setEnabled(true);

  std::weak_ptr<int> Alive = FAlive;
  ++RunDepth;
  FStopRequested = false;
  AbortFlag = false;
  std::string Failure;
  {
    TLoopGuard Loop;
    try {
      Body(PumpYield());
    } catch (const std::exception &E) {
      Failure = E.what();
    }
  }
  AbortFlag = true;
  // However the loop ended, its controls are as they were before it.
  for (TSaved &S : Saved)
    if (S.Widget) S.Widget->setEnabled(S.Enabled);
  if (!Alive.expired()) --RunDepth;
  if (!Failure.empty()) MessageDlg(Failure, mtError, mbOK);
  return true;
}

void TTopicPage::WhenIdle(std::function<void()> Action) {
  if (!Application->LoopRunning() && !Running()) {
    Action();
    return;
  }
  RequestStop();
  std::weak_ptr<int> Alive = FAlive;
  Application->AfterLoops([Alive, Action] {
    if (!Alive.expired()) Action();
  });
}
