// Form controls as window controls of the text pane: sizes, submissions through the
// pane's queue, radios, reset, placing, and a click whose handler loads another page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "htmlview/doc_images.h"
#include "htmlview/form_controls.h"
#include "htmlview/html_pane.h"
#include "htmlview/html_pane_forms.h"
#include "htmlview/html_pane_panels.h"

namespace {

struct TFormPage {
  THtmlPane Pane;
  std::vector<std::vector<std::string>> Got;
  std::vector<std::string> Methods, Actions;

  explicit TFormPage(const std::string &Html) {
    Pane.resize(640, 400);
    Pane.OnFormSubmit = [this](THtmlPane *, const std::string &Action, const std::string &,
                               const std::string &, const std::string &Method,
                               const std::vector<std::string> &Results) {
      Got.push_back(Results);
      Methods.push_back(Method);
      Actions.push_back(Action);
    };
    Pane.LoadFromString(Html);
    Pane.LayoutAndPaint();
  }
  TFormControlObj *Obj(size_t I) { return Pane.Document().FormControlList.at(I); }
  TQtFormWindow *Window(size_t I) {
    return dynamic_cast<TQtFormWindow *>(Obj(I)->TheControl.get());
  }
  template <class W>
  W *Control(size_t I) {
    TQtFormWindow *F = Window(I);
    return F ? qobject_cast<W *>(F->Control()) : nullptr;
  }
  // Delivers what the clicks queued.
  void Deliver() { QApplication::processEvents(); }
};

void PressEnter(QWidget *W) {
  QKeyEvent Press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(W, &Press);
}

using TStrings = std::vector<std::string>;

} // namespace

TEST(FormWindows, EnterInTheOnlyEditSubmits) {
  TFormPage P("<form action=find.htm><input name=q></form>");
  auto *Edit = P.Control<QLineEdit>(0);
  ASSERT_TRUE(Edit);
  Edit->setText("text");
  PressEnter(Edit);
  EXPECT_TRUE(P.Got.empty()); // delivered after the key, from the queue
  P.Deliver();
  ASSERT_EQ(P.Got.size(), 1u);
  EXPECT_EQ(P.Got[0], TStrings{"q=text"});
  EXPECT_EQ(P.Methods[0], "Get");
  EXPECT_EQ(P.Actions[0], "find.htm");
}

TEST(FormWindows, CheckBoxesAndTheSubmitButton) {
  TFormPage P("<form><input type=checkbox name=c checked><input type=checkbox name=d value=x>"
              "<input type=submit name=go value=Send><input type=submit></form>");
  auto *Go = P.Control<QPushButton>(2);
  ASSERT_TRUE(Go);
  EXPECT_EQ(Go->text(), "Send");
  Go->click();
  P.Deliver();
  ASSERT_EQ(P.Got.size(), 1u);
  EXPECT_EQ(P.Got[0], (TStrings{"c=on", "go=Send"}));
  // The first box unchecked by the user, the second checked; a button without NAME adds
  // nothing of its own.
  P.Control<QCheckBox>(0)->click();
  P.Control<QCheckBox>(1)->click();
  P.Control<QPushButton>(3)->click();
  P.Deliver();
  ASSERT_EQ(P.Got.size(), 2u);
  EXPECT_EQ(P.Got[1], TStrings{"d=x"});
}

TEST(FormWindows, ImageInputKeepsOnlyAClickedPoint) {
  TFormPage P("<form><input type=image name=map src=\"missing.gif\" width=100 height=80></form>");
  ASSERT_EQ(P.Pane.Document().ImageList.size(), 1u);
  TImageObj *Img = P.Pane.Document().ImageList[0];
  auto *Map = dynamic_cast<TImageFormControlObj *>(P.Obj(0));
  ASSERT_TRUE(Map);
  ASSERT_TRUE(Img->Drawn);
  TPaintPanel *Panel = P.Pane.PaintPanel();
  const int X = Img->DrawX + 12, Y = Img->DrawY - P.Pane.Document().YOff + 34;
  // Passing over the picture keeps no point for a later submission.
  Panel->OnMouseMove(0, X, Y);
  EXPECT_EQ(Map->XPos, -1);
  Panel->OnMouseDown(mbLeft, ssLeft, X, Y);
  Panel->OnMouseUp(mbLeft, 0, X, Y);
  P.Deliver();
  ASSERT_EQ(P.Got.size(), 1u);
  EXPECT_EQ(P.Got[0], (TStrings{"map.x=12", "map.y=34"}));
  // Submitted again without a new click: neither.
  Map->MyForm->SubmitTheForm("");
  P.Deliver();
  ASSERT_EQ(P.Got.size(), 2u);
  EXPECT_TRUE(P.Got[1].empty());
}

