// The executable behind each web server an administrator may choose, with the
// configuration shipped in deploy/: lighttpd, Apache with mod_cgid, nginx with
// fcgiwrap. Each server is started once, on free loopback ports (plain HTTP
// and TLS), in front of one portal folder, and asked over HTTP.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "e2e/admin_runner.h"
#include "e2e/cgi_runner.h"
#include "e2e/web_server_harness.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";
const std::string kSource = TESSARO_SOURCE_DIR;
const std::string kOdbc = kSource + "/scripts/odbc";

// A complete portal folder: settings, templates, definition and user files
// (the latter holding passwords), the folder the program writes to, the
// program. Set up as the deployment instructions say: readable by the server's
// user (www-data when the test runs as root), writable by it only in qmxdata.
class ServedPortal {
 public:
  ServedPortal() {
    d.WriteFile("tessaro0.ini",
                "[OPTIONS]\npath_to_templates=templates\npgLOGIN=login.html\npgLOGOK=logok.html\n"
                "[SIMPLEPAGES]\nDEFAULT=home.html\nhere=here.html\n; defaults-file-marker\n");
    d.WriteFile("tessaro.INI", "; overrides-file-marker\n");
    d.WriteFile("server.ini", "; server-file-marker\n");
    d.WriteFile("templates/home.html", "HOME PAGE\n");
    d.WriteFile("templates/here.html", "<#tag_currenturl>");
    d.WriteFile("templates/login.html", "LOGIN FORM login-template-marker\n");
    d.WriteFile("templates/logok.html", "Welcome, continue at <#LINK>\n");
    d.WriteFile("qmxdata/earlier-log.txt", "start-up-log-marker\n");
    d.WriteFile("portal.xml", SamplePortalXml());
    AdminResult imported = RunAdmin({"import", "portal.xml", "."}, d.Dir());
    if (imported.exit_code != 0) throw std::runtime_error("import failed: " + imported.err);
    for (const char* file : {"user.idt", "qmxdef.idt", "tessaro0.ini", "tessaro.INI", "server.ini",
                             "templates/login.html", "qmxdata/earlier-log.txt", "portal.xml"})
      secrets.emplace_back(file, ReadFile(d.Dir() + "/" + file));
    chmod(d.Dir().c_str(), 0755);
    if (geteuid() == 0) {
      if (const passwd* server_user = getpwnam("www-data"))
        if (chown((d.Dir() + "/qmxdata").c_str(), server_user->pw_uid, server_user->pw_gid) != 0)
          throw std::runtime_error("cannot hand qmxdata to www-data");
    }
  }

  Deployment d;
  std::vector<std::pair<std::string, std::string>> secrets;  // name, content
};

// A self-signed certificate for 127.0.0.1 in the run folder.
void MakeCertificate(const std::string& dir) {
  const std::string command =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
      "-subj /CN=127.0.0.1 -days 2 -keyout '" +
      dir + "/key.pem' -out '" + dir + "/cert.pem' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
}

// lighttpd with deploy/lighttpd.conf and lighttpd-portal.conf, plus a TLS socket.
class Lighttpd {
 public:
  static constexpr bool kPassesChunkedBodiesOn = false;
  explicit Lighttpd(const ServedPortal& portal) {
    MakeCertificate(run.Path());
    std::filesystem::create_directories(run.Path() + "/htdocs");
    std::filesystem::create_directories(run.Path() + "/uploads");
    WriteFile(run.Path() + "/lighttpd-portal.conf", FillTemplate(kSource + "/deploy/lighttpd-portal.conf",
                                                                 {{"PORTAL", portal.d.Dir()}, {"ODBCSYSINI", kOdbc}}));
    const std::string conf = run.Path() + "/lighttpd.conf";
    std::string text =
        FillTemplate(kSource + "/deploy/lighttpd.conf", {{"PORT", std::to_string(port)}, {"RUNDIR", run.Path()}});
    text += "server.modules += ( \"mod_openssl\" )\n";
    text += "$SERVER[\"socket\"] == \"127.0.0.1:" + std::to_string(tls_port) + "\" {\n";
    text += "  ssl.engine = \"enable\"\n";
    text += "  ssl.pemfile = \"" + run.Path() + "/cert.pem\"\n";
    text += "  ssl.privkey = \"" + run.Path() + "/key.pem\"\n}\n";
    WriteFile(conf, text);
    server = std::make_unique<ServerProcess>(std::vector<std::string>{"/usr/sbin/lighttpd", "-D", "-f", conf},
                                             run.Path() + "/output.log", port);
  }
  RunFolder run;
  int port = FreePort(), tls_port = FreePort();
  std::unique_ptr<ServerProcess> server;
};

