// Opening outside files: what is refused and how, under each way of opening,
// and the size cap of whole-file reads.
#include "util/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "util/exception.h"

namespace tessaro {
namespace {

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tessaro-file-io-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::string dir_;
};

template <class Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

TEST_F(FileIoTest, WhatIsNotARegularFileIsRefusedWithoutWaiting) {
  const std::string fifo = dir_ + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string through_file = Write("plain", "x") + "/below";
  const std::string missing = dir_ + "/missing";

  EXPECT_EQ(ErrorOf([&] { TInputFile::Open(dir_); }), "Cannot open file \"" + dir_ + "\". Not a regular file");
  EXPECT_EQ(ErrorOf([&] { TInputFile::Open(dir_, TDirectoryRefusal::IsADirectory); }),
            "Cannot open file \"" + dir_ + "\". Is a directory");
  EXPECT_EQ(ErrorOf([&] { TInputFile::Open(fifo, TDirectoryRefusal::IsADirectory); }),
            "Cannot open file \"" + fifo + "\". Not a regular file");
  EXPECT_EQ(ErrorOf([&] { TInputFile::Open(through_file); }),
            "Cannot open file \"" + through_file + "\". Not a directory");

  // Only a name that names nothing is absent; what is there but unusable still fails.
  EXPECT_FALSE(TInputFile::OpenIfExists(missing));
  EXPECT_FALSE(TInputFile::OpenIfExists(through_file));
  EXPECT_EQ(ErrorOf([&] { TInputFile::OpenIfExists(dir_); }), "Cannot open file \"" + dir_ + "\". Not a regular file");
  EXPECT_EQ(ErrorOf([&] { TInputFile::OpenIfExists(fifo); }), "Cannot open file \"" + fifo + "\". Not a regular file");

  EXPECT_FALSE(TInputFile::TryOpen(missing));
  EXPECT_FALSE(TInputFile::TryOpen(dir_));
  EXPECT_FALSE(TInputFile::TryOpen(fifo));
  ASSERT_TRUE(TInputFile::TryOpen(Write("t", "text")));
  EXPECT_EQ(TInputFile::TryOpen(dir_ + "/t")->ReadAll(4), "text");
}

TEST_F(FileIoTest, WholeFileReadsStopAtTheCap) {
  const std::string path = Write("f", "12345");
  EXPECT_EQ(TInputFile::Open(path).ReadAll(5), "12345");
  EXPECT_EQ(ErrorOf([&] { TInputFile::Open(path).ReadAll(4); }), "File \"" + path + "\" is too large");

  // A file that grows after it was opened is caught while it is read.
  TInputFile file = TInputFile::Open(path);
  EXPECT_EQ(file.SizeAtOpen(), 5u);
  std::ofstream(path, std::ios::binary | std::ios::app) << "678";
  EXPECT_EQ(ErrorOf([&] { file.ReadAll(6); }), "File \"" + path + "\" is too large");
}

TEST(FileDescriptorTest, ClosesItsDescriptorOnceWhereverItMoves) {
  auto is_open = [](int fd) { return fcntl(fd, F_GETFD) != -1; };
  int first = open("/dev/null", O_RDONLY | O_CLOEXEC);
  int second = open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(first, 0);
  ASSERT_GE(second, 0);
  {
    TFileDescriptor a(first);
    TFileDescriptor b(second);
    TFileDescriptor c(std::move(a));
    EXPECT_EQ(a.get(), -1);
    b = std::move(c);  // closes `second`, takes over `first`
    EXPECT_FALSE(is_open(second));
    EXPECT_EQ(b.get(), first);
    EXPECT_TRUE(is_open(first));
  }
  EXPECT_FALSE(is_open(first));
}

}  // namespace
}  // namespace tessaro
