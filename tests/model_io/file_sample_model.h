// A small model with one element of every stored class, the values that
// exercise every property kind, and helpers to write files of it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/connection_manager.h"
#include "model/inet_mgr_model.h"
#include "model/io/model_file_writer.h"

namespace tessaro::file_test {

inline constexpr const char* kDateEditor = "{4A73EC23-6DAB-41FC-8A39-15099BFBB2A7}";
inline constexpr const char* kLookupEditor = "{A43571D9-5341-4C1F-9E4F-AA182B342A77}";

// The sample's content (ids in braces):
//   type {T1} with parameter types {PT1} (date editor) and {PT2} (lookup)
//   role {R1} of {T1}; items {I1}, {I2} of {R1}; page {P1}, action {AC1},
//   switch {S1} and parameter {D1} (type {PT1}) of {I1}
//   account {A1} jan/heslo of {R1} with six parameter values (every variant
//   type), account {A2} of {R1}; role override {O1} of {R1} with two notice
//   lines; evidence override {E1} of {I1}
// Texts hold windows-1250 letters. The model is linked and unmodified.
void FillSampleModel(TInetMgrModel& model);

// Connection settings that differ from the defaults.
std::unique_ptr<TConnectionManager> SampleConnection(const std::string& name);

// A temporary folder removed with the object.
class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  // The folder, ending with "/".
  const std::string& Path() const { return path_; }
  void Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;  // the folder, ending with "/"
};

// A model in user-data mode loaded from `folder` with both connections.
struct TLoaded {
  TInetMgrModel model;
  TConnectionManager definition;
  TConnectionManager user;
};
std::unique_ptr<TLoaded> LoadFolder(const std::string& folder);

}  // namespace tessaro::file_test
