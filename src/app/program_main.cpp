#include "app/program_main.h"

#include <QApplication>

#include "app/big_pic_frm.h"
#include "app/field_frm.h"
#include "app/splash_frm.h"
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
  BigPicFrm = new TBigPicFrm;
  FieldFrm->OnClosed = [] { QCoreApplication::quit(); };
  if (Hooks.FirstPaint) FieldFrm->OnFirstPaint = [&Hooks] { Hooks.FirstPaint(*FieldFrm); };
  FieldFrm->show();
  int Code = Application->Run();
  // Run returns from the outermost event loop only: no simulation loop is left running.
  delete BigPicFrm;
  BigPicFrm = nullptr;
  delete FieldFrm;
  FieldFrm = nullptr;
  FreeSplashForm();
  return Code;
}
