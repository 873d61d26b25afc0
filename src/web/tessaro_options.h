// TTessaroOptions: the portal's options, one object per process. On top of
// the generic web module's keys it holds the templates, CSS classes, mail
// and login-bridge settings an administrator tunes in the INI files, the
// paths of the portal's actions, and (once loaded) the metadata model, so
// that every page context reaches the whole configuration through the one
// options pointer.
#pragma once

#include <memory>
#include <string>

#include "settings/web_app_options.h"
#include "web/cpu_time_limit.h"

namespace tessaro {

class TInetMgrModel;

class TTessaroOptions : public TPublished<TTessaroOptions, TWebAppOptions> {
 public:
  // A connection of the user-data connection settings, read-only or
  // read-write, not yet opened; null when that connection string is empty.
  std::unique_ptr<TDBConnection> NewConnection(bool read_only) override;

  static void DeclareProperties(TPropertyDeclarations<TTessaroOptions>& p);

  // An empty model in user-data mode.
  TTessaroOptions();
  ~TTessaroOptions() override;

  // Reads everything the options depend on, in this order: the option files
  // of `ini_file_name` (LoadOptionFiles), the regional settings of its
  // [INTERNAT] section, then the model. Throws Exception when any step fails;
  // the options are then unusable.
  void Load(const std::string& ini_file_name);

  int AccountsRefreshInterval = 0;      // accepted and kept; nothing depends on it
  TStrings BlackBoard_AllUsers;         // notice on the login form
  TStrings BlackBoard_RegisteredUsers;  // notice on the main page
  std::string bridge_in_param;          // login bridge: parameter of the answer
  std::string bridge_url;               // login bridge: address asked
  std::string bridge_url_param;         // login bridge: parameter of the request
  std::string class_aktivni;            // CSS class of the active menu entry
  std::string class_detailhref;         // CSS class of detail links
  std::string class_evenrow;            // CSS class of even table rows
  std::string class_submitbutton;       // CSS class of submit buttons
  std::string class_tablefoot;          // CSS class of table footers
  std::string class_tablehead;          // CSS class of table headers
  int cpu_time_limit = kDefaultCpuTimeLimitSeconds;  // processor seconds per request, 0 = no ceiling
  std::string default_jpeg_image;       // image shown when a record has none
  std::string detail_link_text;         // text of detail links
  std::string detail_target;            // target window of detail links
  bool EMAIL_Bcc_Enable = false;        // mail: send a blind copy
  std::string EMAIL_Bcc_To;             // mail: the blind copy's address
  std::string EMAIL_Registrace_From;    // mail: sender of registration mail
  std::string EMAIL_Registrace_To;      // mail: recipient of registration mail
  int list_img_height = 40;             // thumbnail height in record lists
  int list_img_width = 40;              // thumbnail width in record lists
  std::string pgCHECKOUTFAIL;           // template: form mail failed
  std::string pgCHECKOUTOK;             // template: form mail sent
  std::string pgERROR;                  // template of the error page
  std::string pgREGISTFAIL;             // template: registration failed
  std::string pgREGISTOK;               // template: registration sent
  std::string pgREGISTSecCodeField;     // registration form's security-code field
  std::string pgREMINDFAIL;             // template: reminder failed
  std::string pgREMINDOK;               // template: reminder sent
  std::string pgROZCESTNIK;             // template of the main page
  std::string pgTABULKA;                // template of record pages
  int SMTPAuthType = 1;                 // mail: authentication code
  std::string SMTPPassword;             // mail: password
  int SMTPPort = 25;                    // mail: server port
  std::string SMTPServer;               // mail: server
  std::string SMTPUserName;             // mail: user name
  int UploadStreamSizeLimit = 0;        // upload size limit
  std::string user_cookie_key;          // signs the user cookie when set (hex or Base64, 32+ bytes)

  // The metadata model, loaded by Load; never null. The connection settings
  // the files bring go to the process's T_GlobalSettings.
  std::unique_ptr<TInetMgrModel> Model;

  // The [ACTIONHANDLERS] section of the option files (merged as [BANNERS]
  // is): lines "{class identifier}=library file" naming the plug-in that
  // serves a record action. Read on first use, as few requests run one.
  const TStrings& ActionHandlers();

  // Paths of the portal's actions, copied from the action table by the module.
  std::string DoActionPath;    // waDoAction
  std::string ShowDetailPath;  // waShowDetail
  std::string ImgPath;         // waImg
  std::string ShowListPath;    // waShowList
  std::string ShowImgPath;     // waShowImg

 private:
  // Loads the model: the user file "user.idt" of the executable's folder with
  // the definition file it names, then the [CONNECTION] section of
  // "server.ini" there, when present, over the user file's connection settings.
  void LoadModel();

  std::string ini_file_name_;                 // the module's INI file, as Load got it
  std::unique_ptr<TStrings> action_handlers_;  // ActionHandlers, once read
};

}  // namespace tessaro
