// TTessaroURLHistoryStack: the visitor's trail of record pages, oldest
// first, kept between requests in the ZNKHISTORY cookie (Base64 of the
// addresses, one a line). A record page uses it to lead back: URLFromStack(0)
// is the page the visitor came from, -1 the one before.
//
// The cookie is visitor input. A value that is too long is ignored, and only
// addresses of this portal (TTessaroContext::IsPortalURL) are taken from it,
// so a forged trail can never send a link elsewhere. The trail is bounded too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "util/string_list.h"

namespace tessaro {

class TTessaroContext;

// The longest ZNKHISTORY value read, and the longest text the trail keeps
// (before Base64): a browser keeps about 4 kB per cookie.
inline constexpr size_t kMaxHistoryCookie = 4000;
inline constexpr size_t kMaxHistoryText = 2900;

class TTessaroURLHistoryStack {
 public:
  // `context` is the page the trail belongs to (not owned): it gives the
  // portal's address, the action paths, the current and the referring page.
  explicit TTessaroURLHistoryStack(const TTessaroContext& context) : context_(context) {}

  // The addresses of a cookie value (see above).
  void Load(std::string_view cookie);
  // The cookie value of the trail; the oldest addresses are left out when the
  // whole would be too long.
  std::string Save() const;
  // Applies the visit of the current request: a list page starts a new trail;
  // a reload (the same page as `previous_url`, when `keeps_history`) changes
  // nothing; a page already on the trail cuts it there; otherwise the page
  // the visitor came from is appended (once: an earlier copy is cut away).
  void Update(bool keeps_history, std::string_view previous_url);

  // The entry `depth` (<= 0) from the end, the first one when the trail is
  // shorter; empty for an empty trail. Throws Exception for depth > 0.
  std::string URLFromStack(int depth) const;
  // The first list page on the trail; empty when there is none.
  std::string ListURL() const;
  // Keeps the first `n` entries.
  void Truncate(size_t n);
  // The entry that stands for the same page as `url` (the list page, or the
  // same page with the same ID and EID); -1 when none does and for record
  // actions, which never enter the trail.
  int IndexOf(std::string_view url) const;

  const TStrings& URLs() const { return urls_; }

 private:
  // The page path of a portal address (the part after the portal's base
  // address, up to the query), URL-decoded; empty for other addresses.
  std::string PagePath(std::string_view url) const;

  const TTessaroContext& context_;
  TStrings urls_;  // absolute addresses, oldest first
};

// The URL-decoded value of the query key `name` (without case) of `url`.
std::string UrlQueryValue(std::string_view url, std::string_view name);

}  // namespace tessaro
