// SHA-256, HMAC-SHA256 and constant-time comparison from libcrypto, opened
// on first use.
//
// Most requests (simple pages, error pages, the login form) never sign or
// check a cookie, and linking libcrypto would cost every one of them its
// loading time. So the functions below look up the few libcrypto entry
// points they need in libcrypto.so.3, opened with dlopen the first time any
// of them is called. The declarations of the OpenSSL headers give the types,
// so a mismatch is a compile error; nothing of the library is linked.
#include "util/crypto.h"

#include <dlfcn.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include "util/exception.h"

namespace tessaro {
namespace {

constexpr const char* kLibrary = "libcrypto.so.3";

void* CryptoLibrary() {
  static void* handle = [] {
    if (void* h = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL)) return h;
    const char* why = dlerror();
    throw Exception(std::string("Cannot load libcrypto: ") + (why ? why : kLibrary));
  }();
  return handle;
}

// The libcrypto function `name`, with the type `Function` has in the headers.
template <class Function>
Function* Resolve(const char* name) {
  void* symbol = dlsym(CryptoLibrary(), name);
  if (!symbol) throw Exception(std::string("libcrypto has no function ") + name);
  return reinterpret_cast<Function*>(symbol);
}

#define TESSARO_CRYPTO_FUNCTION(name) static auto* const name = Resolve<decltype(::name)>(#name)

const unsigned char* Bytes(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

}  // namespace

std::string Sha256(std::string_view data) {
  TESSARO_CRYPTO_FUNCTION(EVP_sha256);
  TESSARO_CRYPTO_FUNCTION(EVP_Digest);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha256(), nullptr) != 1)
    throw Exception("SHA-256 failed");
  return std::string(reinterpret_cast<const char*>(digest), length);
}

std::string HmacSha256(std::string_view key, std::string_view data) {
  TESSARO_CRYPTO_FUNCTION(EVP_sha256);
  TESSARO_CRYPTO_FUNCTION(HMAC);
  unsigned char mac[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), Bytes(data), data.size(), mac, &length) == nullptr)
    throw Exception("HMAC-SHA256 failed");
  return std::string(reinterpret_cast<const char*>(mac), length);
}

bool SameBytes(std::string_view a, std::string_view b) {
  TESSARO_CRYPTO_FUNCTION(CRYPTO_memcmp);
  return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::string HexText(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

std::optional<std::string> HexBytes(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  auto value = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string bytes;
  bytes.reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = value(text[i]), low = value(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high << 4 | low);
  }
  return bytes;
}

}  // namespace tessaro
