// The electric field page inside the main window: controls, mouse protocol, presets,
// zoom, the 3-D view, the Field menu, and the one-loop-at-a-time rule.
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QStackedWidget>
#include <cstdio>
#include <optional>

#include "app/pages/field_page.h"
#include "main_window_fixture.h"
#include "platform/clipboard.h"
#include "platform/paint_box.h"
#include "platform/printer.h"
#include "pump_every_step.h"
#include "widgets/speed_button.h"

namespace {

class FieldPageTest : public MainWindowTest {
protected:
  TFieldPage *Page = nullptr;
  TFieldPlot *Plot = nullptr;
  std::optional<TPumpEveryStep> EveryStep;
  void SetUp() override {
    MainWindowTest::SetUp();
    MakeProgramFolder();
    MakeWindow();
    Page = dynamic_cast<TFieldPage *>(Form->PageOfSheet(TSheet::Field));
    ASSERT_NE(Page, nullptr);
    Plot = Page->FieldPlot.get();
    Form->show();
    Form->DoTopicChange(Form->ElectricFieldItem);
    Pump();
  }
  // Runs F once from the message pump of the next field-line pass, after it has stored
  // its first line (the pump dispatches at every step for the rest of the test).
  void DuringNextPlot(std::function<void()> F) {
    EveryStep.emplace();
    AtEachPump(Form.get(), [this, F] {
      if (!Page->Running() || Plot->Lines.empty()) return false;
      F();
      return true;
    });
  }
};

int Count(const QImage &Img, QRgb C) {
  int N = 0;
  for (int Y = 0; Y < Img.height(); ++Y)
    for (int X = 0; X < Img.width(); ++X) N += (Img.pixel(X, Y) & 0xFFFFFF) == (C & 0xFFFFFF);
  return N;
}

} // namespace

TEST_F(FieldPageTest, ControlsOfBothSheets) {
  EXPECT_EQ(Page->FChargeBtn->Caption(), "Q=1");
  EXPECT_EQ(Page->FChargeBtn->Hint(), "set size of charge");
  EXPECT_EQ(Page->FChargeBtn->DropDownMenu(), Page->ChargePUM);
  ASSERT_EQ(Page->ChargePUM->actions().size(), 5);
  EXPECT_EQ(Page->ChargePUM->actions()[4]->text().toStdString(), "5");
  EXPECT_EQ(Page->ChargePUM->actions()[4]->data().toInt(), 5);
  EXPECT_EQ(Page->AddBtn->Caption(), "add");
  EXPECT_EQ(Page->AddBtn->Hint(),
            "add charges|If this button is down you can add charges by clicking with the mouse");
  EXPECT_EQ(Page->SelectBtn->Hint(),
            "select charges|If this button is down you can move or delete charges with the mouse");
  EXPECT_EQ(Page->FClearBtn->Hint(), "clear screen|Clear the current plot");
  EXPECT_TRUE(Page->AddBtn->Down());
  EXPECT_FALSE(Page->SelectBtn->Down());
  EXPECT_EQ(Page->AddBtn->GroupIndex(), 1);
  EXPECT_EQ(Page->FPlotBtn->Caption(), "plot E");
  EXPECT_EQ(Page->FPlotBtn->Hint(), "plot field lines");
  EXPECT_EQ(Page->VplotBtn->Caption(), "plot V");
  EXPECT_EQ(Page->VplotBtn->Hint(), "plot equipotentials");
  EXPECT_EQ(Page->FAbortBtn->Caption(), "abort");
  EXPECT_EQ(Page->FAbortBtn->Hint(), "stop the current plot");
  EXPECT_TRUE(Page->FGridBtn->Down());
  EXPECT_TRUE(Page->FGridBtn->AllowAllUp());
  EXPECT_EQ(Page->FGridBtn->Hint(), "show/hide grid");
  EXPECT_EQ(Page->F3DBtn->Caption(), "3D");
  EXPECT_EQ(Page->F3DBtn->Hint(), "show 3D view");
  EXPECT_EQ(Page->FZoomBtn->Caption(), "zoom");
  std::vector<std::pair<std::string, int>> Zooms;
  for (QAction *A : Page->FZoomPUM->actions()) Zooms.push_back({A->text().toStdString(), A->data().toInt()});
  EXPECT_EQ(Zooms, (std::vector<std::pair<std::string, int>>{{"75%", 12}, {"100%", 16}, {"125%", 20}, {"150%", 24}}));
  Zooms.clear();
  for (QAction *A : Page->ThreeDZoomPUM->actions()) Zooms.push_back({A->text().toStdString(), A->data().toInt()});
  EXPECT_EQ(Zooms, (std::vector<std::pair<std::string, int>>{
                       {"100%", 8}, {"125%", 10}, {"150%", 12}, {"175%", 14}, {"200%", 16}}));
  EXPECT_EQ(Page->Close3DBtn->Caption(), "2D");
  EXPECT_EQ(Page->Close3DBtn->Hint(), "return to 2D view");
  EXPECT_EQ(Page->Reset3DBtn->Caption(), "reset");
  EXPECT_EQ(Page->RotationLabel->text().toStdString(), "rotation");
  EXPECT_EQ(Page->ElevationLabel->text().toStdString(), "elevation");
  EXPECT_EQ(Page->threeDpic->width(), 400);
  EXPECT_EQ(Page->threeDpic->toolTip().toStdString(),
            "Use left mouse button to rotate; use right mouse button to pan");
  // The picture is the plot's size, inside its white scroll box.
  EXPECT_EQ(Page->FieldPic->width(), 641);
  EXPECT_EQ(Page->FieldSB->widget(), Page->FieldPic);
  // The toolbar fits the page width the topic table gives.
  EXPECT_LE(Page->FieldToolbar->sizeHint().width(), Form->MainPCWidth());
  EXPECT_LE(Page->ThreeDToolbar->sizeHint().width(), Form->MainPCWidth());
  // Idle with no charge: abort is off, and so are the commands that need charges.
  bool Done = false;
  Form->AppIdle(Done);
  EXPECT_FALSE(Page->FAbortBtn->Enabled());
  EXPECT_FALSE(Page->FPlotBtn->Enabled());
  EXPECT_TRUE(Page->F3DBtn->Enabled());
  Page->FieldPicMouseDown(mbLeft, 3, 3);
  Form->AppIdle(Done);
  EXPECT_TRUE(Page->FPlotBtn->Enabled());
}

