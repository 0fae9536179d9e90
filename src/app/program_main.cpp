#include "app/program_main.h"

#include <QApplication>

#include "app/field_frm.h"
#include "app/forms/splash_frm.h"
#include "app/window_gone.h"
#include "charts/chart_panel.h"
#include "platform/application.h"
#include "widgets/clip_icon.h"
#include "widgets/kit_const.h"
#include "widgets/kit_gif.h"

TFieldFrm *FieldFrm = nullptr;

int ProgramMain(const TProgramHooks &Hooks) {
  Screen->SetCursor(crAppStart);
  ShowSplashForm();
  Application->SetTitle("Vornelle");
  LoadKitCursors();
  LoadChartCursors();
  // Registered by call: a static library drops initialisers nobody references.
  RegisterKitGIF();
  RegisterClipIcon();
  TFieldFrmOptions Options;
  Options.ProgramDir = Hooks.ProgramDir;
  FieldFrm = new TFieldFrm(Options);
  if (Hooks.Created) Hooks.Created(*FieldFrm);
  FieldFrm->OnClosed = [] { QCoreApplication::quit(); };
  if (Hooks.FirstPaint) FieldFrm->OnFirstPaint = [&Hooks] { Hooks.FirstPaint(*FieldFrm); };
  FieldFrm->show();
  // A window destroyed without a close request still ends the program.
  TWindowGoneFilter Gone(FieldFrm->winId(), [] {
    if (FieldFrm) FieldFrm->NativeWindowLost();
  });
  QCoreApplication::instance()->installNativeEventFilter(&Gone);
  // So does a modal dialog's: it ends as if cancelled.
  TDialogGoneFilter DialogGone;
  QCoreApplication::instance()->installNativeEventFilter(&DialogGone);
  int Code = Application->Run();
  QCoreApplication::instance()->removeNativeEventFilter(&DialogGone);
  QCoreApplication::instance()->removeNativeEventFilter(&Gone);
  // Run returns from the outermost event loop only: no simulation loop is left running.
  delete FieldFrm;
  FieldFrm = nullptr;
  FreeSplashForm();
  return Code;
}
