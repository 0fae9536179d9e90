#pragma once
// Conversions between the layer's types and Qt, for window classes (src/app, the
// viewer's and widgets' window shells) only. Engines never include this.
#include <QColor>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/input.h"
#include "platform/types.h"

QColor ToQColor(TColor C); // system colours resolved
TColor FromQColor(const QColor &C);
inline QRect ToQRect(const TRect &R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }
inline TRect FromQRect(const QRect &R) {
  return TRect(R.left(), R.top(), R.left() + R.width(), R.top() + R.height());
}
inline QPoint ToQPoint(TPoint P) { return QPoint(P.X, P.Y); }
QString ToQString(const std::string &Utf8);
QString ToQString(const std::u16string &Text);
std::string FromQString(const QString &S); // UTF-8
// The QFont a TFont becomes (pixel size, no kerning).
QFont ToQFont(const TFont &F);
QCursor ToQCursor(int Cursor); // a TCursor
TShiftState ShiftFromQt(Qt::KeyboardModifiers Mods, Qt::MouseButtons Buttons);
uint16_t KeyFromQt(int QtKey);

// The bitmap's pixels as a QImage (Format_RGB32, shared until either is changed).
QImage BitmapToImage(const TBitmap &B);
TBitmap BitmapFromImage(const QImage &Image);

// A canvas over an image owned elsewhere (the image must outlive the canvas and keep its
// size), with the image pixel rules.
std::unique_ptr<TCanvas> CreateImageCanvas(QImage *Image);
// A canvas over an active QPainter (a widget's paintEvent, an SVG generator), drawing
// through the painter; pixel reads give clInvalid. Ppi sets the font size conversion.
std::unique_ptr<TCanvas> CreatePainterCanvas(QPainter *Painter, int Ppi = 96);
