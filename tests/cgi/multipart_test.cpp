#include "cgi/multipart.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iterator>

namespace tessaro {
namespace {

struct Parsed {
  TStrings fields;
  std::vector<TUploadedFile> files;
};

Parsed Parse(std::string_view body, std::string_view boundary = "B") {
  Parsed p;
  ParseMultipartBody(body, boundary, p.fields, p.files);
  return p;
}

std::string FieldPart(std::string_view name, std::string_view value) {
  return "--B\r\nContent-Disposition: form-data; name=\"" + std::string(name) + "\"\r\n\r\n" + std::string(value) +
         "\r\n";
}

TEST(MultipartBoundary, ReadsTheParameterQuotedOrNot) {
  const struct {
    std::string_view content_type, boundary;
  } cases[] = {
      {"multipart/form-data; boundary=----WebKitFormBoundaryAbc", "----WebKitFormBoundaryAbc"},
      {"multipart/form-data;boundary=\"a b;c\"", "a b;c"},
      {"multipart/form-data; charset=utf-8; BOUNDARY=xyz ; other=1", "xyz"},
      {"multipart/form-data; myboundary=no", ""},
      {"multipart/form-data", ""},
      {"multipart/form-data; boundary=", ""},
      {"multipart/form-data; boundary=\"\"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(MultipartBoundary(c.content_type), c.boundary) << c.content_type;
  EXPECT_EQ(MultipartBoundary("multipart/form-data; boundary=" + std::string(kMaxMultipartBoundary, 'b')).size(),
            kMaxMultipartBoundary);
  EXPECT_EQ(MultipartBoundary("multipart/form-data; boundary=" + std::string(kMaxMultipartBoundary + 1, 'b')), "");
}

TEST(Multipart, FieldsKeepRawBytesAndFilesTheirAttributes) {
  const std::string body =
      "preamble\r\n" + FieldPart("title", "x+y%21 = \"q\"") + FieldPart("empty", "") +
      FieldPart("multi", "line1\r\nline2\r\n") +
      "--B\r\n"
      "content-disposition: form-data; name=\"doc\"; filename=\"C:\\dir\\r\xc3\xa1.txt\"\r\n"
      "Content-Type: text/plain\r\n"
      "\r\n"
      "x--B mid-line\r\n-- B\r\n"
      "--B--\r\nepilogue";
  Parsed p = Parse(body);
  EXPECT_EQ(p.fields.Items(),
            (std::vector<std::string>{"title=x+y%21 = \"q\"", "empty=", "multi=line1\r\nline2\r\n"}));
  ASSERT_EQ(p.files.size(), 1u);
  EXPECT_EQ(p.files[0].FieldName, "doc");
  EXPECT_EQ(p.files[0].FileName, "C:\\dir\\r\xc3\xa1.txt");
  EXPECT_EQ(p.files[0].ContentType, "text/plain");
  EXPECT_EQ(p.files[0].Bytes, "x--B mid-line\r\n-- B");
  auto stream = p.files[0].OpenStream();
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(*stream), {}), p.files[0].Bytes);
  // Readers of pictures and documents seek: the stream over the body's bytes does too.
  stream->clear();
  EXPECT_EQ(stream->seekg(0, std::ios::end).tellg(), std::streampos(p.files[0].Bytes.size()));
  char two[3] = {};
  EXPECT_TRUE(stream->seekg(3).read(two, 2));
  EXPECT_STREQ(two, "B ");
  EXPECT_EQ(stream->tellg(), std::streampos(5));
  EXPECT_FALSE(stream->seekg(-1, std::ios::beg));
}

TEST(Multipart, PartsThatAreNeitherFieldNorFileAreIgnored) {
  const std::string body =
      "--B\r\nContent-Disposition: form-data; name=\"typed\"\r\nContent-Type: text/plain\r\n\r\nx\r\n"
      "--B\r\nContent-Disposition: form-data; name=\"nofile\"; filename=\"\"\r\n"
      "Content-Type: application/octet-stream\r\n\r\n\r\n"
      "--B\r\nContent-Disposition: form-data; filename=\"anonymous.txt\"\r\n\r\ny\r\n"
      "--B\r\nX-Other: 1\r\n\r\nz\r\n"
      "--B\r\nContent-Disposition: form-data; name=\"file\"; filename=\"f\"\r\n\r\nbytes\r\n" +
      FieldPart("kept", "1") + "--B--\r\n";
  Parsed p = Parse(body);
  EXPECT_EQ(p.fields.Items(), std::vector<std::string>{"kept=1"});
  ASSERT_EQ(p.files.size(), 1u);
  EXPECT_EQ(p.files[0].FileName, "f");
  EXPECT_EQ(p.files[0].ContentType, "");
  EXPECT_EQ(p.files[0].Bytes, "bytes");
}

TEST(Multipart, AcceptsBareLineFeedsAndTransportPadding) {
  Parsed p = Parse("--B  \nContent-Disposition: form-data; name=a\n\n1\n--B\t\n"
                   "Content-Disposition: form-data; name=\"b\"\n\n--B--");
  EXPECT_EQ(p.fields.Items(), (std::vector<std::string>{"a=1", "b="}));
}

TEST(Multipart, MalformedBodiesKeepOnlyCompletedParts) {
  const std::string ok = FieldPart("ok", "1");
  const struct {
    std::string name, body;
    std::vector<std::string> fields;
  } cases[] = {
      {"empty body", "", {}},
      {"no delimiter", "Content-Disposition: form-data; name=\"a\"\r\n\r\n1", {}},
      {"wrong boundary", "--C\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--C--", {}},
      {"delimiter without line end", "--B", {}},
      {"unterminated part", ok + "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nhalf an upl", {"ok=1"}},
      {"headers without end", ok + "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n", {"ok=1"}},
      {"no closing delimiter", ok, {}},
      {"closing delimiter only", "--B--\r\n", {}},
      {"huge header block", ok + "--B\r\nX: " + std::string(kMaxMultipartHeaderBytes, 'h') + "\r\n\r\nv\r\n" + ok,
       {"ok=1"}},
      {"unclosed quote", "--B\r\nContent-Disposition: form-data; name=\"a\r\n\r\n1\r\n--B--", {"a=1"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(c.body).fields.Items(), c.fields) << c.name;
}

TEST(Multipart, PartCountIsCapped) {
  std::string body;
  for (size_t i = 0; i < kMaxMultipartParts + 5; ++i) body += FieldPart("f", std::to_string(i));
  body += "--B--\r\n";
  Parsed p = Parse(body);
  ASSERT_EQ(p.fields.Count(), kMaxMultipartParts);
  EXPECT_EQ(p.fields[kMaxMultipartParts - 1], "f=" + std::to_string(kMaxMultipartParts - 1));
}

TEST(Multipart, AdversarialBodiesTakeLinearTime) {
  // Near-delimiters at every line and a boundary that almost matches them: a
  // parser that rescans would need billions of steps on these.
  const std::string boundary(200, '-');
  const std::string near_miss = "\n" + std::string(201, '-') + "x";
  std::string lines;
  while (lines.size() < (8u << 20)) lines += near_miss;
  std::string dashes(8u << 20, '-');
  dashes[0] = 'x';  // else the dashes right after the header block would close an empty part
  const std::string header = "--" + boundary + "\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n";

  auto start = std::chrono::steady_clock::now();
  for (const std::string* filler : {&lines, &dashes}) {
    Parsed p = Parse(header + *filler, boundary);
    EXPECT_TRUE(p.fields.Empty());
    Parsed q = Parse(*filler, boundary);
    EXPECT_TRUE(q.fields.Empty());
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
}  // namespace tessaro
