#include "platform/qt_bridge.h"

#include "platform/canvas_impl.h"
#include "platform/encoding.h"

QColor ToQColor(TColor C) { return QColor::fromRgb(ColorToArgb(ColorToRGB(C))); }
TColor FromQColor(const QColor &C) { return RGB(C.red(), C.green(), C.blue()); }
QString ToQString(const std::string &Utf8) { return ToQString(Utf8ToUtf16(Utf8)); }
QString ToQString(const std::u16string &T) {
  return QString(reinterpret_cast<const QChar *>(T.data()), qsizetype(T.size()));
}
std::string FromQString(const QString &S) { return S.toStdString(); }
QFont ToQFont(const TFont &F) { return MakeQFont(F); }

TShiftState ShiftFromQt(Qt::KeyboardModifiers M, Qt::MouseButtons B) {
  TShiftState S = 0;
  if (M & Qt::ShiftModifier) S |= ssShift;
  if (M & Qt::ControlModifier) S |= ssCtrl;
  if (M & Qt::AltModifier) S |= ssAlt;
  if (B & Qt::LeftButton) S |= ssLeft;
  if (B & Qt::RightButton) S |= ssRight;
  if (B & Qt::MiddleButton) S |= ssMiddle;
  return S;
}

uint16_t KeyFromQt(int K) {
  if (K >= Qt::Key_A && K <= Qt::Key_Z) return uint16_t('A' + (K - Qt::Key_A));
  if (K >= Qt::Key_0 && K <= Qt::Key_9) return uint16_t('0' + (K - Qt::Key_0));
  if (K >= Qt::Key_F1 && K <= Qt::Key_F12) return uint16_t(VK_F1 + (K - Qt::Key_F1));
  switch (K) {
  case Qt::Key_Backspace: return VK_BACK;
  case Qt::Key_Tab: return VK_TAB;
  case Qt::Key_Return:
  case Qt::Key_Enter: return VK_RETURN;
  case Qt::Key_Shift: return VK_SHIFT;
  case Qt::Key_Control: return VK_CONTROL;
  case Qt::Key_Alt: return VK_MENU;
  case Qt::Key_Escape: return VK_ESCAPE;
  case Qt::Key_Space: return VK_SPACE;
  case Qt::Key_PageUp: return VK_PRIOR;
  case Qt::Key_PageDown: return VK_NEXT;
  case Qt::Key_End: return VK_END;
  case Qt::Key_Home: return VK_HOME;
  case Qt::Key_Left: return VK_LEFT;
  case Qt::Key_Up: return VK_UP;
  case Qt::Key_Right: return VK_RIGHT;
  case Qt::Key_Down: return VK_DOWN;
  case Qt::Key_Insert: return VK_INSERT;
  case Qt::Key_Delete: return VK_DELETE;
  case Qt::Key_Plus: return VK_ADD;
  case Qt::Key_Minus: return VK_SUBTRACT;
  default: return 0;
  }
}

QImage BitmapToImage(const TBitmap &B) { return BitmapImageRef(B); }

TBitmap BitmapFromImage(const QImage &Image) {
  if (Image.isNull()) return TBitmap();
  QImage Flat(Image.size(), QImage::Format_RGB32);
  Flat.fill(0xFFFFFFFFu);
  {
    QPainter P(&Flat);
    P.drawImage(0, 0, Image);
  }
  return BitmapFromImagePiece(Flat, TRect(0, 0, Flat.width(), Flat.height()));
}

std::unique_ptr<TCanvas> CreateImageCanvas(QImage *Image) {
  if (Image && Image->format() != QImage::Format_RGB32 && Image->format() != QImage::Format_ARGB32 &&
      !Image->isNull())
    *Image = Image->convertToFormat(QImage::Format_RGB32);
  return MakeImageCanvas(Image);
}

std::unique_ptr<TCanvas> CreatePainterCanvas(QPainter *Painter, int Ppi) {
  return MakePainterCanvas(Painter, nullptr, Ppi);
}
