#include "app/forms/big_pic_frm.h"

#include <QLabel>

TBigPicFrm::TBigPicFrm(QWidget *Parent) : QDialog(Parent) {
  setObjectName("BigPicFrm");
  setWindowTitle(" ");
  setAttribute(Qt::WA_QuitOnClose, false);
  MagPic = new QLabel(this);
  MagPic->setObjectName("MagPic");
  MagPic->move(0, 0);
}
