#pragma once
// TBigPicFrm: the pop-up window that shows a picture of a text page at its own size.
#include <QDialog>

class QLabel;

class TBigPicFrm : public QDialog {
  Q_OBJECT
public:
  explicit TBigPicFrm(QWidget *Parent = nullptr);
  // The smallest window, whatever the picture: one of a pixel or two cannot be seen.
  static constexpr int MinWidth = 120, MinHeight = 80;
  QLabel *MagPic = nullptr;
};
