// tessaro-admin: the command-line tool with which administrators make,
// inspect, convert and check the portal's definition file (qmxdef.idt) and
// user file (user.idt). The files hold windows-1250 text; everything the tool
// prints is UTF-8, and its XML documents are UTF-8 too.
//
// Exit codes: 0 done (check: no problems), 1 a file could not be read or
// written or check found problems, 2 the command line was wrong.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/connection_manager.h"
#include "model/evidence_item.h"
#include "model/inet_mgr_model.h"
#include "model/io/model_check.h"
#include "model/io/model_dump.h"
#include "model/io/model_file.h"
#include "model/io/model_file_writer.h"
#include "model/io/model_xml.h"
#include "model/user_account.h"
#include "util/codepage.h"
#include "util/crypto.h"
#include "util/exception.h"
#include "util/file_io.h"
#include "util/guid.h"
#include "util/module_path.h"
#include "util/text.h"

namespace tessaro {
namespace {

const char kUsage[] =
    "Usage: tessaro-admin COMMAND [ARGUMENTS]\n"
    "\n"
    "Reads, writes, converts and checks the portal's definition file (qmxdef.idt)\n"
    "and user file (user.idt).\n"
    "\n"
    "Commands:\n"
    "  dump FILE [--definition | --user]\n"
    "      List a definition or user file: format version, compression, the\n"
    "      connection settings, and every element with the properties that\n"
    "      differ from their defaults and the elements it lists. A file named\n"
    "      user*.idt is read as a user file unless --definition is given.\n"
    "  export DEFINITION_FILE [USER_FILE] [-o XML_FILE]\n"
    "      Write both files as one XML document (standard output without -o).\n"
    "  import XML_FILE FOLDER [--version N] [--user-version N] [--uncompressed]\n"
    "         [--force]\n"
    "      Write FOLDER/qmxdef.idt and FOLDER/user.idt from an XML document, in\n"
    "      format version N (1 to 18, default 18) with compressed bodies unless\n"
    "      --uncompressed; --user-version sets the user file's version alone.\n"
    "      A model the portal could not load is refused unless --force. The new\n"
    "      files replace the folder's only once they read back.\n"
    "  check DEFINITION_FILE [USER_FILE]\n"
    "      Report what would make the portal fail or hide something: dangling\n"
    "      references, duplicate identifiers, detail pages without their\n"
    "      evidence item, accounts without a role or that cannot log in,\n"
    "      parameter types naming their editor in other letter case.\n"
    "      Exit code 1 when anything is found.\n"
    "  new-id [COUNT]\n"
    "      Print new element identifiers (GUIDs), one per line.\n"
    "  new-key\n"
    "      Print a new random key for the option user_cookie_key (32 bytes in\n"
    "      hexadecimal); with it the portal signs its user cookies.\n"
    "  help      show this text\n"
    "  version   show the program version\n";

// Raised for a wrong command line; main prints the usage.
struct TUsageError {
  std::string message;  // what was wrong
};

void Print(std::string_view cp1250) { std::fputs(EncodeOutput(cp1250).c_str(), stdout); }

// A failure that names the file it concerns.
[[noreturn]] void FileError(const std::string& file, const std::string& what) { throw Exception(file + ": " + what); }

std::vector<uint8_t> ReadModelFile(const std::string& file) {
  if (!TInputFile::OpenIfExists(file)) FileError(file, "no such file");
  std::vector<uint8_t> buffer;
  try {
    ReadFileToStream(file, buffer);
    if (buffer.empty()) FileError(file, "the file is empty");
    CheckModelFileHeader(buffer);
  } catch (const Exception& error) {
    if (std::string_view(error.what()).find(file) != std::string_view::npos) throw;
    FileError(file, error.what());
  }
  return buffer;
}

// The two files read into a model (the user file in user-data mode), not
// linked. Messages name the file that failed.
struct TReadFiles {
  TInetMgrModel model;
  TConnectionManager definition;
  TConnectionManager user;
};

void ReadInto(TReadFiles& files, const std::string* definition_file, const std::string* user_file) {
  files.model.Mode = user_file != nullptr ? TInetMgrModel::kUserDataMode : TInetMgrModel::kDefinitionsMode;
  // A user file read alone shows only what it holds, not the built-in types.
  if (definition_file == nullptr) files.model.ClearAll();
  std::vector<uint8_t> definition, user;
  if (definition_file != nullptr) definition = ReadModelFile(*definition_file);
  if (user_file != nullptr) user = ReadModelFile(*user_file);
  const TModelConnections connections{&files.definition, &files.user};
  if (definition_file != nullptr) {
    try {
      ReadStreams(files.model, &definition, nullptr, connections);
    } catch (const Exception& error) {
      FileError(*definition_file, error.what());
    }
  }
  if (user_file != nullptr) {
    try {
      ReadStreams(files.model, nullptr, &user, connections);
    } catch (const Exception& error) {
      FileError(*user_file, error.what());
    }
  }
}

// Reads a pair of files into `model` as the portal reads its folder on
// every request; without `link`, only reads them.
void ReadBack(const std::string& definition_file, const std::string& user_file, bool link, TInetMgrModel& model) {
  model.Mode = TInetMgrModel::kUserDataMode;
  std::vector<uint8_t> definition, user;
  ReadFileToStream(definition_file, definition);
  ReadFileToStream(user_file, user);
  ReadStreams(model, &definition, &user, {});
  if (!link) return;
  model.LinkAll();
  model.AfterLoadAll();
}

bool LooksLikeUserFile(const std::string& file) {
  const std::string name = file.substr(file.find_last_of("/\\") + 1);
  return StartsText("user", name);
}

// ---------------------------------------------------------------------------
// Commands

int Dump(const std::vector<std::string>& args) {
  std::optional<std::string> file;
  std::optional<bool> user;
  for (const std::string& arg : args) {
    if (arg == "--user")
      user = true;
    else if (arg == "--definition")
      user = false;
    else if (!file && arg.rfind("--", 0) != 0)
      file = arg;
    else
      throw TUsageError{"dump: unexpected argument " + arg};
  }
  if (!file) throw TUsageError{"dump: which file?"};
  const bool is_user = user.value_or(LooksLikeUserFile(*file));
  const std::vector<uint8_t> bytes = ReadModelFile(*file);
  const TModelFileHeader header = CheckModelFileHeader(bytes);
  TReadFiles files;
  ReadInto(files, is_user ? nullptr : &*file, is_user ? &*file : nullptr);
  std::string out = "File: " + *file + "\n";
  out += std::string("Kind: ") + (is_user ? "user file" : "definition file") + "\n";
  out += "Format version: " + std::to_string(header.version) + "\n";
  out += std::string("Compressed: ") + (header.compressed ? "yes" : "no") + "\n";
  out += "Body: " + std::to_string(bytes.size() - kModelFileHeaderSize) + " bytes\n";
  std::string link_failure;
  try {
    files.model.LinkAll();
  } catch (const std::exception& error) {
    link_failure = error.what();
  }
  out += "Counts:\n";
  for (int l = 0; l < files.model.ListCount(); ++l) {
    const T_V_AbstractDataList& list = *files.model.ListAt(l);
    if (!list.Fixed && list.Count() > 0)
      out += "  " + list.ElementClassName() + ": " + std::to_string(list.Count()) + "\n";
  }
  out += DumpConnection(is_user ? "Connection (user data)" : "Connection (definitions)",
                        is_user ? files.user : files.definition);
  for (int l = 0; l < files.model.ListCount(); ++l) {
    const T_V_AbstractDataList& list = *files.model.ListAt(l);
    if (!list.Fixed && list.Count() > 0) out += DumpList(list);
  }
  if (!link_failure.empty()) out += "Linking failed: " + link_failure + "\n";
  Print(out);
  return 0;
}

int Export(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  std::optional<std::string> output;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size())
      output = args[++i];
    else if (args[i].rfind("-", 0) == 0)
      throw TUsageError{"export: unexpected argument " + args[i]};
    else
      files.push_back(args[i]);
  }
  if (files.empty() || files.size() > 2) throw TUsageError{"export: give the definition file and the user file"};
  TReadFiles read;
  ReadInto(read, &files[0], files.size() > 1 ? &files[1] : nullptr);
  try {
    read.model.LinkAll();
    read.model.AfterLoadAll();
  } catch (const std::exception& error) {
    throw Exception(std::string("cannot export: ") + error.what() + " (tessaro-admin check tells more)");
  }
  const std::string document = SaveModelDocument(read.model, read.definition, read.user);
  if (output)
    WriteFileReplacing(*output, document);
  else
    std::fputs(document.c_str(), stdout);
  return 0;
}

