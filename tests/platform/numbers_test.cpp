// Number rules: rounding, MulDiv, conversions and Format, independent of the locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "platform/encoding.h"
#include "platform/numbers.h"

namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(Round(12.5), 12);
  EXPECT_EQ(Round(13.5), 14);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(-3.5), -4);
  EXPECT_EQ(Round(2.4999), 2);
  EXPECT_EQ(Round(0.5), 0);
  EXPECT_EQ(Trunc(-2.9), -2);
  EXPECT_EQ(Trunc(2.9), 2);
}

TEST(Rounding, HugeAndNonFiniteValuesSaturate) {
  EXPECT_EQ(Round(1e300), std::numeric_limits<int>::max());
  EXPECT_EQ(Round(-1e300), std::numeric_limits<int>::min());
  EXPECT_EQ(Round(std::numeric_limits<double>::infinity()), std::numeric_limits<int>::max());
  EXPECT_EQ(Round(std::nan("")), 0);
  EXPECT_EQ(Trunc(-std::numeric_limits<double>::infinity()), std::numeric_limits<int>::min());
  EXPECT_EQ(SatToInt(int64_t(1) << 40), std::numeric_limits<int>::max());
}

TEST(Rounding, DivAndModTruncateWithTheDividendsSign) {
  EXPECT_EQ(Div(-7, 2), -3);
  EXPECT_EQ(Mod(-7, 2), -1);
  EXPECT_EQ(Mod(7, -2), 1);
  EXPECT_EQ(Div(5, 0), 0); // no trap
  EXPECT_EQ(Div(std::numeric_limits<int>::min(), -1), std::numeric_limits<int>::min());
}

TEST(MulDivRule, RoundsHalfAwayFromZeroAndNeverTraps) {
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(5, 1, -2), -3);
  EXPECT_EQ(MulDiv(7, 1, 3), 2);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(8, 96, 72), 11); // 10.67: 8 point at 96 dpi
  EXPECT_EQ(MulDiv(100000, 100000, 2), -1); // does not fit in 32 bits
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000); // the product itself may be large
}

// A locale whose decimal separator is a comma, built on the spot when none is installed.
bool UseGermanLocale() {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8")) return true;
  std::string Dir = std::string(VORNELLE_BINARY_DIR) + "/locale";
  std::filesystem::create_directories(Dir);
  std::string Cmd = "localedef -i de_DE -f UTF-8 " + Dir + "/de_DE.UTF-8 >/dev/null 2>&1";
  if (!std::filesystem::exists(Dir + "/de_DE.UTF-8")) (void)std::system(Cmd.c_str());
  setenv("LOCPATH", Dir.c_str(), 1);
  return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

TEST(FormatRule, FixedHasTwoDecimalsAndAPointUnderAnyLocale) {
  EXPECT_EQ(Format("%f", 5), "5.00");
  EXPECT_EQ(Format("%f", 2.675), "2.68"); // decimal digits round half up
  EXPECT_EQ(Format("%1.3f", 3.14159), "3.142");
  EXPECT_EQ(Format("%.1f", -0.04), "0.0"); // no "-0"
  if (!UseGermanLocale()) GTEST_SKIP() << "no German locale available";
  char Buf[32];
  std::snprintf(Buf, sizeof Buf, "%.2f", 5.0);
  EXPECT_STREQ(Buf, "5,00"); // the locale is really active
  EXPECT_EQ(Format("%f", 5), "5.00");
  EXPECT_EQ(Format("%g", 0.25), "0.25");
  EXPECT_EQ(FloatToStr(1.5), "1.5");
  EXPECT_EQ(FormatFloat("#,##0.###", 1234.5), "1,234.5");
  EXPECT_DOUBLE_EQ(StrToFloat("2.5"), 2.5);
  std::setlocale(LC_ALL, "C");
}

TEST(FormatRule, IntegersStringsAndWidths) {
  EXPECT_EQ(Format("%d", 42), "42");
  EXPECT_EQ(Format("%5d|%-5d|", -42, 7), "  -42|7    |");
  EXPECT_EQ(Format("%.3d", 7), "007");
  EXPECT_EQ(Format("%x", 255), "FF");
  EXPECT_EQ(Format("%s = %d%%", "n", 3), "n = 3%");
  EXPECT_EQ(Format("%*d", 4, 1), "   1");
  EXPECT_EQ(Format("%n", 1234567.891), "1,234,567.89");
  EXPECT_EQ(Format("%e", 1234.5), "1.23450000000000E+003");
  EXPECT_EQ(Format("%.3e", -0.00123), "-1.23E-003");
  EXPECT_EQ(Format("%g", 1e20), "1E20");
  EXPECT_EQ(Format("%d", 2.9), "2");
  EXPECT_THROW(Format("%d"), EConvertError);
  EXPECT_THROW(Format("%d", "text"), EConvertError);
  EXPECT_THROW(Format("%q", 1), EConvertError);
}

TEST(FormatRule, FormatFloatMasks) {
  EXPECT_EQ(FormatFloat("#,##0.###", 1234.5678), "1,234.568");
  EXPECT_EQ(FormatFloat("#,##0.###", 0), "0");
  EXPECT_EQ(FormatFloat("#,##0.###", -0.0001), "0"); // rounds to zero: no "-0"
  EXPECT_EQ(FormatFloat("0.00", 3.14159), "3.14");
  EXPECT_EQ(FormatFloat("0.00", -3.14159), "-3.14");
  EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
  EXPECT_EQ(FormatFloat("000", 7), "007");
  EXPECT_EQ(FormatFloat("0.0E+00", 12345), "1.2E+04");
  EXPECT_EQ(FormatFloat("0.00 'm/s'", 2.5), "2.50 m/s");
  EXPECT_EQ(FormatFloat("0.0;(0.0);zero", -1.25), "(1.3)");
  EXPECT_EQ(FormatFloat("0.0;(0.0);'zero'", 0), "zero");
}

TEST(Conversions, FloatToStrAndStrToInt) {
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(100), "100");
  EXPECT_EQ(FloatToStr(1e15), "1E15");
  EXPECT_EQ(FloatToStr(0.0001), "0.0001");
  EXPECT_EQ(FloatToStr(0.00001), "1E-5");
  EXPECT_EQ(FloatToStr(-2.5e-7), "-2.5E-7");
  EXPECT_EQ(FloatToStrFixed(1.005, 2), "1.01");
  EXPECT_EQ(IntToStr(-12), "-12");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(StrToInt(" 12 "), 12);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToIntDef("12a", -1), -1);
  EXPECT_EQ(StrToIntDef("99999999999", -1), -1);
  EXPECT_EQ(StrToIntDef("", 5), 5);
  try {
    StrToInt("abc");
    FAIL();
  } catch (const EConvertError &E) {
    EXPECT_STREQ(E.what(), "'abc' is not a valid integer value");
  }
  EXPECT_DOUBLE_EQ(StrToFloat("1e3"), 1000);
  EXPECT_THROW(StrToFloat("1,5"), EConvertError);
  EXPECT_DOUBLE_EQ(StrToFloatDef("x", 2.5), 2.5);
}

