#pragma once
// TPageHost: what a topic page may ask of the window that holds it. The main window
// implements it; page tests use a small host with a stack of sheets instead.
#include <string>

#include "app/topic_table.h"
#include "platform/types.h"

class QAction;
class QWidget;
class TPrintDialog;
class TTimer;

// The items of the shared menus whose action belongs to the active page.
enum class TMenuItem {
  ContourResolution, ContourLow, ContourMedium, ContourHigh, ShowArrows, DeleteFieldLines,
  DeleteContours, ReverseCurrent, FieldCopy, FieldPrint, GraphCopy, GraphPrint,
  SetAnimationSpeed, DoubleRotation
};
constexpr int MenuItemCount = 14;

class TPageHost {
public:
  virtual ~TPageHost() = default;
  // The sheet a page builds its controls on.
  virtual QWidget *SheetWidget(TSheet S) const = 0;
  virtual TSheet ActiveSheet() const = 0;
  // Makes S the visible sheet. When S belongs to another page, the page being left is
  // told Hidden and the new one Shown. Panel0Width >= 0 sets the status read-out's width.
  virtual void ShowSheet(TSheet S, int Panel0Width = -1) = 0;
  // Status bar panels: 0 the picture read-out, 1 the long hint.
  virtual void SetStatusText(int Panel, const std::string &Text) = 0;
  virtual std::string StatusText(int Panel) const = 0;
  virtual TPrintDialog &PrintDialog() = 0;
  // True while a picture of the Field menu prints: nothing starts meanwhile.
  virtual LongBool &BusyFlag() = 0;
  // The topic shown (0: the start-up page); the help context follows it.
  virtual int ShownTopic() const = 0;
  virtual QAction *MenuItem(TMenuItem Item) const = 0;
  // The window's 100 ms timer; its ticks reach every page's Timer1Timer.
  virtual TTimer &PageTimer() = 0;
};
