#pragma once
// A text dump of a built document for tests: one line per section with its kind and
// settings, the buffer with visible marks, the font runs, pictures, controls and, for
// tables, rows and cells with their own sections indented.
//
// Buffer marks: {IMG} picture or panel, {IMG~} the same in no-break mode, {CTL} form
// control, {CTL~} in no-break mode, {NBSP} no-break space; other bytes below 32 as {#n}.
#include <string>

class TCell;
class TSectionBase;

struct TDumpOptions {
  bool Layout = false; // add Y, heights and lines from the last layout
  bool Fonts = true;   // font runs
  bool Sources = false; // source index runs
};

std::string DumpCell(const TCell &Cell, const TDumpOptions &Options = {}, int Indent = 0);
std::string DumpSection(const TSectionBase &Section, const TDumpOptions &Options = {},
                        int Indent = 0);
// The buffer of a paragraph with visible marks.
std::string VisibleText(const std::string &Buff);
