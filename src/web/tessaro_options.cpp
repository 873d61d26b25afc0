// The portal's options: their INI keys with the values they hold until the
// option files say otherwise, and the loading of the options, the regional
// settings and the model, one after the other.
#include "web/tessaro_options.h"

#include "db/odbc_connection.h"
#include "model/global_settings.h"
#include "model/inet_mgr_model.h"
#include "model/io/model_file.h"
#include "settings/ini_file.h"
#include "settings/internat_settings.h"
#include "settings/option_files.h"
#include "settings/published_visitors.h"
#include "util/module_path.h"

namespace tessaro {

void TTessaroOptions::DeclareProperties(TPropertyDeclarations<TTessaroOptions>& p) {
  using T = TTessaroOptions;
  p.Integer("AccountsRefreshInterval", &T::AccountsRefreshInterval, 0)
      .StringList("BlackBoard_AllUsers", &T::BlackBoard_AllUsers)
      .StringList("BlackBoard_RegisteredUsers", &T::BlackBoard_RegisteredUsers)
      .String("bridge_in_param", &T::bridge_in_param, "")
      .String("bridge_url", &T::bridge_url, "")
      .String("bridge_url_param", &T::bridge_url_param, "")
      .String("class_aktivni", &T::class_aktivni, "")
      .String("class_detailhref", &T::class_detailhref, "")
      .String("class_evenrow", &T::class_evenrow, "")
      .String("class_submitbutton", &T::class_submitbutton, "")
      .String("class_tablefoot", &T::class_tablefoot, "")
      .String("class_tablehead", &T::class_tablehead, "")
      .Integer("cpu_time_limit", &T::cpu_time_limit, kDefaultCpuTimeLimitSeconds)
      .String("default_jpeg_image", &T::default_jpeg_image, "")
      .String("detail_link_text", &T::detail_link_text, "")
      .String("detail_target", &T::detail_target, "")
      .Boolean("EMAIL_Bcc_Enable", &T::EMAIL_Bcc_Enable, false)
      .String("EMAIL_Bcc_To", &T::EMAIL_Bcc_To, "")
      .String("EMAIL_Registrace_From", &T::EMAIL_Registrace_From, "")
      .String("EMAIL_Registrace_To", &T::EMAIL_Registrace_To, "")
      .Integer("list_img_height", &T::list_img_height, 40)
      .Integer("list_img_width", &T::list_img_width, 40)
      .String("pgCHECKOUTFAIL", &T::pgCHECKOUTFAIL, "")
      .String("pgCHECKOUTOK", &T::pgCHECKOUTOK, "")
      .String("pgERROR", &T::pgERROR, "")
      .String("pgREGISTFAIL", &T::pgREGISTFAIL, "")
      .String("pgREGISTOK", &T::pgREGISTOK, "")
      .String("pgREGISTSecCodeField", &T::pgREGISTSecCodeField, "")
      .String("pgREMINDFAIL", &T::pgREMINDFAIL, "")
      .String("pgREMINDOK", &T::pgREMINDOK, "")
      .String("pgROZCESTNIK", &T::pgROZCESTNIK, "")
      .String("pgTABULKA", &T::pgTABULKA, "")
      .Integer("SMTPAuthType", &T::SMTPAuthType, 1)
      .String("SMTPPassword", &T::SMTPPassword, "")
      .Integer("SMTPPort", &T::SMTPPort, 25)
      .String("SMTPServer", &T::SMTPServer, "")
      .String("SMTPUserName", &T::SMTPUserName, "")
      .Integer("UploadStreamSizeLimit", &T::UploadStreamSizeLimit, 0);
  p.String("user_cookie_key", &T::user_cookie_key, "");
}

TTessaroOptions::TTessaroOptions() : Model(std::make_unique<TInetMgrModel>()) {
  Model->Mode = TInetMgrModel::kUserDataMode;
}

TTessaroOptions::~TTessaroOptions() = default;

void TTessaroOptions::Load(const std::string& ini_file_name) {
  // One handle for the whole load keeps the module's INI file parsed once.
  TZNKIniFile ini(ini_file_name);
  ini_file_name_ = ini_file_name;
  LoadOptionFiles(*this, ini_file_name);
  // At once, so that the ceiling also bounds loading the model.
  ApplyCpuTimeLimit(cpu_time_limit);

  TInternatSettings internat;
  ReadPublishedFromIni(internat, ini, "INTERNAT");
  internat.Apply();

  LoadModel();
}

const TStrings& TTessaroOptions::ActionHandlers() {
  if (!action_handlers_) {
    auto lines = std::make_unique<TStrings>();
    if (!ini_file_name_.empty()) {
      TZNKIniFile overrides(ini_file_name_);
      TZNKIniFile defaults(DefaultsFileName(overrides.FileName()));
      *lines = MergedSection(defaults, overrides, "ACTIONHANDLERS");
    }
    action_handlers_ = std::move(lines);
  }
  return *action_handlers_;
}

// Every request reads the files anew: administrators replace them while the
// portal runs, and the next request sees the new model.
void TTessaroOptions::LoadModel() {
  T_GlobalSettings& settings = T_GlobalSettings::Instance();
  LoadPortalModel(*Model, ModuleDir(), {&settings.DefinitionConnection(), &settings.UserConnection()});
}

std::unique_ptr<TDBConnection> TTessaroOptions::NewConnection(bool read_only) {
  return T_GlobalSettings::Instance().UserConnection().GetConnection(read_only, "");
}

}  // namespace tessaro
