// The record table of "tag_table_content": paging from the request, the
// table's exact markup, the tag parameters and the per-record template,
// driven through a request context as a page produces them.
#include "context/table_producer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "context/request_context.h"
#include "context/table_context.h"
#include "db/memory_dataset.h"
#include "settings/web_app_options.h"
#include "util/exception.h"
#include "util/regional_settings.h"

namespace tessaro {
namespace {

// A list page: the base table delegate over the data sets it is given, and
// a per-record template file when one is named.
class ListContext : public tRequestContext {
 public:
  using tRequestContext::tRequestContext;
  TBaseImplementsIRequestTableContext& Show(TDataSet* data_set, TDataSet* sum_data_set = nullptr) {
    auto table = std::make_unique<TBaseImplementsIRequestTableContext>(this, sum_data_set, data_set);
    TBaseImplementsIRequestTableContext& result = *table;
    SetTableContext(std::move(table));
    return result;
  }
  std::string RowTemplateFile() override { return row_template; }
  std::string row_template;  // the per-record template file, or empty
};

// A GET request with `query` and a context for it.
struct ListFixture {
  explicit ListFixture(const std::string& query) {
    std::map<std::string, std::string> env = {{"REQUEST_METHOD", "GET"},
                                              {"HTTP_HOST", "portal.example"},
                                              {"SCRIPT_NAME", "/tessaro.cgi"},
                                              {"SERVER_PORT", "80"},
                                              {"PATH_INFO", "/list"},
                                              {"QUERY_STRING", query}};
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    close(fds[1]);
    request = std::make_unique<TWebRequest>(CgiEnvironment::FromMap(env), fds[0]);
    close(fds[0]);
    response = std::make_unique<TWebResponse>(*request, -1);
    options.table_empty = "no records";
    context = MakeContext<ListContext>(request.get(), &options, response.get());
  }
  // The page of a one-line template, without the line's CR LF.
  std::string Page(const std::string& line) {
    TPageProducer producer;
    producer.SetHTMLDoc(TStrings{line});
    std::string page = context->Produce(producer);
    return page.substr(0, page.size() - 2);
  }

