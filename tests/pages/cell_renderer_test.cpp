// Cells and fields of the record pages over a small model (detail pages, a
// switch, actions with and without a confirmation question) and one record
// in memory: every link kind, check boxes, inputs, memos, pictures and
// clips, the table's header, body and total rows, and hostile values from
// the database and the request.
#include "pages/cell_renderer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "cgi/url_encoding.h"
#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "context/page_producer.h"
#include "db/memory_dataset.h"
#include "model/application_role.h"
#include "model/application_type.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/inet_mgr_model.h"
#include "model/user_account.h"
#include "pages/evidence_context.h"
#include "util/codepage.h"
#include "util/identifiers.h"
#include "util/regional_settings.h"
#include "web/tessaro_options.h"

namespace tessaro {
namespace {

const std::string kAccount = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
const std::string kItem = "{AAAAAAAA-0000-0000-0000-000000000001}";
const std::string kItemQ = "%7bAAAAAAAA-0000-0000-0000-000000000001%7d";
const std::string kHostile = "O'Neil\" <script>&#39;";

// A record page that is given the request's record identifier and answers
// tags as the page would.
class RecordPage : public TTessaroEvidenceContext {
 public:
  using TTessaroEvidenceContext::TTessaroEvidenceContext;
  std::string GetPID() const override { return pid; }
  std::string Tag(const std::string& name) {
    TPageProducer producer;
    std::string text;
    HTMLTag(producer, TTag::Custom, name, TStrings(), text);
    return text;
  }
  std::string pid;
};

// The item with detail pages D1 (plain), D2 (own target), D3 (opens an
// action), a switch SW (a Czech value to D2, else D1) and actions A1 (a
// result target) and A2 (a question before it runs); one record in memory.
class Cells : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRegionalSettings();
    TInetMgrModel& model = *options.Model;
    Add<TApplicationType>(model.ApplicationTypes(), "{T}");
    Add<TApplicationRole>(model.ApplicationRoles(), "{R}")->detApplicationTypeID = "{T}";
    auto* item = Add<TEvidenceItem>(model.EvidenceItems(), kItem);
    item->detApplicationRoleID = "{R}";
    for (const auto& [id, target, action] :
         {std::tuple{"{D1}", "", ""}, {"{D2}", "_blank", ""}, {"{D3}", "", "{A1}"}}) {
      auto* page = Add<TEvidenceItemDetailPage>(model.EvidenceItemDetailPages(), id);
      page->detEvidenceItemID = kItem;
      page->DetailTarget = target;
      page->IDAction = action;
    }
    auto* page_switch = Add<TEvidenceItemDetailPageSwitch>(model.EvidenceItemDetailPageSwitches(), "{SW}");
    page_switch->detEvidenceItemID = kItem;
    page_switch->fld_value[0] = "zlutoucky KUN";
    page_switch->IDDetailPage[0] = "{D2}";
    page_switch->IDDetailPage_default = "{D1}";
    for (const auto& [id, target, prompt] : {std::tuple{"{A1}", "frm", ""}, {"{A2}", "", "Opravdu 'smazat'?"}}) {
      auto* action = Add<TEvidenceItemAction>(model.EvidenceItemActions(), id);
      action->detEvidenceItemID = kItem;
      action->ResultTarget = target;
      action->ClickPromptText = prompt;
    }
    auto* account = Add<TUserAccount>(model.UserAccounts(), kAccount);
    account->detApplicationRoleID = "{R}";
    account->AccountName = "Jan <N>";
    model.LinkAll();
    model.AfterLoadAll();
    options.ShowDetailPath = "/ShowDetail";
    options.DoActionPath = "/DoAction";
    options.ShowImgPath = "/ShowImg";
    options.ImgPath = "/Img";
    options.class_detailhref = "dl";
    options.detail_target = "det";

