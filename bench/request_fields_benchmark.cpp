// Reading a form of 200,000 fields as the request path does: the body read
// from a file descriptor, split and decoded into the request's content
// fields, then the gate's base context built over them (request fields
// merged with the query, converted to the internal code page, and the
// context's published properties read from them by name), then a lookup of
// every field by name, as pages that echo fields back do. Also with every
// name sent twice in varying case. Every step must stay linear or n log n: a
// lookup that scans the list would make this take minutes.
#include <benchmark/benchmark.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "context/request_context.h"
#include "settings/web_app_options.h"

namespace {

using namespace tessaro;

constexpr int kFields = 200000;

// A file holding `body`, read from its start by each request.
class BodyFile {
 public:
  explicit BodyFile(const std::string& body) : fd_(memfd_create("body", 0)) {
    if (fd_ < 0 || write(fd_, body.data(), body.size()) != static_cast<ssize_t>(body.size())) std::abort();
  }
  ~BodyFile() { close(fd_); }
  int Rewound() const {
    lseek(fd_, 0, SEEK_SET);
    return fd_;
  }

 private:
  int fd_;  // the memory file
};

std::string FieldName(int i, bool twice) {
  return twice ? (i % 2 ? "Field" : "fIELD") + std::to_string(i / 2) : "field" + std::to_string(i);
}

void ReadForm(benchmark::State& state, const std::string& body, const std::string& content_type, bool twice) {
  BodyFile file(body);
  TWebAppOptions options;
  for (auto _ : state) {
    TWebRequest request(CgiEnvironment::FromMap({{"REQUEST_METHOD", "POST"},
                                                 {"CONTENT_TYPE", content_type},
                                                 {"CONTENT_LENGTH", std::to_string(body.size())},
                                                 {"QUERY_STRING", "lang=eng&item_no=7&extra=1"}}),
                        file.Rewound());
    TWebResponse response(request, -1);
    auto context = MakeContext<tRequestContext>(&request, &options, &response);
    const TStrings& fields = context->RequestFields();
    size_t found = 0;
    for (int i = 0; i < kFields; ++i) found += fields.IndexOfName(FieldName(i, twice)) >= 0;
    if (found != kFields) state.SkipWithError("a field was lost");
    benchmark::DoNotOptimize(found);
  }
  state.counters["fields"] = kFields;
}

std::string UrlEncodedBody(bool twice) {
  std::string body;
  for (int i = 0; i < kFields; ++i) body += (i ? "&" : "") + FieldName(i, twice) + "=value%20" + std::to_string(i);
  return body;
}

void BM_UrlEncodedForm(benchmark::State& state) {
  ReadForm(state, UrlEncodedBody(false), "application/x-www-form-urlencoded", false);
}
BENCHMARK(BM_UrlEncodedForm)->Unit(benchmark::kMillisecond);

void BM_UrlEncodedFormNamesTwice(benchmark::State& state) {
  ReadForm(state, UrlEncodedBody(true), "application/x-www-form-urlencoded", true);
}
BENCHMARK(BM_UrlEncodedFormNamesTwice)->Unit(benchmark::kMillisecond);

}  // namespace