TEST_F(FieldPageTest, ChargeMenuSetsTheCharge) {
  QAction *Three = Page->ChargePUM->actions()[2];
  Three->trigger();
  EXPECT_EQ(Page->CurrentCharge, 3);
  EXPECT_EQ(Page->FChargeBtn->Caption(), "Q=3");
  Page->ChargePUMPopup();
  for (QAction *A : Page->ChargePUM->actions()) EXPECT_EQ(A->isChecked(), A == Three);
}

TEST_F(FieldPageTest, AddingChargesWithTheMouse) {
  Page->FieldPicMouseDown(mbLeft, 3, 3);
  ASSERT_EQ(Plot->Charges.size(), 1u);
  EXPECT_EQ(Plot->Charges[0].X, 16);
  EXPECT_EQ(Plot->Charges[0].Y, 16);
  EXPECT_EQ(Plot->Charges[0].Value, 1);
  Page->CurrentCharge = 2;
  Page->FieldPicMouseDown(mbRight, 100, 100); // snaps to (96, 96)
  ASSERT_EQ(Plot->Charges.size(), 2u);
  EXPECT_EQ(Plot->Charges[1].Value, -2);
  // (104, 104) snaps onto the charge at (96, 96), though it lies outside its square:
  // the point tested is the snapped one.
  Page->FieldPicMouseDown(mbLeft, 104, 104);
  EXPECT_EQ(Plot->Charges.size(), 2u);
  // The charge is on the picture.
  EXPECT_EQ(Page->FieldPic->Image().pixel(96, 90) & 0xFFFFFF, 0x0000FFu); // blue disc
}

TEST_F(FieldPageTest, SyntheticClickReachesThePicture) {
  QMouseEvent Down(QEvent::MouseButtonPress, QPointF(161, 158), Page->FieldPic->mapToGlobal(QPointF(161, 158)),
                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Page->FieldPic, &Down);
  ASSERT_EQ(Plot->Charges.size(), 1u);
  EXPECT_EQ(Plot->Charges[0].X, 160);
}

