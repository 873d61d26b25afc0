/* An example record-action handler: it writes a note about a record into the
 * portal's database, through the read-write connection the visitor's context
 * names, and tells the visitor so.
 *
 * The note goes into a table the administrator creates:
 *
 *     CREATE TABLE record_notes (item_id VARCHAR(38), record_id VARCHAR(100),
 *                                author VARCHAR(100), note VARCHAR(2000));
 *
 * It serves two class identifiers:
 *   {6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E01}  writes the note; the visitor
 *       goes back with the message "Poznámka uložena."
 *   {6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E02}  writes the note and answers with
 *       a receipt page instead.
 * The note is the request field "note"; the record is PID, the item the
 * request field "ID", the author the account's user name. Without a record
 * the action fails without a message; without a note text, or when the
 * database refuses the row, it fails with one.
 *
 * It links the ODBC driver manager itself (the portal opens the same one on
 * demand) and passes its texts narrow, as UTF-8. */
#include <locale.h>
#include <sql.h>
#include <sqlext.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tessaro/record_action_handler.h"

#define CLASS_MESSAGE "{6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E01}"
#define CLASS_RECEIPT "{6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E02}"

#define TEXT_SIZE 2048

typedef struct {
  TessaroRecordActionHandler base; /* first: the portal sees only this */
  uint32_t references;
  int receipt;              /* answer with a receipt page */
  char result[TEXT_SIZE];   /* the message handed to the portal */
  char content[4 * TEXT_SIZE];
} NoteHandler;

/* Copies at most size-1 bytes, never cutting a UTF-8 character. */
static void copy_text(char* to, size_t size, const char* from) {
  size_t n = strlen(from);
  if (n >= size) {
    n = size - 1;
    while (n > 0 && ((unsigned char)from[n] & 0xC0) == 0x80) --n;
  }
  memcpy(to, from, n);
  to[n] = '\0';
}

/* The value of the line "name=..." of a list; "" when there is none. */
static const char* list_value(const TessaroStringList* list, const char* name) {
  size_t length = strlen(name);
  int32_t i;
  if (list == NULL) return "";
  for (i = 0; i < list->count(list); ++i) {
    const char* line = list->item(list, i);
    if (strncmp(line, name, length) == 0 && line[length] == '=') return line + length + 1;
  }
  return "";
}

/* Appends `text` to `out` (of `size` bytes) with the HTML special characters
 * escaped. */
static void append_escaped(char* out, size_t size, const char* text) {
  size_t at = strlen(out);
  for (; *text != '\0'; ++text) {
    const char* piece;
    char single[2] = {*text, '\0'};
    size_t n;
    switch (*text) {
      case '<': piece = "&lt;"; break;
      case '>': piece = "&gt;"; break;
      case '&': piece = "&amp;"; break;
      case '"': piece = "&quot;"; break;
      case '\'': piece = "&#39;"; break;
      default: piece = single; break;
    }
    n = strlen(piece);
    if (at + n >= size) break;
    memcpy(out + at, piece, n);
    at += n;
    out[at] = '\0';
  }
}

static void append(char* out, size_t size, const char* text) {
  size_t at = strlen(out);
  copy_text(out + at, size - at, text);
}

/* The driver's first diagnostic message for `handle`, after `prefix`. */
static void diagnostic(char* out, size_t size, const char* prefix, SQLSMALLINT type, SQLHANDLE handle) {
  SQLCHAR state[6];
  SQLCHAR message[512];
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  copy_text(out, size, prefix);
  if (handle != SQL_NULL_HANDLE &&
      SQL_SUCCEEDED(SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length)))
    append(out, size, (const char*)message);
}

/* Writes the note; returns 0, or -1 with the reason in `error`. */
static int insert_note(const char* connection_string, const char* item, const char* record, const char* author,
                       const char* note, char* error, size_t error_size) {
  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;
  SQLHSTMT stmt = SQL_NULL_HSTMT;
  const char* values[4];
  SQLLEN lengths[4];
  int i, ok = -1;
  values[0] = item;
  values[1] = record;
  values[2] = author;
  values[3] = note;
  /* The driver manager converts narrow texts by the character type locale;
   * the portal's texts are UTF-8. */
  setlocale(LC_CTYPE, "C.UTF-8");
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)) ||
      !SQL_SUCCEEDED(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0)) ||
      !SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
    copy_text(error, error_size, "Nelze použít databázi.");
    goto done;
  }
  if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, NULL, (SQLCHAR*)connection_string, SQL_NTS, NULL, 0, NULL,
                                      SQL_DRIVER_NOPROMPT))) {
    diagnostic(error, error_size, "Nelze se připojit k databázi: ", SQL_HANDLE_DBC, dbc);
    goto done;
  }
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt)) ||
      !SQL_SUCCEEDED(SQLPrepare(stmt,
                                (SQLCHAR*)"INSERT INTO record_notes (item_id, record_id, author, note) "
                                          "VALUES (?, ?, ?, ?)",
                                SQL_NTS))) {
    diagnostic(error, error_size, "Poznámku nelze uložit: ", SQL_HANDLE_STMT, stmt);
    goto done;
  }
  for (i = 0; i < 4; ++i) {
    lengths[i] = (SQLLEN)strlen(values[i]);
    if (!SQL_SUCCEEDED(SQLBindParameter(stmt, (SQLUSMALLINT)(i + 1), SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                        lengths[i] > 0 ? (SQLULEN)lengths[i] : 1, 0, (SQLPOINTER)values[i], 0,
                                        &lengths[i]))) {
      diagnostic(error, error_size, "Poznámku nelze uložit: ", SQL_HANDLE_STMT, stmt);
      goto done;
    }
  }
  if (!SQL_SUCCEEDED(SQLExecute(stmt))) {
    diagnostic(error, error_size, "Poznámku nelze uložit: ", SQL_HANDLE_STMT, stmt);
    goto done;
  }
  ok = 0;
