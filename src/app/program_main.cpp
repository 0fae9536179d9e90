#include "app/program_main.h"

#include <QApplication>

#include "app/field_frm.h"
#include "app/forms/splash_frm.h"
#include "platform/application.h"

TFieldFrm *FieldFrm = nullptr;

int ProgramMain(const TProgramHooks &Hooks) {
  Screen->SetCursor(crAppStart);
  ShowSplashForm();
  Application->SetTitle("Vornelle");
  TFieldFrmOptions Options;
  Options.ProgramDir = Hooks.ProgramDir;
  FieldFrm = new TFieldFrm(Options);
  if (Hooks.Created) Hooks.Created(*FieldFrm);
  FieldFrm->OnClosed = [] { QCoreApplication::quit(); };
  if (Hooks.FirstPaint) FieldFrm->OnFirstPaint = [&Hooks] { Hooks.FirstPaint(*FieldFrm); };
  FieldFrm->show();
  int Code = Application->Run();
  // Run returns from the outermost event loop only: no simulation loop is left running.
  delete FieldFrm;
  FieldFrm = nullptr;
  FreeSplashForm();
  return Code;
}
