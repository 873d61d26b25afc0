// Helpers for driving the request and response objects through real file
// descriptors: a pipe holding a request body and an in-memory file that
// captures response bytes.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tessaro::testing {

// A pipe whose read end delivers `body` and then end of input (unless the
// write end is kept open). The body must fit the pipe buffer (64 KiB).
class BodyPipe {
 public:
  explicit BodyPipe(std::string_view body, bool close_writer = true) {
    EXPECT_EQ(pipe(fds_), 0);
    EXPECT_EQ(write(fds_[1], body.data(), body.size()), static_cast<ssize_t>(body.size()));
    if (close_writer) CloseWriter();
  }
  ~BodyPipe() {
    close(fds_[0]);
    CloseWriter();
  }
  int fd() const { return fds_[0]; }
  void CloseWriter() {
    if (fds_[1] >= 0) close(fds_[1]);
    fds_[1] = -1;
  }
  // Everything still unread in the pipe (closes the write end first).
  std::string Rest() {
    CloseWriter();
    std::string out;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fds_[0], buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(got));
    return out;
  }

 private:
  int fds_[2] = {-1, -1};
};

// An anonymous in-memory file standing in for standard output.
class CapturedOutput {
 public:
  CapturedOutput() : fd_(memfd_create("cgi-output", 0)) { EXPECT_GE(fd_, 0); }
  ~CapturedOutput() { close(fd_); }
  int fd() const { return fd_; }
  std::string Bytes() const {
    std::string out;
    char buffer[8192];
    off_t at = 0;
    ssize_t got;
    while ((got = pread(fd_, buffer, sizeof buffer, at)) > 0) {
      out.append(buffer, static_cast<size_t>(got));
      at += got;
    }
    return out;
  }

 private:
  int fd_;
};

}  // namespace tessaro::testing
