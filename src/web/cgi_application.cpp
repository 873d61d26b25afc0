#include "web/cgi_application.h"

#include <new>

#include "cgi/web_response.h"
#include "util/exception.h"
#include "util/number_format.h"
#include "util/text.h"
#include "web/main_module.h"

namespace tessaro {
namespace {

int64_t MaxBodyBytes(const CgiEnvironment& env) {
  int64_t limit = 0;
  std::string text = env.get(kMaxBodyVariable);
  if (!text.empty() && TryStrToInt(Trim(text), limit) && limit >= 0) return limit;
  return TWebRequest::kDefaultMaxBodyBytes;
}

const char* ClassNameOf(const std::exception& error) {
  if (const auto* e = dynamic_cast<const Exception*>(&error)) return e->ClassName();
  if (dynamic_cast<const std::bad_alloc*>(&error)) return "EOutOfMemory";
  return "Exception";
}

}  // namespace

int RunCgiRequest(const CgiEnvironment& env, int input_fd, int output_fd) {
  try {
    TWebRequest request(env, input_fd, MaxBodyBytes(env));
    TWebResponse response(request, output_fd);
    auto module = CreateModule<TmainModule>();
    try {
      bool handled = module->Dispatch(request, response);
      if (handled && !response.Sent()) response.SendResponse();
    } catch (const std::exception& error) {
      // Past the module's traps: the error page goes out at once.
      module->FreeContext();
      module->HandleException(error, request, response);
    }
  } catch (const std::exception& error) {
    WriteUnhandledFailure(output_fd, ClassNameOf(error), error.what());
  } catch (...) {
    WriteUnhandledFailure(output_fd, "Exception", "Unknown failure");
  }
  return 0;
}

}  // namespace tessaro
