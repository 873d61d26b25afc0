#include "util/regional_settings.h"

#include <gtest/gtest.h>

#include "util/codepage.h"

namespace tessaro {
namespace {

TEST(RegionalSettings, CzechDefaults) {
  TFormatSettings fs = CzechFormatSettings();
  EXPECT_EQ(fs.CurrencyString, Cp1250("Kč"));
  EXPECT_EQ(fs.CurrencyFormat, 3);
  EXPECT_EQ(fs.NegCurrFormat, 8);
  EXPECT_EQ(fs.CurrencyDecimals, 2);
  EXPECT_EQ(fs.ThousandSeparator, '\xA0');
  EXPECT_EQ(fs.DecimalSeparator, ',');
  EXPECT_EQ(fs.DateSeparator, '.');
  EXPECT_EQ(fs.TimeSeparator, ':');
  EXPECT_EQ(fs.ShortDateFormat, "d.M.yyyy");
  EXPECT_EQ(fs.LongDateFormat, "d. mmmm yyyy");
  EXPECT_EQ(fs.ShortTimeFormat, "h:nn");
  EXPECT_EQ(fs.LongTimeFormat, "h:nn:ss");
  EXPECT_EQ(fs.TimeAMString, "dop.");
  EXPECT_EQ(fs.TimePMString, "odp.");
  EXPECT_EQ(fs.TwoDigitYearCenturyWindow, 50);
  EXPECT_EQ(fs.LongMonthNames[0], Cp1250("leden"));
  EXPECT_EQ(fs.LongMonthNames[6], Cp1250("červenec"));
  EXPECT_EQ(fs.LongMonthNames[11], Cp1250("prosinec"));
  EXPECT_EQ(fs.ShortMonthNames[1], Cp1250("úno"));
  EXPECT_EQ(fs.ShortMonthNames[5], Cp1250("čvn"));
  EXPECT_EQ(fs.ShortMonthNames[6], Cp1250("čvc"));
  EXPECT_EQ(fs.LongDayNames[0], Cp1250("neděle"));
  EXPECT_EQ(fs.LongDayNames[6], "sobota");
  EXPECT_EQ(fs.ShortDayNames[2], Cp1250("út"));
  for (const auto& name : fs.LongMonthNames) EXPECT_FALSE(name.empty());
  for (const auto& name : fs.ShortDayNames) EXPECT_EQ(name.size(), 2u);
}

TEST(RegionalSettings, ProcessWideObjectStartsCzechAndResets) {
  ResetRegionalSettings();
  EXPECT_EQ(RegionalSettings().ShortDateFormat, "d.M.yyyy");
  RegionalSettings().DecimalSeparator = '.';
  RegionalSettings().ShortDateFormat = "yyyy-mm-dd";
  EXPECT_EQ(RegionalSettings().DecimalSeparator, '.');
  // The primary language's defaults do not follow the process's overrides.
  EXPECT_EQ(PrimaryLanguageSettings().DecimalSeparator, ',');
  EXPECT_EQ(PrimaryLanguageSettings().ShortDateFormat, "d.M.yyyy");
  ResetRegionalSettings();
  EXPECT_EQ(RegionalSettings().DecimalSeparator, ',');
  EXPECT_EQ(RegionalSettings().ShortDateFormat, "d.M.yyyy");
}

}  // namespace
}  // namespace tessaro