  TWebAppOptions options;
  std::unique_ptr<TWebRequest> request;
  std::unique_ptr<TWebResponse> response;
  std::unique_ptr<ListContext> context;
};

// Records numbered 1..count in the integer field N.
std::unique_ptr<TMemoryDataSet> Numbers(int count) {
  auto data = std::make_unique<TMemoryDataSet>();
  data->AddField("N", TFieldType::ftInteger);
  for (int i = 1; i <= count; ++i) data->AppendRecord({int64_t{i}});
  return data;
}

TEST(TablePaging, FirstRecordFromItemOrPage) {
  struct Case {
    const char* query;
    int records;
    int first;       // FirstRecord, and the record the cursor is on
    int page_count;
    const char* start_key;
  } cases[] = {
      {"page_no=1", 100, 1, 4, ""},
      {"page_no=4", 100, 76, 4, ""},
      // Beyond the end: the window ends one record before the last.
      {"page_no=10", 100, 75, 4, ""},
      {"page_no=2000000000", 100, 75, 4, ""},
      {"page_no=0", 100, 1, 4, ""},
      // Not a 32-bit number: no start.
      {"page_no=99999999999", 100, 1, 4, ""},
      {"item_no=30", 100, 30, 4, ""},
      {"item_no=30&page_no=3", 100, 30, 4, ""},
      {"item_no=0", 100, 1, 4, ""},
      // Not a record number: a key for derived delegates, from record 1.
      {"item_no=-5", 100, 1, 4, "-5"},
      {"page_no=2", 25, 1, 1, ""},
      {"page_no=2", 10, 1, 1, ""},
      {"page_no=2", 0, 0, 0, ""},
      {"page_no=3&rows=2", 5, 5, 3, ""},
      {"page_no=4&rows=2", 5, 3, 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    ListFixture fixture(c.query);
    auto data = Numbers(c.records);
    TBaseImplementsIRequestTableContext& table = fixture.context->Show(data.get());
    EXPECT_EQ(table.FirstRecord, c.first);
    EXPECT_EQ(table.RecordCount, c.records);
    EXPECT_EQ(table.GetPageCount(), c.page_count);
    EXPECT_EQ(table.StartKey, c.start_key);
    if (c.records > 0) {
      EXPECT_EQ(data->RecNo() + 1, c.first);
    }
  }
}

TEST(TablePaging, NavigatorOnlyWithMoreThanOnePage) {
  for (int records : {25, 26}) {
    ListFixture fixture("rows=25");
    auto data = Numbers(records);
    fixture.context->Show(data.get());
    const std::string navigator = fixture.Page("<#tag_navigator>");
    if (records == 25)
      EXPECT_EQ(navigator, "");
    else
      EXPECT_NE(navigator.find("http://portal.example/tessaro.cgi/list"), std::string::npos) << navigator;
  }
}

// Three records of every kind of column the base delegate aligns, and a
// total row over two of them.
struct Goods {
  Goods() {
    data.AddField("Name", TFieldType::ftString);
    data.AddField("Qty", TFieldType::ftInteger);
    data.AddField("Price", TFieldType::ftFloat);
    data.AddField("Ok", TFieldType::ftBoolean);
    data.AppendRecord({std::string("a  b"), int64_t{1}, -12.5, true});
    data.AppendRecord({std::string(""), int64_t{2}, 3.0, false});
    data.AppendRecord({std::string("x<y"), {}, 0.5, true});
    sum.AddField("Qty", TFieldType::ftInteger);
    sum.AddField("Price", TFieldType::ftFloat);
  }
  TMemoryDataSet data;
  TMemoryDataSet sum;
};

const char kHead[] =
    "\r\n<thead class=\"h\"><tr><TH Align=\"left\">Name</TH><TH Align=\"right\">Qty</TH>"
    "<TH Align=\"right\">Price</TH><TH Align=\"center\">Ok</TH></tr></thead>\r\n";
const char kRow1[] =
    "<tr><TD Align=\"left\">a&nbsp;&nbsp;b</TD><TD Align=\"right\">1</TD>"
    "<TD Align=\"right\">&minus;12.5</TD><TD Align=\"center\">Ano</TD></tr>";
const char kRow2[] =
    "<tr class=\"even\"><TD Align=\"left\">&nbsp;</TD><TD Align=\"right\">2</TD>"
    "<TD Align=\"right\">3</TD><TD Align=\"center\">Ne</TD></tr>";
const char kRow3[] =
    "<tr><TD Align=\"left\">x&lt;y</TD><TD Align=\"right\">&nbsp;</TD>"
    "<TD Align=\"right\">0.5</TD><TD Align=\"center\">Ano</TD></tr>";

TEST(TableContent, ExactMarkup) {
  ResetRegionalSettings();
  RegionalSettings().DecimalSeparator = '.';
  struct Case {
    const char* name;
    const char* params;            // tag parameters, one name=value per ";"
    std::vector<TMemoryValue> sum;  // the total row; none when empty
    std::string expected;
  } cases[] = {
      {"bare table", "", {},
       std::string("<Table CellSpacing=0 CellPadding=0 Border=0>") + kHead + "<tbody>" + kRow1 + "\r\n" + kRow2 +
           "\r\n" + kRow3 + "</tbody></Table>"},
      {"total row", "", {int64_t{3}, -12.0},
       std::string("<Table CellSpacing=0 CellPadding=0 Border=0>") + kHead +
           "<tfoot class=\"f\"><tr><TH Align=\"left\">&nbsp;</TH><TH Align=\"right\">3</TH>"
           "<TH Align=\"right\">&minus;12</TH><TH Align=\"center\">&nbsp;</TH></tr></tfoot>\r\n<tbody>" +
           kRow1 + "\r\n" + kRow2 + "\r\n" + kRow3 + "</tbody></Table>"},
      // More records follow the last row shown: a CR LF follows it too.
      {"MAXROWS", "MAXROWS=2", {},
       std::string("<Table CellSpacing=0 CellPadding=0 Border=0>") + kHead + "<tbody>" + kRow1 + "\r\n" + kRow2 +
           "\r\n</tbody></Table>"},
      {"attributes",
       "WIDTH=80;align=Center;BGCOLOR=\"#fff\";CELLPADDING=x;CELLSPACING=2;BORDER=99999999999;ALIGN=middle;"
       "MAXROWS=-1;class=a;CLASS=b",
       {},
       std::string("<Table Width=\"80%\" Align=\"center\" CellSpacing=2 CellPadding=0 Border=0 BgColor=\"#fff\" "
                   "class=a class=b>") +
           kHead + "<tbody>" + kRow1 + "\r\n" + kRow2 + "\r\n" + kRow3 + "</tbody></Table>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Goods goods;
    if (!c.sum.empty()) goods.sum.AppendRecord(c.sum);
    goods.sum.Open();
    ListFixture fixture("");
    TBaseImplementsIRequestTableContext& table = fixture.context->Show(&goods.data, &goods.sum);
    TZNKTableProducer producer;
    producer.EvenRowClass = "even";
    producer.HeadClass = "h";
    producer.FootClass = "f";
    TStrings params;
    for (std::string_view rest = c.params; !rest.empty();) {
      const size_t semicolon = rest.find(';');
      params.Add(std::string(rest.substr(0, semicolon)));
      rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
    }
    EXPECT_EQ(table.TableContent(producer, params), c.expected);
    // The producer closes the total row's data set once it has written it.
    EXPECT_EQ(goods.sum.Active(), c.sum.empty());
    EXPECT_FALSE(producer.InFoot);
  }
  ResetRegionalSettings();
}

TEST(TableContent, ThroughTheTagOnAPageBeyondTheEnd) {
  // Five records, two a page, page 9: records 3 and 4, record 5 still follows.
  ListFixture fixture("rows=2&page_no=9");
  auto data = Numbers(5);
  fixture.context->Show(data.get());
  EXPECT_EQ(fixture.Page("<#tag_table_content>"),
            "<Table CellSpacing=0 CellPadding=0 Border=0>\r\n<thead><tr><TH Align=\"right\">N</TH></tr></thead>\r\n"
            "<tbody><tr><TD Align=\"right\">3</TD></tr>\r\n<tr><TD Align=\"right\">4</TD></tr>\r\n</tbody></Table>");
}

TEST(TableProducer, DefaultAttributesCaptionHeaderAndFooter) {
  struct Case {
    THTMLCaptionAlignment alignment;
    const char* caption;
  } cases[] = {
      {THTMLCaptionAlignment::caDefault, "<Caption >T</Caption>"},
      {THTMLCaptionAlignment::caTop, "<Caption  Align=\"Top\">T</Caption>"},
      {THTMLCaptionAlignment::caBottom, "<Caption  Align=\"Bottom\">T</Caption>"},
  };
  for (const Case& c : cases) {
    auto data = Numbers(1);
    TZNKTableProducer producer;
    producer.SetDataSet(data.get());  // closed: opened and closed again by Content
    producer.Caption = "T";
    producer.CaptionAlignment = c.alignment;
    producer.Header.Add("before");
    producer.Footer.Add("after");
    producer.RowAttributes.VAlign = THTMLVAlign::haTop;
    producer.RowAttributes.BgColor = "red";
    producer.AddColumn("N").Title.Caption = "<b>No.</b>";
    producer.AddColumn("Missing").Custom = "nowrap";
    EXPECT_EQ(producer.Content(), std::string("before\r\n<Table Width=\"100%\">") + c.caption +
                                      "\r\n<thead><tr VAlign=\"top\" BgColor=\"red\"><TH><b>No.</b></TH>"
                                      "<TH>Missing</TH></tr></thead>\r\n<tbody><tr VAlign=\"top\" BgColor=\"red\">"
                                      "<TD>1</TD><TD nowrap></TD></tr></tbody></Table>after\r\n");
    EXPECT_FALSE(data->Active());
  }
}

TEST(TableContent, MissingOrEmptyDataSet) {
  ListFixture fixture("");
  fixture.context->Show(nullptr);
  EXPECT_EQ(fixture.Page("<#tag_table_content>"), "není nastaveno SQL pro položky");
  ListFixture empty("");
  auto data = Numbers(0);
  empty.context->Show(data.get());
  EXPECT_EQ(empty.Page("<#tag_table_content>"), "no records");
}

TEST(TableContent, PerRecordTemplate) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "tessaro_row_template.html";
  std::ofstream(file) << "<p><#CELLNO>:<#N></p>\n<#cellno>";
  auto data = Numbers(5);
  ListFixture fixture("rows=3&page_no=1");
  fixture.context->row_template = file.string();
  fixture.context->Show(data.get());
  EXPECT_EQ(fixture.Page("<#tag_table_content>"),
            "\r\n<p>1:1</p>\r\n1\r\n\r\n<p>2:2</p>\r\n2\r\n\r\n<p>3:3</p>\r\n3\r\n");
  std::filesystem::remove(file);

  // A template file that is missing fails, and the data set is closed again.
  data->Close();
  TZNKTableProducer producer;
  try {
    fixture.context->TableContext()->TableContent(producer, {});
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + file.string() + "\". ", 0), 0u) << e.what();
  }
  EXPECT_FALSE(data->Active());
}

TEST(TableContext, PrepareColumnsDateFormat) {
  TMemoryDataSet data;
  TField& when = data.AddField("When", TFieldType::ftDate);
  TField& big = data.AddField("Big", TFieldType::ftLargeint);
  data.Open();
  TZNKTableProducer producer;
  producer.SetDataSet(&data);
  TBaseImplementsIRequestTableContext table(nullptr, nullptr, &data);
  table.PrepareColumns(producer);
  EXPECT_EQ(when.DisplayFormat(), RegionalSettings().ShortDateFormat);
  EXPECT_EQ(producer.Columns()[0].Align, THTMLAlign::haRight);
  EXPECT_EQ(producer.Columns()[0].Title.Align, THTMLAlign::haRight);
  EXPECT_EQ(big.DisplayFormat(), "");
  EXPECT_EQ(producer.Columns()[1].Align, THTMLAlign::haDefault);
}

}  // namespace
}  // namespace tessaro
