#pragma once
// The program's main block: busy cursor, splash form, title, main window and picture
// pop-up, then the message loop. The QApplication must exist already.
#include <functional>
#include <string>

class TFieldFrm;

extern TFieldFrm *FieldFrm;

struct TProgramHooks {
  // Called when the main window has been created (its FormCreate has run).
  std::function<void(TFieldFrm &)> Created;
  // Called once the main window has been painted for the first time.
  std::function<void(TFieldFrm &)> FirstPaint;
  // The folder that holds HTML/ and Help/; empty: the folder of the executable.
  std::string ProgramDir;
};

int ProgramMain(const TProgramHooks &Hooks = {});
