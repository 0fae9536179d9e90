#include "htmlview/html_pane_forms.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>

#include "htmlview/section_list.h"
#include "platform/qt_bridge.h"

namespace {

// Password edits show '*' whatever the desktop style would draw.
class TPasswordStyle : public QProxyStyle {
public:
  int styleHint(StyleHint Hint, const QStyleOption *Option, const QWidget *Widget,
                QStyleHintReturn *Return) const override {
    if (Hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(Hint, Option, Widget, Return);
  }
};

QStyle *PasswordStyle() {
  static QPointer<QStyle> Style;
  if (!Style) {
    Style = new TPasswordStyle;
    Style->setParent(qApp); // goes with the application
  }
  return Style;
}

TCodePage PageOf(const TFormControlObj &O) {
  return O.MasterList ? O.MasterList->CodePage : TCodePage::Windows1252;
}

QString Shown(const TFormControlObj &O, const std::string &Bytes) {
  return ToQString(DecodeText(Bytes, PageOf(O)));
}

std::string Kept(const TFormControlObj &O, const QString &Text) {
  return EncodeText(Text.toStdU16String(), PageOf(O));
}

QFont ControlFont(const TFormControlObj &O) {
  TFont F;
  F.Name = O.MasterList ? O.MasterList->PreFontName : "Courier New";
  F.SetSize(10);
  return ToQFont(F);
}

} // namespace

TQtFormWindow::TQtFormWindow(TFormControlObj &Obj, QWidget *Parent) : FObj(Obj) { Build(Parent); }

TQtFormWindow::~TQtFormWindow() {
  if (FControl) {
    FControl->removeEventFilter(this);
    // Hiding the focused control would hand the focus to another control of a document
    // that is going away.
    if (FControl->hasFocus()) FControl->clearFocus();
  }
  if (FWidget) {
    FWidget->hide();
    FWidget->deleteLater();
  }
}

void TQtFormWindow::Build(QWidget *Parent) {
  TFormControlObj &O = FObj;
  if (auto *E = dynamic_cast<TEditFormControlObj *>(&O)) {
    auto *W = new QLineEdit(Parent);
    if (E->Password) {
      W->setStyle(PasswordStyle());
      W->setEchoMode(QLineEdit::Password);
    }
    connect(W, &QLineEdit::textChanged, this, [this] { ReadBack(); });
    connect(W, &QLineEdit::returnPressed, this, [this] {
      if (FObj.MyForm) FObj.MyForm->ControlKeyPress(&FObj, '\r');
    });
    FControl = W;
  } else if (auto *B = dynamic_cast<TButtonFormControlObj *>(&O)) {
    auto *W = new QPushButton(Parent);
    W->setAutoDefault(false);
    connect(W, &QPushButton::clicked, this, [B] { B->Click(); });
    FControl = W;
  } else if (auto *C = dynamic_cast<TCheckBoxFormControlObj *>(&O)) {
    if (C->Radio) {
      // The button sits in a 13 x 14 panel of its own colour, without bevels.
      auto *Panel = new QFrame(Parent);
      Panel->setFrameShape(QFrame::NoFrame);
      Panel->setAutoFillBackground(true);
      QPalette P = Panel->palette();
      P.setColor(QPalette::Window, ToQColor(clBtnFace));
      Panel->setPalette(P);
      auto *W = new QRadioButton(Panel);
      W->setAutoExclusive(false); // the form groups radios by NAME
      W->setGeometry(0, 0, 13, 14);
      connect(W, &QRadioButton::clicked, this, [this, C] {
        ReadBack();
        C->Clicked();
      });
      FWidget = Panel;
      FControl = W;
    } else {
      auto *W = new QCheckBox(Parent);
      connect(W, &QCheckBox::clicked, this, [this, C] {
        ReadBack();
        C->Clicked();
      });
      FControl = W;
    }
  } else if (auto *L = dynamic_cast<TListBoxFormControlObj *>(&O)) {
    if (L->Combo) {
      auto *W = new QComboBox(Parent);
      W->setEditable(false);
      // A drop-down keeps the height its font gives it.
      W->setFont(ControlFont(O));
      O.Height = W->sizeHint().height();
      connect(W, &QComboBox::currentIndexChanged, this, [this] { ReadBack(); });
      FControl = W;
    } else {
      auto *W = new QListWidget(Parent);
      W->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      W->setLineWidth(2);
      W->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      W->setSelectionMode(L->Multiple ? QAbstractItemView::ExtendedSelection
                                      : QAbstractItemView::SingleSelection);
      connect(W, &QListWidget::itemSelectionChanged, this, [this] { ReadBack(); });
      // Scrolled a row at a time, the bar's position is the top row, which a printout
      // starts with; scrolls made by Refresh count too, as they change what shows.
      W->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
      connect(W->verticalScrollBar(), &QScrollBar::valueChanged, this,
              [L](int Row) { L->TopIndex = std::max(0, Row); });
      FControl = W;
    }
  } else if (auto *T = dynamic_cast<TTextAreaFormControlObj *>(&O)) {
    auto *W = new QPlainTextEdit(Parent);
    W->setLineWrapMode(T->Wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    W->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    W->setHorizontalScrollBarPolicy(T->Wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    connect(W, &QPlainTextEdit::textChanged, this, [this] { ReadBack(); });
    FControl = W;
  } else {
    return;
  }
  if (!FWidget) FWidget = FControl;
  FControl->setFont(ControlFont(O));
  FControl->installEventFilter(this);
  FWidget->move(0, -400);
  FWidget->hide();
  Refresh();
}

void TQtFormWindow::Refresh() {
  if (!FControl) return;
  FRefreshing = true;
  TFormControlObj &O = FObj;
  if (auto *E = dynamic_cast<TEditFormControlObj *>(&O)) {
    auto *W = static_cast<QLineEdit *>(FControl.data());
    W->setMaxLength(E->MaxLength > 0 ? E->MaxLength : 32767);
    if (Kept(O, W->text()) != E->Text) W->setText(Shown(O, E->Text));
  } else if (auto *B = dynamic_cast<TButtonFormControlObj *>(&O)) {
    static_cast<QPushButton *>(FControl.data())->setText(Shown(O, B->Caption));
  } else if (auto *C = dynamic_cast<TCheckBoxFormControlObj *>(&O)) {
    static_cast<QAbstractButton *>(FControl.data())->setChecked(C->Checked);
  } else if (auto *L = dynamic_cast<TListBoxFormControlObj *>(&O)) {
    QStringList Items;
    for (const TOptionObj &Opt : L->TheOptions) Items << Shown(O, Opt.Text);
    if (L->Combo) {
      auto *W = static_cast<QComboBox *>(FControl.data());
      if (W->count() != Items.size()) {
        W->clear();
        W->addItems(Items);
      }
      W->setCurrentIndex(L->ItemIndex);
    } else {
      auto *W = static_cast<QListWidget *>(FControl.data());
      if (W->count() != Items.size()) {
        W->clear();
        W->addItems(Items);
        // One text line per row, so that SIZE rows fill the client area.
        const int RowH = QFontMetrics(W->font()).height();
        for (int I = 0; I < W->count(); ++I) W->item(I)->setSizeHint(QSize(0, RowH));
      }
      for (int I = 0; I < W->count(); ++I) {
        const bool Sel = L->Multiple
                             ? size_t(I) < L->CurSelected.size() && L->CurSelected[size_t(I)]
                             : I == L->ItemIndex;
        W->item(I)->setSelected(Sel);
      }
      if (!L->Multiple && L->ItemIndex >= 0) W->setCurrentRow(L->ItemIndex);
    }
  } else if (auto *T = dynamic_cast<TTextAreaFormControlObj *>(&O)) {
    std::string Joined;
    for (size_t I = 0; I < T->Lines.size(); ++I) Joined += (I ? "\n" : "") + T->Lines[I];
    auto *W = static_cast<QPlainTextEdit *>(FControl.data());
    if (Kept(O, W->toPlainText()) != Joined) W->setPlainText(Shown(O, Joined));
  }
  FWidget->resize(O.Width, O.Height);
  if (FControl != FWidget) FControl->resize(O.Width, O.Height);
  FRefreshing = false;
}

void TQtFormWindow::ReadBack() {
  if (FRefreshing || !FControl) return;
  TFormControlObj &O = FObj;
  if (auto *E = dynamic_cast<TEditFormControlObj *>(&O)) {
    E->Text = Kept(O, static_cast<QLineEdit *>(FControl.data())->text());
  } else if (auto *C = dynamic_cast<TCheckBoxFormControlObj *>(&O)) {
    auto *W = static_cast<QAbstractButton *>(FControl.data());
    // A click on a radio button always leaves it checked.
    if (C->Radio && !W->isChecked()) {
      FRefreshing = true;
      W->setChecked(true);
      FRefreshing = false;
    }
    C->Checked = W->isChecked();
  } else if (auto *L = dynamic_cast<TListBoxFormControlObj *>(&O)) {
    if (L->Combo) {
      L->ItemIndex = static_cast<QComboBox *>(FControl.data())->currentIndex();
    } else {
      auto *W = static_cast<QListWidget *>(FControl.data());
      L->CurSelected.assign(L->TheOptions.size(), false);
      L->ItemIndex = -1;
      for (int I = 0; I < W->count() && size_t(I) < L->TheOptions.size(); ++I)
        if (W->item(I)->isSelected()) {
          L->CurSelected[size_t(I)] = true;
          if (L->ItemIndex < 0) L->ItemIndex = I;
        }
    }
  } else if (auto *T = dynamic_cast<TTextAreaFormControlObj *>(&O)) {
    const QStringList Lines =
        static_cast<QPlainTextEdit *>(FControl.data())->toPlainText().split('\n');
    T->Lines.clear();
    for (const QString &Line : Lines) T->Lines.push_back(Kept(O, Line));
  }
}

void TQtFormWindow::Place(int X, int Y) {
  if (!FWidget) return;
  if (FWidget->pos() != QPoint(X, Y)) FWidget->move(X, Y);
  if (!FWidget->isVisible()) FWidget->show();
}

void TQtFormWindow::Hide() {
  if (FWidget && !FWidget->isHidden()) FWidget->hide();
}

bool TQtFormWindow::IsVisible() const { return FWidget && !FWidget->isHidden(); }

bool TQtFormWindow::HasInput() const {
  // The window's active control, whether or not the window is active itself.
  return FControl && FControl->window()->focusWidget() == FControl;
}

TRect TQtFormWindow::Bounds() const { return FWidget ? FromQRect(FWidget->geometry()) : TRect(); }

bool TQtFormWindow::eventFilter(QObject *Watched, QEvent *Event) {
  if (Watched == FControl) {
    switch (Event->type()) {
    case QEvent::FocusIn: FObj.FormControlEnter(); break;
    case QEvent::FocusOut: FObj.ExitEvent(); break;
    case QEvent::MouseButtonRelease:
      if (dynamic_cast<TEditFormControlObj *>(&FObj)) FObj.DoOnClick();
      break;
    default: break;
    }
  }
  return false; // this object may be gone after a click's handler
}

std::unique_ptr<TFormWindow> MakeFormWindow(TFormControlObj &Obj, QWidget *Parent) {
  auto W = std::make_unique<TQtFormWindow>(Obj, Parent);
  if (!W->Widget()) return nullptr;
  return W;
}
