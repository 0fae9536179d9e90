#include "app/topic_page.h"

#include <QLayout>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/application.h"
#include "sim/shared_constants.h"

TTopicPage::TTopicPage(TPageHost &AHost) : Host(AHost) {}

TTopicPage::~TTopicPage() {
  FAlive.reset();
  DestroyContent();
}

namespace {
// A page's content: on a sheet smaller than the page needs, its controls and pictures keep
// their sizes and the sheet scrolls, rather than squeezing them onto one another.
class TPageContent : public QWidget {
public:
  using QWidget::QWidget;
  // The scroll area asks for the height at a width: the page needs only its minimum there
  // (its own scroll boxes and charts take what room is left).
  int heightForWidth(int W) const override {
    QLayout *L = layout();
    return L && L->hasHeightForWidth() ? L->totalMinimumHeightForWidth(W)
                                       : QWidget::heightForWidth(W);
  }
};
} // namespace

QWidget *TTopicPage::Content(TSheet S) {
  for (const TContent &C : Contents)
    if (C.Sheet == S && C.Widget) return C.Widget;
  QWidget *Sheet = Host.SheetWidget(S);
  auto *Frame = new QScrollArea(Sheet);
  Frame->setObjectName(Sheet->objectName() + "Scroller");
  Frame->setFrameShape(QFrame::NoFrame);
  Frame->setFocusPolicy(Qt::NoFocus); // the keys stay with the page's controls
  Frame->setWidgetResizable(true);
  Frame->viewport()->setAutoFillBackground(false); // the sheet's face shows through
  auto *W = new TPageContent;
  W->setObjectName(Sheet->objectName() + "Content");
  Frame->setWidget(W);
  QLayout *L = Sheet->layout();
  if (!L) {
    L = new QVBoxLayout(Sheet);
    L->setContentsMargins(0, 0, 0, 0);
    L->setSpacing(0);
  }
  L->addWidget(Frame);
  Contents.push_back({S, W, Frame});
  return W;
}

void TTopicPage::DestroyContent() {
  for (TContent &C : Contents) delete C.Frame.data();
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
