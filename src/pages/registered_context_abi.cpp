#include "pages/registered_context_abi.h"

#include <cstring>

#include "cgi/multipart.h"
#include "pages/registered_context.h"
#include "util/string_list.h"
#include "util/codepage.h"

namespace tessaro {
namespace {

TRegisteredContextAbi* Self(TessaroRegisteredContext* ctx) {
  return ctx != nullptr ? static_cast<TRegisteredContextAbi*>(ctx->self) : nullptr;
}

// Names a browser sent come as raw bytes, normally UTF-8; other bytes are
// read as windows-1250 so the plug-in always gets well-formed UTF-8.
std::string ClientTextToUtf8(std::string_view raw) {
  return IsValidUtf8(raw) ? std::string(raw) : EncodeOutput(raw);
}

// Runs `produce` (which returns the portal's text) and hands out its UTF-8
// form kept in `slot`; every failure becomes an error result.
template <class Produce>
int32_t TextResult(TessaroRegisteredContext* ctx, const char** result, TRegisteredContextAbi::TextSlot slot,
                   Produce produce) {
  if (result != nullptr) *result = "";
  TRegisteredContextAbi* self = Self(ctx);
  if (self == nullptr || result == nullptr) return TESSARO_E_UNEXPECTED;
  try {
    self->texts[slot] = EncodeOutput(produce(self->context));
    *result = self->texts[slot].c_str();
    return TESSARO_S_OK;
  } catch (...) {
    return TESSARO_E_UNEXPECTED;
  }
}

// An integer answer: 0 and an error code when the context or the
// out-pointer is missing or the call fails.
template <class Produce>
int32_t IntegerResult(TessaroRegisteredContext* ctx, int32_t* result, Produce produce) {
  if (result != nullptr) *result = 0;
  TRegisteredContextAbi* self = Self(ctx);
  if (self == nullptr || result == nullptr) return TESSARO_E_UNEXPECTED;
  try {
    *result = produce(self->context);
    return TESSARO_S_OK;
  } catch (...) {
    return TESSARO_E_UNEXPECTED;
  }
}

template <class Produce>
int32_t ListResult(TessaroRegisteredContext* ctx, const TessaroStringList** result,
                   TRegisteredContextAbi::List TRegisteredContextAbi::*list, Produce produce) {
  if (result != nullptr) *result = nullptr;
  TRegisteredContextAbi* self = Self(ctx);
  if (self == nullptr || result == nullptr) return TESSARO_E_UNEXPECTED;
  try {
    (self->*list).Fill(produce(self->context));
    *result = &(self->*list).c;
    return TESSARO_S_OK;
  } catch (...) {
    (self->*list).lines.clear();
    return TESSARO_E_UNEXPECTED;
  }
}

// The file text functions have no error result: a failure gives "".
template <class Produce>
const char* FileText(TessaroRegisteredContext* ctx, TRegisteredContextAbi::TextSlot slot, Produce produce) noexcept {
  TRegisteredContextAbi* self = Self(ctx);
  if (self == nullptr) return "";
  try {
    self->texts[slot] = ClientTextToUtf8(produce(self->context));
    return self->texts[slot].c_str();
  } catch (...) {
    return "";
  }
}

// --- lists ---

int32_t ListCount(const TessaroStringList* list) {
  if (list == nullptr) return 0;
  return static_cast<int32_t>(static_cast<const TRegisteredContextAbi::List*>(list->self)->lines.size());
}

const char* ListItem(const TessaroStringList* list, int32_t index) {
  if (list == nullptr || index < 0) return "";
  const auto& lines = static_cast<const TRegisteredContextAbi::List*>(list->self)->lines;
  return static_cast<size_t>(index) < lines.size() ? lines[static_cast<size_t>(index)].c_str() : "";
}

// --- streams ---

TRegisteredContextAbi::Stream* StreamOf(const TessaroStream* stream) {
  return stream != nullptr ? static_cast<TRegisteredContextAbi::Stream*>(stream->self) : nullptr;
}

int64_t StreamRead(TessaroStream* stream, void* buffer, int64_t count) {
  TRegisteredContextAbi::Stream* s = StreamOf(stream);
  if (s == nullptr || count < 0 || (count > 0 && buffer == nullptr)) return -1;
  const int64_t left = static_cast<int64_t>(s->bytes.size()) - s->position;
  const int64_t n = count < left ? count : left;
  if (n > 0) std::memcpy(buffer, s->bytes.data() + s->position, static_cast<size_t>(n));
  s->position += n;
  return n;
}

int64_t StreamSeek(TessaroStream* stream, int64_t offset, int32_t origin) {
  TRegisteredContextAbi::Stream* s = StreamOf(stream);
  if (s == nullptr) return -1;
  const int64_t size = static_cast<int64_t>(s->bytes.size());
  int64_t base;
  switch (origin) {
    case TESSARO_SEEK_SET: base = 0; break;
    case TESSARO_SEEK_CUR: base = s->position; break;
    case TESSARO_SEEK_END: base = size; break;
    default: return -1;
  }
  // base and size are far below INT64_MAX, so only an offset out of
  // -size..size can leave the range; checking it first avoids overflow.
  if (offset < -size || offset > size) return -1;
  const int64_t target = base + offset;
  if (target < 0 || target > size) return -1;
  s->position = target;
  return target;
}

int64_t StreamSize(const TessaroStream* stream) {
  const TRegisteredContextAbi::Stream* s = StreamOf(stream);
  return s != nullptr ? static_cast<int64_t>(s->bytes.size()) : 0;
}

// --- the table, in its order ---

int32_t CommandTimeout(TessaroRegisteredContext* ctx, int32_t* result) {
  return IntegerResult(ctx, result, [](TTessaroRegisteredContext& c) { return c.ircCommandTimeout(); });
}

int32_t ConnectionString(TessaroRegisteredContext* ctx, int16_t read_only, const char** result) {
  return TextResult(ctx, result, TRegisteredContextAbi::kConnectionString,
                    [read_only](TTessaroRegisteredContext& c) { return c.ircConnectionString(read_only != 0); });
}

int32_t DefaultCatalog(TessaroRegisteredContext* ctx, const char** result) {
  return TextResult(ctx, result, TRegisteredContextAbi::kDefaultCatalog,
                    [](TTessaroRegisteredContext& c) { return c.ircDefaultCatalog(); });
}

int32_t GetAccountParams(TessaroRegisteredContext* ctx, const TessaroStringList** result) {
  return ListResult(ctx, result, &TRegisteredContextAbi::account_params,
                    [](TTessaroRegisteredContext& c) -> const TStrings& { return c.ircGetAccountParams(); });
}

TessaroStream* GetFile(TessaroRegisteredContext* ctx, int32_t index) {
  TRegisteredContextAbi* self = Self(ctx);
  if (self == nullptr) return nullptr;
  try {
    const TUploadedFile* file = self->context.ircGetFile(index);
    const int32_t key = file != nullptr ? index : -1;
    TRegisteredContextAbi::Stream& s = self->streams[key];
    s.c = TessaroStream{&s, StreamRead, StreamSeek, StreamSize};
    s.bytes = file != nullptr ? file->Bytes : std::string_view();
    s.position = 0;
    return &s.c;
  } catch (...) {
    return nullptr;
  }
}

const char* GetFileFieldName(TessaroRegisteredContext* ctx, int32_t index) {
  return FileText(ctx, TRegisteredContextAbi::kFileFieldName,
                  [index](TTessaroRegisteredContext& c) { return c.ircGetFileFieldName(index); });
}

const char* GetFileName(TessaroRegisteredContext* ctx, int32_t index) {
  return FileText(ctx, TRegisteredContextAbi::kFileName,
                  [index](TTessaroRegisteredContext& c) { return c.ircGetFileName(index); });
}

int32_t GetFilesCount(TessaroRegisteredContext* ctx) {
  TRegisteredContextAbi* self = Self(ctx);
  if (self == nullptr) return 0;
  try {
    return self->context.ircGetFilesCount();
  } catch (...) {
    return 0;
  }
}

int32_t GetOptionsFields(TessaroRegisteredContext* ctx, const TessaroStringList** result) {
  return ListResult(ctx, result, &TRegisteredContextAbi::options_fields,
                    [](TTessaroRegisteredContext& c) -> const TStrings& { return c.ircGetOptionsFields(); });
}

int32_t GetRequestFields(TessaroRegisteredContext* ctx, const TessaroStringList** result) {
  return ListResult(ctx, result, &TRegisteredContextAbi::request_fields,
                    [](TTessaroRegisteredContext& c) -> const TStrings& { return c.ircGetRequestFields(); });
}

int32_t RemoteAddr(TessaroRegisteredContext* ctx, const char** result) {
  return TextResult(ctx, result, TRegisteredContextAbi::kRemoteAddr,
                    [](TTessaroRegisteredContext& c) { return c.ircRemoteAddr(); });
}

int32_t SessionID(TessaroRegisteredContext* ctx, const char** result) {
  return TextResult(ctx, result, TRegisteredContextAbi::kSessionID,
                    [](TTessaroRegisteredContext& c) { return c.ircSessionID(); });
}

int32_t SessionIDHash(TessaroRegisteredContext* ctx, int32_t number, int32_t* result) {
  return IntegerResult(ctx, result, [number](TTessaroRegisteredContext& c) { return c.ircSessionIDHash(number); });
}

constexpr TessaroRegisteredContextVtbl kTable = {
    CommandTimeout,   ConnectionString, DefaultCatalog,   GetAccountParams, GetFile,
    GetFileFieldName, GetFileName,      GetFilesCount,    GetOptionsFields, GetRequestFields,
    RemoteAddr,       SessionID,        SessionIDHash,
};

}  // namespace

void TRegisteredContextAbi::List::Fill(const TStrings& source) {
  lines.clear();
  lines.reserve(source.Count());
  for (size_t i = 0; i < source.Count(); ++i) lines.push_back(EncodeOutput(source[i]));
}

TRegisteredContextAbi::TRegisteredContextAbi(TTessaroRegisteredContext& context) : context(context) {
  for (List* list : {&account_params, &options_fields, &request_fields}) list->c = {list, ListCount, ListItem};
  interface_.size = sizeof(TessaroRegisteredContext);
  interface_.version = TESSARO_REGISTERED_CONTEXT_VERSION;
  interface_.self = this;
  interface_.vtbl = &kTable;
}

}  // namespace tessaro
