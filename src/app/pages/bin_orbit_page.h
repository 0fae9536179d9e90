#pragma once
// "Planetary orbits (2)", sheet BinOrbitTab: two or three bodies under their mutual
// gravitation. Their masses, positions and velocities are typed into a small grid; the
// picture zooms with a left drag and pans with a right drag, also during a run.
#include <string>
#include <vector>

#include "app/topic_page.h"
#include "platform/input.h"
#include "sim/bodies.h"
#include "sim/orbit_picture.h"

class QButtonGroup;
class QGroupBox;
class QRadioButton;
class TKitSpeedButton;
class TPaintBox;

// What a key typed into a grid cell does to its text. Fresh: the cell was just selected,
// so its old text is replaced. Accepted keys are the digits, '-', '.' and backspace; any
// other key is rejected and changes nothing (Fresh included).
struct TGridEdit {
  bool Accepted = false;
  std::string Text;
};
TGridEdit EditGridText(const std::string &Old, bool Fresh, char16_t Key);

class TBinOrbitPage : public TTopicPage {
public:
  static constexpr int GridCols = 6, GridRows = 4;
  static constexpr int Col0Width = 30, ColWidth = 50, RowHeight = 18;

  explicit TBinOrbitPage(TPageHost &AHost);
  ~TBinOrbitPage() override;
  void Shown() override;
  void Stop(TStopCause Cause) override;

  // Number of bodies taking part: 2 or 3.
  int BodyCount() const;
  TOrbitView View() const { return {BodyScale, BodyOriginX, BodyOriginY}; }

  void InitGrid();
  // The three bodies as the grid's cells give them (a cell that is no number gives 0).
  std::vector<TBody> GridBodies() const;
  void ReadGrid();
  void DrawBodiesSetup();
  void gridSelectCell(int ACol, int ARow, bool &CanSelect);
  // Selects a cell as a click would: only where gridSelectCell allows it.
  bool SelectCell(int ACol, int ARow);
  void gridKeyPress(char16_t &Key);
  void gridDrawCell(int ACol, int ARow, const TRect &Rect, bool Selected);
  void DrawGrid();
  TRect CellRect(int ACol, int ARow) const;
  void PlanetRGClick();
  void binStartBtnClick();
  void binStopBtnClick();
  void binApplyBtnClick();
  void binOriginBtnClick();
  void BinOrbPicPaint();
  void BinOrbPicMouseDown(TMouseButton Button, int X, int Y);
  void BinOrbPicMouseMove(int X, int Y);
  void BinOrbPicMouseUp(int X, int Y);

  TKitSpeedButton *binStartBtn = nullptr, *binStopBtn = nullptr, *binOriginBtn = nullptr,
                  *binApplyBtn = nullptr;
  TPaintBox *grid = nullptr;
  QGroupBox *PlanetRG = nullptr;
  QButtonGroup *PlanetRGGroup = nullptr;
  QRadioButton *PlanetRGItems[2] = {};
  TPaintBox *BinOrbPic = nullptr;

  std::vector<TBody> Bodies = InitBodies();
  std::string Cells[GridCols][GridRows];
  int Col = 1, Row = 1; // the selected cell
  bool FreshCell = true;
  int BodyScale = 30;
  int BodyOriginX = 200, BodyOriginY = 200;
  int MouseMode = 0; // 0 none, 1 zoom, 2 pan
  int LastX = 0, LastY = 0;
  int ScaleAtGrab = 30;
};
