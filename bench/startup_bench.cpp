// Start-up cost of the CGI program: every request starts a new process, so
// the time from exec to exit is the floor of every page. Runs the portal's
// invalid-entry-point page and a bare "hello" CGI built with the same flags,
// interleaved, and prints the median times and their ratio.
//
//   startup_bench TESSARO_CGI HELLO_CGI [RUNS]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace {

double RunOnceMs(const char* program, char* const* envp) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  char* argv[] = {const_cast<char*>(program), nullptr};
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, program, &actions, nullptr, argv, envp) != 0) {
    std::perror(program);
    std::exit(1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  auto end = std::chrono::steady_clock::now();
  // A program that fails to start is fast; its time would be meaningless.
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s did not exit cleanly (status %d)\n", program, status);
    std::exit(1);
  }
  posix_spawn_file_actions_destroy(&actions);
  return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s TESSARO_CGI HELLO_CGI [RUNS]\n", argv[0]);
    return 2;
  }
  int runs = argc > 3 ? std::atoi(argv[3]) : 400;
  // A portal folder as deployed: the program copied in beside its settings.
  // The hello CGI is copied there too, so that both programs are files
  // written the same way (a large file just written by the linker starts
  // measurably slower than a copy of it on some file systems).
  std::string dir = std::string(P_tmpdir) + "/tessaro-bench-XXXXXX";
  if (!mkdtemp(dir.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string program = dir + "/tessaro.cgi";
  const std::string hello_program = dir + "/hello.cgi";
  for (auto [from, to] : {std::pair<std::string, std::string>{argv[1], program}, {argv[2], hello_program}}) {
    std::error_code error;
    if (!std::filesystem::copy_file(from, to, error)) {
      std::fprintf(stderr, "cannot copy %s: %s\n", from.c_str(), error.message().c_str());
      return 1;
    }
  }
  std::FILE* ini = std::fopen((dir + "/tessaro0.ini").c_str(), "w");
  if (ini) std::fclose(ini);
  std::string qmxdata = "QMXDATA=" + dir + "/qmxdata";
  const char* env[] = {"SERVER_PROTOCOL=HTTP/1.1",
                       "REQUEST_METHOD=GET",
                       "PATH_INFO=/nowhere",
                       "SCRIPT_NAME=/tessaro.cgi",
                       "HTTP_HOST=localhost",
                       "HTTP_COOKIE=ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d",
                       qmxdata.c_str(),
                       nullptr};
  char* const* envp = const_cast<char* const*>(env);
  std::vector<double> portal, hello;
  for (int i = 0; i < 20; ++i) RunOnceMs(program.c_str(), envp), RunOnceMs(hello_program.c_str(), envp);  // warm the caches
  for (int i = 0; i < runs; ++i) {
    portal.push_back(RunOnceMs(program.c_str(), envp));
    hello.push_back(RunOnceMs(hello_program.c_str(), envp));
  }
  double p = Median(portal), h = Median(hello);
  std::printf("startup: tessaro.cgi invalid-entry-point page  median %.3f ms over %d runs\n", p, runs);
  std::printf("startup: bare hello CGI (same flags)           median %.3f ms over %d runs\n", h, runs);
  std::printf("startup: ratio %.2fx (target at most 1.30x)\n", p / h);
  std::string cleanup = "rm -rf '" + dir + "'";
  if (std::system(cleanup.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", dir.c_str());
  return 0;
}
