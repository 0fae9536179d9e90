#pragma once
// The builders every topic page uses for its controls, so that toolbars, buttons,
// pictures, scroll bars, hints, menus and hosted charts look and behave alike on every
// page.
#include <QLayout>
#include <functional>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/types.h"
#include "sim/series_sink.h"

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QScrollBar;
class QVBoxLayout;
class QWidget;
class TChart;
class TChartSeries;
class TKitSpeedButton;
class TPaintBox;
class TPageHost;

// Toolbar buttons of the topic pages: glyph above caption.
constexpr int PageButtonWidth = 42, PageButtonHeight = 40;

// Lays its items out in rows, left to right, starting a new row when the next item would
// not fit: a toolbar keeps every button whole at any width the splitter allows.
class TFlowLayout : public QLayout {
public:
  explicit TFlowLayout(QWidget *Parent, int Margin = 2, int Spacing = 1);
  ~TFlowLayout() override;
  void addItem(QLayoutItem *Item) override;
  int count() const override { return int(Items.size()); }
  QLayoutItem *itemAt(int Index) const override;
  QLayoutItem *takeAt(int Index) override;
  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int Width) const override;
  QSize minimumSize() const override;
  QSize sizeHint() const override;
  void setGeometry(const QRect &Rect) override;
  // A gap of W pixels before the next item (on the same row).
  void AddSpacing(int W);

private:
  int DoLayout(const QRect &Rect, bool Apply) const;
  std::vector<QLayoutItem *> Items;
  int Space;
};

// A column with no margins, for a content widget or a panel.
QVBoxLayout *MakeColumn(QWidget *Parent, int Margin = 0, int Spacing = 0);
// A toolbar that wraps its buttons (a TFlowLayout).
QWidget *MakeToolbar(QWidget *Parent, const char *Name);
TFlowLayout *ToolbarLayout(QWidget *Toolbar);
// A flat speed button with its glyph (res/widgets/glyphs/<Glyph>.png) above its caption,
// added to the toolbar's layout when the parent has one.
TKitSpeedButton *MakeSpeedButton(QWidget *Toolbar, const char *Name, const std::string &Caption,
                                 const std::string &Hint, const char *Glyph,
                                 int Width = PageButtonWidth, int Height = PageButtonHeight);
// Sets a button's glyph from a bitmap of the program's resources ("BIN", "BUP" ...).
void SetResourceGlyph(TKitSpeedButton *Button, const std::string &Name);
// A white scroll box for a picture larger than its room.
QScrollArea *MakeScrollBox(QWidget *Parent, const char *Name, TColor Color = clWhite);
// Scrolls a scroll box to the middle of its picture.
void CentreScrollBox(QScrollArea *Box);
// The same for the first showing of its sheet: the view stays in the middle while the window
// lays the sheet out, until the picture has been seen. Centred records that it was arranged.
void CentreScrollBoxWhenLaidOut(QScrollArea *Box, bool &Centred);
// A picture: a paint box of fixed size with its cursor and hint; inside a scroll box when
// Parent is one.
TPaintBox *MakePicture(QWidget *Parent, const char *Name, int Width, int Height, TCursor Cursor,
                       const std::string &Hint, TColor Color = clWhite);
// A scroll bar; its change handler runs also when the position is set in code.
QScrollBar *MakeScrollBar(QWidget *Parent, const char *Name, Qt::Orientation Orientation, int Min,
                          int Max, int Position, const std::string &Hint,
                          std::function<void()> OnChange, int LargeChange = 1);
QLabel *MakeLabel(QWidget *Parent, const char *Name, const std::string &Text);
// "short|long": the short part is the tooltip, the long part goes to the status bar's
// hint panel while the mouse is over the control.
void SetHint(QWidget *Control, const std::string &Hint);
std::string HintOf(const QWidget *Control);

// A popup menu owned by a page's content widget.
QMenu *MakePopupMenu(QWidget *Content, const char *Name);
// A checkable item whose Tag is its data.
QAction *AddMenuItem(QMenu *Menu, const std::string &Caption, int Tag, std::function<void()> OnClick);
int ActionTag(const QAction *Action);
// Ticks the item whose Tag equals Value, unticks the others.
void TickTag(QMenu *Menu, int Value);

// A chart shown in a paint box: painting, resizing, mouse zoom and pan, hint. Unhost
// before the paint box goes.
void HostChart(TChart &Chart, TPaintBox *Box, const std::string &Hint);
void UnhostChart(TChart &Chart, TPaintBox *Box);
// The printer rectangle of a graph: one-inch margins left, top and right, down to two
// thirds of the page.
TRect GetChartPrintRect();
// Prints a chart into GetChartPrintRect after the print dialog; a failing printer is told.
void PrintChart(TChart &Chart);
// Copies a chart as a picture, on white.
void CopyChart(TChart &Chart);
// The Field menu's "Print..": the print dialog, then Print with the chosen copies under the
// hourglass and the host's busy flag; a failing printer is told.
void PrintPictureWithDialog(TPageHost &Host, const std::function<void(int Copies)> &Print);

// An engine's graph operations on a chart series.
class TChartSeriesSink : public TSeriesSink {
public:
  explicit TChartSeriesSink(TChartSeries &ASeries) : Series(ASeries) {}
  void Clear() override;
  int AddXY(double X, double Y, const std::string &Label = {}, TColor Color = clDefault) override;
  int Count() const override;
  double XValue(int Index) const override;
  double YValue(int Index) const override;
  void SetXValue(int Index, double X) override;
  void SetYValue(int Index, double Y) override;
  double MaxYValue() const override;

private:
  TChartSeries &Series;
};
