// Stored pictures (/ShowImg) through the real program over an imported
// portal and a SQLite database: scaling into the box, the default picture for
// a record without a shown picture, the stored bytes under a given type, the
// field name and type that a visitor may not choose, and who gets a picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "context/jpeg_codec.h"
#include "context/rgb_image.h"
#include "e2e/admin_runner.h"
#include "e2e/cgi_runner.h"
#include "e2e/imported_portal.h"
#include "support/picture_files.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";
const std::string kItem = "%7B33333333-0000-0000-0000-000000000001%7D";
const std::string kPercentItem = "%7B33333333-0000-0000-0000-000000000002%7D";
const std::string kOtherRolesItem = "%7B33333333-0000-0000-0000-000000000003%7D";

std::string EvidenceItem(const std::string& id, const std::string& role, const std::string& blob_sql) {
  return "<EvidenceItem><InstanceID>{33333333-0000-0000-0000-00000000000" + id +
         "}</InstanceID><detApplicationRoleID>{22222222-0000-0000-0000-00000000000" + role +
         "}</detApplicationRoleID><EvidenceName>Item " + id +
         "</EvidenceName><ParametrizedSelectClause Count=\"1\"><Item0>select id, foto from zbozi</Item0>"
         "</ParametrizedSelectClause><BlobSelectClause Count=\"1\"><Item0>" +
         blob_sql +
         "</Item0></BlobSelectClause><ColumnAttributes Count=\"2\">"
         "<Item0><FieldName>id</FieldName><RowIdentifier>True</RowIdentifier></Item0>"
         "<Item1><FieldName>foto</FieldName><BlobType>image</BlobType></Item1></ColumnAttributes></EvidenceItem>";
}

std::string PortalXml() {
  auto role = [](const std::string& id, int count, const std::string& items) {
    return "<ApplicationRole><InstanceID>{22222222-0000-0000-0000-00000000000" + id +
           "}</InstanceID><detApplicationTypeID>{11111111-0000-0000-0000-000000000001}</detApplicationTypeID>"
           "<RoleName>Role " +
           id + "</RoleName><EvidenceItems ElementClass=\"TEvidenceItem\" Count=\"" + std::to_string(count) + "\">" +
           items + "</EvidenceItems></ApplicationRole>";
  };
  const std::string connection =
      "CommandTimeout=\"30\" R_ConnectionString=\"Driver=SQLite3;Database=zbozi.db;NoCreat=1\" "
      "RW_ConnectionString=\"\"";
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TessaroModel Format=\"1\"><Definitions><Connection " +
         connection +
         " SupportsCatalogs=\"False\"/><ApplicationTypes ElementClass=\"TApplicationType\" "
         "Count=\"1\"><ApplicationType>"
         "<InstanceID>{11111111-0000-0000-0000-000000000001}</InstanceID><TypeName>Sklad</TypeName>"
         "<ApplicationRoles ElementClass=\"TApplicationRole\" Count=\"2\">" +
         role("1", 2,
              EvidenceItem("1", "1", "select %s from zbozi where id = :PID") +
                  EvidenceItem("2", "1", "select %s from zbozi where nazev like 'a%' and id = :PID")) +
         role("2", 1, EvidenceItem("3", "2", "select %s from zbozi where id = :PID")) +
         "</ApplicationRoles></ApplicationType></ApplicationTypes></Definitions><UserData><Connection " + connection +
         "/><UserAccounts ElementClass=\"TUserAccount\" Count=\"1\"><UserAccount>"
         "<InstanceID>{44444444-0000-0000-0000-000000000001}</InstanceID><Username>jan</Username>"
         "<Password>heslo</Password><detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID>"
         "</UserAccount></UserAccounts></UserData></TessaroModel>\n";
}

// A picture of flat colour, so that its JPEG is small and any size reads back.
std::string JpegOf(int width, int height) {
  TRgbImage image;
  image.Width = width;
  image.Height = height;
  image.Pixels.assign(static_cast<size_t>(width) * height * 3, 200);
  return EncodeJpeg(image);
}

const std::string kPngBytes = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);

class DBImagePage : public ImportedPortalSuite<DBImagePage> {
 protected:
  static void SetUpTestSuite() {
    site = new Deployment();
    site->WriteFile("tessaro0.ini",
                    "[OPTIONS]\npath_to_templates=templates\npgLOGIN=login.html\npgLOGOK=logok.html\n"
                    "pgERROR=error.html\ndefault_jpeg_image=nic.jpg\n");
    site->WriteFile("templates/error.html", "ERROR <#tag_errormessage>\n");
    site->WriteFile("templates/login.html", "LOGIN FORM\n");
    site->WriteFile("templates/logok.html", "OK\n");
    site->WriteFile("templates/nic.jpg", JpegOf(100, 80));
    site->WriteFile("big.jpg", JpegOf(400, 300));
    site->WriteFile("small.jpg", JpegOf(30, 20));
    site->WriteFile("pic.png", kPngBytes);
    site->WriteFile("pic.gif", GifFile(60, 40, {{0, 128, 0}}, std::vector<uint8_t>(60 * 40, 0)));
    site->WriteFile("pic.bmp", BmpFile(20, 30, std::vector<TRgb>(20 * 30, TRgb{9, 9, 9})));
    site->WriteFile("pic.wmf", std::string("\xD7\xCD\xC6\x9A", 4) + std::string(60, '\0'));
    site->WriteFile("portal.xml", PortalXml());
    site->WriteFile("data.sql",
                    "CREATE TABLE zbozi (id INTEGER PRIMARY KEY, nazev VARCHAR(40), foto BLOB);\n"
                    "INSERT INTO zbozi VALUES (1, 'a', readfile('big.jpg')), (2, 'b', readfile('small.jpg')),\n"
                    "  (3, 'c', readfile('pic.png')), (4, 'd', NULL), (5, 'e', X'0A0B0C'),\n"
                    "  (6, 'f', readfile('pic.gif')), (7, 'g', readfile('pic.bmp')), (8, 'h', readfile('pic.wmf'));\n");
    ImportWithDatabase();
  }