TEST_F(FieldPageTest, AddingAfterAPlotRemovesIt) {
  int X = 320, Y = 320;
  Plot->AddCharge(X, Y, 1);
  Page->FPlotBtnClick();
  Page->VplotBtnClick();
  EXPECT_TRUE(bool(Plot->LinesDrawn));
  EXPECT_TRUE(bool(Plot->ContoursDrawn));
  EXPECT_TRUE(bool(AbortFlag));
  Page->FieldPicMouseDown(mbLeft, 100, 100);
  EXPECT_EQ(Plot->Charges.size(), 2u);
  EXPECT_FALSE(bool(Plot->LinesDrawn));
  EXPECT_FALSE(bool(Plot->ContoursDrawn));
  EXPECT_TRUE(Plot->Lines.empty());
  EXPECT_TRUE(Plot->Segments.empty());
}

TEST_F(FieldPageTest, StatusShowsTheGridCell) {
  for (int Tag : {12, 16, 24}) {
    Page->DoFieldZoom(Tag);
    Page->FieldPicMouseMove(0, 0);
    EXPECT_EQ(Form->StatusBar->PanelText(0), "x:1 y:1") << Tag;
    Page->FieldPicMouseMove(Tag - 1, Tag - 1);
    EXPECT_EQ(Form->StatusBar->PanelText(0), "x:1 y:1") << Tag;
    Page->FieldPicMouseMove(Tag, 3 * Tag);
    EXPECT_EQ(Form->StatusBar->PanelText(0), "x:2 y:4") << Tag;
  }
}

TEST_F(FieldPageTest, SelectModeDragsAndDeletes) {
  int X = 160, Y = 160;
  Plot->AddCharge(X, Y, 1);
  X = 320;
  Plot->AddCharge(X, Y, -1);
  Page->SelectBtn->SetDown(true);
  Page->AddBtnClick();
  EXPECT_FALSE(Page->AddBtn->Down());
  EXPECT_EQ(Page->FieldPic->toolTip().toStdString(), "Left click to move charge; right click to delete charge");
  Page->FieldPic->Canvas();
  Plot->Draw(Page->FieldPic->Canvas());
  // Drag the first charge to (240, 240); it is redrawn there while moving.
  Page->FieldPicMouseDown(mbLeft, 163, 162);
  EXPECT_TRUE(Page->Dragging);
  ASSERT_NE(Page->DragBackground, nullptr);
  EXPECT_EQ(Page->GrabX, 163 - 152);
  // The background lost the charge: white where its disc was, grid lines through it.
  EXPECT_EQ(Page->DragBackground->Canvas().Pixels(156, 156), clWhite);
  EXPECT_EQ(Page->DragBackground->Canvas().Pixels(160, 156), TColor(0xC0C0C0));
  Page->FieldPicMouseMove(243, 242);
  EXPECT_EQ(Page->FieldPic->Image().pixel(243 - 11 + 8, 242 - 10 + 1) & 0xFFFFFF, 0xFF0000u); // red disc, above its label
  Page->FieldPicMouseUp(mbLeft, 243, 242);
  EXPECT_FALSE(Page->Dragging);
  EXPECT_EQ(Page->DragBackground, nullptr);
  ASSERT_EQ(Plot->Charges.size(), 2u);
  EXPECT_EQ(Plot->Charges.back().X, 240);
  EXPECT_EQ(Plot->Charges.back().Value, 1);
  // A drop onto the other charge is refused: it stays where it was.
  const int Moved = int(Plot->Charges.size()) - 1;
  Page->FieldPicMouseDown(mbLeft, 240, 240);
  Page->FieldPicMouseUp(mbLeft, 321, 162); // onto the charge at (320, 160)
  EXPECT_EQ(Plot->Charges[Moved].X, 240);
  // Right click deletes.
  Page->FieldPicMouseDown(mbRight, 320, 160);
  ASSERT_EQ(Plot->Charges.size(), 1u);
  EXPECT_EQ(Plot->Charges[0].Value, 1);
}

