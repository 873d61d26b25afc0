// The failed-login counts: the window, the two keys, and a file that keeps
// its size and survives damage and planted links.
#include "web/login_throttle.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "settings/settings_test_support.h"

namespace tessaro {
namespace {

using settings_test::ScratchDir;

constexpr int64_t kT0 = 1'800'000'000;

class LoginThrottleTest : public ::testing::Test {
 protected:
  std::string File() const { return dir_.Path("loginfail.dat"); }
  void Fail(const std::string& name, const std::string& addr, int times, int64_t now = kT0) const {
    for (int i = 0; i < times; ++i) TLoginThrottle(File(), name, addr, now).RecordFailure();
  }
  bool Refused(const std::string& name, const std::string& addr, int64_t now = kT0) const {
    TLoginThrottle throttle(File(), name, addr, now);
    EXPECT_TRUE(throttle.Active()) << throttle.Problem();
    return throttle.Refused();
  }
  ScratchDir dir_;
};

TEST_F(LoginThrottleTest, TenFailuresCloseTheNameAndTheAddressForTheRestOfTheWindow) {
  Fail("jan", "10.0.0.1", 9);
  EXPECT_FALSE(Refused("jan", "10.0.0.1"));
  Fail("jan", "10.0.0.1", 1, kT0 + 100);
  const struct {
    const char* name;
    const char* addr;
    int64_t now;
    bool refused;
  } cases[] = {
      {"jan", "10.0.0.1", kT0 + 100, true},
      {"jan", "10.0.0.2", kT0 + 100, true},   // the name, from anywhere
      {"eva", "10.0.0.1", kT0 + 100, true},   // the address, for any name
      {"eva", "10.0.0.2", kT0 + 100, false},
      {"Jan", "10.0.0.2", kT0 + 100, false},  // names are exact, like the login
      {"jan", "10.0.0.1", kT0 + kLoginFailureWindow - 1, true},
      {"jan", "10.0.0.1", kT0 + kLoginFailureWindow, false},  // 15 minutes after the first failure
  };
  for (const auto& c : cases) EXPECT_EQ(Refused(c.name, c.addr, c.now), c.refused) << c.name << " " << c.addr;
  // A failure after the window starts a new count.
  Fail("jan", "10.0.0.1", 1, kT0 + kLoginFailureWindow);
  EXPECT_FALSE(Refused("jan", "10.0.0.1", kT0 + kLoginFailureWindow));
}

TEST_F(LoginThrottleTest, SuccessForgetsTheNameButNotTheAddress) {
  Fail("jan", "10.0.0.1", 9);
  TLoginThrottle(File(), "jan", "10.0.0.1", kT0).RecordSuccess();
  Fail("jan", "10.0.0.2", 9);
  EXPECT_FALSE(Refused("jan", "10.0.0.3"));
  Fail("eva", "10.0.0.1", 1);
  EXPECT_TRUE(Refused("petr", "10.0.0.1"));
}

TEST_F(LoginThrottleTest, AddressesOfOneIpv6NetworkCountTogether) {
  EXPECT_EQ(ClientAddressKey("2001:db8:1:2:aaaa::1"), ClientAddressKey("2001:db8:1:2:bbbb::2"));
  EXPECT_NE(ClientAddressKey("2001:db8:1:2::1"), ClientAddressKey("2001:db8:1:3::1"));
  EXPECT_NE(ClientAddressKey("::ffff:10.0.0.1"), ClientAddressKey("::ffff:10.0.0.2"));
  EXPECT_EQ(ClientAddressKey("10.0.0.1"), "10.0.0.1");
  Fail("a", "2001:db8::1", 5);
  Fail("b", "2001:db8::2", 5);
  EXPECT_TRUE(Refused("c", "2001:db8::3"));
}

TEST_F(LoginThrottleTest, TheFileKeepsItsSizeWhateverVisitorsSend) {
  Fail("jan", "10.0.0.1", 10);
  const auto size = std::filesystem::file_size(File());
  for (int i = 0; i < 3000; ++i) Fail(std::string(i % 50 + 1, 'x') + std::to_string(i), "10.1.0." + std::to_string(i), 1);
  EXPECT_EQ(std::filesystem::file_size(File()), size);
  EXPECT_LT(size, 200'000u);
}

TEST_F(LoginThrottleTest, DamagedFilesStartAfreshAndLinksAreNotFollowed) {
  for (const std::string& junk : {std::string(), std::string("garbage"), std::string(98328, '\xff')}) {
    dir_.Write("loginfail.dat", junk);
    EXPECT_FALSE(Refused("jan", "10.0.0.1"));
    Fail("jan", "10.0.0.1", 10);
    EXPECT_TRUE(Refused("jan", "10.0.0.1"));
  }
  std::filesystem::remove(File());
  dir_.Write("elsewhere", "keep");
  std::filesystem::create_symlink(dir_.Path("elsewhere"), File());
  TLoginThrottle linked(File(), "jan", "10.0.0.1", kT0);
  EXPECT_FALSE(linked.Active());
  EXPECT_NE(linked.Problem().find("loginfail.dat"), std::string::npos);
  linked.RecordFailure();
  EXPECT_FALSE(linked.Refused());
  EXPECT_EQ(dir_.Read("elsewhere"), "keep");
}

}  // namespace
}  // namespace tessaro