uint16_t VersionArgument(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 1 || value > kHighestModelFileVersion)
    throw TUsageError{"import: the version must be a number from 1 to " + std::to_string(kHighestModelFileVersion)};
  return static_cast<uint16_t>(value);
}

int Import(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  TModelFileFormat definition_format, user_format;
  std::optional<uint16_t> user_version;
  bool force = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "--version" || args[i] == "--user-version") && i + 1 < args.size()) {
      const uint16_t version = VersionArgument(args[i + 1]);
      (args[i] == "--version" ? definition_format.version : user_version.emplace()) = version;
      ++i;
    } else if (args[i] == "--uncompressed") {
      definition_format.compressed = user_format.compressed = false;
    } else if (args[i] == "--force") {
      force = true;
    } else if (args[i].rfind("--", 0) == 0) {
      throw TUsageError{"import: unexpected argument " + args[i]};
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) throw TUsageError{"import: give the XML file and the folder"};
  user_format.version = user_version.value_or(definition_format.version);
  const std::string& xml_file = positional[0];
  const std::string folder = IncludeBackslash(positional[1]);
  const std::string document = TInputFile::Open(xml_file).ReadAll(kMaxModelFileBytes);
  TInetMgrModel model;
  TConnectionManager definition, user;
  try {
    LoadModelDocument(document, model, definition, user);
  } catch (const std::exception& error) {
    FileError(xml_file, error.what());
  }
  for (const std::string& problem : CheckEditorLetterCase(model))
    std::fprintf(stderr, "tessaro-admin: warning: %s\n", EncodeOutput(problem).c_str());
  // The portal runs the after-load step on every request; a model that fails
  // it would take the portal down, so it is only written when asked to.
  bool loads = true;
  try {
    model.AfterLoadAll();
  } catch (const std::exception& error) {
    if (!force)
      FileError(xml_file, std::string("the portal could not load this model: ") + error.what() +
                              "; nothing written (--force writes it anyway)");
    std::fprintf(stderr, "tessaro-admin: warning: the portal will not load these files: %s\n",
                 EncodeOutput(error.what()).c_str());
    loads = false;
  }
  // The portal may be reading the folder meanwhile: the new pair is written
  // beside the files it replaces and read back there as every request reads
  // it; only a pair that reads back replaces the old one, which otherwise
  // stays as it was.
  const std::string definition_file = folder + "qmxdef.idt";
  const std::string user_file = folder + "user.idt";
  TStagedFile new_definition(definition_file, DefinitionFileBytes(model, definition, definition_format));
  TStagedFile new_user(user_file, UserFileBytes(model, user, user_format));
  TInetMgrModel written;
  try {
    ReadBack(new_definition.StagedName(), new_user.StagedName(), loads, written);
    if (written.EvidenceItems().Count() != model.EvidenceItems().Count() ||
        written.UserAccounts().Count() != model.UserAccounts().Count())
      throw Exception("evidence items or accounts are missing");
  } catch (const std::exception& error) {
    FileError(xml_file, std::string("the files made from it do not read back: ") + error.what() +
                            "; nothing replaced");
  }
  // The definitions first: a user file names definitions, and a change most
  // often adds some, so a request that falls between the two renames most
  // likely still finds everything its user file names. Such a request sees
  // the new definitions with the old accounts; the next sees the new pair.
  new_definition.Commit();
  try {
    new_user.Commit();
  } catch (const std::exception& error) {
    throw Exception(std::string(error.what()) + "; " + definition_file + " is already the new one");
  }
  auto describe = [](const std::string& file, TModelFileFormat format) {
    return file + " (version " + std::to_string(format.version) + (format.compressed ? ", compressed)" : ")");
  };
  Print("Wrote " + describe(definition_file, definition_format) +
        ", evidence items: " + std::to_string(written.EvidenceItems().Count()) + "\n");
  Print("Wrote " + describe(user_file, user_format) + ", accounts: " + std::to_string(written.UserAccounts().Count()) +
        "\n");
  return 0;
}