TEST_F(FieldPageTest, DraggingIsClampedToTheScrollBox) {
  int X = 320, Y = 320;
  Plot->AddCharge(X, Y, 1);
  Page->SelectBtn->SetDown(true);
  Page->AddBtnClick();
  int CX = 5000, CY = -300;
  Page->ClampToScrollBox(CX, CY);
  const QPoint TopLeft = Page->FieldPic->mapFrom(Page->FieldSB->viewport(), QPoint(0, 0));
  EXPECT_EQ(CY, std::max(0, TopLeft.y()));
  EXPECT_LE(CX, TopLeft.x() + Page->FieldSB->viewport()->width() - 1);
  EXPECT_LE(CX, 640);
}

TEST_F(FieldPageTest, PresetsAtEveryZoom) {
  EXPECT_FALSE(Page->ApplyPreset("NOSUCH"));
  Page->DoFieldZoom(12);
  EXPECT_EQ(Plot->GridSize, 12);
  ASSERT_TRUE(Page->ApplyPreset("DIPOLE"));
  ASSERT_EQ(Plot->Charges.size(), 2u);
  EXPECT_EQ(Plot->Charges[0].X, 17 * 12);
  EXPECT_EQ(Plot->Charges[0].Y, 20 * 12);
  EXPECT_EQ(Plot->Charges[1].X, 23 * 12);
  EXPECT_EQ(Plot->Charges[1].Value, -1);
  EXPECT_TRUE(bool(Plot->LinesDrawn));
  EXPECT_TRUE(bool(Plot->ContoursDrawn));
  EXPECT_TRUE(bool(AbortFlag));
  EXPECT_FALSE(Page->Zooming);
  EXPECT_FALSE(Page->Running());

  Page->DoFieldZoom(16);
  Page->CurrentCharge = 4;
  ASSERT_TRUE(Page->ApplyPreset("NP2"));
  Page->FieldPic->Image().save(QString::fromStdString(std::string(VORNELLE_BINARY_DIR) + "/field_page_np2.png"));
  EXPECT_EQ(Plot->Charges.size(), 4u);
  EXPECT_EQ(Page->CurrentCharge, 1);
  EXPECT_EQ(Page->FChargeBtn->Caption(), "Q=1");
  EXPECT_FALSE(Plot->NeutralPoints.empty());
  ASSERT_TRUE(Page->ApplyPreset("NP1"));
  EXPECT_EQ(Plot->Charges.size(), 2u);
  EXPECT_EQ(Plot->Charges[1].Value, 1);
  ASSERT_TRUE(Page->ApplyPreset("PPLATE"));
  Page->FieldPic->Image().save(QString::fromStdString(std::string(VORNELLE_BINARY_DIR) + "/field_page_pplate.png"));
  ASSERT_EQ(Plot->Charges.size(), 22u);
  EXPECT_EQ(Plot->Charges[0].X, 18 * 16);
  EXPECT_EQ(Plot->Charges[0].Y, 15 * 16);
  EXPECT_EQ(Plot->Charges[1].X, 22 * 16);
  EXPECT_EQ(Plot->Charges[21].Y, 25 * 16);
}

TEST_F(FieldPageTest, PresetFromAnotherTopicKeepsTheTopic) {
  Form->DoTopicChange(Form->ProjectileItem);
  const int Topic = Form->CurrentTopic;
  const QString Caption = Form->windowTitle();
  EXPECT_EQ(Form->StatusBar->PanelWidth(0), 0);
  ASSERT_TRUE(Page->ApplyPreset("DIPOLE"));
  EXPECT_EQ(Form->ActiveSheet(), TSheet::Field);
  EXPECT_EQ(Form->CurrentTopic, Topic);
  EXPECT_EQ(Form->windowTitle(), Caption);
  // The field sheet always shows its "x: y:" read-out.
  EXPECT_EQ(Form->StatusBar->PanelWidth(0), 100);
  EXPECT_EQ(Plot->Charges.size(), 2u);
}

