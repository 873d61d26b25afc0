// T_GlobalSettings: the process's two sets of connection settings. The
// definition file brings the one used to prepare the SQL of evidence items
// while definitions are edited (DefinitionConnection); the user file, with
// server.ini over it, brings the one every page of the portal reads and
// writes its data through (UserConnection).
//
// One object per process, made on first use; the loader of the two files
// fills it, the page contexts and the application types open connections
// from it.
#pragma once

#include <memory>

#include "model/connection_manager.h"

namespace tessaro {

class T_GlobalSettings {
 public:
  // Requests of AccessInstance.
  static constexpr int kCurrent = 0;  // the current object, possibly null
  static constexpr int kCreate = 1;   // the current object, made first when there is none
  static constexpr int kForget = 2;   // destroys the current object; returns null

  // Throws Exception "Illegal request <n> in AccessInstance" for any other request.
  static T_GlobalSettings* AccessInstance(int request);
  // AccessInstance(kCreate).
  static T_GlobalSettings& Instance();

  T_GlobalSettings();
  ~T_GlobalSettings();
  T_GlobalSettings(const T_GlobalSettings&) = delete;
  T_GlobalSettings& operator=(const T_GlobalSettings&) = delete;

  TConnectionManager& DefinitionConnection() const { return *definition_connection_; }
  TConnectionManager& UserConnection() const { return *user_connection_; }

 private:
  std::unique_ptr<TConnectionManager> definition_connection_;  // from the definition file
  std::unique_ptr<TConnectionManager> user_connection_;        // from the user file and server.ini
};

}  // namespace tessaro