    const std::pair<const char*, TFieldType> fields[] = {
        {"ID", TFieldType::ftInteger},   {"NAME", TFieldType::ftString},  {"HOSTILE", TFieldType::ftString},
        {"V", TFieldType::ftString},     {"NUL", TFieldType::ftString},   {"DOC", TFieldType::ftString},
        {"DONE", TFieldType::ftBoolean}, {"LOCK", TFieldType::ftInteger}, {"NOLOCK", TFieldType::ftInteger},
        {"NOTE", TFieldType::ftMemo},    {"PIC", TFieldType::ftBlob},     {"NOPIC", TFieldType::ftBlob},
        {"EXT", TFieldType::ftString},   {"A", TFieldType::ftString},     {"B", TFieldType::ftString},
        {"GID", TFieldType::ftGuid},     {"AMOUNT", TFieldType::ftFloat}};
    for (const auto& [name, type] : fields) data.AddField(name, type);
    data.AppendRecord({int64_t{7},
                       Cp1250("Žluťoučký kůň"),
                       kHostile,
                       "v",
                       {},
                       "docs\\a b.pdf",
                       true,
                       int64_t{1},
                       int64_t{0},
                       "a <b>\r\nc d",
                       "bytes",
                       {},
                       ".mp3",
                       "x&y",
                       Cp1250("č ř"),
                       "{6B29FC40-CA47-1067-B31D-00DD010662DA}",
                       -1234.5});
    data.Open();
  }

  template <class E, class L>
  E* Add(L& list, const std::string& id) {
    auto element = std::make_unique<E>();
    element->InstanceID = id;
    return list.AddNew(std::move(element));
  }

  // The item's page; `host` replaces the request's Host header.
  RecordPage& Page(const std::string& host = "h") {
    std::map<std::string, std::string> env{
        {"REQUEST_METHOD", "GET"},
        {"HTTP_HOST", host},
        {"SERVER_PORT", "80"},
        {"SCRIPT_NAME", "/p.cgi"},
        {"PATH_INFO", "/ShowList"},
        {"QUERY_STRING", "ID=" + UrlEncode(kItem)},
        {"HTTP_COOKIE",
         "ZNKCGIUSERID=" + EncodeID(kAccount) + "; ZNKSESSIONID={6B29FC40-CA47-1067-B31D-00DD010662DA}"}};
    request = std::make_unique<TWebRequest>(CgiEnvironment::FromMap(env), -1);
    response = std::make_unique<TWebResponse>(*request, -1);
    page = MakeContext<RecordPage>(request.get(), &options, response.get());
    EXPECT_TRUE(page->Valid());
    renderer =
        std::make_unique<TRecordCellRenderer>(*page, [this](const std::string& name) { return page->Tag(name); });
    return *page;
  }

  // An attribute of the list for `field`, set up by `setup`.
  TZNKHTMLTableColumnAttribute& Attr(const std::string& field,
                                     const std::function<void(TZNKHTMLTableColumnAttribute&)>& setup = {}) {
    TZNKHTMLTableColumnAttribute& attribute = attributes.Add();
    attribute.FieldName = field;
    if (setup) setup(attribute);
    return attribute;
  }

  // The field `name` of the record rendered by `attribute` (may be null),
  // identified by the field ID.
  std::string Render(const TZNKHTMLTableColumnAttribute* attribute, const std::string& name,
                     const TStrings* params = nullptr, const std::string& spec = "", const char* row_id = "ID") {
    if (!renderer) Page();
    return renderer->RenderField({&data, &attributes}, data.FindField(name), data.FindField(row_id), spec, params,
                                 attribute);
  }

  // The query of a record link, as its HREF attribute holds it.
  static std::string Query(const std::string& eid, const std::string& pid, const std::string& pid2,
                           const std::string& fid) {
    return "?ID=" + kItemQ + "&amp;EID=" + eid + "&amp;PID=" + pid + "&amp;PID2=" + pid2 + "&amp;FID=" + fid;
  }

