// The portal's error class. Every failure the system raises itself is an
// Exception carrying a message text; the web module traps exactly these and
// turns them into error pages, while anything else (std::bad_alloc, ...) passes
// through its traps to the process's last-resort output.
#pragma once

#include <stdexcept>
#include <string>

namespace tessaro {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}

  const std::string Message() const { return what(); }
  // The class name shown by the unhandled-failure page.
  virtual const char* ClassName() const noexcept { return "Exception"; }
};

// Raised by Format for a directive it does not know or an argument of the
// wrong kind: a programming error, never the visitor's.
class EFormatError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EFormatError"; }
};

// A text that is not a value of the type it must be converted to
// ("'abc' is not a valid integer value").
class EConvertError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EConvertError"; }
};

}  // namespace tessaro
