#include "web/tessaro_options.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "settings/published_visitors.h"
#include "settings/settings_test_support.h"
#include "util/base64.h"
#include "util/date_format.h"
#include "util/datetime.h"
#include "util/exception.h"
#include "util/number_format.h"
#include "util/regional_settings.h"

namespace tessaro {
namespace {

using settings_test::ScratchDir;

TEST(TessaroOptionsTest, KeysAndTheirValuesAfterConstruction) {
  TTessaroOptions options;
  std::vector<std::string> own;
  for (const auto& property : options.PublishedProperties().Properties())
    if (TWebAppOptions::ClassProperties().Find(property->Name()) == nullptr) own.push_back(property->Name());
  EXPECT_EQ(own, (std::vector<std::string>{
                     "AccountsRefreshInterval", "BlackBoard_AllUsers", "BlackBoard_RegisteredUsers",
                     "bridge_in_param", "bridge_url", "bridge_url_param", "class_aktivni", "class_detailhref",
                     "class_evenrow", "class_submitbutton", "class_tablefoot", "class_tablehead",
                     "cpu_time_limit",
                     "default_jpeg_image", "detail_link_text", "detail_target", "EMAIL_Bcc_Enable", "EMAIL_Bcc_To",
                     "EMAIL_Registrace_From", "EMAIL_Registrace_To", "list_img_height", "list_img_width",
                     "pgCHECKOUTFAIL", "pgCHECKOUTOK", "pgERROR", "pgREGISTFAIL", "pgREGISTOK",
                     "pgREGISTSecCodeField", "pgREMINDFAIL", "pgREMINDOK", "pgROZCESTNIK", "pgTABULKA",
                     "SMTPAuthType", "SMTPPassword", "SMTPPort", "SMTPServer", "SMTPUserName",
                     "UploadStreamSizeLimit", "user_cookie_key"}));
  EXPECT_EQ(options.PublishedProperties().Count(), TWebAppOptions::ClassProperties().Count() + own.size());

  // Empty texts and lists are not written, so this is every value that is not empty.
  TStrings written;
  WritePublishedToStrings(options, written, true);
  EXPECT_EQ(written.Items(), (std::vector<std::string>{
                                 "AccountsRefreshInterval=0", "cookie_expires=1", "cpu_time_limit=30", "EMAIL_Bcc_Enable=0",
                                 "header_csp_frame_ancestors=1", "header_frame_options=1", "header_nosniff=1",
                                 "header_referrer_policy=1", "initial_table_rows=25", "list_img_height=40", "list_img_width=40", "Port=0",
                                 "SMTPAuthType=1", "SMTPPort=25", "SSLPort=0", "UploadStreamSizeLimit=0"}));
  for (const auto& property : options.PublishedProperties().Properties())
    EXPECT_TRUE(property->IsDefault(options)) << property->Name();
}

class TessaroOptionsLoadTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ResetRegionalSettings();
    EXPECT_EQ(OpenIniFileCount(), 0u);
  }
  std::string IniName() const { return dir_.Path("tessaro.INI"); }
  ScratchDir dir_;
};

TEST_F(TessaroOptionsLoadTest, OptionFilesThenRegionalSettingsOfTheModuleIniFile) {
  dir_.Write("tessaro0.ini",
             "SMTPPort=2525\n"
             "SMTPServer=defaults.example\n"
             "BlackBoard_AllUsers=" + Base64Encode("Vítejte\r\nsecond line") + "\n"
             "[INTERNAT]\n"
             "date_separator=45\n"  // only the module's own file sets regional settings
             "[BANNERS]\n"
             "top=<b>Hi</b>\n");
  dir_.Write("tessaro.INI",
             "[INTERNAT]\n"
             "date_format=yyyy-mm-dd\n"
             "time_format=hh:nn\n"
             "decimal_separator=46\n"
             "[Mail]\n"
             "EMAIL_Bcc_Enable=True\n"
             "SMTPServer=mail.example\n");
  TTessaroOptions options;
  options.Load(IniName());

  EXPECT_EQ(options.SMTPPort, 2525);
  EXPECT_EQ(options.SMTPServer, "mail.example");
  EXPECT_TRUE(options.EMAIL_Bcc_Enable);
  EXPECT_EQ(options.BlackBoard_AllUsers.Items(), (std::vector<std::string>{"Vítejte", "second line"}));
  EXPECT_EQ(options.global_banners.Items(), (std::vector<std::string>{"top=<b>Hi</b>"}));
  EXPECT_EQ(options.list_img_width, 40);

  const TFormatSettings& fs = RegionalSettings();
  EXPECT_EQ(fs.ShortDateFormat, "yyyy-mm-dd");
  EXPECT_EQ(fs.LongTimeFormat, "hh:nn");
  EXPECT_EQ(fs.DateSeparator, '.');
  EXPECT_EQ(DateToStr(EncodeDate(2024, 5, 17)), "2024-05-17");
  EXPECT_EQ(FloatToStr(1.5), "1.5");
}

TEST_F(TessaroOptionsLoadTest, WithoutTheModuleIniFileTheDefaultsApply) {
  dir_.Write("tessaro0.ini", "pgTABULKA=table.html\n[INTERNAT]\ndecimal_separator=46\n");
  TTessaroOptions options;
  options.Load(IniName());
  EXPECT_EQ(options.pgTABULKA, "table.html");
  EXPECT_EQ(RegionalSettings().DecimalSeparator, ',');
}

TEST_F(TessaroOptionsLoadTest, AMissingDefaultsFileStopsBeforeTheRegionalSettings) {
  dir_.Write("tessaro.INI", "[INTERNAT]\ndecimal_separator=46\n");
  TTessaroOptions options;
  EXPECT_THROW(options.Load(IniName()), Exception);
  EXPECT_EQ(RegionalSettings().DecimalSeparator, ',');
}

}  // namespace
}  // namespace tessaro

namespace tessaro {
namespace {

// The processor-time ceiling comes from the options as soon as the option
// files are read, and the kernel ends a request that passes it. Runs in a
// child process, as the ceiling is the whole process's.
TEST_F(TessaroOptionsLoadTest, TheCpuTimeLimitOptionBoundsTheProcess) {
  const struct {
    const char* option;
    int soft;  // expected soft limit, -1 = as high as the hard limit
  } cases[] = {{"cpu_time_limit=1", 1}, {"cpu_time_limit=0", -1}};
  for (const auto& c : cases) {
    dir_.Write("tessaro0.ini", std::string(c.option) + "\n");
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      StartCpuTimeLimit();
      TTessaroOptions options;
      try {
        options.Load(IniName());
      } catch (...) {
      }
      rlimit limit{};
      getrlimit(RLIMIT_CPU, &limit);
      if (c.soft < 0) _exit(limit.rlim_cur == limit.rlim_max ? 0 : 1);
      if (limit.rlim_cur != rlim_t(c.soft) || limit.rlim_max != rlim_t(c.soft + kCpuTimeLimitGraceSeconds)) _exit(2);
      for (;;) (void)getppid();  // busy until the kernel ends it
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (c.soft < 0) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.option << " status " << status;
    } else {
      ASSERT_TRUE(WIFSIGNALED(status)) << c.option << " exit " << WEXITSTATUS(status);
      EXPECT_EQ(WTERMSIG(status), SIGXCPU) << c.option;
    }
  }
}

}  // namespace
}  // namespace tessaro
