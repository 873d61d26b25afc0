// tessaro-admin: the command-line tool for definition and user files.
#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "Usage: tessaro-admin COMMAND [ARGUMENTS]\n"
    "\n"
    "Reads, writes, converts and checks the portal's definition file (qmxdef.idt)\n"
    "and user file (user.idt).\n"
    "\n"
    "Commands:\n"
    "  help        show this text\n"
    "  version     show the program version\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "version") == 0) {
    std::printf("tessaro-admin %d.%d.%d.%d\n", TESSARO_VERSION_MAJOR, TESSARO_VERSION_MINOR, TESSARO_VERSION_PATCH,
                TESSARO_VERSION_BUILD);
    return 0;
  }
  bool asked = argc >= 2 && (std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0 ||
                             std::strcmp(argv[1], "-h") == 0);
  std::fputs(kUsage, asked ? stdout : stderr);
  return asked ? 0 : 2;
}
