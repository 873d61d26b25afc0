// Starting web servers for the whole-program tests and talking HTTP to them.
#include "e2e/web_server_harness.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tessaro::testing {

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

std::string HttpExchange(int port, const std::string& request) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  timeval tv{30, 0};
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(s);
    return "";
  }
  // A server may answer (413, 411) before the whole body is sent; what it
  // answered still counts.
  for (size_t sent = 0; sent < request.size();) {
    ssize_t n = send(s, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  std::string answer;
  char buf[65536];
  for (ssize_t n; (n = read(s, buf, sizeof buf)) > 0;) answer.append(buf, static_cast<size_t>(n));
  close(s);
  return answer;
}

std::string HttpGet(int port, const std::string& target, const std::string& host, const std::string& headers) {
  return HttpExchange(port, "GET " + target + " HTTP/1.0\r\nHost: " + host + "\r\n" + headers + "\r\n");
}

int StatusOf(const std::string& answer) {
  return answer.size() > 12 && answer.compare(0, 5, "HTTP/") == 0 ? std::atoi(answer.c_str() + 9) : 0;
}

std::string BodyOf(const std::string& answer) {
  size_t end = answer.find("\r\n\r\n");
  return end == std::string::npos ? "" : answer.substr(end + 4);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string FillTemplate(const std::string& path, const std::map<std::string, std::string>& values) {
  std::string text = ReadFile(path);
  if (text.empty()) throw std::runtime_error("cannot read " + path);
  for (const auto& [name, value] : values) {
    const std::string placeholder = "@" + name + "@";
    for (size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size()))
      text.replace(at, placeholder.size(), value);
  }
  return text;
}

RunFolder::RunFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tessaro-run-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  path_ = pattern;
}

RunFolder::~RunFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

namespace {

// The group leader of a server: it runs the server as its child and stays
// to stop the whole group should the test program end without doing so (a
// crash, an interrupted run), since workers such as fcgiwrap's outlive their
// parent. It ignores the group's SIGTERM and ends when the server has.
[[noreturn]] void WatchServer(pid_t owner, char* const* args, const std::string& log) {
  const pid_t server = fork();
  if (server == 0) {
    int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0 || dup2(fd, 1) < 0 || dup2(fd, 2) < 0) _exit(126);
    int null_fd = open("/dev/null", O_RDONLY);
    if (null_fd >= 0) dup2(null_fd, 0);
    execv(args[0], args);
    _exit(127);
  }
  signal(SIGTERM, SIG_IGN);
  for (bool stopping = false;;) {
    if (server < 0 || waitpid(server, nullptr, WNOHANG) == server) _exit(0);
    if (!stopping && getppid() != owner) {
      stopping = true;
      kill(0, SIGTERM);
      alarm(10);  // then SIGALRM ends the watcher; the server got its SIGTERM
    }
    usleep(20000);
  }
}

}  // namespace

ServerProcess::ServerProcess(const std::vector<std::string>& argv, const std::string& log, int port) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t owner = getpid();
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    setpgid(0, 0);
    WatchServer(owner, args.data(), log);
  }
  setpgid(pid_, pid_);  // also here, so that the group exists before any signal
  for (int i = 0; port != 0 && i < 200; ++i) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool up = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    if (up) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

ServerProcess::~ServerProcess() {
  kill(-pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);  // the watcher ends once the server has stopped
  kill(-pid_, SIGKILL);       // workers that outlived their parent
}

std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  pclose(pipe);
  return out;
}

}  // namespace tessaro::testing
