// The headers that protect every answer of the real executable, and the
// options that switch them off.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/cgi_runner.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";

struct Header {
  const char* option;
  const char* name;
  const char* value;
};

constexpr Header kHeaders[] = {
    {"header_nosniff", "X-Content-Type-Options", "nosniff"},
    {"header_referrer_policy", "Referrer-Policy", "same-origin"},
    {"header_frame_options", "X-Frame-Options", "SAMEORIGIN"},
    {"header_csp_frame_ancestors", "Content-Security-Policy", "frame-ancestors 'self'"},
};

TEST(SecurityHeaders, EveryKindOfAnswerCarriesAll) {
  Deployment d;
  d.WriteFile("tessaro0.ini", "[OPTIONS]\n[SIMPLEPAGES]\nDEFAULT=home.html\n");
  d.WriteFile("home.html", "home\n");
  Deployment broken;
  std::remove((broken.Dir() + "/tessaro0.ini").c_str());
  const std::pair<const char*, CgiResponse> answers[] = {
      {"page", d.Get("/Page", "", {{"HTTP_COOKIE", kSession}})},
      {"login form", d.Get("/zntest", "", {{"HTTP_COOKIE", kSession}})},
      {"invalid entry point", d.Get("/unknown")},
      {"options that fail to load", broken.Get("/Page")},
  };
  for (const auto& [what, r] : answers) {
    ASSERT_FALSE(r.body.empty()) << what << r.raw;
    for (const Header& h : kHeaders) EXPECT_EQ(r.Header(h.name), h.value) << what << "\n" << r.raw;
  }
}

TEST(SecurityHeaders, EachOptionSwitchesItsHeaderOff) {
  for (const Header& off : kHeaders) {
    Deployment d;
    d.WriteFile("tessaro.INI", std::string("[OPTIONS]\n") + off.option + "=0\n");
    CgiResponse r = d.Get("/unknown");
    for (const Header& h : kHeaders)
      EXPECT_EQ(r.Header(h.name), &h == &off ? "" : h.value) << off.option << "\n" << r.raw;
  }
}

}  // namespace
}  // namespace tessaro::testing