TEST_F(FieldPageTest, AbortDuringPresetEndsTheSequence) {
  bool SawRunningState = false;
  Page->DoFieldZoom(24);
  DuringNextPlot([&] {
    SawRunningState = !Page->FPlotBtn->Enabled() && !Page->VplotBtn->Enabled() &&
                      !Page->FClearBtn->Enabled() && !Page->FZoomBtn->Enabled() &&
                      !Page->F3DBtn->Enabled() && Page->FAbortBtn->Enabled();
    Page->FAbortBtn->Click();
  });
  ASSERT_TRUE(Page->ApplyPreset("PPLATE"));
  EXPECT_TRUE(SawRunningState);
  EXPECT_EQ(Plot->Charges.size(), 22u);
  // The stop came before the field lines could finish: no contour pass followed.
  EXPECT_FALSE(bool(Plot->ContoursDrawn));
  EXPECT_TRUE(Plot->Segments.empty());
  EXPECT_LT(Plot->Lines.size(), 20u);
  EXPECT_TRUE(bool(AbortFlag));
  EXPECT_FALSE(Page->Running());
  EXPECT_FALSE(Application->LoopRunning());
}

TEST_F(FieldPageTest, TopicChangeDuringPresetLeavesNothingRunning) {
  DuringNextPlot([&] { Form->DoTopicChange(Form->ProjectileItem); });
  ASSERT_TRUE(Page->ApplyPreset("PPLATE"));
  EXPECT_EQ(Form->ActiveSheet(), TSheet::Projectile);
  EXPECT_FALSE(bool(Plot->ContoursDrawn));
  EXPECT_FALSE(Page->Running());
  EXPECT_FALSE(Application->LoopRunning());
}

TEST_F(FieldPageTest, CommandsDuringAPlotWaitForIt) {
  ASSERT_TRUE(Page->ApplyPreset("DIPOLE"));
  Plot->Clear(1);
  int NestedLines = -1;
  DuringNextPlot([&] {
    // A second "plot E" does not re-enter; a zoom and a preset stop the plot and act
    // after it has unwound.
    Page->FPlotBtnClick();
    NestedLines = int(Plot->Lines.size());
    Page->DoFieldZoom(20);
    EXPECT_EQ(Plot->GridSize, 16);
    EXPECT_TRUE(Page->ApplyPreset("NP1"));
    EXPECT_EQ(Plot->Charges[1].Value, -1);
  });
  Page->FPlotBtnClick();
  EXPECT_GE(NestedLines, 0);
  Pump();
  Pump();
  EXPECT_EQ(Plot->GridSize, 20);
  EXPECT_EQ(Plot->Charges.size(), 2u);
  EXPECT_EQ(Plot->Charges[1].Value, 1); // NP1
  EXPECT_EQ(Plot->Charges[1].X, 23 * 20);
  EXPECT_FALSE(Page->Running());
}

TEST_F(FieldPageTest, ZoomKeepsWhatWasDrawn) {
  ASSERT_TRUE(Page->ApplyPreset("DIPOLE"));
  Page->DoFieldZoom(20);
  EXPECT_EQ(Plot->GridSize, 20);
  EXPECT_EQ(Page->FieldPic->width(), 801);
  EXPECT_EQ(Plot->Charges[0].X, 17 * 20);
  EXPECT_TRUE(bool(Plot->LinesDrawn));
  EXPECT_TRUE(bool(Plot->ContoursDrawn));
  // Choosing the current zoom again redraws nothing: a mark on the picture stays.
  Page->FieldPic->Canvas().SetPixels(5, 5, clBlue);
  Page->DoFieldZoom(20);
  EXPECT_EQ(Page->FieldPic->Canvas().Pixels(5, 5), clBlue);
  Page->FZoomPUMPopup();
  for (QAction *A : Page->FZoomPUM->actions()) EXPECT_EQ(A->isChecked(), A->data().toInt() == 20);
}

TEST_F(FieldPageTest, ContourResolutionReplotsContours) {
  ASSERT_TRUE(Page->ApplyPreset("DIPOLE"));
  const size_t Ten = Plot->Segments.size();
  Page->DoContourResolution(30);
  EXPECT_EQ(Plot->ContourLevels, 30);
  EXPECT_GT(Plot->Segments.size(), Ten);
  EXPECT_TRUE(bool(AbortFlag));
  Page->ContourResolution1Click();
  EXPECT_TRUE(Form->ContourHigh1->isChecked());
  EXPECT_FALSE(Form->ContourLow1->isChecked());
}

