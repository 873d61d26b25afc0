// Reading the definition file ("qmxdef.idt") and the user file ("user.idt")
// into the portal's model, and the per-request load of both from the
// program's folder.
//
// Failures are Exceptions whose messages are the ones the error page shows:
// "Neplatný typ souboru" for a file that is not one of ours, "Data byla
// uložena novější verzí softwaru. Nelze načíst." for a newer format, and
// "Vadný definiční soubor. Nelze načíst." / "Vadný uživatelský soubor. Nelze
// načíst." for a damaged body (all windows-1250). A damaged definition body
// leaves the model cleared, a damaged user body leaves it without user data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

class TConnectionManager;
class TInetMgrModel;

inline constexpr uint32_t kModelFileMagic = 0xA3211E11;
inline constexpr size_t kModelFileHeaderSize = 507;
inline constexpr uint16_t kHighestModelFileVersion = 18;
// The largest file, and the largest inflated body, that is read into memory.
inline constexpr size_t kMaxModelFileBytes = size_t{256} << 20;

// The connection settings a pair of files carries. A null pointer reads the
// stored object and drops it.
struct TModelConnections {
  TConnectionManager* definition = nullptr;  // from the definition file
  TConnectionManager* user = nullptr;        // from the user file
};

// What the header of a file says.
struct TModelFileHeader {
  uint16_t version = 0;
  bool compressed = false;
};

// The folder part of `user_file_name` (up to its last "/" or "\") followed
// by "qmxdef.idt"; the program's folder when `user_file_name` is empty.
std::string DefinitionFileName(std::string_view user_file_name);

// Appends the file's bytes to `buffer`, the body inflated when the header
// says it is compressed. A missing file (or an empty name) appends nothing.
// Throws Exception when the file cannot be read, is larger than
// kMaxModelFileBytes (inflated too), or its compressed body is not zlib data.
void ReadFileToStream(const std::string& file_name, std::vector<uint8_t>& buffer);

// The header of a buffer filled by ReadFileToStream. Throws "Neplatný typ
// souboru" when it is shorter than a header or lacks the magic number, and
// the newer-version message for a version above kHighestModelFileVersion.
TModelFileHeader CheckModelFileHeader(const std::vector<uint8_t>& buffer);

// Reads the definition and user buffers (either may be null: not given)
// into `model`, with the loading state set throughout. An empty definition
// buffer clears the model; an empty user buffer reads nothing. Neither
// links the model.
void ReadStreams(TInetMgrModel& model, const std::vector<uint8_t>* definition, const std::vector<uint8_t>* user,
                 const TModelConnections& connections);

// Loads the model: in definitions mode `file_name` is the definition file;
// in user-data mode it is the user file and the definition file of the same
// folder comes with it. Then links the model, runs the after-load step and
// clears Modified. Linking and after-load failures propagate as they are.
void LoadFromFile(TInetMgrModel& model, const std::string& file_name, const TModelConnections& connections);

// The portal's load on every request: the model in user-data mode from
// "user.idt" (and "qmxdef.idt") in `folder` (ending with "/"), then the
// [CONNECTION] section of "server.ini" there, when it exists, over the
// user connection settings.
void LoadPortalModel(TInetMgrModel& model, const std::string& folder, const TModelConnections& connections);

}  // namespace tessaro