TEST(FormWindows, SizesOfTheControls) {
  // "Courier New" 10 is 8 x 15 pixels for "A".
  TFormPage P("<form><input name=a><input name=b size=\"30,1\"><input type=submit>"
              "<input type=reset><input type=button>"
              "<select name=s>" +
              [] {
                std::string O;
                for (int I = 0; I < 12; ++I) O += "<option>item " + std::to_string(I);
                return O;
              }() +
              "</select><select name=l size=4><option>one<option>two</select>"
              "<textarea name=t></textarea></form>");
  const std::pair<int, int> Want[] = {{165, 20}, {245, 20}, {68, 23}, {60, 23}, {68, 23}};
  for (size_t I = 0; I < 5; ++I) {
    EXPECT_EQ(P.Obj(I)->Width, Want[I].first) << I;
    EXPECT_EQ(P.Obj(I)->Height, Want[I].second) << I;
    EXPECT_EQ(P.Window(I)->Widget()->size(), QSize(Want[I].first, Want[I].second)) << I;
  }
  EXPECT_EQ(P.Control<QPushButton>(2)->text(), "Submit");
  EXPECT_EQ(P.Control<QPushButton>(3)->text(), "Reset");
  EXPECT_EQ(P.Control<QPushButton>(4)->text(), "Button");
  auto *Combo = P.Control<QComboBox>(5);
  ASSERT_TRUE(Combo);
  EXPECT_EQ(Combo->count(), 12);
  // The drop-down keeps the height its font gives it.
  EXPECT_EQ(P.Obj(5)->Height, Combo->sizeHint().height());
  EXPECT_EQ(Combo->height(), Combo->sizeHint().height());
  auto *List = P.Control<QListWidget>(6);
  ASSERT_TRUE(List);
  EXPECT_EQ(List->contentsRect().height(), 60);
  EXPECT_EQ(List->visualItemRect(List->item(1)).top(), 15); // one 15-pixel row per item
  auto *Memo = P.Control<QPlainTextEdit>(7);
  ASSERT_TRUE(Memo);
  EXPECT_EQ(Memo->size(), QSize(245, 80));
  EXPECT_EQ(Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
  const QFont F = P.Control<QLineEdit>(0)->font();
  EXPECT_EQ(F.family(), "Courier New");
  EXPECT_EQ(QFontMetrics(F).horizontalAdvance('A'), 8);
}

TEST(FormWindows, PasswordMaxLengthAndWrap) {
  TFormPage P("<form><input type=password name=p maxlength=5 value=secret>"
              "<textarea name=t wrap=SOFT rows=2 cols=10>a\nb</textarea></form>");
  auto *Edit = P.Control<QLineEdit>(0);
  ASSERT_TRUE(Edit);
  EXPECT_EQ(Edit->echoMode(), QLineEdit::Password);
  EXPECT_EQ(Edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, Edit), '*');
  EXPECT_EQ(Edit->maxLength(), 5);
  auto *Memo = P.Control<QPlainTextEdit>(1);
  EXPECT_EQ(Memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(Memo->toPlainText(), "a\nb");
  EXPECT_EQ(Memo->size(), QSize(85, 35));
}

TEST(FormWindows, RadiosOfOneNameWithoutCase) {
  TFormPage P("<form><input type=radio name=a value=1 checked><input type=radio name=A value=2>"
              "<input type=radio name=b value=3 checked></form>");
  auto *First = P.Control<QRadioButton>(0);
  auto *Second = P.Control<QRadioButton>(1);
  ASSERT_TRUE(First && Second);
  EXPECT_FALSE(First->autoExclusive());
  EXPECT_EQ(P.Window(0)->Widget()->size(), QSize(13, 14));
  Second->click();
  EXPECT_TRUE(Second->isChecked());
  EXPECT_FALSE(First->isChecked());
  EXPECT_TRUE(P.Control<QRadioButton>(2)->isChecked()); // another name
  // A click on a checked radio leaves it checked.
  Second->click();
  EXPECT_TRUE(Second->isChecked());
  P.Obj(0)->MyForm->SubmitTheForm("");
  P.Deliver();
  ASSERT_EQ(P.Got.size(), 1u);
  EXPECT_EQ(P.Got[0], (TStrings{"A=2", "b=3"}));
}

TEST(FormWindows, ResetRestoresEveryValue) {
  TFormPage P("<form><input name=e value=start><input type=checkbox name=c checked>"
              "<select name=s><option>x<option selected>y<option>z</select>"
              "<select name=m multiple><option selected>p<option>q</select>"
              "<textarea name=t>line</textarea><input type=reset></form>");
  P.Control<QLineEdit>(0)->setText("changed");
  P.Control<QCheckBox>(1)->click();
  P.Control<QComboBox>(2)->setCurrentIndex(2);
  P.Control<QListWidget>(3)->item(1)->setSelected(true);
  P.Control<QPlainTextEdit>(4)->setPlainText("other");
  P.Obj(0)->MyForm->SubmitTheForm("");
  P.Deliver();
  ASSERT_EQ(P.Got.size(), 1u);
  EXPECT_EQ(P.Got[0], (TStrings{"e=changed", "s=z", "m=p", "m=q", "t=other"}));
  P.Control<QPushButton>(5)->click();
  EXPECT_EQ(P.Control<QLineEdit>(0)->text(), "start");
  EXPECT_TRUE(P.Control<QCheckBox>(1)->isChecked());
  EXPECT_EQ(P.Control<QComboBox>(2)->currentIndex(), 1);
  EXPECT_FALSE(P.Control<QListWidget>(3)->item(1)->isSelected());
  EXPECT_EQ(P.Control<QPlainTextEdit>(4)->toPlainText(), "line");
  P.Obj(0)->MyForm->SubmitTheForm("");
  P.Deliver();
  ASSERT_EQ(P.Got.size(), 2u);
  EXPECT_EQ(P.Got[1], (TStrings{"e=start", "c=on", "s=y", "m=p", "t=line"}));
}

TEST(FormWindows, AListBoxKnowsTheRowItShowsAtTheTop) {
  TFormPage P("<form><select name=s size=2><option>r0<option>r1<option>r2<option>r3"
              "<option>r4</select></form>");
  auto *List = P.Control<QListWidget>(0);
  auto *L = dynamic_cast<TListBoxFormControlObj *>(P.Obj(0));
  ASSERT_TRUE(List && L);
  EXPECT_EQ(L->TopIndex, 0);
  List->scrollToItem(List->item(3), QAbstractItemView::PositionAtTop);
  EXPECT_EQ(L->TopIndex, 3);
  EXPECT_EQ(List->indexAt(QPoint(1, 1)).row(), 3);
  List->scrollToTop();
  EXPECT_EQ(L->TopIndex, 0);
}

TEST(FormWindows, ValuesKeepThePagesCodePage) {
  TFormPage P("<form><input name=q value=\"caf\xE9\"></form>");
  auto *Edit = P.Control<QLineEdit>(0);
  EXPECT_EQ(Edit->text(), QString::fromUtf8("caf\xC3\xA9"));
  Edit->setText(QString::fromUtf8("\xE2\x82\xAC")); // the euro sign is 0x80 in Windows-1252
  PressEnter(Edit);
  P.Deliver();
  ASSERT_EQ(P.Got.size(), 1u);
  EXPECT_EQ(P.Got[0], TStrings{"q=\x80"});
}

TEST(FormWindows, PlacedWhereDrawnHiddenOutOfSight) {
  std::string Filler;
  for (int I = 0; I < 60; ++I) Filler += "<p>Filler paragraph " + std::to_string(I) + "</p>";
  TFormPage P("<form><input name=top>" + Filler + "<input name=low></form>");
  TQtFormWindow *Top = P.Window(0), *Low = P.Window(1);
  ASSERT_TRUE(Top && Low);
  EXPECT_TRUE(Top->IsVisible());
  EXPECT_EQ(Top->Widget()->pos(), QPoint(P.Obj(0)->DrawX, P.Obj(0)->DrawY));
  EXPECT_GE(Top->Widget()->y(), 0);
  EXPECT_FALSE(Low->IsVisible());
  EXPECT_EQ(Low->Widget()->y(), -400); // still parked
  // Entering a control makes the unplaced ones reachable, far off to the left.
  P.Obj(0)->FormControlEnter();
  EXPECT_TRUE(Low->IsVisible());
  EXPECT_EQ(Low->Widget()->x(), -4000);
  // Scrolled to the end: the top one goes, the low one stands where it was drawn.
  P.Pane.SetPosition(1 << 20);
  P.Pane.LayoutAndPaint();
  EXPECT_FALSE(Top->IsVisible());
  EXPECT_TRUE(Low->IsVisible());
  EXPECT_EQ(Low->Widget()->pos(), QPoint(P.Obj(1)->DrawX, P.Obj(1)->DrawY));
  EXPECT_GT(Low->Widget()->y(), 0);
  EXPECT_LT(Low->Widget()->y(), 400);
}

TEST(FormWindows, AHandlerThatLoadsAPageEndsTheClick) {
  TFormPage P("<form><input name=q value=1><input type=submit name=s value=go>"
              "<input type=reset><input type=image name=i src=x.gif width=20 height=20></form>");
  int Clicks = 0;
  P.Pane.OnObjectClick = [&](THtmlPane *Sender, TFormControlObj *, const std::string &) {
    ++Clicks;
    Sender->LoadFromString("<p>another page</p>");
  };
  P.Control<QPushButton>(1)->click();
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(P.Pane.PendingSubmissions(), 0);
  EXPECT_TRUE(P.Pane.Document().FormControlList.empty());
  P.Deliver(); // the old windows are freed here
  EXPECT_TRUE(P.Got.empty());

  // An image input's click: the same.
  P.Pane.OnObjectClick = nullptr;
  P.Pane.LoadFromString("<form><input type=image name=i src=x.gif width=20 height=20></form>");
  P.Pane.LayoutAndPaint();
  P.Pane.OnObjectClick = [&](THtmlPane *Sender, TFormControlObj *, const std::string &) {
    ++Clicks;
    Sender->LoadFromString("<p>third page</p>");
  };
  auto *Image = dynamic_cast<TImageFormControlObj *>(P.Obj(0));
  ASSERT_TRUE(Image);
  Image->ImageClick(3, 4);
  EXPECT_EQ(Clicks, 2);
  EXPECT_EQ(P.Pane.PendingSubmissions(), 0);
  P.Deliver();
  EXPECT_TRUE(P.Got.empty());
}

TEST(FormWindows, ANewPageWhileAControlHasTheFocus) {
  TFormPage P("<form><input name=a><input name=b><textarea name=t></textarea></form>");
  P.Pane.show();
  P.Pane.activateWindow();
  auto *Edit = P.Control<QLineEdit>(0);
  Edit->setFocus();
  QApplication::processEvents();
  // Freeing the focused control must not hand the focus to its neighbours of the old page.
  P.Pane.LoadFromString("<form><input name=c></form>");
  P.Pane.LayoutAndPaint();
  QApplication::processEvents();
  ASSERT_EQ(P.Pane.Document().FormControlList.size(), 1u);
  EXPECT_EQ(P.Obj(0)->Name, "c");
  EXPECT_TRUE(P.Window(0)->IsVisible());
}

TEST(FormWindows, TheDocumentKnowsWhenItsControlHasTheInput) {
  QWidget Window;
  QLineEdit Outside(&Window);
  TFormPage P("<form><input name=a><select name=s><option>x</select></form>");
  P.Pane.setParent(&Window);
  Window.show();
  Window.activateWindow();
  Outside.setFocus();
  EXPECT_FALSE(P.Pane.Document().ActiveControlIsMine());
  P.Control<QComboBox>(1)->setFocus();
  EXPECT_TRUE(P.Pane.Document().ActiveControlIsMine());
  P.Pane.setFocus();
  EXPECT_FALSE(P.Pane.Document().ActiveControlIsMine());
}

// ---- PANEL elements: windows the host fills, placed like the form controls ----

TEST(PanelWindows, MadeWithThePageHandedToTheHostAndFreedWithIt) {
  std::vector<std::string> Made;
  std::vector<ThvPanel *> Created, Destroyed;
  THtmlPane Pane;
  Pane.resize(500, 300);
  Pane.OnPanelCreate = [&](THtmlPane *Sender, const std::string &AName, const std::string &AType,
                           const std::string &SRC, ThvPanel *Panel) {
    EXPECT_EQ(Sender, &Pane);
    Made.push_back(AName + "|" + AType + "|" + SRC);
    Created.push_back(Panel);
    // The host fills the panel and may give it another size.
    QFrame *F = PanelFrame(Panel);
    ASSERT_TRUE(F);
    auto *Label = new QLabel(QString::fromStdString("host's " + AName), F);
    Label->move(4, 4);
    if (AName == "grown") F->resize(120, 50);
  };
  Pane.OnPanelDestroy = [&](THtmlPane *Sender, ThvPanel *Panel) {
    EXPECT_EQ(Sender, &Pane);
    Destroyed.push_back(Panel);
  };
  Pane.show();
  Pane.LoadFromString("<p>before <panel name=plain type=\"x-demo\" src=\"demo.dat\"> after</p>"
                      "<p><panel name=sized width=80 height=40> and "
                      "<panel name=grown width=60 height=30></p>");
  Pane.LayoutAndPaint();
  EXPECT_EQ(Made, (std::vector<std::string>{"plain|x-demo|demo.dat", "sized||", "grown||"}));
  TSectionList &Doc = Pane.Document();
  ASSERT_EQ(Doc.PanelList.size(), 3u);
  // Without WIDTH and HEIGHT a panel takes 30 x 20 in the text; the host's size wins.
  EXPECT_EQ(Doc.PanelList[0]->ImageWidth, 30);
  EXPECT_EQ(Doc.PanelList[0]->ImageHeight, 20);
  EXPECT_EQ(Doc.PanelList[1]->ImageWidth, 80);
  EXPECT_EQ(Doc.PanelList[2]->ImageWidth, 120);
  EXPECT_EQ(Doc.PanelList[2]->ImageHeight, 50);
  // Each is a white frame with one plain line, standing where the text left its room.
  for (TPanelObj *P : Doc.PanelList) {
    QFrame *F = PanelFrame(P->Panel.get());
    ASSERT_TRUE(F);
    EXPECT_EQ(F->parentWidget(), Pane.PaintPanel());
    EXPECT_EQ(F->frameShape(), QFrame::Box);
    EXPECT_EQ(F->frameShadow(), QFrame::Plain);
    EXPECT_EQ(F->lineWidth(), 1);
    EXPECT_TRUE(F->isVisible());
    EXPECT_EQ(F->pos(), QPoint(P->DrawX, P->DrawY - Pane.Position()));
    EXPECT_EQ(F->size(), QSize(P->ImageWidth, P->ImageHeight));
    const QImage Shot = F->grab().toImage();
    EXPECT_EQ(Shot.pixel(F->width() - 3, F->height() - 3), 0xFFFFFFFFu); // white face
    EXPECT_EQ(Shot.pixel(0, F->height() / 2) & 0xFFFFFF, 0u);            // a black line
  }
  // The text went round them: "after" lies right of the first panel.
  const QRect First(PanelFrame(Doc.PanelList[0]->Panel.get())->geometry());
  int X = 0, Y = 0;
  ASSERT_TRUE(Doc.CursorToXY(Pane.PaintPanel()->Canvas(), Doc.FindString(0, "after", true), X, Y));
  EXPECT_GE(X, First.right());
  Pane.grab().save(QString(VORNELLE_BINARY_DIR) + "/pane_panels.png");
  // A new page frees them, telling the host which.
  QPointer<QFrame> Old = PanelFrame(Doc.PanelList[0]->Panel.get());
  Pane.LoadFromString("<p>no panels");
  EXPECT_EQ(Destroyed, Created);
  EXPECT_TRUE(Doc.PanelList.empty());
  ASSERT_TRUE(Old);
  EXPECT_FALSE(Old->isVisible());
  QApplication::processEvents(QEventLoop::AllEvents);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(Old); // and their windows with the host's widgets in them
}

TEST(PanelWindows, HiddenOutOfViewAndLeftAloneByThePrintCopy) {
  std::string Filler;
  for (int I = 0; I < 60; ++I) Filler += "<p>Filler paragraph " + std::to_string(I) + "</p>";
  THtmlPane Pane;
  Pane.resize(400, 300);
  Pane.show();
  Pane.LoadFromString("<panel name=top width=50 height=30>" + Filler +
                      "<panel name=low width=50 height=30 alt=\"Low panel\">");
  Pane.LayoutAndPaint();
  TSectionList &Doc = Pane.Document();
  ASSERT_EQ(Doc.PanelList.size(), 2u);
  QFrame *Top = PanelFrame(Doc.PanelList[0]->Panel.get());
  QFrame *Low = PanelFrame(Doc.PanelList[1]->Panel.get());
  EXPECT_TRUE(Top->isVisible());
  EXPECT_FALSE(Low->isVisible());
  EXPECT_EQ(Low->pos(), QPoint(-400, -400)); // parked until first drawn
  Pane.SetPosition(1 << 20);
  Pane.LayoutAndPaint();
  EXPECT_FALSE(Top->isVisible());
  EXPECT_TRUE(Low->isVisible());
  EXPECT_EQ(Low->pos(), QPoint(Doc.PanelList[1]->DrawX, Doc.PanelList[1]->DrawY - Pane.Position()));
  // The print copy has records of its own, without windows.
  TSectionList Copy(Doc, nullptr);
  ASSERT_EQ(Copy.PanelList.size(), 2u);
  EXPECT_EQ(PanelFrame(Copy.PanelList[0]->Panel.get()), nullptr);
  EXPECT_EQ(Copy.PanelList[1]->Panel->Width(), 50);
}
