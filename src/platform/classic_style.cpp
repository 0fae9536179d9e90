#include "platform/classic_style.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QStyleOptionSlider>
#include <algorithm>

#include "platform/qt_bridge.h"

namespace {

// Two one-pixel rings, outer then inner, top-left over bottom-right as DrawEdge lays them;
// gives back what is left inside.
QRect Ring(QPainter &P, QRect R, const QColor &TopLeft, const QColor &BottomRight) {
  if (R.width() < 1 || R.height() < 1) return R;
  P.fillRect(R.left(), R.top(), R.width(), 1, TopLeft);
  P.fillRect(R.left(), R.top(), 1, R.height(), TopLeft);
  P.fillRect(R.left(), R.bottom(), R.width(), 1, BottomRight);
  P.fillRect(R.right(), R.top(), 1, R.height(), BottomRight);
  return R.adjusted(1, 1, -1, -1);
}

void RaisedBlock(QPainter &P, QRect R) {
  R = Ring(P, R, ToQColor(cl3DLight), ToQColor(cl3DDkShadow));
  R = Ring(P, R, ToQColor(clBtnHighlight), ToQColor(clBtnShadow));
  if (R.isValid()) P.fillRect(R, ToQColor(clBtnFace));
}

// A pressed arrow button is flat with a shadow line round it, as the old desktop has it.
void PressedBlock(QPainter &P, QRect R) {
  R = Ring(P, R, ToQColor(clBtnShadow), ToQColor(clBtnShadow));
  if (R.isValid()) P.fillRect(R, ToQColor(clBtnFace));
}

// The classic track: a checkerboard of two colours, which reads as one lighter tone.
QBrush Dither(const QColor &A, const QColor &B) {
  QImage Cell(2, 2, QImage::Format_RGB32);
  Cell.setPixelColor(0, 0, A);
  Cell.setPixelColor(1, 1, A);
  Cell.setPixelColor(1, 0, B);
  Cell.setPixelColor(0, 1, B);
  return QBrush(Cell);
}

// Row by row so that the triangle stays crisp and symmetric at any button size.
void Arrow(QPainter &P, const QRect &Button, QStyle::SubControl Which, bool Horizontal,
           const QColor &C) {
  const int Half = std::max(1, (std::min(Button.width(), Button.height()) - 2) / 4);
  const int Rows = Half + 1;
  const int CX = Button.left() + (Button.width() - 1) / 2;
  const int CY = Button.top() + (Button.height() - 1) / 2;
  const bool TowardsStart = Which == QStyle::SC_ScrollBarSubLine;
  for (int I = 0; I < Rows; ++I) {
    const int Step = TowardsStart ? I : Rows - 1 - I; // I counts from the tip
    if (Horizontal) P.fillRect(CX - (Rows - 1) / 2 + Step, CY - I, 1, 2 * I + 1, C);
    else P.fillRect(CX - I, CY - (Rows - 1) / 2 + Step, 2 * I + 1, 1, C);
  }
}

class TClassicStyle : public QProxyStyle {
public:
  void drawControl(ControlElement Element, const QStyleOption *Option, QPainter *Painter,
                   const QWidget *Widget) const override {
    if (Element == CE_MenuItem)
      if (const auto *Item = qstyleoption_cast<const QStyleOptionMenuItem *>(Option);
          Item && Item->checkType != QStyleOptionMenuItem::NotCheckable && !Item->checked) {
        QStyleOptionMenuItem Plain(*Item);
        Plain.checkType = QStyleOptionMenuItem::NotCheckable;
        QProxyStyle::drawControl(Element, &Plain, Painter, Widget);
        return;
      }
    QProxyStyle::drawControl(Element, Option, Painter, Widget);
  }

  void drawComplexControl(ComplexControl Control, const QStyleOptionComplex *Option,
                          QPainter *Painter, const QWidget *Widget) const override {
    if (Control == CC_ScrollBar)
      if (const auto *Bar = qstyleoption_cast<const QStyleOptionSlider *>(Option)) {
        Painter->save();
        DrawScrollBar(*Bar, *Painter, Widget);
        Painter->restore();
        return;
      }
    QProxyStyle::drawComplexControl(Control, Option, Painter, Widget);
  }

private:
  void DrawScrollBar(const QStyleOptionSlider &Bar, QPainter &P, const QWidget *Widget) const {
    const bool Enabled = Bar.state & State_Enabled;
    const bool Horizontal = Bar.orientation == Qt::Horizontal;
    auto Pressed = [&](SubControl S) {
      return (Bar.state & State_Sunken) && (Bar.activeSubControls & S);
    };
    auto Rect = [&](SubControl S) { return subControlRect(CC_ScrollBar, &Bar, S, Widget); };

    P.setPen(Qt::NoPen);
    P.setBrushOrigin(Bar.rect.topLeft()); // the same checkerboard wherever the bar is painted
    P.fillRect(Bar.rect, Dither(ToQColor(clBtnFace), ToQColor(clBtnHighlight)));
    const QBrush Held = Dither(ToQColor(clBtnShadow), ToQColor(cl3DDkShadow));
    for (SubControl Page : {SC_ScrollBarSubPage, SC_ScrollBarAddPage})
      if (Pressed(Page)) P.fillRect(Rect(Page), Held);

    for (SubControl Line : {SC_ScrollBarSubLine, SC_ScrollBarAddLine}) {
      const QRect R = Rect(Line);
      if (R.isEmpty()) continue;
      const bool Down = Enabled && Pressed(Line);
      if (Down) PressedBlock(P, R);
      else RaisedBlock(P, R);
      if (!Enabled) {
        // Greyed the classic way: a light copy one pixel down-right under a shadow one.
        Arrow(P, R.translated(1, 1), Line, Horizontal, ToQColor(clBtnHighlight));
        Arrow(P, R, Line, Horizontal, ToQColor(clBtnShadow));
      } else {
        Arrow(P, Down ? R.translated(1, 1) : R, Line, Horizontal, ToQColor(clBtnText));
      }
    }

    // With nothing to scroll the old desktop shows an empty track, not a thumb filling it.
    if (Bar.maximum > Bar.minimum)
      if (const QRect Thumb = Rect(SC_ScrollBarSlider); !Thumb.isEmpty()) RaisedBlock(P, Thumb);
  }
};

} // namespace

void UseClassicStyle() {
  if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return;
  if (dynamic_cast<TClassicStyle *>(QApplication::style())) return;
  QApplication::setStyle(new TClassicStyle); // the application owns it
}
