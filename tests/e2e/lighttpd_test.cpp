// The executable behind a real web server: a portal folder served by
// scripts/serve (lighttpd with the project's configuration template) on a free
// loopback port, asked over HTTP.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "e2e/admin_runner.h"
#include "e2e/cgi_runner.h"

namespace tessaro::testing {
namespace {

int FreePort() {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  close(s);
  return ntohs(a.sin_port);
}

// One HTTP/1.0 exchange with the target sent byte for byte (no client-side
// clean-up of "..", "%2f" or case); returns the whole answer or "" when no
// connection.
std::string HttpGet(int port, const std::string& target) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  timeval tv{10, 0};
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(s);
    return "";
  }
  std::string request = "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
  if (write(s, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
    close(s);
    return "";
  }
  std::string answer;
  char buf[8192];
  for (ssize_t n; (n = read(s, buf, sizeof buf)) > 0;) answer.append(buf, n);
  close(s);
  return answer;
}

int StatusOf(const std::string& answer) {
  return answer.size() > 12 && answer.compare(0, 5, "HTTP/") == 0 ? std::atoi(answer.c_str() + 9) : 0;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// scripts/serve in the foreground for one portal folder, with its run folder
// in a temporary folder of its own (outside the portal folder).
class LighttpdServer {
 public:
  explicit LighttpdServer(const Deployment& d) : port_(FreePort()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaro-run-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    run_ = pattern;
    const std::string serve = std::string(TESSARO_SOURCE_DIR) + "/scripts/serve";
    const std::string port = std::to_string(port_);
    pid_ = fork();
    if (pid_ == 0) {
      // The script's own messages would only clutter the test output.
      if (freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
      execl(serve.c_str(), serve.c_str(), d.Dir().c_str(), port.c_str(), "--foreground", "--run-dir", run_.c_str(),
            nullptr);
      _exit(127);
    }
    for (int i = 0; i < 200 && HttpGet(port_, "/").empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ~LighttpdServer() {
    kill(pid_, SIGTERM);  // the script stops lighttpd on its way out
    waitpid(pid_, nullptr, 0);
    std::error_code ec;
    std::filesystem::remove_all(run_, ec);
  }
  int Port() const { return port_; }
  std::string Get(const std::string& target) const { return HttpGet(port_, target); }

 private:
  int port_;
  std::string run_;
  pid_t pid_ = -1;
};

TEST(Lighttpd, ServesTheInvalidEntryPointPage) {
  Deployment d;
  LighttpdServer server(d);
  for (const char* target : {"/tessaro.cgi/unknown", "/tessaro.cgi/Register?x=1"}) {
    std::string answer = server.Get(target);
    ASSERT_FALSE(answer.empty()) << "lighttpd did not answer on port " << server.Port();
    EXPECT_EQ(answer.rfind("HTTP/1.0 200 OK\r\n", 0), 0u) << answer;
    EXPECT_NE(answer.find("<TITLE>Chyba</TITLE>"), std::string::npos) << answer;
    EXPECT_NE(answer.find("Set-Cookie: ZNKSESSIONID=%7b"), std::string::npos) << answer;
  }
}

// A complete portal folder: settings, templates, definition and user files
// (the latter holding passwords), the start-up log folder, the program.
class ServedPortal : public ::testing::Test {
 protected:
  void SetUp() override {
    d.WriteFile("tessaro0.ini",
                "[OPTIONS]\npath_to_templates=templates\npgLOGIN=login.html\n"
                "[SIMPLEPAGES]\nDEFAULT=home.html\n; defaults-file-marker\n");
    d.WriteFile("tessaro.INI", "; overrides-file-marker\n");
    d.WriteFile("server.ini", "; server-file-marker\n");
    d.WriteFile("templates/home.html", "HOME PAGE\n");
    d.WriteFile("templates/login.html", "LOGIN FORM login-template-marker\n");
    d.WriteFile("qmxdata/earlier-log.txt", "start-up-log-marker\n");
    d.WriteFile("portal.xml", SamplePortalXml());
    AdminResult imported = RunAdmin({"import", "portal.xml", "."}, d.Dir());
    ASSERT_EQ(imported.exit_code, 0) << imported.err;
    for (const char* file : {"user.idt", "qmxdef.idt", "tessaro0.ini", "tessaro.INI", "server.ini",
                             "templates/login.html", "qmxdata/earlier-log.txt", "portal.xml"}) {
      files.emplace_back(file, ReadFile(d.Dir() + "/" + file));
      ASSERT_FALSE(files.back().second.empty()) << file;
    }
  }

  // Spellings of one file's URL that a careless rule lets through: trailing
  // slash or dot, encoded slash, dot segments, case, percent-encoded letters,
  // a detour through the program's URL.
  static std::vector<std::string> Variants(const std::string& file) {
    std::string upper = file, encoded = "/";
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const char* hex = "0123456789abcdef";
    for (unsigned char c : file)
      encoded += c == '/' ? std::string("/") : std::string{'%', hex[c >> 4], hex[c & 15]};
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

  Deployment d;
  std::vector<std::pair<std::string, std::string>> files;  // name, content
};

TEST_F(ServedPortal, OnlyTheProgramIsReachable) {
  LighttpdServer server(d);
  std::string home = server.Get("/tessaro.cgi/Page");
  ASSERT_EQ(StatusOf(home), 200) << "lighttpd on port " << server.Port() << ":\n" << home;
  EXPECT_NE(home.find("HOME PAGE"), std::string::npos) << home;

  // Folders, and names near the program's own URL that must not reach its
  // file. (An encoded slash after the program's name is a slash to lighttpd:
  // such a URL runs the program, which is the one thing served.)
  std::vector<std::string> targets = {"/",           "/templates/",   "/qmxdata/",      "/qmxdata",
                                      "/TESSARO.CGI", "/tessaro.cgi.", "/tessaro.cgi%20", "/Tessaro.cgi/Page",
                                      "/tessaro.cgix", "/tessaro.cgi~"};
  for (const auto& [file, content] : files)
    for (const std::string& target : Variants(file)) targets.push_back(target);
  for (const std::string& target : targets) {
    std::string answer = server.Get(target);
    int status = StatusOf(answer);
    EXPECT_TRUE(status == 400 || status == 403 || status == 404) << target << ":\n" << answer;
    EXPECT_EQ(answer.find("\x7f" "ELF"), std::string::npos) << target << " gave the program's bytes";
    for (const auto& [file, content] : files)
      EXPECT_EQ(answer.find(content), std::string::npos) << target << " gave the bytes of " << file;
  }
}

}  // namespace
}  // namespace tessaro::testing
