// The motor, dynamo and induction animations in the program's own window (run it under
// xvfb-run): frames a second and share of one core at every speed setting, each run for
// a second from its page's "start" to its "stop".
#include <QApplication>
#include <QScrollBar>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

#include "app/field_frm.h"
#include "app/pages/induction_page.h"
#include "app/pages/machine_page.h"
#include "app/program_main.h"
#include "platform/files.h"
#include "widgets/speed_button.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  rusage U{};
  getrusage(RUSAGE_SELF, &U);
  return double(U.ru_utime.tv_sec + U.ru_stime.tv_sec) + 1e-6 * double(U.ru_utime.tv_usec + U.ru_stime.tv_usec);
}

// Runs the animation that Start begins for RunMs, counting the frames on Bar.
void Measure(const char *Name, int Setting, QScrollBar *Bar, TKitSpeedButton *Start,
             TKitSpeedButton *Stop, int RunMs) {
  int Frames = 0;
  auto Conn = QObject::connect(Bar, &QScrollBar::valueChanged, [&](int) { ++Frames; });
  QTimer::singleShot(RunMs, [Stop] { Stop->Click(); });
  const auto T0 = Clock::now();
  const double C0 = CpuSeconds();
  Start->Click(); // returns when stopped
  const double Wall = std::chrono::duration<double>(Clock::now() - T0).count();
  const double Cpu = CpuSeconds() - C0;
  QObject::disconnect(Conn);
  std::printf("%-10s speed %2d: %4d frames in %.2f s = %5.1f frames/s, %5.1f %% of a core\n", Name,
              Setting, Frames, Wall, Frames / Wall, 100 * Cpu / Wall);
}

} // namespace

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  TProgramHooks Hooks;
  Hooks.ProgramDir = argc > 1 ? argv[1] : ProgramDir() + "../";
  Hooks.FirstPaint = [](TFieldFrm &Form) {
    QTimer::singleShot(0, [&Form] {
      auto *Machine = dynamic_cast<TMachinePage *>(Form.PageOfSheet(TSheet::Motor));
      auto *Lenz = dynamic_cast<TInductionPage *>(Form.PageOfSheet(TSheet::Lenz));
      Form.DoTopicChange(Form.DCMotorItem);
      for (int S = 1; S <= 10; ++S) {
        Machine->MotorStep = S;
        Measure("motor", S, Machine->MotorHsb, Machine->MotorStartBtn, Machine->MotorStopBtn, 1000);
      }
      Form.DoTopicChange(Form.DynamoItem);
      for (int S = 1; S <= 10; ++S) {
        Machine->DynamoStep = S;
        Measure("dynamo", S, Machine->DynamoHsb, Machine->DynStartBtn, Machine->DynStopBtn, 1000);
      }
      Form.DoTopicChange(Form.InductionItem);
      Lenz->LenzMagHsb->setValue(0);
      Measure("induction", 0, Lenz->LenzMagHsb, Lenz->LenzStartBtn, Lenz->LenzStopBtn, 1500);
      Form.hide();
      QCoreApplication::quit();
    });
  };
  ProgramMain(Hooks);
  return 0;
}
