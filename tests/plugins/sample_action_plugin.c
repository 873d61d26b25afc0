/* A record-action handler plug-in in plain C that only reads: it calls every
 * function of the visitor's context table and writes what it got, one line
 * per function, so the tests can check the table from the plug-in's side. */
#include <stdio.h>
#include <string.h>

#include "tessaro/registered_context.h"

typedef struct {
  char* at;
  size_t left;
} Out;

static void put(Out* out, const char* text) {
  size_t n = strlen(text);
  if (n >= out->left) n = out->left - 1;
  memcpy(out->at, text, n);
  out->at += n;
  out->left -= n;
  *out->at = '\0';
}

static void put_code(Out* out, const char* name, int32_t code) {
  char line[64];
  snprintf(line, sizeof line, "%s=%s", name, code == TESSARO_S_OK ? "" : "E_UNEXPECTED ");
  put(out, line);
}

static void put_text(Out* out, const char* name, int32_t code, const char* text) {
  put_code(out, name, code);
  put(out, text);
  put(out, "\n");
}

static void put_number(Out* out, const char* name, int32_t code, long long number) {
  char text[32];
  put_code(out, name, code);
  snprintf(text, sizeof text, "%lld\n", number);
  put(out, text);
}

static void put_list(Out* out, const char* name, int32_t code, const TessaroStringList* list) {
  int32_t i;
  put_code(out, name, code);
  if (list != NULL)
    for (i = 0; i < list->count(list); ++i) {
      put(out, i == 0 ? "" : "|");
      put(out, list->item(list, i));
    }
  put(out, "\n");
}

/* The whole of file `index`: its names, size and bytes read in pieces of
 * three, then the last byte again after a seek from the end. */
static void put_file(Out* out, TessaroRegisteredContext* ctx, int32_t index) {
  const TessaroRegisteredContextVtbl* t = ctx->vtbl;
  TessaroStream* stream = t->ircGetFile(ctx, index);
  char piece[4];
  char line[64];
  int64_t n;
  snprintf(line, sizeof line, "file%d=", (int)index);
  put(out, line);
  put(out, t->ircGetFileFieldName(ctx, index));
  put(out, ";");
  put(out, t->ircGetFileName(ctx, index));
  snprintf(line, sizeof line, ";%lld;", (long long)stream->size(stream));
  put(out, line);
  while ((n = stream->read(stream, piece, 3)) > 0) {
    piece[n] = '\0';
    put(out, piece);
  }
  if (stream->seek(stream, -1, TESSARO_SEEK_END) >= 0 && stream->read(stream, piece, 1) == 1) {
    piece[1] = '\0';
    put(out, ";");
    put(out, piece);
  }
  put(out, "\n");
}

int32_t tessaro_sample_describe(TessaroRegisteredContext* ctx, char* out_text, size_t size) {
  const TessaroRegisteredContextVtbl* t;
  Out out;
  const char* text = "";
  const TessaroStringList* list = NULL;
  int32_t number = 0, code, i, files;
  if (ctx == NULL || out_text == NULL || size == 0 || ctx->version < 1 || ctx->size < sizeof *ctx)
    return TESSARO_E_UNEXPECTED;
  t = ctx->vtbl;
  out.at = out_text;
  out.left = size;
  *out_text = '\0';
  /* Each result is read only after its call has returned: C leaves the order
   * of a call's arguments open. */
  put(&out, TESSARO_IID_REGISTERED_CONTEXT "\n");
  code = t->ircCommandTimeout(ctx, &number);
  put_number(&out, "CommandTimeout", code, number);
  code = t->ircConnectionString(ctx, 1, &text);
  put_text(&out, "ConnectionString(ro)", code, text);
  code = t->ircConnectionString(ctx, 0, &text);
  put_text(&out, "ConnectionString(rw)", code, text);
  code = t->ircDefaultCatalog(ctx, &text);
  put_text(&out, "DefaultCatalog", code, text);
  code = t->ircGetAccountParams(ctx, &list);
  put_list(&out, "AccountParams", code, list);
  files = t->ircGetFilesCount(ctx);
  put_number(&out, "FilesCount", TESSARO_S_OK, files);
  for (i = 0; i <= files; ++i) put_file(&out, ctx, i); /* one past the last */
  put_file(&out, ctx, -1);
  code = t->ircGetOptionsFields(ctx, &list);
  put_list(&out, "OptionsFields", code, list);
  code = t->ircGetRequestFields(ctx, &list);
  put_list(&out, "RequestFields", code, list);
  code = t->ircRemoteAddr(ctx, &text);
  put_text(&out, "RemoteAddr", code, text);
  code = t->ircSessionID(ctx, &text);
  put_text(&out, "SessionID", code, text);
  code = t->ircSessionIDHash(ctx, 7, &number);
  put_number(&out, "SessionIDHash", code, number);
  return TESSARO_S_OK;
}
