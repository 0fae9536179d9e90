// The topic table's look-ups, the text pane's history and help page titles, without a window.
#include <gtest/gtest.h>

#include "app/jump_manager.h"
#include "app/forms/help_frm.h"
#include "app/topic_table.h"

TEST(TopicTable, PageLinksFindTheirTopicWhateverTheirCaseOrAnchor) {
  EXPECT_EQ(TopicOfPage("efield.htm#plates", 9), 2);
  EXPECT_EQ(TopicOfPage("C:\\Vornelle\\HTML\\Helix.HTM", 5), 7);
  EXPECT_EQ(TopicOfPage("/opt/vornelle/HTML/MASS_SPECT.HTM", 0), 18);
  EXPECT_EQ(TopicOfPage("orbit2.htm", 9), 11);
  // The index page and unknown pages keep the topic that is shown.
  EXPECT_EQ(TopicOfPage("Index.htm", 9), 9);
  EXPECT_EQ(TopicOfPage("glossary.htm", 4), 4);
  EXPECT_EQ(TopicOfPage("#top", 6), 6);
  // A name that only starts like a topic page is another page.
  EXPECT_EQ(TopicOfPage("EFIELD.HTML", 1), 1);
}

TEST(TopicTable, PageWidthsAreKeptInTheirOwnOrderNotTheSheets) {
  EXPECT_EQ(PageWidthIndex(TSheet::Alpha), 0);
  EXPECT_EQ(PageWidthIndex(TSheet::Mag), 3);
  EXPECT_EQ(PageWidthIndex(TSheet::Splash), -1);
  // The sheets after SplashTab are shifted, and BinOrbitTab sits near the end.
  EXPECT_EQ(PageWidthIndex(TSheet::EDef), 4);
  EXPECT_EQ(PageWidthIndex(TSheet::BinOrbit), 16);
  EXPECT_EQ(PageWidthIndex(TSheet::Alpha2), 10);
  EXPECT_EQ(PageWidthIndex(TSheet::MS), 17);
  auto W = InitPageWidths(450);
  // Each initial width belongs to the sheet of its topic row.
  for (int T = 1; T <= 18; ++T) {
    int Expected = 450;
    switch (T) {
    case 6: Expected = 473; break;
    case 8: Expected = 400; break;
    case 10: Expected = 480; break;
    case 11: Expected = 455; break;
    case 12: Expected = 420; break;
    case 14: Expected = 400; break;
    case 18: Expected = 400; break;
    }
    EXPECT_EQ(W[size_t(PageWidthIndex(TopicInfo(T).Sheet))], Expected) << "topic " << T;
  }
}

TEST(TopicTable, CaptionsAndHelpContextsAsTabled) {
  EXPECT_STREQ(TopicInfo(11).Caption, "Planetary orbits (1)");
  EXPECT_STREQ(TopicInfo(10).MenuCaption, "Motion in unform gravitational fields");
  EXPECT_STREQ(TopicInfo(14).Caption, "force on a current carrying conductor");
  EXPECT_EQ(HelpContextOfTopic(0), 3000);
  EXPECT_EQ(HelpContextOfTopic(2), 1700);
  EXPECT_EQ(HelpContextOfTopic(3), 1900);
  EXPECT_EQ(HelpContextOfTopic(17), 3100);
  EXPECT_EQ(HelpContextOfTopic(19), 0);
  EXPECT_EQ(HelpContextOfTopic(-1), 0);
  // Every topic but the 3-D view is in the menu exactly once.
  std::array<int, 19> Seen{};
  for (int T : TopicMenuOrder) ++Seen[size_t(T)];
  for (int T = 1; T <= 18; ++T) EXPECT_EQ(Seen[size_t(T)], T == 3 ? 0 : 1) << T;
}

TEST(JumpManager, KeepsEachPageOnceAndEmptiesOnReturnHome) {
  TJumpManager H;
  H.Home = "/P/HTML/INDEX.HTM";
  H.AddJump("/P/HTML/Index.htm", 0);
  H.AddJump("/P/HTML/EFIELD.HTM", 120);
  EXPECT_EQ(H.Current, 1);
  EXPECT_TRUE(H.CanBack());
  // A second visit makes the entry current and keeps its first position.
  H.AddJump("/p/html/efield.htm", 999);
  EXPECT_EQ(H.Count(), 2);
  EXPECT_EQ(H.Jump(1).Position, 120);
  TJumpRec J = H.Back();
  EXPECT_EQ(J.Name, "/P/HTML/Index.htm");
  EXPECT_EQ(H.Count(), 0); // back on the home page: the history is emptied
  EXPECT_FALSE(H.CanBack());
  EXPECT_EQ(H.Forward().Name, "");
}

TEST(JumpManager, ForwardAfterBack) {
  TJumpManager H;
  H.Home = "HOME";
  H.AddJump("a", 1);
  H.AddJump("b", 2);
  H.AddJump("c", 3);
  EXPECT_EQ(H.Back().Name, "b");
  EXPECT_TRUE(H.CanForward());
  TJumpRec J = H.Forward();
  EXPECT_EQ(J.Name, "c");
  EXPECT_EQ(J.Position, 3);
  EXPECT_FALSE(H.CanForward());
}

TEST(HelpPages, TitlesAreFoldedAndDecoded) {
  EXPECT_EQ(HtmlTitleOf("<html><title>\r\n  Field   lines </title>"), "Field lines");
  EXPECT_EQ(HtmlTitleOf("<TITLE>Caf\xE9</TITLE>"), "Caf\xC3\xA9");
  EXPECT_EQ(HtmlTitleOf("<BODY>no title</BODY>"), "");
  EXPECT_EQ(HtmlTitleOf("<TITLE>unclosed"), "unclosed");
}