int Check(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) throw TUsageError{"check: give the definition file and the user file"};
  for (const std::string& arg : args)
    if (arg.rfind("--", 0) == 0) throw TUsageError{"check: unexpected argument " + arg};
  TReadFiles files;
  ReadInto(files, &args[0], args.size() > 1 ? &args[1] : nullptr);
  const std::vector<std::string> problems = CheckModel(files.model);
  for (const std::string& problem : problems) Print(problem + "\n");
  if (problems.empty()) {
    Print("No problems found.\n");
    return 0;
  }
  Print(std::to_string(problems.size()) + (problems.size() == 1 ? " problem" : " problems") + " found.\n");
  return 1;
}

int NewId(const std::vector<std::string>& args) {
  long count = 1;
  if (args.size() > 1) throw TUsageError{"new-id: at most one argument"};
  if (!args.empty()) {
    char* end = nullptr;
    count = std::strtol(args[0].c_str(), &end, 10);
    if (*end != '\0' || count < 1 || count > 100000) throw TUsageError{"new-id: COUNT must be 1 to 100000"};
  }
  for (long i = 0; i < count; ++i) std::printf("%s\n", GUIDToString(CreateGUID()).c_str());
  return 0;
}

int NewKey(const std::vector<std::string>& args) {
  if (!args.empty()) throw TUsageError{"new-key: no arguments"};
  std::printf("%s\n", HexText(RandomBytes(32)).c_str());
  return 0;
}

