/*
 * The logged-in visitor's context as record-action handler plug-ins see it.
 *
 * A plug-in is a shared library written in C (or anything that can call C).
 * The portal hands it a TessaroRegisteredContext: a versioned header, an
 * opaque pointer to the portal's own context and a table of thirteen
 * functions in a fixed order. Every function takes the context as its first
 * argument:
 *
 *     int32_t timeout;
 *     if (ctx->vtbl->ircCommandTimeout(ctx, &timeout) == TESSARO_S_OK) ...
 *
 * Rules that hold for the whole table:
 * - No C++ exception ever leaves a function of the table. Functions that
 *   return an int32_t result code return TESSARO_S_OK (0) on success and a
 *   negative code (TESSARO_E_UNEXPECTED) on any failure, including a null
 *   context or a null out-pointer; their out-values are then set to an empty
 *   text, NULL list or 0 where the out-pointer was given.
 *   The four uploaded-file functions have no result code: a failure or an
 *   index out of range gives an empty result (empty text, an empty stream, 0).
 * - Texts are UTF-8, NUL-terminated, and owned by the portal. A text stays
 *   valid until the next call of the same function through the same context,
 *   or until the context ends, whichever comes first; copy it to keep it.
 * - Lists and streams are owned by the portal and live as long as the
 *   context; a list's texts are rebuilt, and earlier item pointers become
 *   invalid, when the function that returned the list is called again.
 * - The context lives for one request: a plug-in must not keep any pointer
 *   obtained here after the call that handed it the context has returned.
 * - The table is not thread-safe; call it from the thread that got it.
 */
#ifndef TESSARO_REGISTERED_CONTEXT_H
#define TESSARO_REGISTERED_CONTEXT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The interface identifier of the visitor's context. */
#define TESSARO_IID_REGISTERED_CONTEXT "{B92CF036-1896-4EDF-A676-31EC9EB08002}"

/* The layout described by this header. A newer portal only appends
 * functions to the table and raises the version; check `version` (and
 * `size`) before calling a function added after the version you build
 * against. */
#define TESSARO_REGISTERED_CONTEXT_VERSION 1

/* Result codes. */
#define TESSARO_S_OK ((int32_t)0)
#define TESSARO_E_UNEXPECTED ((int32_t)(-2147418113)) /* 0x8000FFFF */

/* A read-only list of texts (name=value lines). Owned by the portal. */
typedef struct TessaroStringList {
  const void* self; /* the portal's state; do not touch */
  /* Number of lines; 0 for a null list. */
  int32_t (*count)(const struct TessaroStringList* list);
  /* Line `index` (0-based) as UTF-8; "" when the index is out of range.
   * Valid as long as the list's texts (see the rules above). */
  const char* (*item)(const struct TessaroStringList* list, int32_t index);
} TessaroStringList;

/* Origins for TessaroStream.seek, as in fseek. */
#define TESSARO_SEEK_SET 0
#define TESSARO_SEEK_CUR 1
#define TESSARO_SEEK_END 2

/* A read-only, seekable view of an uploaded file's bytes, which are not
 * copied. Owned by the portal; lives as long as the context. Not
 * thread-safe. */
typedef struct TessaroStream {
  void* self; /* the portal's state; do not touch */
  /* Copies up to `count` bytes from the current position into `buffer` and
   * advances; returns the number copied, 0 at the end, -1 for a null
   * buffer with a positive count or a negative count. */
  int64_t (*read)(struct TessaroStream* stream, void* buffer, int64_t count);
  /* Moves the position to `offset` from `origin` (TESSARO_SEEK_...); returns
   * the new position, or -1 (position unchanged) when it would fall outside
   * 0..size or the origin is unknown. */
  int64_t (*seek)(struct TessaroStream* stream, int64_t offset, int32_t origin);
  /* The number of bytes of the file. */
  int64_t (*size)(const struct TessaroStream* stream);
} TessaroStream;

struct TessaroRegisteredContext;

/* The functions, in this order; all take the context they came with. */
typedef struct TessaroRegisteredContextVtbl {
  /* 1. Command time-out, in seconds, of the portal's user database
   *    connections. */
  int32_t (*ircCommandTimeout)(struct TessaroRegisteredContext* ctx, int32_t* result);
  /* 2. Connection string of the user database: the read-only one when
   *    `read_only` is non-zero, else the read-write one. It may hold a
   *    password: never show it to the visitor. */
  int32_t (*ircConnectionString)(struct TessaroRegisteredContext* ctx, int16_t read_only, const char** result);
  /* 3. The database catalog of the visitor's account; "" without an
   *    account. */
  int32_t (*ircDefaultCatalog)(struct TessaroRegisteredContext* ctx, const char** result);
  /* 4. The account's fields, in the order #AccountE_mail, #AccountName,
   *    #Username, #Password, #CatalogName, #detApplicationRoleID, then one
   *    name=value line per non-empty parameter value of the account.
   *    Rebuilt on every call. */
  int32_t (*ircGetAccountParams)(struct TessaroRegisteredContext* ctx, const TessaroStringList** result);
  /* 5. The uploaded file `index` (0-based) of the request as a stream,
   *    positioned at its start; an empty stream when there is no such file.
   *    Calling again for the same index rewinds the same stream. NULL only
   *    for a null context or when memory runs out. */
  TessaroStream* (*ircGetFile)(struct TessaroRegisteredContext* ctx, int32_t index);
  /* 6. The form field name of uploaded file `index`; "" when there is none. */
  const char* (*ircGetFileFieldName)(struct TessaroRegisteredContext* ctx, int32_t index);
  /* 7. The file name the browser sent for uploaded file `index` (it may
   *    hold a client-side path: treat it as untrusted); "" when there is
   *    none. */
  const char* (*ircGetFileName)(struct TessaroRegisteredContext* ctx, int32_t index);
  /* 8. The number of uploaded files of the request. */
  int32_t (*ircGetFilesCount)(struct TessaroRegisteredContext* ctx);
  /* 9. Every application option as a name=value line. Fails when the
   *    portal has no options to list. */
  int32_t (*ircGetOptionsFields)(struct TessaroRegisteredContext* ctx, const TessaroStringList** result);
  /* 10. The request's fields (query, form and cookie keys) as name=value
   *     lines. These are the visitor's input: untrusted. */
  int32_t (*ircGetRequestFields)(struct TessaroRegisteredContext* ctx, const TessaroStringList** result);
  /* 11. The visitor's network address. */
  int32_t (*ircRemoteAddr)(struct TessaroRegisteredContext* ctx, const char** result);
  /* 12. The visitor's session identifier. */
  int32_t (*ircSessionID)(struct TessaroRegisteredContext* ctx, const char** result);
  /* 13. The session's code for `number`, as the portal computes it for its
   *     own links. */
  int32_t (*ircSessionIDHash)(struct TessaroRegisteredContext* ctx, int32_t number, int32_t* result);
} TessaroRegisteredContextVtbl;

/* What a plug-in receives. Owned by the portal for one request. */
typedef struct TessaroRegisteredContext {
  uint32_t size;    /* sizeof(TessaroRegisteredContext) of the portal */
  uint32_t version; /* TESSARO_REGISTERED_CONTEXT_VERSION of the portal */
  void* self;       /* the portal's context; do not touch */
  const TessaroRegisteredContextVtbl* vtbl;
} TessaroRegisteredContext;

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* TESSARO_REGISTERED_CONTEXT_H */