// A standalone Apache around deploy/apache-portal.conf.
class Apache {
 public:
  static constexpr bool kPassesChunkedBodiesOn = true;
  explicit Apache(const ServedPortal& portal) {
    MakeCertificate(run.Path());
    std::filesystem::create_directories(run.Path() + "/htdocs");
    // Apache's child processes (www-data when started as root) open the
    // run folder's socket and files.
    chmod(run.Path().c_str(), 0755);
    WriteFile(run.Path() + "/apache-portal.conf", FillTemplate(kSource + "/deploy/apache-portal.conf",
                                                               {{"PORTAL", portal.d.Dir()}, {"ODBCSYSINI", kOdbc}}));
    const std::string conf = run.Path() + "/apache.conf";
    WriteFile(conf, FillTemplate(kSource + "/tests/e2e/servers/apache.conf.in", {{"PORT", std::to_string(port)},
                                                                                 {"TLSPORT", std::to_string(tls_port)},
                                                                                 {"RUNDIR", run.Path()}}));
    server = std::make_unique<ServerProcess>(std::vector<std::string>{"/usr/sbin/apache2", "-f", conf, "-DFOREGROUND"},
                                             run.Path() + "/output.log", port);
  }
  RunFolder run;
  int port = FreePort(), tls_port = FreePort();
  std::unique_ptr<ServerProcess> server;
};

// nginx around deploy/nginx-portal.conf (listening for TLS as well), and the
// fcgiwrap it passes the program's requests to, running four at once.
class Nginx {
 public:
  static constexpr bool kPassesChunkedBodiesOn = false;
  explicit Nginx(const ServedPortal& portal) {
    MakeCertificate(run.Path());
    const std::string socket = run.Path() + "/fcgiwrap.socket";
    fcgiwrap = std::make_unique<ServerProcess>(
        std::vector<std::string>{"/usr/sbin/fcgiwrap", "-s", "unix:" + socket, "-c", "4"},
        run.Path() + "/fcgiwrap.log");
    for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string address = "127.0.0.1:" + std::to_string(port);
    std::string site =
        FillTemplate(kSource + "/deploy/nginx-portal.conf",
                     {{"LISTEN", address}, {"PORTAL", portal.d.Dir()}, {"ODBCSYSINI", kOdbc}, {"FCGIWRAP", socket}});
    const std::string listen = "listen " + address + ";";
    const size_t at = site.find(listen);
    if (at == std::string::npos) throw std::runtime_error("the nginx site has no listen line");
    site.insert(at + listen.size(), "\n  listen 127.0.0.1:" + std::to_string(tls_port) + " ssl;");
    WriteFile(run.Path() + "/nginx-portal.conf", site);
    const std::string conf = run.Path() + "/nginx.conf";
    WriteFile(conf, FillTemplate(kSource + "/tests/e2e/servers/nginx.conf.in",
                                 {{"RUNDIR", run.Path()}, {"USER", geteuid() == 0 ? "user root root;" : ""}}));
    server =
        std::make_unique<ServerProcess>(std::vector<std::string>{"/usr/sbin/nginx", "-c", conf, "-p", run.Path() + "/",
                                                                 "-e", run.Path() + "/error.log", "-g", "daemon off;"},
                                        run.Path() + "/output.log", port);
  }
  RunFolder run;
  int port = FreePort(), tls_port = FreePort();
  std::unique_ptr<ServerProcess> fcgiwrap;
  std::unique_ptr<ServerProcess> server;
};

