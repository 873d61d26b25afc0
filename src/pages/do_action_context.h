// TTessaroDoActionContext: a record action (/Action). It runs the item's
// action the request names once, on the record the request names, and says
// where the browser goes next. An action is either SQL run on the read-write
// connection, or, when its text is a braced class identifier, a handler from
// a plug-in library (pages/action_handlers.h) that is handed the visitor's
// context.
#pragma once

#include <memory>
#include <string>

#include "pages/action_handlers.h"
#include "pages/evidence_context.h"
#include "settings/published.h"

namespace tessaro {

class TOdbcCommand;
struct TParameter;
class TParameters;

// The parameter a finished SQL action reports through: the first, in text
// order, that the database writes back (output, input-output or return
// value); null when there is none. Later ones are ignored.
const TParameter* WrittenBackParameter(const TParameters& params);

class TTessaroDoActionContext : public TPublished<TTessaroDoActionContext, TTessaroEvidenceContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroDoActionContext>& p);
  TTessaroDoActionContext(TWebRequest* request, TWebAppOptions* options, TWebResponse* response);
  ~TTessaroDoActionContext() override;

  // Request keys; PID and PID2 may be replaced by the action's output.
  std::string EID;  // InstanceID of the action
  std::string FID;
  std::string PID;
  std::string PID2;

  std::string GetPID() const override { return PID; }
  std::string GetPID2() const override { return PID2; }
  bool KeepsHistory() const override { return false; }

  // Runs the action once and returns the content to send instead of a
  // redirect (only a handler gives one; UTF-8). A failure does not throw: it
  // leaves Succeeded false and its text in Message.
  std::string Run();
  // Where the browser goes after Run: the success detail page, or the page
  // to return to with the message in "actionresult". Always an address of
  // this portal; the main page when the visitor's addresses are not.
  std::string ResultURL();

  const std::string& Message() const { return message_; }
  bool Succeeded() const { return succeeded_; }
  const TVariant& ResultValue() const { return result_value_; }

 protected:
  void InitContext() override;
  void PrepareContext() override;

 private:
  void RunCommand();
  std::string RunHandler();
  std::string ReturnURL() const;

  std::string message_;  // an error, or the action's message
  bool succeeded_ = false;
  TVariant result_value_;                  // the action's result; null when it gave none
  std::unique_ptr<TOdbcCommand> command_;  // an SQL action's command
  TActionHandlerPtr handler_;              // a handler action's handler
};

}  // namespace tessaro
