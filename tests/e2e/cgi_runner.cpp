// Runs the real executable as a web server would: a clean environment with the
// CGI variables, the body on standard input, standard output captured.
#include "e2e/cgi_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tessaro::testing {
namespace {

// Feeds `input` to the child and collects both output streams without
// deadlocking, whatever order the child reads and writes in.
void Pump(int in_fd, const std::string& input, int out_fd, std::string& out, int err_fd, std::string& err) {
  size_t written = 0;
  if (input.empty()) {
    close(in_fd);
    in_fd = -1;
  }
  while (out_fd >= 0 || err_fd >= 0) {
    pollfd fds[3];
    int n = 0;
    if (in_fd >= 0) fds[n++] = {in_fd, POLLOUT, 0};
    if (out_fd >= 0) fds[n++] = {out_fd, POLLIN, 0};
    if (err_fd >= 0) fds[n++] = {err_fd, POLLIN, 0};
    if (poll(fds, n, 30000) <= 0) throw std::runtime_error("CGI process did not answer within 30 s");
    for (int i = 0; i < n; ++i) {
      if (!fds[i].revents) continue;
      if (fds[i].fd == in_fd) {
        ssize_t w = write(in_fd, input.data() + written, input.size() - written);
        if (w > 0) written += w;
        if (w < 0 || written == input.size()) {
          close(in_fd);
          in_fd = -1;
        }
        continue;
      }
      char buf[65536];
      ssize_t r = read(fds[i].fd, buf, sizeof buf);
      if (r <= 0) {
        close(fds[i].fd);
        (fds[i].fd == out_fd ? out_fd : err_fd) = -1;
      } else {
        (fds[i].fd == out_fd ? out : err).append(buf, r);
      }
    }
  }
  if (in_fd >= 0) close(in_fd);
}

}  // namespace

std::string BuiltCgiPath() { return std::string(TESSARO_BUILD_DIR) + "/tessaro.cgi"; }

Deployment::Deployment() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tessaro-e2e-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  dir_ = pattern;
  std::filesystem::create_symlink(BuiltCgiPath(), CgiPath());
  // The settings defaults file must exist; tests overwrite it as they need.
  WriteFile("tessaro0.ini", "[OPTIONS]\n");
}

Deployment::~Deployment() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

void Deployment::WriteFile(const std::string& relative_path, const std::string& content) const {
  std::filesystem::path p = std::filesystem::path(dir_) / relative_path;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << content;
}

CgiResponse Deployment::Run(std::map<std::string, std::string> env, const std::string& body) const {
  if (!env.count("QMXDATA")) env["QMXDATA"] = dir_ + "/qmxdata";
  std::vector<std::string> env_strings;
  for (const auto& [k, v] : env) env_strings.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (auto& s : env_strings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string program = CgiPath();
  char* argv[] = {program.data(), nullptr};

  int in[2], out[2], err[2];
  if (pipe(in) || pipe(out) || pipe(err)) throw std::runtime_error("pipe failed");
  signal(SIGPIPE, SIG_IGN);
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    if (chdir(dir_.c_str()) != 0) _exit(126);
    execve(program.c_str(), argv, envp.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  std::string stdout_text, stderr_text;
  Pump(in[1], body, out[0], stdout_text, err[0], stderr_text);
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  CgiResponse r = ParseCgiResponse(stdout_text);
  r.stderr_text = stderr_text;
  r.max_rss_kb = usage.ru_maxrss;
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return r;
}

namespace {
std::map<std::string, std::string> BaseEnv(const std::string& method, const std::string& path_info,
                                           const std::string& query) {
  return {{"GATEWAY_INTERFACE", "CGI/1.1"}, {"SERVER_PROTOCOL", "HTTP/1.1"}, {"REQUEST_METHOD", method},
          {"PATH_INFO", path_info},         {"QUERY_STRING", query},         {"SCRIPT_NAME", "/tessaro.cgi"},
          {"SERVER_NAME", "localhost"},     {"SERVER_PORT", "80"},           {"HTTP_HOST", "localhost"},
          {"REMOTE_ADDR", "127.0.0.1"}};
}
}  // namespace

CgiResponse Deployment::Get(const std::string& path_info, const std::string& query,
                            std::map<std::string, std::string> extra_env) const {
  auto env = BaseEnv("GET", path_info, query);
  for (auto& [k, v] : extra_env) env[k] = v;
  return Run(env);
}

CgiResponse Deployment::Post(const std::string& path_info, const std::string& body, const std::string& content_type,
                             std::map<std::string, std::string> extra_env) const {
  auto env = BaseEnv("POST", path_info, "");
  env["CONTENT_TYPE"] = content_type;
  env["CONTENT_LENGTH"] = std::to_string(body.size());
  for (auto& [k, v] : extra_env) env[k] = v;
  return Run(env, body);
}

}  // namespace tessaro::testing