  static CgiResponse Show(const std::string& query) {
    return site->Get("/ShowImg", query, VisitorEnv());
  }
  // The size of the JPEG answer to `query`, as "WxH"; "none" without one.
  static std::string AnsweredSize(const std::string& query) {
    CgiResponse r = Show(query);
    EXPECT_EQ(r.Header("Content-Type"), "image/jpeg") << query << "\n" << r.raw.substr(0, 300);
    std::optional<TRgbImage> picture = DecodeJpeg(r.body);
    return picture ? std::to_string(picture->Width) + "x" + std::to_string(picture->Height) : "none";
  }

};

// Narrowed to the width, then lowered to the height, rounded to even; never
// enlarged. GIF and bitmap pictures are read too. Records without a shown
// picture (PNG, a metafile, null, unknown bytes, no record) get the default
// picture, fitted the same way.
TEST_F(DBImagePage, PicturesAreFittedIntoTheBoxOrReplacedByTheDefault) {
  const struct {
    std::string pid, box, size;
  } cases[] = {
      {"1", "IMGW=40&IMGH=40", "40x30"}, {"1", "IMGW=0&IMGH=50", "67x50"},   {"1", "IMGW=-5&IMGH=0", "400x300"},
      {"2", "IMGW=40&IMGH=40", "30x20"}, {"3", "IMGW=40&IMGH=40", "40x32"},  {"4", "IMGW=0&IMGH=0", "100x80"},
      {"5", "IMGW=50&IMGH=0", "50x40"},  {"99", "IMGW=50&IMGH=50", "50x40"}, {"6", "IMGW=30&IMGH=0", "30x20"},
      {"7", "IMGW=0&IMGH=15", "10x15"},  {"8", "IMGW=0&IMGH=0", "100x80"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(AnsweredSize("ID=" + kItem + "&PID=" + c.pid + "&IMGF=foto&" + c.box), c.size) << c.pid << " " << c.box;
}

TEST_F(DBImagePage, GivenTypeSendsTheStoredBytesAsTheyAre) {
  CgiResponse png = Show("ID=" + kItem + "&PID=3&IMGF=foto&TYPE=image%2Fpng");
  EXPECT_EQ(png.Header("Content-Type"), "image/png");
  EXPECT_EQ(png.body, kPngBytes);
  // Every type of the portal's clip table passes.
  for (const char* type : {"audio%2Fx-wav", "midi%2Fmid", "video%2Fx-ms-wmv", "application%2Fx-shockwave-flash"}) {
    CgiResponse clip = Show("ID=" + kItem + "&PID=5&IMGF=foto&TYPE=" + type);
    EXPECT_EQ(clip.body, "\x0A\x0B\x0C") << type;
  }
  // A type that would make the bytes a page of the portal, or a header of
  // the visitor's own, gets nothing.
  for (const std::string& type : std::initializer_list<std::string>{"text%2Fhtml", "image%2Fsvg%2Bxml",
                                                                    "image%2Fpng%0D%0ASet-Cookie%3A%20x%3D1", "png"}) {
    CgiResponse r = Show("ID=" + kItem + "&PID=5&IMGF=foto&TYPE=" + type);
    EXPECT_EQ(r.body, "") << type;
    EXPECT_EQ(r.Header("Set-Cookie").find("x=1"), std::string::npos) << type;
    EXPECT_EQ(r.Header("Content-Type").find("svg"), std::string::npos) << type;
  }
}

// A field name that is not a plain identifier never reaches the SQL: no
// picture at all, and the table is still there afterwards.
TEST_F(DBImagePage, FieldNamesThatAreNoIdentifiersGiveNoPicture) {
  const std::string names[] = {"foto%20from%20zbozi%3B%20drop%20table%20zbozi%3B--",
                               "foto%27",
                               "1foto",
                               "foto%29--",
                               "%2A",
                               "nazev%2Cfoto",
                               std::string(200, 'f')};
  for (const std::string& name : names) {
    CgiResponse r = Show("ID=" + kItem + "&PID=1&IMGW=40&IMGF=" + name);
    EXPECT_EQ(r.status, 200) << name;
    EXPECT_EQ(r.body, "") << name;
  }
  EXPECT_EQ(AnsweredSize("ID=" + kItem + "&PID=1&IMGW=40&IMGF=foto"), "40x30");
}

TEST_F(DBImagePage, StrayPercentInTheBlobQueryGivesTheErrorPage) {
  CgiResponse r = Show("ID=" + kPercentItem + "&PID=1&IMGF=foto");
  EXPECT_EQ(r.body.rfind("ERROR ", 0), 0u) << r.body;
}

TEST_F(DBImagePage, ItemOfAnotherRoleGivesNoPicture) {
  CgiResponse r = Show("ID=" + kOtherRolesItem + "&PID=1&IMGF=foto");
  EXPECT_EQ(r.body, "");
  EXPECT_EQ(r.body.find("LOGIN"), std::string::npos);
}

}  // namespace
}  // namespace tessaro::testing
