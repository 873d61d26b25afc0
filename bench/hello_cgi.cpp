// The smallest C++ CGI program: the yardstick for the portal's start-up cost.
#include <cstdio>
#include <string>

int main() {
  std::string body = "<html><body>hello</body></html>";
  std::printf("Status: 200 OK\r\nContent-Type: text/html\r\nContent-Length: %zu\r\n\r\n%s", body.size(), body.c_str());
  return 0;
}
