// The signed user cookie: the key option, what a value must hold to name an
// account, and the unsigned form kept for portals without a key.
#include "web/user_cookie.h"

#include <gtest/gtest.h>

#include "model/inet_mgr_model.h"
#include "model/user_account.h"
#include "util/base64.h"
#include "util/exception.h"
#include "util/identifiers.h"

namespace tessaro {
namespace {

const std::string kHexKey(64, 'a');
const std::string kKey(32, '\xaa');
constexpr int64_t kNow = 1'800'000'000;

class UserCookieTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [id, password] : {std::pair{"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}", "heslo"},
                                       std::pair{"{11111111-2222-3333-4444-555555555555}", "jine"}}) {
      auto account = std::make_unique<TUserAccount>();
      account->InstanceID = id;
      account->Password = password;
      model.UserAccounts().AddNew(std::move(account));
    }
    jan = static_cast<TUserAccount*>(model.UserAccounts().Items(0));
  }
  const TUserAccount* Named(const std::string& value, std::string_view key = kKey, int64_t now = kNow) const {
    return UserCookieAccount(value, model.UserAccounts(), key, now);
  }

  TInetMgrModel model;
  TUserAccount* jan = nullptr;
};

TEST(UserCookieKey, HexOrBase64OfAtLeast32Bytes) {
  EXPECT_EQ(UserCookieKey(""), "");
  EXPECT_EQ(UserCookieKey("  "), "");
  EXPECT_EQ(UserCookieKey(kHexKey), std::string(32, '\xaa'));
  EXPECT_EQ(UserCookieKey(" " + Base64Encode(std::string(40, 'k')) + " "), std::string(40, 'k'));
  const std::string passphrase = "correct horse battery staple and then some more words";
  for (const std::string& weak : {std::string(62, 'a'), std::string(65, 'a'), Base64Encode(std::string(31, 'k')),
                                  std::string("secret"), passphrase})
    EXPECT_THROW(UserCookieKey(weak), Exception) << weak;
}

TEST_F(UserCookieTest, SignedValueNamesItsAccountUntilItExpires) {
  const std::string value = UserCookieValue(*jan, kNow + 60, kKey);
  ASSERT_EQ(value.size(), 3 + 32 + 1 + 10 + 1 + 64u) << value;
  EXPECT_EQ(value.substr(0, 3), "v1.");
  EXPECT_EQ(DecodeID(value.substr(3, 32)), jan->InstanceID);
  EXPECT_EQ(value.substr(36, 11), std::to_string(kNow + 60) + ".");
  EXPECT_EQ(Named(value), jan);
  EXPECT_EQ(Named(value, kKey, kNow + 59), jan);
  EXPECT_EQ(Named(value, kKey, kNow + 60), nullptr);
}

TEST_F(UserCookieTest, AnyChangeToTheValueKeyOrPasswordRevokesIt) {
  const std::string value = UserCookieValue(*jan, kNow + 60, kKey);
  EXPECT_EQ(Named(value, std::string(32, '\xab')), nullptr);
  // Every single character changed, and the value cut short or extended.
  for (size_t k = 0; k < value.size(); ++k) {
    std::string changed = value;
    changed[k] = changed[k] == '1' ? '2' : '1';
    EXPECT_EQ(Named(changed), nullptr) << changed;
  }
  for (const std::string& other : {value.substr(0, value.size() - 1), value + "0", value + ".", "." + value})
    EXPECT_EQ(Named(other), nullptr) << other;
  // Another account's identifier under this MAC, or a later expiry.
  std::string swapped = value;
  swapped.replace(3, 32, EncodeID(model.UserAccounts().Items(1)->InstanceID));
  EXPECT_EQ(Named(swapped), nullptr);
  EXPECT_EQ(Named(SignUserCookie(value.substr(3, 32), kNow + 60, "heslo", kKey)), jan);
  jan->Password = "nove";
  EXPECT_EQ(Named(value), nullptr);
}

TEST_F(UserCookieTest, UnsignedFormOnlyWithoutAKey) {
  const std::string unsigned_value = UserCookieValue(*jan, 0, "");
  EXPECT_EQ(unsigned_value.size(), 32u);
  EXPECT_EQ(Named(unsigned_value, ""), jan);
  EXPECT_EQ(Named(unsigned_value), nullptr);
  EXPECT_EQ(Named(UserCookieValue(*jan, kNow + 60, kKey), ""), nullptr);
  for (const char* junk : {"", "TEST", "logged_out", "v1....", "v1.x.1.x"}) {
    EXPECT_EQ(Named(junk), nullptr) << junk;
    EXPECT_EQ(Named(junk, ""), nullptr) << junk;
  }
}

TEST(UserCookieExpiry, SessionHoursOrMidnightCookieExpiresDaysAhead) {
  EXPECT_EQ(UserCookieExpiry(false, 7, 0, kNow), kNow + kSessionLoginHours * 3600);
  // 1 January 2030 is day 47484; seven days on is midnight of 8 January 2030.
  EXPECT_EQ(UserCookieExpiry(true, 7, 47484, kNow), 1893456000 + 7 * 86400);
}

}  // namespace
}  // namespace tessaro
