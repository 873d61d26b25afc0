// The pop-up calendar through the real program: the month shown, the grid's
// rows and classes, the tags of its template, and element ids that try to
// carry script into the page.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "e2e/cgi_runner.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";

class CalendarPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    site = new Deployment();
    site->WriteFile("tessaro0.ini", "[OPTIONS]\npath_to_templates=templates\npgERROR=error.html\n");
    site->WriteFile("templates/error.html", "ERROR <#tag_errormessage>\n");
    site->WriteFile("templates/calendar.html",
                    "[<#tag_monthname>|<#CalMonth>|<#CalYear>|<#CalDate>|<#calelementid>]\n"
                    "{<#tag_weekdaynames>}\n{<#tag_monthselcontent>}\n{<#tag_calcontent>}\n");
  }
  static void TearDownTestSuite() {
    delete site;
    site = nullptr;
  }
  static CgiResponse Show(const std::string& query) { return site->Get("/Cal", query, {{"HTTP_COOKIE", kSession}}); }
  // The text between the n-th "{" line's braces.
  static std::string Part(const std::string& body, int n) {
    size_t at = 0;
    for (int i = 0; i <= n; ++i) at = body.find('{', at) + 1;
    return body.substr(at, body.find("}\n", at) - at);
  }
  static Deployment* site;
};
Deployment* CalendarPage::site = nullptr;

std::string Cell(const std::string& cls, const std::string& id, const std::string& date, int n) {
  return "<td align=\"right\" class=\"" + cls + "\"><a href=\"javascript:winMain.document.getElementById('" + id +
         "').value='" + date + "';window.close();\">" + std::to_string(n) + "</a></td>";
}
const std::string kEmpty = "<td class=\"CalEmpty\">&nbsp</td>";

std::string Today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::to_string(local.tm_mday) + "." + std::to_string(local.tm_mon + 1) + "." +
         std::to_string(local.tm_year + 1900);
}

TEST_F(CalendarPage, MonthWrapsWithinTheYearAndTheGridFillsWholeWeeks) {
  CgiResponse r = Show("CalDate=15.2.2024&CalElementID=datum_od&CalMonth=14&CalYear=2024");
  ASSERT_EQ(r.status, 200) << r.raw;
  EXPECT_NE(r.body.find("[únor|2|2024|15.2.2024|datum_od]"), std::string::npos) << r.body;
  EXPECT_EQ(Part(r.body, 0), "<td>po</td><td>út</td><td>st</td><td>čt</td><td>pá</td><td>so</td><td>ne</td>");
  const std::string options = Part(r.body, 1);
  EXPECT_EQ(options.rfind("<option  value=1>leden<option  value=2 selected>únor<option  value=3>", 0), 0u) << options;
  EXPECT_NE(options.find("<option  value=12>prosinec"), std::string::npos);
  // February 2024 runs Thursday 1st to Thursday 29th.
  const std::string grid = Part(r.body, 2);
  EXPECT_EQ(grid.substr(0, 4 + 3 * kEmpty.size()), "<tr>" + kEmpty + kEmpty + kEmpty) << grid;
  EXPECT_NE(grid.find(Cell("CalSaturday", "datum_od", "3.2.2024", 3) + Cell("CalSunday", "datum_od", "4.2.2024", 4) +
                      "</tr><tr>" + Cell("CalNormal", "datum_od", "5.2.2024", 5)),
            std::string::npos)
      << grid;
  EXPECT_NE(grid.find(Cell("CalCurrent", "datum_od", "15.2.2024", 15)), std::string::npos);
  const std::string end = Cell("CalNormal", "datum_od", "29.2.2024", 29) + kEmpty + kEmpty + kEmpty;
  EXPECT_EQ(grid.substr(grid.size() - end.size()), end);
}

TEST_F(CalendarPage, AMonthStartingOnMondayHasNoLeadingCells) {
  CgiResponse r = Show("CalDate=31.1.2024&CalElementID=d");
  const std::string grid = Part(r.body, 2);
  EXPECT_EQ(grid.rfind("<tr>" + Cell("CalNormal", "d", "1.1.2024", 1), 0), 0u) << grid;
  EXPECT_NE(grid.find(Cell("CalCurrent", "d", "31.1.2024", 31) + kEmpty + kEmpty + kEmpty + kEmpty), std::string::npos);
}

TEST_F(CalendarPage, TodayIsMarkedEvenWhenSelectedAndAnUnreadableDateSelectsToday) {
  for (const std::string& date : {Today(), std::string("31.2.2024"), std::string("x%3Cb%3E")}) {
    CgiResponse r = Show("CalDate=" + date + "&CalElementID=d");
    EXPECT_NE(r.body.find("|" + Today() + "|d]"), std::string::npos) << date << "\n" << r.body;
    const std::string grid = Part(r.body, 2);
    EXPECT_NE(grid.find("class=\"CalToday\"><a href=\"javascript:winMain.document.getElementById('d').value='" +
                        Today() + "'"),
              std::string::npos)
        << date;
    EXPECT_EQ(grid.find("CalCurrent"), std::string::npos) << date;
  }
}

TEST_F(CalendarPage, ElementIdsThatAreNotIdsNeverReachThePage) {
  for (std::string id :
       {"a');alert(1);//", "a%22%3E%3Cscript%3Ealert(1)%3C/script%3E", "a%27%20onclick=x", "a\\u0027"}) {
    CgiResponse r = Show("CalDate=1.3.2024&CalElementID=" + id);
    ASSERT_EQ(r.status, 200) << r.raw;
    EXPECT_EQ(r.body.find("alert"), std::string::npos) << id << "\n" << r.body;
    EXPECT_EQ(r.body.find("onclick"), std::string::npos) << id;
    EXPECT_NE(r.body.find("|1.3.2024|]"), std::string::npos) << id;
    EXPECT_NE(r.body.find(Cell("CalCurrent", "", "1.3.2024", 1)), std::string::npos) << id;
  }
}

TEST_F(CalendarPage, OutOfRangeMonthsWrapAndImpossibleYearsShowTheSelectedMonth) {
  for (std::string query : {"CalMonth=5&CalYear=10000", "CalMonth=5&CalYear=2147483647",
                            "CalMonth=2147483647&CalYear=2024", "CalMonth=-3&CalYear=2024"}) {
    CgiResponse r = Show("CalDate=9.7.2025&" + query);
    ASSERT_EQ(r.status, 200) << query << r.raw;
    EXPECT_NE(r.body.find("|9.7.2025|"), std::string::npos) << query << r.body;
  }
  EXPECT_NE(Show("CalDate=9.7.2025&CalMonth=2147483647&CalYear=2024").body.find("[červenec|7|2024|"),
            std::string::npos);
}

}  // namespace
}  // namespace tessaro::testing