TEST_F(FieldPageTest, FieldMenuItems) {
  ASSERT_TRUE(Page->ApplyPreset("DIPOLE"));
  Page->Field1Click();
  EXPECT_TRUE(Form->DeleteFieldLines1->isEnabled());
  EXPECT_TRUE(Form->DeleteContours1->isEnabled());
  EXPECT_TRUE(Form->ShowArrows1->isEnabled());
  EXPECT_FALSE(Form->ShowArrows1->isChecked());
  EXPECT_FALSE(Form->ReverseCurrent1->isEnabled());
  EXPECT_TRUE(Form->ContourResolution1->menuAction()->isEnabled());
  Form->ShowArrows1->trigger();
  EXPECT_TRUE(bool(Plot->ShowArrows));
  EXPECT_TRUE(Form->ShowArrows1->isChecked());
  Form->DeleteContours1->trigger();
  EXPECT_FALSE(bool(Plot->ContoursDrawn));
  EXPECT_TRUE(bool(Plot->LinesDrawn));
  Form->DeleteFieldLines1->trigger();
  EXPECT_FALSE(bool(Plot->LinesDrawn));
  Page->Field1Click();
  EXPECT_FALSE(Form->DeleteFieldLines1->isEnabled());
  EXPECT_FALSE(Form->ShowArrows1->isEnabled());
  // On the 3-D sheet contour resolution is off.
  Page->F3DBtnClick();
  Page->Field1Click();
  EXPECT_FALSE(Form->ContourResolution1->menuAction()->isEnabled());
}

TEST_F(FieldPageTest, ThreeDViewRotatesPansAndZooms) {
  Page->F3DBtnClick();
  EXPECT_EQ(Form->ActiveSheet(), TSheet::ThreeD);
  EXPECT_EQ(Form->StatusBar->PanelWidth(0), 0);
  EXPECT_EQ(Form->CurrentTopic, 2);
  EXPECT_EQ(Page->XrotLabel->text().toStdString(), "30");
  EXPECT_EQ(Page->YrotLabel->text().toStdString(), "-30");
  // Rotation: turn = MulDiv(90, X - GrabX, 200) with GrabX = X0 - MulDiv(200, turn0, 90).
  Page->threeDpicMouseDown(mbLeft, 100, 100);
  EXPECT_EQ(Page->MouseMode, 1);
  EXPECT_EQ(Page->GrabX, 100 - MulDiv(200, -30, 90));
  Page->threeDpicMouseMove(400, 100);
  EXPECT_GT(MulDiv(90, 400 - Page->GrabX, 200), 90);
  EXPECT_EQ(Page->Field3DTurn, 90); // the view stops at 90
  EXPECT_EQ(Page->Field3DTilt, -30);
  EXPECT_EQ(Page->YrotLabel->text().toStdString(), "90");
  Page->threeDpicMouseUp();
  EXPECT_EQ(Page->MouseMode, 0);
  // From turn 0, 300 pixels would turn it 135: the label reads the 90 the view has.
  Page->Field3DTurn = 0;
  Page->threeDpicMouseDown(mbLeft, 50, 100);
  Page->threeDpicMouseMove(350, 100);
  EXPECT_EQ(Page->Field3DTurn, 90);
  EXPECT_EQ(Page->YrotLabel->text().toStdString(), "90");
  // Dragging up tilts: tilt = MulDiv(90, GrabY - Y, 200).
  Page->threeDpicMouseMove(350, 10);
  EXPECT_EQ(Page->Field3DTilt, MulDiv(90, Page->GrabY - 10, 200));
  EXPECT_EQ(Page->XrotLabel->text().toStdString(), std::to_string(-Page->Field3DTilt));
  Page->threeDpicMouseUp();
  // Pan with the right button.
  Page->threeDpicMouseDown(mbRight, 10, 10);
  Page->threeDpicMouseMove(30, 5);
  EXPECT_EQ(Plot->SurfaceOffsetX, 20);
  EXPECT_EQ(Plot->SurfaceOffsetY, -5);
  Page->threeDpicMouseUp();
  // Zoom and reset.
  Page->ThreeDZoomPUM->actions()[3]->trigger();
  EXPECT_EQ(Plot->SurfaceSpacing, 14);
  Page->ThreeDZoomPUMPopup();
  EXPECT_TRUE(Page->ThreeDZoomPUM->actions()[3]->isChecked());
  Page->Reset3DBtnClick();
  EXPECT_EQ(Page->Field3DTilt, -30);
  EXPECT_EQ(Page->Field3DTurn, -30);
  EXPECT_EQ(Plot->SurfaceOffsetX, 0);
  EXPECT_EQ(Page->XrotLabel->text().toStdString(), "30");
  EXPECT_EQ(Page->YrotLabel->text().toStdString(), "-30");
  // The picture shows the yellow surface inside a sunken edge.
  const QImage &Img = Page->threeDpic->Image();
  EXPECT_GT(Count(Img, 0xFFFF80), 10000);
  Img.save(QString::fromStdString(std::string(VORNELLE_BINARY_DIR) + "/field_page_3d.png"));
  Page->Close3DBtnClick();
  EXPECT_EQ(Form->ActiveSheet(), TSheet::Field);
  EXPECT_EQ(Form->StatusBar->PanelWidth(0), 100);
}

