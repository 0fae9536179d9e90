#pragma once
// Small routines shared by the page reader, the document and the viewer. The shared
// classes live in their own headers, gathered here.
#include <string>
#include <string_view>

#include "htmlview/attributes.h"
#include "htmlview/free_list.h"
#include "htmlview/indent_manager.h"
#include "htmlview/map_items.h"
#include "htmlview/url_target.h"
#include "platform/numbers.h" // Trim

inline int IntMin(int A, int B) { return A < B ? A : B; }
inline int IntMax(int A, int B) { return A > B ? A : B; }
// Every Old becomes New.
void ReplaceChar(char Old, char New, std::string &S);
// ASCII case mapping; other bytes unchanged.
std::string LowerCase(std::string_view S);
std::string UpperCaseAscii(std::string_view S);
// A signed decimal (optional sign, at least one digit, nothing else); values beyond the
// 32-bit range saturate. False, with Value unchanged, when S is not such a number.
bool StrToIntSat(std::string_view S, int &Value);
