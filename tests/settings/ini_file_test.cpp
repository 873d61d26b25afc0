#include "settings/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "settings_test_support.h"
#include "util/exception.h"
#include "util/module_path.h"

namespace tessaro {
namespace {

using namespace settings_test;

class IniFileTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(OpenIniFileCount(), 0u);  // every test closes what it opened
    SetModuleFileName("");
  }
  ScratchDir dir_;
};

TEST_F(IniFileTest, ParsingRules) {
  struct Case {
    const char* text;
    const char* section;
    const char* key;
    const char* expected;  // "<default>" when the default comes back
  };
  const Case cases[] = {
      {"[S]\nPort=80\n", "S", "Port", "80"},
      {"[s]\r\npORT=80\r\n", "S", "Port", "80"},                       // names ignore letter case
      {"[S]\nPort = 80\n", "S", "Port", "<default>"},                  // the name ends with a blank
      {"[S]\nPort=  80  \n", "S", "Port", "80"},                       // the value is trimmed
      {"[S]\nPort=\n", "S", "Port", "<default>"},                      // empty reads as the default
      {"[S]\nPort=\nPort=81\n", "S", "Port", "<default>"},             // only the first line counts
      {"[S]\nA=1=2\n", "S", "A", "1=2"},
      {" [S]\nPort=80\n", "S", "Port", "<default>"},                   // not a header: no section S
      {"Port=80\n[S]\n", "S", "Port", "<default>"},                    // before any header
      {"[S]\nA=1\n[T]\nB=2\n[s]\nC=3\n", "S", "C", "3"},               // a repeated header continues S
      {"[S]\nA=1\n[T]\nB=2\n[s]\nA=9\n", "S", "A", "1"},
      {"[S]\n;A=1\nA=2\n", "S", "A", "2"},
      {"[S]\n;A=1\nA=2\n", "S", ";A", "1"},
      {"[]\nA=1\n", "", "A", "1"},
      {"[S\nA=1\n", "S", "A", "<default>"},
      {"[S]\rA=1", "S", "A", "1"},                                     // CR alone breaks lines too
      {"", "S", "A", "<default>"},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string name = "case" + std::to_string(n++) + ".ini";
    dir_.Write(name, c.text);
    TZNKIniFile ini(dir_.Path(name));
    EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.expected) << c.text;
  }
}

TEST_F(IniFileTest, SectionListsAndTheRewrittenFile) {
  dir_.Write("a.ini",
             "; header comment\n"
             "\n"
             "[One]\n"
             "a=1\n"
             "\n"
             "no equals sign\n"
             "[Two]\n"
             "; comment\n"
             "b=2\n"
             "[ONE]\n"
             "c=3\n");
  TZNKIniFile ini(dir_.Path("a.ini"));
  TStrings list{"stale"};
  ini.ReadSections(list);
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"One", "Two"}));
  ini.ReadSection("one", list);
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"a", "", "c"}));
  ini.ReadSectionValues("Two", list);
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"; comment", "b=2"}));
  ini.ReadSectionValues("missing", list);
  EXPECT_TRUE(list.Empty());

  ini.WriteString("Two", "b", "22");
  ini.UpdateFile();
  EXPECT_EQ(dir_.Read("a.ini"),
            "; header comment\n"
            "\n"
            "[One]\n"
            "a=1\n"
            "no equals sign\n"
            "c=3\n"
            "\n"
            "[Two]\n"
            "; comment\n"
            "b=22\n");
}

