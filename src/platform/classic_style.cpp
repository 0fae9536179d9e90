#include "platform/classic_style.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace {

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
};

} // namespace

void UseClassicStyle() {
  if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return;
  if (dynamic_cast<TClassicStyle *>(QApplication::style())) return;
  QApplication::setStyle(new TClassicStyle); // the application owns it
}
