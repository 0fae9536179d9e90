#pragma once
// TBigPicFrm: the pop-up window that shows a picture of a text page at its own size.
#include <QDialog>

class QLabel;

class TBigPicFrm : public QDialog {
  Q_OBJECT
public:
  explicit TBigPicFrm(QWidget *Parent = nullptr);
  QLabel *MagPic = nullptr;
};
