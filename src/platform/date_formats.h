#pragma once
// The locale's short date and time formats, as the class library's ShortDateFormat and
// ShortTimeFormat give them: in the date-time format letters (d dd m mm yy yyyy h hh n nn
// s ss am/pm AM/PM, literal text in double quotes).
#include <string>

std::string ShortDateFormat();
std::string ShortTimeFormat();
// A Qt-style date or time pattern (the locale's own form) in those letters.
std::string DateTimeFormatFromLocalePattern(const std::string &Pattern);