template <class Server>
class WebServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    portal_ = new ServedPortal;
    server_ = new Server(*portal_);
  }
  // A server that could not be set up fails each test instead of crashing it.
  void SetUp() override { ASSERT_NE(server_, nullptr) << "the portal or the server could not be set up"; }
  static void TearDownTestSuite() {
    delete server_;
    delete portal_;
    server_ = nullptr;
    portal_ = nullptr;
  }

  static int Port() { return server_->port; }
  static std::string Get(const std::string& target, const std::string& host = "127.0.0.1") {
    return HttpGet(server_->port, target, host);
  }
  static std::string Post(const std::string& content_type, const std::string& body) {
    return HttpExchange(server_->port, "POST /tessaro.cgi/CheckLogin HTTP/1.0\r\nHost: 127.0.0.1\r\nCookie: " +
                                           kSession + "\r\nContent-Type: " + content_type +
                                           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  }
  // What went wrong at the server, for a failure message.
  static std::string Logs() {
    std::string logs;
    for (const char* log : {"/error.log", "/output.log", "/fcgiwrap.log"}) logs += ReadFile(server_->run.Path() + log);
    return logs;
  }

  static inline ServedPortal* portal_ = nullptr;
  static inline Server* server_ = nullptr;
};

// The user cookie an answer sets, or "".
std::string UserCookie(const std::string& answer) {
  const std::string name = "Set-Cookie: ZNKCGIUSERID=";
  size_t at = answer.find(name);
  return at == std::string::npos ? "" : answer.substr(at + name.size(), answer.find(';', at) - at - name.size());
}

class Names {
 public:
  template <class T>
  static std::string GetName(int) {
    if (std::is_same_v<T, Lighttpd>) return "Lighttpd";
    if (std::is_same_v<T, Apache>) return "Apache";
    return "Nginx";
  }
};
using Servers = ::testing::Types<Lighttpd, Apache, Nginx>;
TYPED_TEST_SUITE(WebServer, Servers, Names);

TYPED_TEST(WebServer, ServesThePagesOfTheProgram) {
  std::string home = this->Get("/tessaro.cgi/Page");
  ASSERT_EQ(StatusOf(home), 200) << home << this->Logs();
  EXPECT_EQ(BodyOf(home), "HOME PAGE\n");
  EXPECT_NE(home.find("Set-Cookie: ZNKSESSIONID=%7b"), std::string::npos) << home;
  std::string unknown = this->Get("/tessaro.cgi/unknown");
  EXPECT_NE(unknown.find("<TITLE>Chyba</TITLE>"), std::string::npos) << unknown;
}

// A real account logs in with a small form, with a 1 MiB form and with a form
// carrying a 1 MiB file; the credentials come last, so they count only when
// the whole body reached the program.
TYPED_TEST(WebServer, AnAccountLogsInWithSmallAndLargeBodies) {
  const std::string credentials = "USRNAME=jan&PSWD=heslo&logdest=%2Fmain";
  const std::string boundary = "----portal-test-boundary-7d1f";
  std::string file(1 << 20, '\0');
  for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>(i * 7 % 251);
  std::string multipart = "--" + boundary +
                          "\r\nContent-Disposition: form-data; name=\"attachment\"; filename=\"big.bin\"\r\n"
                          "Content-Type: application/octet-stream\r\n\r\n" +
                          file + "\r\n";
  for (const auto& [name, value] : {std::pair{"USRNAME", "jan"}, {"PSWD", "heslo"}, {"logdest", "/main"}})
    multipart += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
  multipart += "--" + boundary + "--\r\n";
  const struct {
    const char* what;
    std::string content_type;
    std::string body;
  } cases[] = {
      {"small form", "application/x-www-form-urlencoded", credentials},
      {"1 MiB form", "application/x-www-form-urlencoded", "pad=" + std::string(1 << 20, 'x') + "&" + credentials},
      {"1 MiB upload", "multipart/form-data; boundary=" + boundary, multipart},
  };
  for (const auto& c : cases) {
    std::string answer = this->Post(c.content_type, c.body);
    EXPECT_EQ(StatusOf(answer), 200) << c.what << "\n" << answer.substr(0, 2000) << this->Logs();
    EXPECT_EQ(UserCookie(answer).size(), 32u) << c.what << "\n" << answer.substr(0, 2000);
    EXPECT_NE(answer.find("Welcome"), std::string::npos) << c.what;
  }
}

