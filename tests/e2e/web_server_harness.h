// Real web servers in front of the built program: free loopback ports, a run
// folder per server, server processes started and stopped as a group, and a
// plain HTTP client that sends its request byte for byte.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace tessaro::testing {

// A TCP port on 127.0.0.1 that was free a moment ago.
int FreePort();

// One exchange over a new connection to 127.0.0.1:port: `request` is sent as
// it is (no client-side clean-up of "..", "%2f" or case) and the whole answer
// read until the server closes; "" when no connection could be made.
std::string HttpExchange(int port, const std::string& request);
// An HTTP/1.0 GET of `target` with this Host header and further header lines
// (each ending in CR LF).
std::string HttpGet(int port, const std::string& target, const std::string& host = "127.0.0.1",
                    const std::string& headers = "");
// The status code of an answer, 0 when it is none.
int StatusOf(const std::string& answer);
// The part of an answer after its header block.
std::string BodyOf(const std::string& answer);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
// The file's text with every @NAME@ of `values` replaced by its value.
std::string FillTemplate(const std::string& path, const std::map<std::string, std::string>& values);

// A new folder under the temporary folder, removed with everything in it.
class RunFolder {
 public:
  RunFolder();
  ~RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// A program running in a process group of its own (servers fork workers
// that must stop with it), with both output streams appended to `log`. The
// group is stopped when this object goes, or soon after the test program
// ends without that.
class ServerProcess {
 public:
  // Starts `argv`; when `port` is given, waits up to ten seconds until it
  // accepts connections.
  ServerProcess(const std::vector<std::string>& argv, const std::string& log, int port = 0);
  // Terminates the group and waits for the program.
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

 private:
  pid_t pid_ = -1;
};

// Runs a command line through the shell and returns its standard output.
std::string CommandOutput(const std::string& command);

}  // namespace tessaro::testing
