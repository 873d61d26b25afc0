/*
 * Record-action handlers: plug-ins that carry out a record action.
 *
 * An action whose ActionSQL is a braced class identifier such as
 * "{6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E01}" is carried out by a handler. The
 * administrator maps class identifiers to libraries in the [ACTIONHANDLERS]
 * section of the portal's option files:
 *
 *     [ACTIONHANDLERS]
 *     {6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E01}=plugins/note_action_plugin.so
 *
 * A relative path is taken from the folder of tessaro.cgi. The library is
 * opened (dlopen, RTLD_NOW | RTLD_LOCAL) only when a request runs such an
 * action, and stays loaded until the process ends (one request).
 *
 * The library exports one entry point, TESSARO_CREATE_ACTION_HANDLER:
 *
 *     int32_t tessaro_create_action_handler(const char* class_id,
 *                                           uint32_t portal_version,
 *                                           TessaroRecordActionHandler** out);
 *
 * It creates a handler for `class_id` (the identifier as the administrator
 * wrote it in ActionSQL, braces included; compare it without regard to
 * letter case), stores it in *out with a reference count of one and returns
 * TESSARO_S_OK; for an identifier it does not serve, or on any other failure,
 * it stores NULL and returns a failure code. `portal_version` is the
 * TESSARO_RECORD_ACTION_HANDLER_VERSION the portal was built with.
 *
 * The portal then calls, once each and in this order: Execute, GetContent
 * (only when Execute reported success), Release. The handler's functions are
 * called from the one thread of the request; no C++ exception (or longjmp)
 * may leave them.
 *
 * Ownership and lifetime:
 * - Every text crossing this boundary is UTF-8 and NUL-terminated.
 * - Texts the portal passes in (class_id, the three arguments) are owned by
 *   the portal and valid until the function they were passed to returns.
 * - The context (registered_context.h) is valid only during Execute.
 * - Texts the handler passes out (the result of Execute, the content of
 *   GetContent) are owned by the handler and must stay valid until the next
 *   call on the handler or its final Release. The portal copies them.
 */
#ifndef TESSARO_RECORD_ACTION_HANDLER_H
#define TESSARO_RECORD_ACTION_HANDLER_H

#include <stdint.h>

#include "tessaro/registered_context.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The interface identifier of a record-action handler. */
#define TESSARO_IID_RECORD_ACTION_HANDLER "{771F0B97-4E2F-4368-B72B-4E5412290A1B}"

/* The layout described by this header. */
#define TESSARO_RECORD_ACTION_HANDLER_VERSION 1

/* The name of the entry point every handler library exports. */
#define TESSARO_CREATE_ACTION_HANDLER "tessaro_create_action_handler"

/* A general failure; any negative code reports failure. */
#define TESSARO_E_FAIL ((int32_t)(-2147467259)) /* 0x80004005 */

/* Whether a result or status code reports success: its top bit is clear. */
#define TESSARO_SUCCEEDED(code) ((int32_t)(code) >= 0)

/* Indexes of the arguments Execute receives. */
#define TESSARO_ACTION_ARG_PID 0
#define TESSARO_ACTION_ARG_PID2 1
#define TESSARO_ACTION_ARG_FID 2

struct TessaroRecordActionHandler;

/* The handler's functions, in this order. */
typedef struct TessaroRecordActionHandlerVtbl {
  /* Adds a reference; returns the new count. */
  uint32_t (*AddRef)(struct TessaroRecordActionHandler* handler);
  /* Drops a reference, freeing the handler at zero; returns the new count.
   * Texts the handler handed out are invalid afterwards. */
  uint32_t (*Release)(struct TessaroRecordActionHandler* handler);
  /* 1. Carries out the action for the visitor of `ctx`. `args` holds three
   *    texts, never NULL (an absent one is ""): the record's identifiers
   *    PID and PID2 and the field FID of the request that started the
   *    action (visitor input: untrusted). On return, *result is the
   *    action's result text or NULL for none, and *status reports the
   *    action's own success (TESSARO_SUCCEEDED). The return value is the
   *    call's error code: a failure code means the call itself failed, and
   *    the portal reports it with *result as the message when one is given.
   *    After success the result is the action's message and becomes the
   *    request's FID for the page shown next; after a failed status it is
   *    the message shown to the visitor (a general one when NULL or "").
   *    The portal sets *result to NULL and *status to TESSARO_E_FAIL
   *    before the call. */
  int32_t (*Execute)(struct TessaroRecordActionHandler* handler, TessaroRegisteredContext* ctx,
                     const char* const args[3], const char** result, int32_t* status);
  /* 2. The text the portal sends as the whole response (HTML, UTF-8)
   *    instead of sending the visitor on; NULL or "" for none. The handler
   *    escapes whatever of the visitor's input it puts into it. Returns an
   *    error code; on failure the content is taken as none. */
  int32_t (*GetContent)(struct TessaroRecordActionHandler* handler, const char** content);
} TessaroRecordActionHandlerVtbl;

/* A handler: a table of functions first, the handler's own state after it
 * (embed this struct as the first member of your own). */
typedef struct TessaroRecordActionHandler {
  const TessaroRecordActionHandlerVtbl* vtbl;
} TessaroRecordActionHandler;

/* The type of the entry point. */
typedef int32_t (*TessaroCreateActionHandlerFn)(const char* class_id, uint32_t portal_version,
                                                TessaroRecordActionHandler** out);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* TESSARO_RECORD_ACTION_HANDLER_H */
