#pragma once
// A program folder made for each test (text pages, help pages, the collages) and a main
// window built on it for a given screen, with message boxes answered by the test.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "app/field_frm.h"
#include "platform/application.h"
#include "sim/shared_constants.h"

struct TAskedMessage {
  std::string Text;
  TMsgDlgType Type;
};

class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Writes a file below the program folder (folders are made as needed).
  void WriteFile(const std::string &RelPath, const std::string &Text);
  void CopySourceFile(const std::string &From, const std::string &To);
  // The standard program folder: every topic page, the index, help pages, collages.
  void MakeProgramFolder(bool WithIndex = true);
  TFieldFrm &MakeWindow(TScreenGeometry Screen = Screen1024());
  static TScreenGeometry Screen1024() { return {1024, 768, 0, 0, 1024, 738}; }
  static void Pump();

  std::string Dir; // with trailing '/'
  std::unique_ptr<QTemporaryDir> Temp;
  std::unique_ptr<TFieldFrm> Form;
  std::vector<TAskedMessage> Asked;
  std::vector<int> Answers; // answers in order; mrNo once they run out
};
