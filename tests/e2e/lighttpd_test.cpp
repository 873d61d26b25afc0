// The executable behind a real web server: lighttpd on a free loopback port
// with the CGI in its document folder, asked over HTTP.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

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

// One HTTP/1.0 exchange; returns the whole answer or "" when no connection.
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

class LighttpdServer {
 public:
  explicit LighttpdServer(const Deployment& d) : port_(FreePort()) {
    std::string run = d.Dir() + "/.run";
    std::string conf = run + "/lighttpd.conf";
    std::ifstream in(std::string(TESSARO_SOURCE_DIR) + "/scripts/lighttpd.conf.in");
    std::stringstream text;
    text << in.rdbuf();
    std::string c = text.str();
    for (auto [key, value] : {std::pair<std::string, std::string>{"@ROOT@", d.Dir()},
                              {"@PORT@", std::to_string(port_)},
                              {"@RUNDIR@", run},
                              {"@ODBCSYSINI@", std::string(TESSARO_SOURCE_DIR) + "/scripts/odbc"}}) {
      for (size_t p; (p = c.find(key)) != std::string::npos;) c.replace(p, key.size(), value);
    }
    d.WriteFile(".run/lighttpd.conf", c);
    pid_ = fork();
    if (pid_ == 0) {
      execlp("lighttpd", "lighttpd", "-D", "-f", conf.c_str(), nullptr);
      execl("/usr/sbin/lighttpd", "lighttpd", "-D", "-f", conf.c_str(), nullptr);
      _exit(127);
    }
    for (int i = 0; i < 100 && HttpGet(port_, "/").empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ~LighttpdServer() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  int Port() const { return port_; }

 private:
  int port_;
  pid_t pid_ = -1;
};

TEST(Lighttpd, ServesTheInvalidEntryPointPage) {
  Deployment d;
  LighttpdServer server(d);
  for (const char* target : {"/tessaro.cgi/unknown", "/tessaro.cgi/Register?x=1"}) {
    std::string answer = HttpGet(server.Port(), target);
    ASSERT_FALSE(answer.empty()) << "lighttpd did not answer on port " << server.Port();
    EXPECT_EQ(answer.rfind("HTTP/1.0 200 OK\r\n", 0), 0u) << answer;
    EXPECT_NE(answer.find("<TITLE>Chyba</TITLE>"), std::string::npos) << answer;
    EXPECT_NE(answer.find("Set-Cookie: ZNKSESSIONID=%7b"), std::string::npos) << answer;
  }
}

}  // namespace
}  // namespace tessaro::testing
