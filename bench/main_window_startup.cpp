// Start-up of the program to the first painted main window, on the display the
// environment names (run it under xvfb-run). Prints the time of each run in ms.
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/field_frm.h"
#include "app/program_main.h"
#include "platform/files.h"

int main(int argc, char **argv) {
  auto Start = std::chrono::steady_clock::now();
  QApplication App(argc, argv);
  auto AppMade = std::chrono::steady_clock::now();
  TProgramHooks Hooks;
  // The text pages are copied beside the program, one folder up from the benchmarks.
  Hooks.ProgramDir = argc > 1 ? argv[1] : ProgramDir() + "../";
  double PaintMs = -1, CreatedMs = -1;
  auto Since = [&Start] {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
  };
  Hooks.Created = [&](TFieldFrm &) { CreatedMs = Since(); };
  Hooks.FirstPaint = [&](TFieldFrm &Form) {
    PaintMs = Since();
    // Leave without the close question.
    QTimer::singleShot(0, [&Form] { Form.hide(); QCoreApplication::quit(); });
  };
  ProgramMain(Hooks);
  double AppMs = std::chrono::duration<double, std::milli>(AppMade - Start).count();
  std::printf("application object %.1f ms, main window created %.1f ms, first painted %.1f ms after start\n",
              AppMs, CreatedMs, PaintMs);
  return PaintMs < 0 ? 1 : 0;
}
