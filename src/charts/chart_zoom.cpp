// The chart's answer to the mouse: clicked parts and their events, zoom by a dragged
// rectangle (optionally animated), undo, and panning.
#include <cmath>

#include "charts/chart.h"

TChartClickedPart TCustomChart::CalculateClickedPart(TPoint P) {
  TChartClickedPart R;
  for (int i = int(SeriesList.size()) - 1; i >= 0; --i) {
    TChartSeries *S = SeriesList[i];
    if (!S->Active()) continue;
    const int Index = S->Clicked(P.X, P.Y);
    if (Index != -1) {
      R.Part = TChartClickedPartStyle::cpSeries;
      R.ASeries = S;
      R.PointIndex = Index;
      return R;
    }
  }
  for (TCustomChartAxis *A : AxesList)
    if (A->Clicked(P.X, P.Y)) {
      R.Part = TChartClickedPartStyle::cpAxis;
      R.AAxis = A;
      return R;
    }
  if (Title.Clicked(P.X, P.Y)) {
    R.Part = TChartClickedPartStyle::cpTitle;
    return R;
  }
  if (Foot.Clicked(P.X, P.Y)) {
    R.Part = TChartClickedPartStyle::cpFoot;
    return R;
  }
  if (PtInRect(ChartRect, P) && CountActiveSeries(SeriesList) > 0) {
    R.Part = TChartClickedPartStyle::cpChartRect;
    return R;
  }
  if (Legend.Visible()) {
    const int Item = Legend.Clicked(P.X, P.Y);
    if (Item != -1) {
      R.Part = TChartClickedPartStyle::cpLegend;
      R.PointIndex = Item;
    }
  }
  return R;
}

void TCustomChart::BackgroundClick(TMouseButton Button, TShiftState Shift, int X, int Y, bool &Handled) {
  if (!OnClickBackground) return;
  CancelMouse = true;
  OnClickBackground(this, Button, Shift, X, Y);
  Handled = CancelMouse;
}

bool TCustomChart::StartDrag(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // The keys name what must be held; others held as well do not stop the drag.
  if (AllowZoom && Button == ZoomButton && (Shift & ZoomShift) == ZoomShift) {
    SetCursor(crDefault);
    Zoom.Activate(X, Y);
    DrawZoomRectangle();
    return true;
  }
  if (AllowPanning != TPanningMode::pmNone && Button == PanningButton &&
      (Shift & PanningShift) == PanningShift) {
    SetCursor(crDefault);
    Panning.Activate(X, Y);
    return true;
  }
  return false;
}

void TCustomChart::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(Button, Shift, X, Y);
  if (Zoom.Active || Panning.Active) return;
  if (CancelMouse) {
    CancelMouse = false;
    return;
  }
  const TChartClickedPart Part = CalculateClickedPart(Point(X, Y));
  bool Handled = false;
  switch (Part.Part) {
  case TChartClickedPartStyle::cpLegend:
    if (OnClickLegend) {
      CancelMouse = true;
      OnClickLegend(this, Button, Shift, X, Y);
      Handled = CancelMouse;
    }
    break;
  case TChartClickedPartStyle::cpAxis:
    if (OnClickAxis) {
      CancelMouse = true;
      OnClickAxis(this, Part.AAxis, Button, Shift, X, Y);
      Handled = CancelMouse;
    }
    if (!Handled) Handled = StartDrag(Button, Shift, X, Y);
    break;
  case TChartClickedPartStyle::cpSeries:
    Handled = Part.ASeries->ClickHook(Part.PointIndex, Button, Shift, X, Y);
    // The chart's event comes whatever the series' own handlers did, and has the last word.
    if (OnClickSeries) {
      CancelMouse = true;
      OnClickSeries(this, Part.ASeries, Part.PointIndex, Button, Shift, X, Y);
      Handled = CancelMouse;
    }
    if (!Handled) Handled = StartDrag(Button, Shift, X, Y);
    break;
  case TChartClickedPartStyle::cpChartRect:
    BackgroundClick(Button, Shift, X, Y, Handled);
    if (!Handled) Handled = StartDrag(Button, Shift, X, Y);
    break;
  default: break;
  }
  if (!Handled) BackgroundClick(Button, Shift, X, Y, Handled);
  CancelMouse = false;
}

void TCustomChart::SaveAxes() {
  if (!FNoAxesSaved) return;
  const TCustomChartAxis *A[4] = {&TopAxis, &LeftAxis, &RightAxis, &BottomAxis};
  for (int i = 0; i < 4; ++i)
    FSavedScales[i] = {A[i]->Automatic(), A[i]->AutomaticMinimum(), A[i]->AutomaticMaximum(),
                       A[i]->Minimum(), A[i]->Maximum()};
  FNoAxesSaved = false;
}

bool TCustomChart::ScrollAxes(bool Horizontal, int OldPos, int NewPos) {
  if (OldPos == NewPos) return false;
  const TPanningMode Want = Horizontal ? TPanningMode::pmHorizontal : TPanningMode::pmVertical;
  if (AllowPanning != Want && AllowPanning != TPanningMode::pmBoth) return false;
  for (TCustomChartAxis *A : AxesList) {
    if (A->IsDepthAxis() || A->Horizontal() != Horizontal) continue;
    const double Delta = A->CalcPosPoint(OldPos) - A->CalcPosPoint(NewPos);
    double Min = A->Minimum() + Delta, Max = A->Maximum() + Delta;
    bool Allow = true;
    if (OnAllowScroll) OnAllowScroll(A, Min, Max, Allow);
    if (Allow) A->SetMinMax(Min, Max);
  }
  return true;
}