// A chunked body: the servers that buffer it pass its length and the login
// works; the one that passes it on as it comes gets the program's 411 page,
// never a login form that silently ignores the credentials.
TYPED_TEST(WebServer, AChunkedBodyLogsInOrIsRefusedClearly) {
  const std::string body = "USRNAME=jan&PSWD=heslo&logdest=%2Fmain";
  char size[16];
  std::snprintf(size, sizeof size, "%zx", body.size());
  std::string answer = HttpExchange(this->Port(),
                                    "POST /tessaro.cgi/CheckLogin HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                                    "Cookie: " +
                                        kSession +
                                        "\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                                        "Transfer-Encoding: chunked\r\n\r\n" +
                                        size + "\r\n" + body + "\r\n0\r\n\r\n");
  if (TypeParam::kPassesChunkedBodiesOn) {
    EXPECT_EQ(StatusOf(answer), 411) << answer << this->Logs();
    EXPECT_NE(answer.find("(Content-Length)"), std::string::npos) << answer;
  } else {
    EXPECT_EQ(StatusOf(answer), 200) << answer << this->Logs();
    EXPECT_EQ(UserCookie(answer).size(), 32u) << answer;
  }
}

// The portal's absolute addresses keep the port of the Host the browser
// used (which may differ from the server's own behind a forwarded port), and
// are https when the request came over TLS.
TYPED_TEST(WebServer, AbsoluteAddressesKeepTheHostAndTheScheme) {
  const std::string local = "127.0.0.1:" + std::to_string(this->Port());
  for (const std::string& host : {local, std::string("portal.test:8080")}) {
    std::string answer = this->Get("/tessaro.cgi/Page?ID=here", host);
    EXPECT_EQ(BodyOf(answer), "http://" + host + "/tessaro.cgi/Page?ID=here") << answer << this->Logs();
  }
  const std::string tls = "127.0.0.1:" + std::to_string(this->server_->tls_port);
  std::string secure = CommandOutput("curl -sk --max-time 20 'https://" + tls + "/tessaro.cgi/Page?ID=here'");
  EXPECT_EQ(secure, "https://" + tls + "/tessaro.cgi/Page?ID=here") << this->Logs();
}

// Spellings of one file's URL that a careless rule lets through: trailing
// slash or dot, encoded slash, dot segments, case, percent-encoded letters,
// a detour through the program's URL.
std::vector<std::string> Variants(const std::string& file) {
  std::string upper = file, encoded = "/";
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char* hex = "0123456789abcdef";
  for (unsigned char c : file) encoded += c == '/' ? std::string("/") : std::string{'%', hex[c >> 4], hex[c & 15]};
  return {"/" + file,
          "/" + file + "/",
          "/" + file + "%2f",
          "/" + file + "%2F",
          "/" + file + ".",
          "/" + file + "%20",
          "/" + file + "?x=1",
          "/./" + file,
          "//" + file,
          "/nothing/../" + file,
          "/" + upper,
          encoded,
          "/tessaro.cgi/../" + file,
          "/tessaro.cgi/%2e%2e/" + file,
          "/tessaro.cgi%2f..%2f" + file,
          "/tessaro.cgi/Page/../../" + file};
}

TYPED_TEST(WebServer, NothingButTheProgramIsReachable) {
  // Folders, and names near the program's own URL that must not reach its
  // file. (An encoded slash after the program's name may be a slash to the
  // server: such a URL runs the program, which is the one thing served.)
  std::vector<std::string> targets = {"/",
                                      "/templates/",
                                      "/qmxdata/",
                                      "/qmxdata",
                                      "/TESSARO.CGI",
                                      "/tessaro.cgi.",
                                      "/tessaro.cgi%20",
                                      "/Tessaro.cgi/Page",
                                      "/tessaro.cgix",
                                      "/tessaro.cgi~"};
  for (const auto& [file, content] : this->portal_->secrets)
    for (const std::string& target : Variants(file)) targets.push_back(target);
  for (const std::string& target : targets) {
    std::string answer = this->Get(target);
    int status = StatusOf(answer);
    EXPECT_TRUE(status == 400 || status == 403 || status == 404) << target << ":\n" << answer;
    EXPECT_EQ(answer.find("\x7f"
                          "ELF"),
              std::string::npos)
        << target << " gave the program's bytes";
    for (const auto& [file, content] : this->portal_->secrets)
      EXPECT_EQ(answer.find(content), std::string::npos) << target << " gave the bytes of " << file;
  }
}

}  // namespace
}  // namespace tessaro::testing
