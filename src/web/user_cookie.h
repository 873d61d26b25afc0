// The value of the user cookie ZNKCGIUSERID for an account, and the account
// a value names.
//
// Without a key the value is the account's encoded InstanceID (EncodeID): a
// fixed credential that outlives logouts and password changes. With the
// option user_cookie_key set the value is signed and carries its expiry:
//
//   v1.<encoded InstanceID>.<expiry, Unix seconds>.<MAC, 64 hex digits>
//
// where MAC = HMAC-SHA256(key, "v1.<encoded id>.<expiry>." + SHA-256(password))
// over the account's current password, so a value stops working when it
// expires or the password changes, and nobody without the key can make one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "util/datetime.h"

namespace tessaro {

class TUserAccount;
class TUserAccountsList;

// Hours a signed cookie of a login without "remember me" lives.
constexpr int64_t kSessionLoginHours = 12;

// The key bytes of the user_cookie_key option: at least 64 hexadecimal
// digits, or Base64 of at least 32 bytes. Empty for an empty text (cookies are
// then not signed). Throws Exception for a text that gives a shorter key.
std::string UserCookieKey(std::string_view option_text);

// The signed value for the encoded identifier, expiry and password.
std::string SignUserCookie(std::string_view encoded_id, int64_t expiry, std::string_view password,
                           std::string_view key);

// The expiry (Unix seconds) of a login cookie issued at `now`: for a
// persistent cookie the end of its lifetime of `cookie_expires` days from
// `today` (midnight, as its expires attribute), else kSessionLoginHours on.
int64_t UserCookieExpiry(bool persistent, int cookie_expires, TDateTime today, int64_t now);

// The value to send for `account`: signed with `key` and valid until
// `expiry` (Unix seconds), or the encoded InstanceID when `key` is empty.
std::string UserCookieValue(const TUserAccount& account, int64_t expiry, std::string_view key);

// The account a cookie value names at time `now` (Unix seconds), or null.
// With a key only an unexpired value signed for the account's current
// password counts, an unsigned one never; without a key only the unsigned
// form does, as it always has.
const TUserAccount* UserCookieAccount(std::string_view value, const TUserAccountsList& accounts,
                                      std::string_view key, int64_t now);

}  // namespace tessaro
