// What the first page of a record list costs when its SQL returns 1,000,
// 10,000 and 100,000 rows. A list's data set is a client-side static cursor:
// the whole result is fetched, then paged in memory, so the cost grows with
// the result, not with the page.
//
// One request is what a list page does after the model is loaded: the
// record page's context for a logged-in visitor, a read-only connection to a
// SQLite database over ODBC, the item's SQL prepared and bound, every row
// fetched (five columns: integer, text, Czech text, date, decimal), the
// cursor moved to the page, and the 25-row HTML table written. Each size
// runs in a process of its own, so that its peak memory is its own.
//
// Usage: list_page_bench [ROWS ...]   (default 1000 10000 100000)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "context/table_context.h"
#include "context/table_producer.h"
#include "db/odbc_command.h"
#include "db/odbc_connection.h"
#include "model/application_role.h"
#include "model/application_type.h"
#include "model/evidence_item.h"
#include "model/global_settings.h"
#include "model/inet_mgr_model.h"
#include "model/user_account.h"
#include "pages/evidence_context.h"
#include "util/identifiers.h"
#include "util/regional_settings.h"
#include "web/tessaro_options.h"

namespace {

using namespace tessaro;

const std::string kAccount = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
const std::string kItem = "{AAAAAAAA-0000-0000-0000-000000000001}";
const char* const kListSql =
    "select id, number, customer, ordered_on, total from orders "
    "where (:HLEDAT is null or customer like :HLEDAT) order by id";

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A database of `rows` orders in `file`.
void FillDatabase(const std::string& file, int rows) {
  auto connection = CreateConnection("Driver=SQLite3;Database=" + file, "", 0);
  connection->Open();
  for (const std::string& sql :
       {std::string("CREATE TABLE orders (id INTEGER PRIMARY KEY, number VARCHAR(20), customer VARCHAR(60), "
                    "ordered_on DATE, total DOUBLE)"),
        "WITH RECURSIVE s(g) AS (SELECT 1 UNION ALL SELECT g + 1 FROM s WHERE g < " + std::to_string(rows) +
            ") INSERT INTO orders SELECT g, printf('OBJ-%07d', g), "
            "printf('Zahradnictví Růžička %d s.r.o.', g % 500), date('2020-01-01', '+' || (g % 2000) || ' days'), "
            "(g * 37) % 100000 / 10.0 FROM s"}) {
    TOdbcCommand command(connection.get());
    command.SetCommandText(sql);
    command.Execute();
  }
}

// The model of one role with the list item and one account in it.
void BuildModel(TTessaroOptions& options) {
  TInetMgrModel& model = *options.Model;
  auto add = [](auto& list, auto element, const std::string& id) {
    element->InstanceID = id;
    return list.AddNew(std::move(element));
  };
  add(model.ApplicationTypes(), std::make_unique<TApplicationType>(), "{T}");
  add(model.ApplicationRoles(), std::make_unique<TApplicationRole>(), "{R}")->detApplicationTypeID = "{T}";
  TEvidenceItem* item = add(model.EvidenceItems(), std::make_unique<TEvidenceItem>(), kItem);
  item->detApplicationRoleID = "{R}";
  item->ParametrizedSelectClause.Add(kListSql);
  add(model.UserAccounts(), std::make_unique<TUserAccount>(), kAccount)->detApplicationRoleID = "{R}";
  model.LinkAll();
  model.AfterLoadAll();
  options.ShowListPath = "/ShowList";
  options.table_empty = "(nic)";
}

// One list request; the size of the table written.
size_t ServeListPage(TTessaroOptions& options) {
  std::map<std::string, std::string> env{{"REQUEST_METHOD", "GET"},   {"HTTP_HOST", "portal.example"},
                                         {"SERVER_PORT", "80"},        {"SCRIPT_NAME", "/tessaro.cgi"},
                                         {"PATH_INFO", "/ShowList"},   {"QUERY_STRING", "ID=" + kItem + "&page_no=1"},
                                         {"HTTP_COOKIE", "ZNKCGIUSERID=" + EncodeID(kAccount)}};
  int fds[2];
  if (pipe(fds) != 0) std::abort();
  close(fds[1]);
  TWebRequest request(CgiEnvironment::FromMap(env), fds[0]);
  close(fds[0]);
  TWebResponse response(request, -1);
  auto context = MakeContext<TTessaroEvidenceContext>(&request, &options, &response);
  if (!context->Valid()) {
    std::fprintf(stderr, "the list's context refused the visitor\n");
    std::exit(1);
  }
  context->OpenConnection(true);
  auto data_set = context->OpenDataSet(kListSql, clUseClient, ctStatic);
  TBaseImplementsIRequestTableContext table(context.get(), nullptr, data_set.get());
  TZNKTableProducer producer;
  const std::string html = table.TableContent(producer, TStrings());
  return html.size();
}

void MeasureSize(int rows) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tessaro-list-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string file = (folder / "orders.db").string();
  FillDatabase(file, rows);
  TTessaroOptions options;
  BuildModel(options);
  T_GlobalSettings::Instance().UserConnection().R_ConnectionString = "Driver=SQLite3;Database=" + file + ";NoCreat=1";

  const long before = PeakKilobytes();
  const size_t bytes = ServeListPage(options);  // warms the driver and the caches
  const int runs = rows >= 100000 ? 5 : rows >= 10000 ? 20 : 100;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i) ServeListPage(options);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / runs;
  std::printf("%7d rows: %8.2f ms per request, peak %6.1f MB (%.1f MB before the first request), page %zu bytes\n",
              rows, ms, PeakKilobytes() / 1024.0, before / 1024.0, bytes);
  std::fflush(stdout);
  std::filesystem::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 10000, 100000};
  if (std::getenv("ODBCSYSINI") == nullptr) setenv("ODBCSYSINI", TESSARO_SOURCE_DIR "/scripts/odbc", 1);
  ResetRegionalSettings();
  for (int rows : sizes) {
    const pid_t child = fork();
    if (child == 0) {
      MeasureSize(rows);
      std::_Exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "the measurement of %d rows failed\n", rows);
      return 1;
    }
  }
  return 0;
}
