#include "pages/url_history.h"

#include "cgi/url_encoding.h"
#include "pages/tessaro_context.h"
#include "util/base64.h"
#include "util/exception.h"
#include "util/text.h"
#include "web/tessaro_options.h"

namespace tessaro {

namespace {

// The longest trail kept, in entries.
constexpr size_t kMaxHistoryEntries = 32;

std::string_view WithoutFragment(std::string_view url) { return url.substr(0, url.find('#')); }

}  // namespace

std::string UrlQueryValue(std::string_view url, std::string_view name) {
  url = WithoutFragment(url);
  const size_t question = url.find('?');
  if (question == std::string_view::npos) return "";
  std::string_view query = url.substr(question + 1);
  while (!query.empty()) {
    const size_t amp = query.find('&');
    const std::string_view field = query.substr(0, amp);
    const size_t equals = field.find('=');
    if (SameText(UrlDecode(field.substr(0, equals)), name))
      return equals == std::string_view::npos ? std::string() : UrlDecode(field.substr(equals + 1));
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return "";
}

std::string TTessaroURLHistoryStack::PagePath(std::string_view url) const {
  if (!context_.IsPortalURL(url)) return "";
  const std::string base = context_.BaseURL("", false);
  std::string_view rest = WithoutFragment(url).substr(base.size());
  return UrlDecode(rest.substr(0, rest.find('?')));
}

void TTessaroURLHistoryStack::Load(std::string_view cookie) {
  urls_.Clear();
  if (cookie.size() > kMaxHistoryCookie) return;
  TStrings lines;
  lines.SetText(Base64Decode(cookie));
  for (size_t i = 0; i < lines.Count() && urls_.Count() < kMaxHistoryEntries; ++i)
    if (context_.IsPortalURL(lines[i])) urls_.Add(lines[i]);
}

std::string TTessaroURLHistoryStack::Save() const {
  size_t first = urls_.Count() > kMaxHistoryEntries ? urls_.Count() - kMaxHistoryEntries : 0;
  auto joined = [this](size_t from) {
    std::string text;
    for (size_t i = from; i < urls_.Count(); ++i) text += (i > from ? "\r\n" : "") + urls_[i];
    return text;
  };
  std::string text = joined(first);
  while (text.size() > kMaxHistoryText && first < urls_.Count()) text = joined(++first);
  return Base64Encode(text);
}

void TTessaroURLHistoryStack::Update(bool keeps_history, std::string_view previous_url) {
  const TTessaroOptions* options = context_.PortalOptions();
  if (options == nullptr) return;
  if (SameText(context_.PathInfo(), options->ShowListPath)) {
    urls_.Clear();
    return;
  }
  const std::string current = context_.CurrentURL();
  if (keeps_history && !previous_url.empty() && SameText(PagePath(previous_url), PagePath(current)) &&
      UrlQueryValue(previous_url, "ID") == UrlQueryValue(current, "ID") &&
      UrlQueryValue(previous_url, "EID") == UrlQueryValue(current, "EID"))
    return;
  if (const int i = IndexOf(current); i >= 0) {
    Truncate(static_cast<size_t>(i));
    return;
  }
  const std::string referer = Trim(context_.RefererURL());
  if (referer.empty()) return;
  if (const int j = IndexOf(referer); j >= 0) Truncate(static_cast<size_t>(j));
  urls_.Add(referer);
  while (urls_.Count() > kMaxHistoryEntries) urls_.Delete(0);
}

std::string TTessaroURLHistoryStack::URLFromStack(int depth) const {
  if (depth > 0) throw Exception("Invalid argument in URLFromStack");
  if (urls_.Count() == 0) return "";
  const long index = static_cast<long>(urls_.Count()) - 1 + depth;
  return urls_[index < 0 ? 0 : static_cast<size_t>(index)];
}

std::string TTessaroURLHistoryStack::ListURL() const {
  const TTessaroOptions* options = context_.PortalOptions();
  if (options == nullptr) return "";
  for (size_t i = 0; i < urls_.Count(); ++i)
    if (SameText(PagePath(urls_[i]), options->ShowListPath)) return urls_[i];
  return "";
}

void TTessaroURLHistoryStack::Truncate(size_t n) {
  while (urls_.Count() > n) urls_.Delete(urls_.Count() - 1);
}

int TTessaroURLHistoryStack::IndexOf(std::string_view url) const {
  const TTessaroOptions* options = context_.PortalOptions();
  const std::string path = PagePath(url);
  if (options == nullptr || path.empty() || SameText(path, options->DoActionPath)) return -1;
  const bool is_list = SameText(path, options->ShowListPath);
  const std::string id = UrlQueryValue(url, "ID");
  const std::string eid = UrlQueryValue(url, "EID");
  for (size_t i = 0; i < urls_.Count(); ++i) {
    if (!SameText(PagePath(urls_[i]), path)) continue;
    if (is_list || (UrlQueryValue(urls_[i], "ID") == id && UrlQueryValue(urls_[i], "EID") == eid))
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tessaro
