// Fuzz target for the template engine.
//
// Input: one flag byte, then the template. Flag bit 0 turns quote stripping
// off, bit 1 uses a data-set producer (fields "Name" and "City") instead of a
// plain one. The template is expanded three ways: as a file holding the exact
// bytes, as HTMLDoc lines, and as a file holding HTMLDoc's text. The last two
// must agree byte for byte (page or error message), which checks the chunked
// file reader against the in-memory one. Any failure other than
// tessaro::Exception is a finding.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "context/page_producer.h"
#include "db/memory_dataset.h"
#include "util/exception.h"
#include "util/text.h"

namespace {

using namespace tessaro;

// The data set of the data-set producer: one record of two text fields.
TMemoryDataSet& FuzzDataSet() {
  static TMemoryDataSet dataSet;
  if (dataSet.FieldCount() == 0) {
    dataSet.AddField("Name", TFieldType::ftString);
    dataSet.AddField("City", TFieldType::ftString);
    dataSet.AppendRecord({std::string("<Ann & Bob>"), std::string("Brno")});
  }
  return dataSet;
}

void EchoTag(TCustomPageProducer&, TTag kind, const std::string& name, const TStrings& params,
             std::string& replaceText) {
  if (SameText(name, "fail")) throw Exception("handler failed");
  replaceText += "[" + std::to_string(static_cast<int>(kind)) + name;
  for (const auto& p : params) replaceText += "|" + p;
  replaceText += "]";
}

// A memory-backed file whose /proc path the producer can open like any other.
class MemoryFile {
 public:
  MemoryFile() : fd_(memfd_create("template", MFD_CLOEXEC)) {
    if (fd_ < 0) abort();
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  const std::string& Fill(std::string_view bytes) {
    if (ftruncate(fd_, 0) != 0) abort();
    if (!bytes.empty() && pwrite(fd_, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) abort();
    return path_;
  }

 private:
  int fd_;            // the memory file, kept open for the whole run
  std::string path_;  // its name for open()
};

// The page, or "error: " and the message.
std::string Produce(TCustomPageProducer& producer) {
  try {
    return producer.Content();
  } catch (const Exception& e) {
    return "error: " + e.Message();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static MemoryFile file;
  const uint8_t flags = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  std::unique_ptr<TCustomPageProducer> producer;
  if (flags & 2) {
    auto withData = std::make_unique<TDataSetPageProducer>();
    withData->SetDataSet(&FuzzDataSet());
    producer = std::move(withData);
  } else {
    producer = std::make_unique<TPageProducer>();
  }
  producer->SetStripParamQuotes(!(flags & 1));
  producer->SetOnHTMLTag(EchoTag);

  producer->SetHTMLFile(file.Fill(text));
  Produce(*producer);

  TStrings doc;
  doc.SetText(text);
  producer->SetHTMLDoc(doc);
  const std::string fromDoc = Produce(*producer);
  producer->SetHTMLFile(file.Fill(doc.Text()));
  const std::string fromFile = Produce(*producer);
  if (fromDoc != fromFile) {
    fprintf(stderr, "HTMLDoc and file disagree:\n%s\n---\n%s\n", fromDoc.c_str(), fromFile.c_str());
    abort();
  }
  return 0;
}