TEST_F(FieldPageTest, CopyAndPrintBothPictures) {
  ASSERT_TRUE(Page->ApplyPreset("DIPOLE"));
  Clipboard().Clear();
  Page->CopyPicture();
  EXPECT_TRUE(Clipboard().HasMimeType("image/png"));
  EXPECT_TRUE(Clipboard().HasMimeType("image/svg+xml"));
  Page->F3DBtnClick();
  Clipboard().Clear();
  Page->CopyPicture();
  EXPECT_TRUE(Clipboard().HasMimeType("image/svg+xml"));

  int Dialogs = 0;
  SetPrintDialogHook([&](TPrintDialog &D) {
    ++Dialogs;
    D.Copies = 1;
    return true;
  });
  for (bool ThreeD : {true, false}) {
    const std::string Pdf = std::string(VORNELLE_BINARY_DIR) + (ThreeD ? "/field_page_3d.pdf" : "/field_page_2d.pdf");
    std::remove(Pdf.c_str());
    Printer().SetOutputFile(Pdf);
    if (!ThreeD) Page->Close3DBtnClick();
    Page->PrintPicture();
    EXPECT_FALSE(bool(Form->Busy));
    EXPECT_TRUE(bool(AbortFlag));
    FILE *F = std::fopen(Pdf.c_str(), "rb");
    EXPECT_NE(F, nullptr) << Pdf;
    if (F) std::fclose(F);
  }
  EXPECT_EQ(Dialogs, 2);
  // Cancelling the dialog prints nothing.
  SetPrintDialogHook([&](TPrintDialog &) { return false; });
  Printer().SetOutputFile(std::string(VORNELLE_BINARY_DIR) + "/field_page_none.pdf");
  std::remove((std::string(VORNELLE_BINARY_DIR) + "/field_page_none.pdf").c_str());
  Page->PrintPicture();
  EXPECT_EQ(std::fopen((std::string(VORNELLE_BINARY_DIR) + "/field_page_none.pdf").c_str(), "rb"), nullptr);
  SetPrintDialogHook({});
  Printer().SetOutputFile("");
}

TEST_F(FieldPageTest, ClearRemovesEverything) {
  ASSERT_TRUE(Page->ApplyPreset("DIPOLE"));
  Page->FClearBtn->Click();
  EXPECT_TRUE(Plot->Charges.empty());
  EXPECT_FALSE(bool(Plot->LinesDrawn));
  // Grid off and on again.
  Page->FGridBtn->SetDown(false);
  Page->FGridBtnClick();
  EXPECT_FALSE(bool(Plot->ShowGrid));
  EXPECT_EQ(Page->FieldPic->Canvas().Pixels(16, 5), clWhite);
  Page->FGridBtn->SetDown(true);
  Page->FGridBtnClick();
  EXPECT_EQ(Page->FieldPic->Canvas().Pixels(16, 5), TColor(0xC0C0C0));
}
