#include "settings/option_files.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "settings/ini_file.h"
#include "settings/internat_settings.h"
#include "settings/published_visitors.h"
#include "settings_test_support.h"
#include "util/base64.h"
#include "util/exception.h"
#include "util/regional_settings.h"
#include "util/text.h"

namespace tessaro {
namespace {

using namespace settings_test;

// Options with one more string list, which (unlike the two lists filled from
// sections) keeps the value its key gives.
class TNoticeOptions : public TPublished<TNoticeOptions, TWebAppOptions> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TNoticeOptions>& p) {
    p.StringList("notice", &TNoticeOptions::notice);
  }
  TStrings notice;
};

// The value of a key as text; the lines of a string list joined with "|".
std::string ValueOf(const TNoticeOptions& options, const std::string& key) {
  TStrings written;
  WritePublishedToStrings(options, written, true);
  std::string value = written.Values(key);
  if (options.PublishedProperties().Find(key)->Kind() != pkStringList) return value;
  TStrings lines;
  lines.SetText(Base64Decode(value));
  std::string joined;
  for (const std::string& line : lines) joined += (joined.empty() ? "" : "|") + line;
  return joined;
}

class OptionFilesTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(OpenIniFileCount(), 0u); }
  std::string IniName() const { return dir_.Path("portal.INI"); }
  ScratchDir dir_;
};

TEST_F(OptionFilesTest, DefaultsFileName) {
  EXPECT_EQ(DefaultsFileName("/srv/portal/tessaro.INI"), "/srv/portal/tessaro0.ini");
  EXPECT_EQ(DefaultsFileName("/srv/portal.d/tessaro"), "/srv/portal.d/tessaro0.ini");
  EXPECT_EQ(DefaultsFileName("C:\\cgi\\portal.INI"), "C:\\cgi\\portal0.ini");
}

TEST_F(OptionFilesTest, ValuesFromBothFiles) {
  struct Case {
    const char* defaults;   // portal0.ini
    const char* overrides;  // portal.INI; null when there is none
    const char* key;
    const char* expected;
  };
  const std::string notice = Base64Encode("first line\r\nsecond=2\r\n");
  const std::string notice_defaults = "notice=" + notice + "\n";
  const Case cases[] = {
      {"table_empty=a\ntable_empty=b\n", nullptr, "table_empty", "a"},              // the first line wins
      {"table_empty=a\n", "table_empty=b\n", "table_empty", "b"},                    // the INI file overrides
      {"table_empty=a\n", "table_empty=\n", "table_empty", "a"},                     // an empty value changes nothing
      {"table_empty=a\n", "[INTERNAT]\ntable_empty=\ntable_empty=c\n", "table_empty", "a"},
      {"[BANNERS]\npgLOGIN=login.html\n", nullptr, "pgLOGIN", "login.html"},         // sections do not matter
      {"[Anything]\nPGlogin=login.html\n", nullptr, "pgLOGIN", "login.html"},        // nor does letter case
      {";pgLOGIN=login.html\n", nullptr, "pgLOGIN", ""},
      {"Port = 80\n", nullptr, "Port", "0"},                                        // the name ends with a blank
      {"Port=  8080  \r\n", nullptr, "Port", "8080"},
      {"initial_table_rows=0\n", nullptr, "initial_table_rows", "0"},               // corrected by the pages, not here
      {"initial_table_rows=-5\n", nullptr, "initial_table_rows", "25"},
      {"initial_table_rows=ten\n", nullptr, "initial_table_rows", "25"},
      {"initial_table_rows=99999999999\n", nullptr, "initial_table_rows", "25"},
      {"cookie_expires=30", "[X]\ncookie_expires=7", "cookie_expires", "7"},
      {notice_defaults.c_str(), nullptr, "notice", "first line|second=2"},          // lists travel in Base64
      {notice_defaults.c_str(), "notice=!!\n", "notice", ""},                       // no Base64 characters: empty
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n++);
    dir_.Write("portal0.ini", c.defaults);
    std::remove(IniName().c_str());
    if (c.overrides) dir_.Write("portal.INI", c.overrides);
    TNoticeOptions options;
    LoadOptionFiles(options, IniName());
    EXPECT_EQ(ValueOf(options, c.key), c.expected);
  }
}