TEST(Encodings, SingleByteCodePagesDecodeByTheirTables) {
  EXPECT_EQ(DecodeByte(0xA3), u'\u00A3'); // pound sign
  EXPECT_EQ(DecodeByte(0xBA), u'\u00BA'); // masculine ordinal
  EXPECT_EQ(DecodeByte(0x80), u'\u20AC'); // euro in Windows-1252
  EXPECT_EQ(DecodeByte(0x81), u'\u0081'); // unassigned: kept as a C1 control
  EXPECT_EQ(DecodeByte(0x80, TCodePage::Iso8859_1), u'\u0080');
  EXPECT_EQ(DecodeByte(0xA4, TCodePage::Iso8859_15), u'\u20AC');
  EXPECT_EQ(DecodeByte(0xB9, TCodePage::Windows1250), u'\u0105'); // a ogonek
  EXPECT_EQ(DecodeByte(0xC0, TCodePage::Windows1251), u'\u0410'); // Cyrillic A
  EXPECT_EQ(DecodeByte(0xE1, TCodePage::Koi8R), u'\u0410');
  EXPECT_EQ(DecodeByte(0x80, TCodePage::Cp866), u'\u0410');
  EXPECT_EQ(DecodeByte(0xA1, TCodePage::Iso8859_8), u'\uFFFD'); // no character there
  TCodePage P = TCodePage::Windows1252;
  EXPECT_TRUE(CodePageByName(" ISO-8859-2 ", P));
  EXPECT_EQ(P, TCodePage::Iso8859_2);
  EXPECT_TRUE(CodePageByName("windows-1257", P));
  EXPECT_EQ(P, TCodePage::Windows1257);
  EXPECT_FALSE(CodePageByName("utf-7", P));
  EXPECT_EQ(P, TCodePage::Windows1257);
  EXPECT_EQ(DecodeToUtf8("\xA3" "5"), "\xC2\xA3" "5");
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x82\xAC\xE4\xB8\x80"), "\x80?");
  EXPECT_EQ(Utf8ToUtf16("a\xA3"), u"a\u00A3"); // invalid UTF-8 reads as Windows-1252
  EXPECT_EQ(Utf16ToUtf8(u"\u00B5m"), "\xC2\xB5m");
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));
}

} // namespace