void TCustomChart::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(Shift, X, Y);
  if (Zoom.Active) {
    if (X == Zoom.X1 && Y == Zoom.Y1) return;
    Zoom.X1 = X;
    Zoom.Y1 = Y;
    DrawZoomRectangle(); // erases the one at the old corner
    return;
  }
  if (Panning.Active) {
    if (!PtInRect(ChartRect, Point(X, Y))) {
      Panning.Active = false;
      return;
    }
    if (X == Panning.X1 && Y == Panning.Y1) return;
    // The corners are not reordered here: a drag to the left or up would then scroll from
    // the press point instead of the last one, and the picture would run ahead of the mouse.
    SaveAxes();
    const bool H = ScrollAxes(true, Panning.X1, X);
    const bool V = ScrollAxes(false, Panning.Y1, Y);
    for (TCustomChartAxis *A : AxesList) {
      A->AdjustMaxMin();
    }
    Panning.X1 = X;
    Panning.Y1 = Y;
    if (H || V) {
      if (OnScroll) OnScroll();
      Invalidate();
    }
    return;
  }
  int C = SavedCursor;
  for (TChartSeries *S : SeriesList)
    if (S->Active() && S->Cursor() != crDefault && S->Clicked(X, Y) != -1) {
      C = S->Cursor();
      break;
    }
  SetCursor(C);
  for (TChartSeries *S : SeriesList) S->MouseMoveHook(Shift, X, Y);
}

void TCustomChart::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(Button, Shift, X, Y);
  for (TChartSeries *S : SeriesList) S->MouseUpHook(Button, Shift, X, Y);
  if (Zoom.Active && Button == ZoomButton) {
    Zoom.Active = false;
    HideZoomRectangle();
    Zoom.X1 = X;
    Zoom.Y1 = Y;
    if (std::abs(Zoom.X1 - Zoom.X0) > 16 && std::abs(Zoom.Y1 - Zoom.Y0) > 16) {
      if (Zoom.X1 > Zoom.X0 && Zoom.Y1 > Zoom.Y0)
        ZoomRect(TRect(Zoom.X0, Zoom.Y0, Zoom.X1, Zoom.Y1));
      else
        UndoZoom();
    }
    Invalidate();
  }
  Panning.Active = false;
}

void TCustomChart::ZoomRect(const TRect &Rect) {
  Zoom.X0 = Rect.Left;
  Zoom.Y0 = Rect.Top;
  Zoom.X1 = Rect.Right;
  Zoom.Y1 = Rect.Bottom;
  Zoom.Check();
  ZoomValues(TopAxis.CalcPosPoint(Zoom.X0), TopAxis.CalcPosPoint(Zoom.X1),
             BottomAxis.CalcPosPoint(Zoom.X0), BottomAxis.CalcPosPoint(Zoom.X1),
             LeftAxis.CalcPosPoint(Zoom.Y1), LeftAxis.CalcPosPoint(Zoom.Y0),
             RightAxis.CalcPosPoint(Zoom.Y1), RightAxis.CalcPosPoint(Zoom.Y0));
}

void TCustomChart::ZoomValues(double TopMin, double TopMax, double BottomMin, double BottomMax,
                              double LeftMin, double LeftMax, double RightMin, double RightMax) {
  SaveAxes();
  struct Target {
    TCustomChartAxis *A;
    double Min, Max;
  } T[4] = {{&LeftAxis, LeftMin, LeftMax}, {&RightAxis, RightMin, RightMax},
            {&TopAxis, TopMin, TopMax}, {&BottomAxis, BottomMin, BottomMax}};
  if (AnimatedZoom && AnimatedZoomSteps - 1 > 0) {
    for (int s = 0; s < AnimatedZoomSteps - 1; ++s) {
      for (Target &t : T) {
        const double Min = t.A->Minimum() + (t.Min - t.A->Minimum()) / AnimatedZoomFactor;
        const double Max = t.A->Maximum() + (t.Max - t.A->Maximum()) / AnimatedZoomFactor;
        t.A->SetMinMax(Min, Max);
      }
      // Each frame is shown at once, not coalesced with the next.
      Repaint();
    }
  }
  for (Target &t : T) t.A->SetMinMax(t.Min, t.Max);
  Zoomed = true;
  if (OnZoom) OnZoom();
}

void TCustomChart::UndoZoom() {
  if (!FNoAxesSaved) {
    TCustomChartAxis *A[4] = {&TopAxis, &LeftAxis, &RightAxis, &BottomAxis};
    // The saved ends go back as they were: through the checking setters a pan could
    // leave the new minimum above the old maximum and be refused.
    for (int i = 0; i < 4; ++i) {
      const TAxisSavedScales &S = FSavedScales[i];
      A[i]->RestoreEnds(S.Auto, S.AutoMin, S.AutoMax, S.Min, S.Max);
    }
    FNoAxesSaved = true;
  }
  TCustomChartPanelExtended::UndoZoom();
}