  TTessaroOptions options;
  std::unique_ptr<TWebRequest> request;
  std::unique_ptr<TWebResponse> response;
  std::unique_ptr<RecordPage> page;
  std::unique_ptr<TRecordCellRenderer> renderer;
  TMemoryDataSet data;
  TZNKHTMLTableColumnAttributes attributes;
};

using AttrSetup = std::function<void(TZNKHTMLTableColumnAttribute&)>;

AttrSetup Detail(const char* page) {
  return [=](TZNKHTMLTableColumnAttribute& a) { a.IDDetailPage = page; };
}
AttrSetup Action(const char* action) {
  return [=](TZNKHTMLTableColumnAttribute& a) { a.IDAction = action; };
}
AttrSetup Document() {
  return [](TZNKHTMLTableColumnAttribute& a) { a.IsDocumentURL = true; };
}

TEST_F(Cells, EachLinkKindLeadsToItsPageWithTheRecordAndItsValue) {
  const std::string kDetail = "http://h/p.cgi/ShowDetail";
  const std::string kFid = "Zlutoucky+kun";
  const std::string kDoAction = "http://h/p.cgi/DoAction";
  const struct {
    const char* field;
    AttrSetup setup;
    std::string spec, request_pid, html;
  } cases[] = {
      {"NAME", Detail("{D1}"), "<FIELD>", "",
       "<A HREF=\"" + kDetail + Query("%7bD1%7d", "7", "", kFid) + "\" class=\"dl\" target=\"det\">Žluťoučký kůň</A>"},
      // The switch compares the plain-letter value; the page's own target wins.
      {"NAME", [](auto& a) { a.IDDetailPageSwitch = "{SW}"; }, "", "",
       "<A HREF=\"" + kDetail + Query("%7bD2%7d", "7", "", kFid) + "\" class=\"dl\" target=\"_blank\">Podrobnosti</A>"},
      {"V", [](auto& a) { a.IDDetailPageSwitch = "{SW}"; }, "", "",
       "<A HREF=\"" + kDetail + Query("%7bD1%7d", "7", "", "v") + "\" class=\"dl\" target=\"det\">Podrobnosti</A>"},
      // A page that opens an action gets no target; a missing page the option's.
      {"V", Detail("{D3}"), "Dál", "",
       "<A HREF=\"" + kDetail + Query("%7bD3%7d", "7", "", "v") + "\" class=\"dl\">Dál</A>"},
      {"V", Detail("{GONE}"), "", "",
       "<A HREF=\"" + kDetail + Query("%7bGONE%7d", "7", "", "v") + "\" class=\"dl\" target=\"det\">Podrobnosti</A>"},
      {"V",
       [](auto& a) {
         a.IDDetailPage = "{D1}";
         a.Custom = "class=\"own\" ";
       },
       "", "",
       "<A HREF=\"" + kDetail + Query("%7bD1%7d", "7", "", "v") + "\" class=\"own\" target=\"det\">Podrobnosti</A>"},
      // On a detail page the request names the record and the row is PID2.
      {"V", Detail("{D1}"), "", "p",
       "<A HREF=\"" + kDetail + Query("%7bD1%7d", "p", "7", "v") + "\" class=\"dl\" target=\"det\">Podrobnosti</A>"},
      {"NAME", Action("{A1}"), "Smazat", "",
       "<A HREF=\"" + kDoAction + Query("%7bA1%7d", "7", "", kFid) + "\" target=\"frm\">Smazat</A>"},
      {"NAME", Action("{A2}"), "Smazat", "",
       "<A HREF=\"javascript:PromptedUrl('" + kDoAction + Query("%7bA2%7d", "7", "", kFid) +
           "','Opravdu \\'smazat\\'?',null)\">Smazat</A>"},
      {"NAME", Action("{NONE}"), "Smazat", "", ""},
      {"V",
       [](auto& a) {
         a.javaFuncName = "ShowRow";
         a.javaFuncTarget = "win";
       },
       "", "p", "<A HREF=\"javascript:ShowRow('p','7','v')\" target=\"win\">Podrobnosti</A>"},
      {"NUL", Detail("{D1}"), "", "", ""},
      {"DOC", Document(), "", "", "<A HREF=\"http://h/docs/a b.pdf\">a b.pdf</A>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html);
    attributes.Clear();
    Page().pid = c.request_pid;
    EXPECT_EQ(Render(&Attr(c.field, c.setup), c.field, nullptr, Cp1250(c.spec)), Cp1250(c.html));
  }
}

TEST_F(Cells, DocumentLinksOpenOnlyWebAddressesAndPortalPaths) {
  const struct {
    std::string value, html;
  } cases[] = {
      {"http://x/y.png", "<img src=\"http://x/y.png\" alt=\"y.png\" >"},
      {"HTTPS://x/a.pdf?b=1&c=2", "<A HREF=\"HTTPS://x/a.pdf?b=1&amp;c=2\">a.pdf?b=1&amp;c=2</A>"},
      {"pics/photo", "<img src=\"http://h/pics/photo\" alt=\"photo\" >"},  // no extension counts as a picture
      {"a\"><script>.pdf", "<A HREF=\"http://h/a&quot;&gt;&lt;script&gt;.pdf\">a&quot;&gt;&lt;script&gt;.pdf</A>"},
      {"javascript:alert(1)", "javascript:alert(1)"},
      {"JavaScript:alert('x')//.png", ".png"},
      {"data:text/html;base64,PHNjcmlwdD4=", "html;base64,PHNjcmlwdD4="},
      {" javascript:alert(1).pdf", "<A HREF=\"http://h/ javascript:alert(1).pdf\"> javascript:alert(1).pdf</A>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    TMemoryDataSet one;
    one.AddField("DOC", TFieldType::ftString);
    one.AppendRecord({c.value});
    one.Open();
    Page();
    attributes.Clear();
    EXPECT_EQ(renderer->RenderField({&one, &attributes}, one.FindField("DOC"), nullptr, "", nullptr,
                                    &Attr("DOC", Document())),
              c.html);
  }
  // The address alone, escaped for the attribute a template writes it into.
  TStrings url_only{"urlonly=1"};
  TMemoryDataSet one;
  one.AddField("DOC", TFieldType::ftString);
  one.AppendRecord({"javascript:alert(1)"});
  one.Open();
  EXPECT_EQ(renderer->RenderField({&one, &attributes}, one.FindField("DOC"), nullptr, "", &url_only,
                                  &Attr("DOC", Document())),
            "");
}

TEST_F(Cells, HostileValuesStayDataInAddressesScriptsAndText) {
  Page("h\"><b>");
  const std::string base = "http://h&quot;&gt;&lt;b&gt;/p.cgi";
  EXPECT_EQ(Render(&Attr("HOSTILE", Detail("{D1}")), "HOSTILE", nullptr, "<FIELD>"),
            "<A HREF=\"" + base + "/ShowDetail" + Query("%7bD1%7d", "7", "", "O'Neil%22+%3cscript%3e%26%2339%3b") +
                "\" class=\"dl\" target=\"det\">O&#39;Neil&quot; &lt;script&gt;&amp;#39;</A>");
  // The value cannot end its script literal, not even through an entity.
  EXPECT_EQ(Render(&Attr("HOSTILE", [](auto& a) { a.javaFuncName = "f"; }), "HOSTILE", nullptr, "<BLANK>"),
            "<A HREF=\"javascript:f('7','','O\\'Neil\\&quot; \\x3cscript\\x3e&amp;#39;')\"></A>");
  // Plain text is escaped with blanks kept visible; an input escapes its value.
  EXPECT_EQ(Render(nullptr, "HOSTILE"), "O&#39;Neil&quot;&nbsp;&lt;script&gt;&amp;#39;");
  EXPECT_EQ(Render(&Attr("HOSTILE", [](auto& a) { a.InputType = "text"; }), "HOSTILE", nullptr, "", "GID"),
            "<input type=text name=\"HOSTILE6B29FC40CA471067B31D00DD010662DA\" "
            "value=\"O&#39;Neil&quot; &lt;script&gt;&amp;#39;\" size=\"4\" maxlength=\"4\">");
  // Field tags choose the link text and may ask for the address alone.
  TStrings tag_text{"linktext=\"<TAG:tag_account_name>\""};
  EXPECT_EQ(Render(&Attr("V", Detail("{D1}")), "V", &tag_text), "<A HREF=\"" + base + "/ShowDetail" +
                                                                    Query("%7bD1%7d", "7", "", "v") +
                                                                    "\" class=\"dl\" target=\"det\">Jan &lt;N&gt;</A>");
  TStrings url_only{"urlonly=1"};
  EXPECT_EQ(Render(&Attr("V", Detail("{D1}")), "V", &url_only), base + "/ShowDetail" + Query("%7bD1%7d", "7", "", "v"));
}

TEST_F(Cells, LinkParameterColumnsOpenEveryRecordLinkEncoded) {
  Attr("A", [](auto& a) { a.isLinkParam = true; });
  Attr("NAME");
  Attr("B", [](auto& a) { a.isLinkParam = true; });
  Attr("GONE", [](auto& a) { a.isLinkParam = true; });  // no such field
  const std::string prefix = "?COL_A=x%26y&amp;COL_B=%c4%8d+%c5%99&amp;ID=";
  const std::string detail = Render(&Attr("V", Detail("{D1}")), "V");
  EXPECT_NE(detail.find("/ShowDetail" + prefix + kItemQ + "&amp;"), std::string::npos) << detail;
  const std::string action = Render(&Attr("V", Action("{A1}")), "V");
  EXPECT_NE(action.find("/DoAction" + prefix + kItemQ + "&amp;"), std::string::npos) << action;
}

TEST_F(Cells, CheckBoxesOpenTheirLinkUnlessAFieldDisablesThem) {
  const std::string url = "http://h/p.cgi/DoAction" + Query("%7bA2%7d", "7", "", "");
  const struct {
    const char* field;
    std::string format, action, html;
  } cases[] = {
      {"DONE", "<CHECKBOX disabled=LOCK>", "{A2}",
       "<input type=checkbox name=\"\" disabled=\"disabled\"  value=\"\" checked>"},
      {"DONE", "<CHECKBOX disabled=NOLOCK>", "{A2}",
       "<input type=checkbox name=\"\" ONCLICK=\"javascript:PromptedUrl('" + url +
           "','Opravdu \\'smazat\\'?',this)\"  value=\"\" checked>"},
      {"NUL", "<checkbox>", "{A1}",
       "<input type=checkbox name=\"\" ONCLICK=\"javascript:GoToUrl('http://h/p.cgi/DoAction" +
           Query("%7bA1%7d", "7", "", "") + "')\"  value=\"\">"},
      {"V", "<CHECKBOX>", "{A1}",  // any value ticks a box of a field that is not Boolean
       "<input type=checkbox name=\"\" ONCLICK=\"javascript:GoToUrl('http://h/p.cgi/DoAction" +
           Query("%7bA1%7d", "7", "", "") + "')\"  value=\"\" checked>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    attributes.Clear();
    auto& attribute = Attr(c.field, [&](auto& a) {
      a.DisplayFormat = c.format;
      a.IDAction = c.action;
    });
    EXPECT_EQ(Render(&attribute, c.field), c.html);
  }
  // An input check box of a Boolean field, named by the row.
  EXPECT_EQ(Render(&Attr("DONE", [](auto& a) { a.InputType = "checkbox"; }), "DONE"),
            "<input type=checkbox name=\"DONE7\"  value=\"\" checked>");
}

TEST_F(Cells, MemosFollowTheirDisplayMode) {
  const struct {
    bool transliterate;
    TStrings params;
    std::string html;
  } cases[] = {
      {true, {}, "a&nbsp;&lt;b&gt;<br>c&nbsp;d"},
      {true, {"native=2"}, "a &lt;b&gt;\r\nc d"},
      {true, {"softspaces=1"}, "a &lt;b&gt;<br>c d"},
      {true, {"softreturns=\"1\""}, "a&nbsp;&lt;b&gt;\r\nc&nbsp;d"},
      {false, {}, "a <b>\r\nc d"},  // the attribute says the field holds HTML
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html);
    attributes.Clear();
    auto& attribute = Attr("NOTE", [&](auto& a) {
      a.BlobType = "Memo";
      a.Transliterate = c.transliterate;
    });
    EXPECT_EQ(Render(&attribute, "NOTE", c.params.Empty() ? nullptr : &c.params), c.html);
  }
}

TEST_F(Cells, PicturesAndClipsPointToThePicturePages) {
  const std::string show = "http://h/p.cgi/ShowImg?ID=" + kItemQ + "&amp;PID=7&amp;";
  TStrings box{"Width=10", "Height=20", "MaxWidth=100", "MaxHeight=x", "Border=0"};
  const struct {
    const char* field;
    std::string blob_type, ext_field;
    const TStrings* params;
    std::string html;
  } cases[] = {
      {"PIC", "image", "", nullptr,
       "<img src=\"" + show + "IMGW=40&amp;IMGH=40&amp;IMGF=PIC\" alt=\"PIC\"  class=\"p\">"},
      {"NOPIC", "image", "", nullptr,
       "<img src=\"http://h/p.cgi/Img?IMGW=40&amp;IMGH=40\" alt=\"NOPIC\"  class=\"p\">"},
      {"PIC", "image", "", &box,
       "<img src=\"" + show +
           "IMGW=100&amp;IMGH=0&amp;IMGF=PIC\" alt=\"PIC\" border=\"0\"  class=\"p\" width=\"10\" "
           "height=\"20\">"},
      {"PIC", "multimedia", "EXT", nullptr,
       "<embed src=\"" + show +
           "IMGF=PIC&amp;TYPE=audio%2fmp3\" autostart=false play=false type=\"audio/mp3\"  "
           "class=\"p\" height=\"50\"/>"},
      {"NOPIC", "multimedia", "EXT", nullptr, "<p></p>"},
      {"PIC", "multimedia", "V", nullptr,  // no media type: shown as a picture
       "<img src=\"" + show + "IMGW=40&amp;IMGH=40&amp;IMGF=PIC\" alt=\"PIC\"  class=\"p\">"},
      {"PIC", "multimedia", "", nullptr, "multimedia type unknown"},
      {"PIC", "sound", "", nullptr, "unsupported blob type"},
      {"V", "image", "", nullptr, "v"},  // not a blob field: its text
      {"GONE", "image", "", nullptr, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html);
    attributes.Clear();
    auto& attribute = Attr(c.field, [&](auto& a) {
      a.BlobType = c.blob_type;
      a.BlobFileExtFieldName = c.ext_field;
      a.Custom = "class=\"p\"";
    });
    EXPECT_EQ(Render(&attribute, c.field, c.params), c.html);
  }
}

// A field tag's format applies to that tag only; a field that holds HTML by
// its attribute is written as it is.
TEST_F(Cells, PlainFieldsByFormatAndMode) {
  TStrings format{"format=\"0.00\""};
  EXPECT_EQ(Render(nullptr, "AMOUNT", &format), "&minus;1234,50");
  EXPECT_EQ(Render(nullptr, "AMOUNT"), "&minus;1234,5");
  TStrings escaped{"native=2"};
  EXPECT_EQ(Render(nullptr, "NOTE", &escaped), "a &lt;b&gt;\r\nc d");
  EXPECT_EQ(Render(&Attr("NOTE", [](auto& a) { a.Transliterate = false; }), "NOTE"), "a <b>\r\nc d");
  EXPECT_EQ(Render(nullptr, "NUL"), "");
}

TEST_F(Cells, LinkTextsBySpec) {
  Page();
  options.detail_link_text = "Detail";
  const struct {
    std::string spec, text;
  } cases[] = {
      {"", "Detail"},        {"<field>", "a&amp;b"},
      {"<BLANK>", ""},       {"<tag: tag_account_name >", "Jan &lt;N&gt;"},
      {"<TAG:unknown>", ""}, {"<b>Edit</b>", "<b>Edit</b>"},
  };
  for (const auto& c : cases) EXPECT_EQ(renderer->LinkText("a&b", c.spec), c.text) << c.spec;
  options.detail_link_text.clear();
  EXPECT_EQ(renderer->LinkText("", "<FIELD>"), "Podrobnosti");
}

TEST_F(Cells, TableCellsByRow) {
  Page();
  Attr("NAME", Detail("{D1}"));
  Attr("PIC", [](auto& a) { a.BlobType = "image"; });
  Attr("DONE", [](auto& a) {
    a.IDAction = "{A1}";
    a.DisplayFormat = "<CHECKBOX>";
  });
  Attr("DOC", Document());
  TMemoryDataSet sums;
  for (const char* name : {"NAME", "PIC", "DONE", "DOC", "V"}) sums.AddField(name, TFieldType::ftString);
  sums.AppendRecord({"s1", "s2", "s3", "s4", "s5"});
  sums.Open();
  TZNKTableProducer producer;
  producer.SetDataSet(&data);
  producer.SetSumDataSet(&sums);
  for (const auto& [field, caption] :
       {std::pair{"NAME", "Jméno a"}, {"PIC", ""}, {"DONE", "Hotovo x"}, {"DOC", "Soubor"}, {"V", "Hodnota v"}})
    producer.AddColumn(field).Title.Caption = Cp1250(caption);
  auto cells = [&](int row, const std::string& row_id) {
    std::vector<std::string> texts;
    for (int column = 0; column < 5; ++column) {
      THTMLTableCell cell;
      renderer->FormatCell(producer, row, column, cell, attributes, row_id);
      texts.push_back(cell.CellData + (cell.BgColor.empty() ? "" : " @" + cell.BgColor));
    }
    return texts;
  };
  using Row = std::vector<std::string>;
  EXPECT_EQ(cells(0, "ID"), (Row{"&nbsp;", "&nbsp;", "Hotovo&nbsp;x", "&nbsp;", "Hodnota&nbsp;v"}));
  const Row body = cells(1, "ID");
  EXPECT_EQ(body[0], "<A HREF=\"http://h/p.cgi/ShowDetail" + Query("%7bD1%7d", "7", "", "Zlutoucky+kun") +
                         "\" class=\"dl\" target=\"det\">" + Cp1250("Jméno a") + "</A>");
  EXPECT_EQ(body[1].substr(0, 46), "<img src=\"http://h/p.cgi/ShowImg?ID=" + kItemQ.substr(0, 10));
  EXPECT_EQ(body[2].substr(0, 40), "<input type=checkbox name=\"\" ONCLICK=\"ja");
  EXPECT_EQ(body[3], "<A HREF=\"http://h/docs/a b.pdf\">a b.pdf</A>");
  EXPECT_EQ(body[4], "v");
  // Without the row's identifier a record link would open the wrong record.
  const std::string error = "ERROR!!! - row identifier field not set @yellow";
  EXPECT_EQ(cells(1, ""), (Row{error, error, error, body[3], "v"}));
  producer.InFoot = true;
  EXPECT_EQ(cells(1, "ID"), (Row{"&nbsp;", "&nbsp;", "&nbsp;", "&nbsp;", "s5"}));
}

}  // namespace
}  // namespace tessaro
