#include "main_window_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/topic_table.h"
#include "platform/clipboard.h"

void MainWindowTest::SetUp() {
  Temp = std::make_unique<QTemporaryDir>();
  ASSERT_TRUE(Temp->isValid());
  Dir = Temp->path().toStdString() + "/";
  AbortFlag = true;
  SetMessageDlgHook([this](const std::string &Text, TMsgDlgType Type, TMsgDlgButtons) {
    Asked.push_back({Text, Type});
    if (Answers.empty()) return mrNo;
    int A = Answers.front();
    Answers.erase(Answers.begin());
    return A;
  });
}

void MainWindowTest::TearDown() {
  Form.reset();
  SetMessageDlgHook({});
  AbortFlag = true;
}

void MainWindowTest::WriteFile(const std::string &RelPath, const std::string &Text) {
  QString Path = QString::fromStdString(Dir + RelPath);
  QDir().mkpath(QFileInfo(Path).path());
  QFile F(Path);
  ASSERT_TRUE(F.open(QIODevice::WriteOnly));
  F.write(Text.data(), qint64(Text.size()));
}

void MainWindowTest::CopySourceFile(const std::string &From, const std::string &To) {
  QString Target = QString::fromStdString(Dir + To);
  QDir().mkpath(QFileInfo(Target).path());
  ASSERT_TRUE(QFile::copy(QString::fromStdString(std::string(VORNELLE_SOURCE_DIR) + "/" + From), Target));
}

void MainWindowTest::MakeProgramFolder(bool WithIndex) {
  if (WithIndex) WriteFile("HTML/Index.htm", "<HTML><TITLE>Vornelle index</TITLE><BODY>x</BODY></HTML>");
  for (int T = 1; T <= 18; ++T)
    if (const char *Page = TopicInfo(T).Page)
      WriteFile(std::string("HTML/") + Page,
                std::string("<TITLE>Page of topic ") + std::to_string(T) +
                    "</TITLE><BODY>Text of topic " + std::to_string(T) + ".</BODY>");
  WriteFile("Help/contents.htm", "<title>Contents</title>");
  WriteFile("Help/3000.htm", "<TITLE>Starting Vornelle</TITLE>");
  WriteFile("Help/1700.htm", "<TITLE>The electric field page</TITLE>");
  WriteFile("Help/1900.htm", "<TITLE>Magnetic field of a coil</TITLE>");
  CopySourceFile("HTML/images/FSplash800.jpg", "HTML/images/FSplash800.jpg");
  CopySourceFile("HTML/images/FSplash640.jpg", "HTML/images/FSplash640.jpg");
  CopySourceFile("HTML/images/fleming.gif", "HTML/images/fleming.gif");
}

TFieldFrm &MainWindowTest::MakeWindow(TScreenGeometry Screen) {
  TFieldFrmOptions O;
  O.Screen = Screen;
  O.ProgramDir = Dir;
  Form = std::make_unique<TFieldFrm>(O);
  return *Form;
}

void MainWindowTest::Pump() {
  for (int I = 0; I < 3; ++I) QCoreApplication::processEvents();
}
