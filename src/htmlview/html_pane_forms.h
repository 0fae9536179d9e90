#pragma once
// The window controls of the form controls: edits, buttons, check boxes, radio buttons in
// their small panels, list boxes, drop-down combos and memos on the viewer's paint panel.
// The document object keeps the value (in the page's code page); the window shows it and
// reports the user's changes and clicks back to it.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "htmlview/form_controls.h"

class TQtFormWindow : public QObject, public TFormWindow {
public:
  // Made parked at Top -400 on Parent, hidden until the drawing places it.
  TQtFormWindow(TFormControlObj &Obj, QWidget *Parent);
  // The window may be inside its own signal (a click whose handler loaded a page): it is
  // hidden now and freed by Qt afterwards.
  ~TQtFormWindow() override;
  void Refresh() override;
  void Place(int X, int Y) override;
  void Hide() override;
  bool IsVisible() const override;
  TRect Bounds() const override;
  bool HasInput() const override;
  // The outer widget (a radio button's panel) and the control itself.
  QWidget *Widget() const { return FWidget; }
  QWidget *Control() const { return FControl; }

protected:
  bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
  void Build(QWidget *Parent);
  void ReadBack(); // the window's value into the object
  TFormControlObj &FObj;
  QPointer<QWidget> FWidget;
  QPointer<QWidget> FControl;
  bool FRefreshing = false;
};

std::unique_ptr<TFormWindow> MakeFormWindow(TFormControlObj &Obj, QWidget *Parent);