done:
  if (stmt != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  if (dbc != SQL_NULL_HDBC) {
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  }
  if (env != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env);
  return ok;
}

static uint32_t note_add_ref(TessaroRecordActionHandler* handler) {
  return ++((NoteHandler*)handler)->references;
}

static uint32_t note_release(TessaroRecordActionHandler* handler) {
  NoteHandler* self = (NoteHandler*)handler;
  uint32_t left = --self->references;
  if (left == 0) free(self);
  return left;
}

static int32_t note_execute(TessaroRecordActionHandler* handler, TessaroRegisteredContext* ctx,
                            const char* const args[3], const char** result, int32_t* status) {
  NoteHandler* self = (NoteHandler*)handler;
  const TessaroStringList* account = NULL;
  const TessaroStringList* request = NULL;
  const char* connection_string = NULL;
  char author[128];
  char item[64];
  char note[TEXT_SIZE];
  const char* record = args[TESSARO_ACTION_ARG_PID];

  self->result[0] = '\0';
  self->content[0] = '\0';
  *result = NULL;
  if (record[0] == '\0') {
    *status = TESSARO_E_FAIL; /* no record: the portal's general message */
    return TESSARO_S_OK;
  }
  if (ctx->vtbl->ircGetRequestFields(ctx, &request) != TESSARO_S_OK ||
      ctx->vtbl->ircGetAccountParams(ctx, &account) != TESSARO_S_OK ||
      ctx->vtbl->ircConnectionString(ctx, 0, &connection_string) != TESSARO_S_OK)
    return TESSARO_E_UNEXPECTED;
  /* The lists' texts change on the next call: keep copies. */
  copy_text(note, sizeof note, list_value(request, "note"));
  copy_text(item, sizeof item, list_value(request, "ID"));
  copy_text(author, sizeof author, list_value(account, "#Username"));
  if (note[0] == '\0') {
    copy_text(self->result, sizeof self->result, "Poznámka je prázdná.");
    *result = self->result;
    *status = TESSARO_E_FAIL;
    return TESSARO_S_OK;
  }
  if (insert_note(connection_string, item, record, author, note, self->result, sizeof self->result) != 0) {
    *result = self->result;
    *status = TESSARO_E_FAIL;
    return TESSARO_S_OK;
  }
  copy_text(self->result, sizeof self->result, "Poznámka uložena.");
  *result = self->result;
  *status = TESSARO_S_OK;
  if (self->receipt) {
    char* out = self->content;
    size_t size = sizeof self->content;
    append(out, size, "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Poznámka uložena</title></head>\n"
                      "<body><h1>Poznámka uložena</h1>\n<p class=\"record\">Záznam: ");
    append_escaped(out, size, record);
    append(out, size, "</p>\n<p class=\"author\">Autor: ");
    append_escaped(out, size, author);
    append(out, size, "</p>\n<p class=\"note\">");
    append_escaped(out, size, note);
    append(out, size, "</p>\n</body></html>\n");
  }
  return TESSARO_S_OK;
}

static int32_t note_get_content(TessaroRecordActionHandler* handler, const char** content) {
  *content = ((NoteHandler*)handler)->content;
  return TESSARO_S_OK;
}

static const TessaroRecordActionHandlerVtbl note_vtbl = {note_add_ref, note_release, note_execute, note_get_content};

/* Letter case of the identifier does not matter. */
static int same_id(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    char x = (*a >= 'a' && *a <= 'z') ? (char)(*a - 32) : *a;
    char y = (*b >= 'a' && *b <= 'z') ? (char)(*b - 32) : *b;
    if (x != y) return 0;
  }
  return *a == *b;
}

__attribute__((visibility("default"))) int32_t tessaro_create_action_handler(const char* class_id,
                                                                             uint32_t portal_version,
                                                                             TessaroRecordActionHandler** out) {
  NoteHandler* self;
  int receipt;
  if (out == NULL) return TESSARO_E_FAIL;
  *out = NULL;
  if (class_id == NULL || portal_version < 1) return TESSARO_E_FAIL;
  if (same_id(class_id, CLASS_MESSAGE))
    receipt = 0;
  else if (same_id(class_id, CLASS_RECEIPT))
    receipt = 1;
  else
    return TESSARO_E_FAIL;
  self = (NoteHandler*)calloc(1, sizeof *self);
  if (self == NULL) return TESSARO_E_FAIL;
  self->base.vtbl = &note_vtbl;
  self->references = 1;
  self->receipt = receipt;
  *out = &self->base;
  return TESSARO_S_OK;
}