TEST_F(OptionFilesTest, SectionsMergeByName) {
  struct Case {
    const char* defaults;   // portal0.ini
    const char* overrides;  // portal.INI; null when there is none
    const char* banners;    // global_banners, lines joined with "|"
  };
  const std::string banners_key = "global_banners=" + Base64Encode("k=1") + "\n";
  const Case cases[] = {
      {"[BANNERS]\na=1\n;c=3\nb=2\n", nullptr, "a=1|;c=3|b=2"},    // all lines, comments too
      {"[BANNERS]\na=1\nb=2\n", "[BANNERS]\nb=20\nx=9\n", "a=1|b=20|x=9"},
      {"[BANNERS]\na=1\nb=2\n", "[BANNERS]\nB=20\n", "a=1|B=20"},  // names ignore letter case
      {"[BANNERS]\na=1\nb=2\n", "[BANNERS]\na=\n", "b=2"},         // an empty value removes
      {"[BANNERS]\na=1\nb=2\n", "[BANNERS]\n;a=5\n=5\nplain\nz=\n", "a=1|b=2"},
      {"[BANNERS]\na=1\nb=2\na=3\n", "[BANNERS]\na=\n", "b=2|a=3"},  // the first line of a name
      {"[BANNERS]\na=1\nb=2\na=3\n", "[BANNERS]\na=\na=\na=4\n", "b=2|a=4"},
      {"[BANNERS]\na=1\n", "[banners]\nb=2\n[Other]\nc=3\n[BANNERS]\nd=4\n", "a=1|b=2|d=4"},
      {"", "[BANNERS]\nx=1\n", "x=1"},
      {"[BANNERS]\nglobal_banners=x\n", nullptr, "global_banners=x"},
      // The key gives way to the sections, which always make the list.
      {banners_key.c_str(), nullptr, ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n++);
    dir_.Write("portal0.ini", c.defaults);
    std::remove(IniName().c_str());
    if (c.overrides) dir_.Write("portal.INI", c.overrides);
    TNoticeOptions options;
    LoadOptionFiles(options, IniName());
    EXPECT_EQ(ValueOf(options, "global_banners"), c.banners);
  }
}

TEST_F(OptionFilesTest, SimplePagesMergeLikeBanners) {
  dir_.Write("portal0.ini", "[SIMPLEPAGES]\nabout=about.html\nhelp=help.html\n[BANNERS]\ntop=1\n");
  dir_.Write("portal.INI", "[SIMPLEPAGES]\nhelp=\nterms=terms.html\n");
  TWebAppOptions options;
  LoadOptionFiles(options, IniName());
  EXPECT_EQ(options.simple_pages_ids.Items(), (std::vector<std::string>{"about=about.html", "terms=terms.html"}));
  EXPECT_EQ(options.global_banners.Items(), (std::vector<std::string>{"top=1"}));
}

// A damaged file with a huge section must not make the merge quadratic.
TEST_F(OptionFilesTest, LargeSectionsMergeInLinearTime) {
  const int kLines = 100000;
  std::string defaults = "[BANNERS]\n", overrides = "[BANNERS]\n";
  for (int i = 0; i < kLines; ++i) {
    defaults += "b" + std::to_string(i) + "=1\n";
    overrides += "b" + std::to_string(i) + (i % 2 ? "=\n" : "=2\n");
    overrides += "n" + std::to_string(i) + "=3\n";
  }
  dir_.Write("portal0.ini", defaults);
  dir_.Write("portal.INI", overrides);
  TWebAppOptions options;
  LoadOptionFiles(options, IniName());
  ASSERT_EQ(options.global_banners.Count(), static_cast<size_t>(kLines / 2 + kLines));
  EXPECT_EQ(options.global_banners[0], "b0=2");
  EXPECT_EQ(options.global_banners[kLines / 2], "n0=3");
}

TEST_F(OptionFilesTest, ValuesComeFromTheFilesOnDisk) {
  // The shared file already read supplies the lines, but not while it holds
  // unsaved changes: the options are what the files say.
  dir_.Write("portal0.ini", "[A]\ntable_empty=disk\n");
  {
    TZNKIniFile held(dir_.Path("portal0.ini"));
    TNoticeOptions options;
    LoadOptionFiles(options, IniName());
    EXPECT_EQ(ValueOf(options, "table_empty"), "disk");
    held.WriteString("A", "table_empty", "memory");
    TNoticeOptions changed;
    LoadOptionFiles(changed, IniName());
    EXPECT_EQ(ValueOf(changed, "table_empty"), "disk");
  }
}

TEST_F(OptionFilesTest, DefaultsFileMustBeReadable) {
  auto expect_open_error = [&](const std::string& path) {
    try {
      TWebAppOptions options;
      LoadOptionFiles(options, IniName());
      ADD_FAILURE() << "no exception for " << path;
    } catch (const Exception& e) {
      EXPECT_TRUE(StartsText("Cannot open file \"" + path + "\".", e.what())) << e.what();
    }
  };
  dir_.Write("portal.INI", "table_empty=x\n");
  expect_open_error(dir_.Path("portal0.ini"));  // missing

  ASSERT_EQ(mkfifo(dir_.Path("portal0.ini").c_str(), 0600), 0);
  expect_open_error(dir_.Path("portal0.ini"));  // a FIFO neither hangs nor reads
  std::remove(dir_.Path("portal0.ini").c_str());

  ASSERT_EQ(mkdir(dir_.Path("portal0.ini").c_str(), 0700), 0);
  expect_open_error(dir_.Path("portal0.ini"));
  rmdir(dir_.Path("portal0.ini").c_str());

  // The module's own file may be missing, but not unreadable.
  dir_.Write("portal0.ini", "table_empty=x\n");
  std::remove(IniName().c_str());
  ASSERT_EQ(mkdir(IniName().c_str(), 0700), 0);
  expect_open_error(IniName());
}