int Run(int argc, char** argv) {
  const std::string command = argc >= 2 ? argv[1] : "";
  const std::vector<std::string> args(argv + std::min(argc, 2), argv + argc);
  if (command == "version") {
    std::printf("tessaro-admin %d.%d.%d.%d\n", TESSARO_VERSION_MAJOR, TESSARO_VERSION_MINOR, TESSARO_VERSION_PATCH,
                TESSARO_VERSION_BUILD);
    return 0;
  }
  if (command == "help" || command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "dump") return Dump(args);
  if (command == "export") return Export(args);
  if (command == "import") return Import(args);
  if (command == "check") return Check(args);
  if (command == "new-id") return NewId(args);
  if (command == "new-key") return NewKey(args);
  throw TUsageError{command.empty() ? "" : "unknown command " + command};
}

}  // namespace
}  // namespace tessaro

int main(int argc, char** argv) {
  try {
    return tessaro::Run(argc, argv);
  } catch (const tessaro::TUsageError& error) {
    if (!error.message.empty()) std::fprintf(stderr, "tessaro-admin: %s\n\n", error.message.c_str());
    std::fputs(tessaro::kUsage, stderr);
    return 2;
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "tessaro-admin: %s\n", tessaro::EncodeOutput(error.what()).c_str());
    return 1;
  }
}
