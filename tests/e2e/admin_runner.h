// Runs the built tessaro-admin with arguments, as an administrator would.
#pragma once

#include <string>
#include <vector>

namespace tessaro::testing {

struct AdminResult {
  int exit_code = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Path of the built tessaro-admin.
std::string BuiltAdminPath();

// Runs tessaro-admin with `args` in the folder `dir`.
AdminResult RunAdmin(const std::vector<std::string>& args, const std::string& dir);

// A small portal described in the complete XML form: one application type,
// role and evidence item, the accounts jan/heslo and "Eva Dvořáková" (user
// name eva, password tajné), a role override.
std::string SamplePortalXml();

}  // namespace tessaro::testing
