#include "widgets/kit_utils.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "platform/application.h"
#include "platform/qt_bridge.h"
#include "widgets/speed_button.h"

void CopyParentImage(QWidget *Control, TCanvas &Canvas) {
  QWidget *Parent = Control ? Control->parentWidget() : nullptr;
  if (!Parent) return;
  const QRect Own = Control->geometry();
  const QRect Visible = Own.intersected(Parent->rect());
  if (Visible.isEmpty()) return;
  QImage Under(Visible.size(), QImage::Format_RGB32);
  Under.fill(ToQColor(clBtnFace));
  {
    QPainter P(&Under);
    // The parent alone: its children are either beneath (painted below) or above us.
    Parent->render(&P, QPoint(0, 0), QRegion(Visible), QWidget::DrawWindowBackground);
    for (QObject *O : Parent->children()) {
      if (O == Control) break; // children are listed bottom-most first
      auto *Sibling = qobject_cast<QWidget *>(O);
      if (!Sibling || Sibling->isWindow() || Sibling->isHidden()) continue;
      const QRect Part = Sibling->geometry().intersected(Visible);
      if (Part.isEmpty()) continue;
      const QRect Source = Part.translated(-Sibling->pos());
      Sibling->render(&P, Part.topLeft() - Visible.topLeft(), QRegion(Source),
                      QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
  }
  Canvas.Draw(Visible.left() - Own.left(), Visible.top() - Own.top(), BitmapFromImage(Under));
}

void StretchBltTransparent(TCanvas &Dest, const TRect &DstRect, const TBitmap &Source,
                           const TRect &SrcRect, TColor TransparentColor) {
  const int W = DstRect.Width(), H = DstRect.Height();
  if (W <= 0 || H <= 0 || SrcRect.Width() <= 0 || SrcRect.Height() <= 0 || Source.Empty()) return;
  // Stretched first, so that the mask matches the stretched pixels exactly.
  TBitmap Part(W, H);
  Part.Canvas().StretchBlt(TRect(0, 0, W, H), Source, SrcRect, cmSrcCopy);
  const TBitmap Mask = Part.ToMonochrome(TransparentColor);
  Dest.MaskBlt(DstRect.Left, DstRect.Top, W, H, Part, 0, 0, Mask, 0, 0);
}

void StretchBitmapRectTransparent(TCanvas &Dest, int DstX, int DstY, int DstW, int DstH,
                                  const TRect &SrcRect, const TBitmap &Bitmap,
                                  TColor TransparentColor) {
  if (Bitmap.Empty()) return;
  if (DstW <= 0) DstW = Bitmap.Width();
  if (DstH <= 0) DstH = Bitmap.Height();
  const TRect Dst(DstX, DstY, DstX + DstW, DstY + DstH);
  if (TransparentColor == clNone) {
    Dest.StretchBlt(Dst, Bitmap, SrcRect, cmSrcCopy);
    return;
  }
  if (TransparentColor == clDefault)
    TransparentColor = ArgbToColor(Bitmap.ScanLine(Bitmap.Height() - 1)[0]);
  StretchBltTransparent(Dest, Dst, Bitmap, SrcRect, TransparentColor);
}

void DrawBitmapRectTransparent(TCanvas &Dest, int DstX, int DstY, const TRect &SrcRect,
                               const TBitmap &Bitmap, TColor TransparentColor) {
  StretchBitmapRectTransparent(Dest, DstX, DstY, SrcRect.Width(), SrcRect.Height(), SrcRect,
                               Bitmap, TransparentColor);
}

void ImageListDrawDisabled(std::span<const TBitmap> Images, TCanvas &Canvas, int X, int Y,
                           int Index, TColor Highlight, TColor Shadow) {
  if (Index < 0 || size_t(Index) >= Images.size() || Images[size_t(Index)].Empty()) return;
  const TBitmap &Image = Images[size_t(Index)];
  const TColor Tr = ColorToRGB(Image.TransparentColor());
  // The embossed copy keeps the entry's transparent colour as its background, left out here.
  const TBitmap Embossed = CreateDisabledBitmapEx(Image, Tr, Highlight, Shadow);
  const int W = Image.Width(), H = Image.Height();
  StretchBltTransparent(Canvas, TRect(X, Y, X + W, Y + H), Embossed, TRect(0, 0, W, H), Tr);
}

bool IsForegroundTask() { return QApplication::activeWindow() != nullptr; }

void NotImplemented() {
  Screen->SetCursor(crDefault);
  MessageDlg("Function not yet implemented", mtInformation, mbOK);
}
