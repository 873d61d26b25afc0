// Signing and checking the user cookie; the format is drawn in the header.
//
// The MAC covers the identifier exactly as it stands in the cookie (any of
// its spellings), the expiry as decimal text and the password's digest, so
// changing any character of the value or the account's password breaks it.
// The password enters as its fixed-size digest, so the input has one layout
// whatever the password holds. MACs are compared in constant time.
#include "web/user_cookie.h"

#include <charconv>

#include "model/user_account.h"
#include "util/base64.h"
#include "util/crypto.h"
#include "util/exception.h"
#include "util/identifiers.h"
#include "util/text.h"

namespace tessaro {
namespace {

constexpr std::string_view kVersion = "v1";
constexpr size_t kMinKeyBytes = 32;
constexpr size_t kEncodedIdLength = 32;
constexpr size_t kMacHexLength = 64;
constexpr size_t kMaxExpiryDigits = 18;  // far beyond any date, well inside int64
constexpr TDateTime kUnixEpochDate = 25569;  // 1 January 1970

std::string MacInput(std::string_view encoded_id, std::string_view expiry, std::string_view password) {
  return std::string(kVersion) + "." + std::string(encoded_id) + "." + std::string(expiry) + "." + Sha256(password);
}

bool IsHexText(std::string_view text) {
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

bool IsBase64Text(std::string_view text) {
  if (text.size() % 4 != 0) return false;
  const size_t padding = text.find('=');
  if (padding != std::string_view::npos && (text.size() - padding > 2 || text.find_first_not_of('=', padding) !=
                                                                              std::string_view::npos))
    return false;
  for (char c : text.substr(0, padding))
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/'))
      return false;
  return true;
}

// The parts of a signed value; false when it is not one.
struct TSignedParts {
  std::string_view encoded_id, expiry_text, mac_hex;
  int64_t expiry = 0;
};

bool SplitSigned(std::string_view value, TSignedParts& parts) {
  std::string_view field[4];
  for (int k = 0; k < 4; ++k) {
    const size_t dot = k < 3 ? value.find('.') : value.size();
    if (dot == std::string_view::npos) return false;
    field[k] = value.substr(0, dot);
    value.remove_prefix(k < 3 ? dot + 1 : dot);
  }
  if (field[0] != kVersion || field[1].size() != kEncodedIdLength || field[2].empty() ||
      field[2].size() > kMaxExpiryDigits || field[3].size() != kMacHexLength)
    return false;
  for (char c : field[2])
    if (c < '0' || c > '9') return false;
  std::from_chars(field[2].data(), field[2].data() + field[2].size(), parts.expiry);
  parts.encoded_id = field[1];
  parts.expiry_text = field[2];
  parts.mac_hex = field[3];
  return true;
}

const TUserAccount* AccountByEncodedId(std::string_view encoded_id, const TUserAccountsList& accounts) {
  const std::string instance_id = DecodeID(encoded_id);
  if (!IsGUIDString(instance_id)) return nullptr;
  // The cookie decodes to upper case; an identifier is the same GUID in any case.
  return static_cast<const TUserAccount*>(accounts.FirstThat(
      [&instance_id](const T_V_DataElement* account) { return SameText(account->InstanceID, instance_id); }));
}

}  // namespace

std::string UserCookieKey(std::string_view option_text) {
  const std::string text = Trim(option_text);
  if (text.empty()) return "";
  // Hexadecimal digits only is read as hexadecimal, anything else must be
  // Base64 (a passphrase is neither, and is refused).
  std::string key;
  if (IsHexText(text))
    key = HexBytes(text).value_or("");
  else if (IsBase64Text(text))
    key = Base64Decode(text);
  if (key.size() < kMinKeyBytes)
    throw Exception("user_cookie_key must be at least 32 random bytes, in hexadecimal or Base64 "
                    "(tessaro-admin new-key prints one)");
  return key;
}

std::string SignUserCookie(std::string_view encoded_id, int64_t expiry, std::string_view password,
                           std::string_view key) {
  const std::string expiry_text = std::to_string(expiry);
  return std::string(kVersion) + "." + std::string(encoded_id) + "." + expiry_text + "." +
         HexText(HmacSha256(key, MacInput(encoded_id, expiry_text, password)));
}

int64_t UserCookieExpiry(bool persistent, int cookie_expires, TDateTime today, int64_t now) {
  if (!persistent) return now + kSessionLoginHours * 3600;
  // The same instant as the cookie's expires attribute: midnight, read as GMT.
  return static_cast<int64_t>((today + cookie_expires - kUnixEpochDate) * 86400.0 + 0.5);
}

std::string UserCookieValue(const TUserAccount& account, int64_t expiry, std::string_view key) {
  const std::string encoded_id = EncodeID(account.InstanceID);
  return key.empty() ? encoded_id : SignUserCookie(encoded_id, expiry, account.Password, key);
}

const TUserAccount* UserCookieAccount(std::string_view value, const TUserAccountsList& accounts,
                                      std::string_view key, int64_t now) {
  if (key.empty()) return AccountByEncodedId(value, accounts);
  TSignedParts parts;
  if (!SplitSigned(value, parts) || parts.expiry <= now) return nullptr;
  const TUserAccount* account = AccountByEncodedId(parts.encoded_id, accounts);
  if (account == nullptr) return nullptr;
  const std::string expected = HmacSha256(key, MacInput(parts.encoded_id, parts.expiry_text, account->Password));
  const std::optional<std::string> mac = HexBytes(parts.mac_hex);
  return mac && SameBytes(expected, *mac) ? account : nullptr;
}

}  // namespace tessaro