TEST_F(IniFileTest, WriteStringForms) {
  dir_.Write("w.ini", "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
  TZNKIniFile ini(dir_.Path("w.ini"));
  EXPECT_FALSE(ini.File().Modified());
  ini.WriteString("a", "X", "10");    // replaces the first line of the key
  ini.WriteString("A", "new", "v");   // appended to the section
  ini.WriteString("C", "k", "v");     // a new section goes to the end
  ini.DeleteKey("A", "y");
  ini.EraseSection("B");
  ini.EraseSection("missing");
  EXPECT_TRUE(ini.File().Modified());
  EXPECT_EQ(dir_.Read("w.ini"), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");  // nothing written yet

  ini.WriteString("", "", "");  // all empty: flush
  EXPECT_FALSE(ini.File().Modified());
  // The file keeps its CR LF line breaks.
  EXPECT_EQ(dir_.Read("w.ini"), "[A]\r\nX=10\r\nnew=v\r\n\r\n[C]\r\nk=v\r\n");
}

TEST_F(IniFileTest, WritesThatWouldNotReadBackAreRefused) {
  TZNKIniFile ini(dir_.Path("w.ini"));
  EXPECT_THROW(ini.WriteString("S", "k", "a\nb"), Exception);
  EXPECT_THROW(ini.WriteString("S\r", "k", "v"), Exception);
  EXPECT_THROW(ini.WriteString("S", "k=j", "v"), Exception);
  EXPECT_THROW(ini.WriteString("S", "[k", "v]"), Exception);
  EXPECT_FALSE(ini.File().Modified());
}

TEST_F(IniFileTest, HandlesOnOnePathShareOneFileUntilTheLastCloses) {
  dir_.Write("shared.ini", "[S]\nk=disk\n");
  SetModuleFileName(dir_.Path("tessaro.cgi"));
  {
    TZNKIniFile first(dir_.Path("shared.ini"));
    TZNKIniFile second(dir_.Path() + "./sub/..//shared.ini");  // ".." is kept: another path
    TZNKIniFile third(dir_.Path() + "/./shared.ini");
    TZNKIniFile beside_executable("shared.ini");
    EXPECT_NE(&second.File(), &first.File());
    EXPECT_EQ(&third.File(), &first.File());
    EXPECT_EQ(&beside_executable.File(), &first.File());
    EXPECT_EQ(first.File().RefCount(), 3);
    EXPECT_EQ(OpenIniFileCount(), 2u);

    third.WriteString("S", "k", "memory");
    EXPECT_EQ(first.ReadString("S", "k", ""), "memory");
    EXPECT_EQ(dir_.Read("shared.ini"), "[S]\nk=disk\n");
  }
  // The last handle flushed the change and freed the file; a new handle reads the disk.
  EXPECT_EQ(OpenIniFileCount(), 0u);
  EXPECT_EQ(dir_.Read("shared.ini"), "[S]\nk=memory\n");
  TZNKIniFile again(dir_.Path("shared.ini"));
  EXPECT_EQ(again.File().RefCount(), 1);
  EXPECT_EQ(again.ReadString("S", "k", ""), "memory");
}

TEST_F(IniFileTest, FileNamesAreCaseSensitiveAndBareNamesLiveBesideTheExecutable) {
  SetModuleFileName(dir_.Path("tessaro.cgi"));
  dir_.Write("a.ini", "[S]\nk=lower\n");
  dir_.Write("A.ini", "[S]\nk=upper\n");
  TZNKIniFile lower("a.ini");
  TZNKIniFile upper(dir_.Path("A.ini"));
  EXPECT_EQ(lower.FileName(), dir_.Path("a.ini"));
  EXPECT_EQ(lower.ReadString("S", "k", ""), "lower");
  EXPECT_EQ(upper.ReadString("S", "k", ""), "upper");

  TZNKIniFile no_name("");
  EXPECT_EQ(no_name.FileName(), dir_.Path("win.ini"));
  TZNKIniFile backslashes(dir_.Path() + "\\sub\\..\\a.ini");
  EXPECT_EQ(backslashes.FileName(), dir_.Path("sub/../a.ini"));
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndIsCreatedByTheFirstFlush) {
  {
    TZNKIniFile ini(dir_.Path("new.ini"));
    EXPECT_EQ(ini.ReadString("S", "k", "d"), "d");
    ini.WriteString("S", "k", "v");
  }
  EXPECT_EQ(dir_.Read("new.ini"), "[S]\nk=v\n");
}

TEST_F(IniFileTest, ReadOnlyFilesAreNeverWritten) {
  const std::string text = "[S]\nk=disk\n";
  dir_.Write("ro.ini", text);
  ASSERT_EQ(chmod(dir_.Path("ro.ini").c_str(), 0444), 0);
  {
    TZNKIniFile ini(dir_.Path("ro.ini"));
    EXPECT_TRUE(ini.File().ReadOnly());
    ini.WriteString("S", "k", "memory");
    ini.UpdateFile();
    EXPECT_FALSE(ini.File().Modified());
    EXPECT_EQ(ini.ReadString("S", "k", ""), "memory");  // kept in memory
    ini.WriteString("S", "k", "again");
  }
  EXPECT_EQ(dir_.Read("ro.ini"), text);
}

TEST_F(IniFileTest, WhatCannotBeReadOrWrittenIsReported) {
  ASSERT_EQ(mkdir(dir_.Path("folder.ini").c_str(), 0755), 0);
  EXPECT_THROW(TZNKIniFile(dir_.Path("folder.ini")), Exception);
  ASSERT_EQ(mkfifo(dir_.Path("fifo.ini").c_str(), 0644), 0);
  EXPECT_THROW(TZNKIniFile(dir_.Path("fifo.ini")), Exception);  // and does not hang
  ASSERT_EQ(truncate((dir_.Write("huge.ini", ""), dir_.Path("huge.ini")).c_str(),
                     TUniqueIniFile::kMaxFileBytes + 1),
            0);
  EXPECT_THROW(TZNKIniFile(dir_.Path("huge.ini")), Exception);
  EXPECT_EQ(OpenIniFileCount(), 0u);  // a failed open registers nothing

  TZNKIniFile unwritable(dir_.Path("no/such/folder/x.ini"));
  unwritable.WriteString("S", "k", "v");
  EXPECT_THROW(unwritable.UpdateFile(), Exception);
  // Closing it still works: the destructor's flush fails quietly.
}

TEST_F(IniFileTest, TypedReads) {
  dir_.Write("t.ini",
             "[N]\n"
             "dot=1.5\n"
             "comma=1,5\n"
             "bad=1.5x\n"
             "int=42\n"
             "hex=$1F\n"
             "huge=99999999999\n"
             "zero=0\n"
             "date=7.3.2024\n");
  TZNKIniFile ini(dir_.Path("t.ini"));
  EXPECT_EQ(ini.ReadFloat("N", "dot", 9), 1.5);
  EXPECT_EQ(ini.ReadFloat("N", "comma", 9), 1.5);  // the regional separator is the fallback
  EXPECT_EQ(ini.ReadFloat("N", "bad", 9), 9);
  EXPECT_EQ(ini.ReadFloat("N", "missing", 9), 9);
  EXPECT_EQ(ini.ReadInteger("N", "int", 9), 42);
  EXPECT_EQ(ini.ReadInteger("N", "hex", 9), 31);
  EXPECT_EQ(ini.ReadInteger("N", "huge", 9), 9);
  EXPECT_EQ(ini.ReadInteger("N", "dot", 9), 9);
  EXPECT_FALSE(ini.ReadBool("N", "zero", true));
  EXPECT_TRUE(ini.ReadBool("N", "int", false));
  EXPECT_TRUE(ini.ReadBool("N", "missing", true));
  EXPECT_EQ(ini.ReadDate("N", "date", 0), 45358);  // 7 March 2024
  EXPECT_EQ(ini.ReadDate("N", "int", -1), -1);
}

}  // namespace
}  // namespace tessaro