// ---------------------------------------------------------------------------
// [INTERNAT]

class InternatSettingsTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetRegionalSettings(); }
};

TEST_F(InternatSettingsTest, CzechDefaultsWrittenOut) {
  // The short date pattern has an upper-case month letter, as the regional
  // default is written; a lower-case one reads as minutes after an hour.
  TInternatSettings internat;
  TStrings written;
  WritePublishedToStrings(internat, written, true);
  EXPECT_EQ(written.Values("date_format"), "d.M.yyyy");
  EXPECT_EQ(written.Values("date_separator"), ".");
  EXPECT_EQ(written.Values("decimal_separator"), ",");
}

TEST_F(InternatSettingsTest, StartsFromTheCurrentSettings) {
  TFormatSettings& fs = RegionalSettings();
  fs.ShortDateFormat = "yyyy-mm-dd";
  fs.LongTimeFormat = "hh:nn";
  fs.DecimalSeparator = '.';
  fs.ThousandSeparator = 0;
  TInternatSettings internat;
  EXPECT_EQ(internat.date_format, "yyyy-mm-dd");
  EXPECT_EQ(internat.time_format, "hh:nn");
  EXPECT_EQ(internat.decimal_separator, ".");
  EXPECT_EQ(internat.thousand_separator, "");  // no separator
  EXPECT_EQ(internat.date_separator, ".");
  EXPECT_EQ(internat.time_separator, ":");

  // Applied unchanged, it changes nothing.
  internat.Apply();
  EXPECT_EQ(fs.ThousandSeparator, 0);
  EXPECT_EQ(fs.DecimalSeparator, '.');
}

TEST_F(InternatSettingsTest, SeparatorRules) {
  struct Case {
    std::string TInternatSettings::*key;
    char TFormatSettings::*field;
    const char* value;
    char expected;
  };
  using I = TInternatSettings;
  using F = TFormatSettings;
  const Case cases[] = {
      {&I::decimal_separator, &F::DecimalSeparator, "44", ','},
      {&I::decimal_separator, &F::DecimalSeparator, ",", ','},
      {&I::decimal_separator, &F::DecimalSeparator, "300", ','},  // modulo 256
      {&I::decimal_separator, &F::DecimalSeparator, "00046", '.'},
      {&I::decimal_separator, &F::DecimalSeparator, ";x", ';'},   // the first character
      {&I::decimal_separator, &F::DecimalSeparator, "4a", '4'},
      {&I::decimal_separator, &F::DecimalSeparator, "", '#'},     // kept
      {&I::decimal_separator, &F::DecimalSeparator, "0", '#'},    // a number needs its separator
      {&I::decimal_separator, &F::DecimalSeparator, "256", '#'},
      {&I::thousand_separator, &F::ThousandSeparator, "0", '\0'},  // no grouping
      {&I::thousand_separator, &F::ThousandSeparator, "32", ' '},
      {&I::thousand_separator, &F::ThousandSeparator, "160", '\xA0'},
      {&I::date_separator, &F::DateSeparator, "45", '-'},
      {&I::date_separator, &F::DateSeparator, "0", '#'},
      {&I::time_separator, &F::TimeSeparator, "99999999999999999999999999", '\xFF'},
      {&I::time_separator, &F::TimeSeparator, "h", 'h'},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n++);
    ResetRegionalSettings();
    RegionalSettings().*c.field = '#';
    TInternatSettings internat;
    internat.*c.key = c.value;
    internat.Apply();
    EXPECT_EQ(RegionalSettings().*c.field, c.expected);
  }
}

TEST_F(InternatSettingsTest, ReadFromAnIniSection) {
  ScratchDir dir;
  dir.Write("portal.INI",
            "[INTERNAT]\ndate_format=yyyy-mm-dd\ntime_format=hh:nn\ndecimal_separator=46\n"
            "thousand_separator=\n");
  {
    TZNKIniFile ini(dir.Path("portal.INI"));
    TInternatSettings internat;
    ReadPublishedFromIni(internat, ini, "INTERNAT");
    internat.Apply();
  }
  const TFormatSettings& fs = RegionalSettings();
  EXPECT_EQ(fs.ShortDateFormat, "yyyy-mm-dd");
  EXPECT_EQ(fs.LongTimeFormat, "hh:nn");
  EXPECT_EQ(fs.DecimalSeparator, '.');
  EXPECT_EQ(fs.ThousandSeparator, '\xA0');  // an empty value keeps the current one
  EXPECT_EQ(fs.ShortTimeFormat, PrimaryLanguageSettings().ShortTimeFormat);
}

}  // namespace
}  // namespace tessaro
