// Runs tessaro-admin as a child process with its output collected in files,
// so that neither stream can block the other.
#include "e2e/admin_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tessaro::testing {
namespace {

std::string ReadWhole(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string BuiltAdminPath() { return std::string(TESSARO_BUILD_DIR) + "/tessaro-admin"; }

AdminResult RunAdmin(const std::vector<std::string>& args, const std::string& dir) {
  const std::string out_name = dir + "/.admin-out";
  const std::string err_name = dir + "/.admin-err";
  std::vector<std::string> argv_strings = {BuiltAdminPath()};
  argv_strings.insert(argv_strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& arg : argv_strings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0 || !freopen(out_name.c_str(), "w", stdout) || !freopen(err_name.c_str(), "w", stderr))
      _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  AdminResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadWhole(out_name);
  result.err = ReadWhole(err_name);
  std::filesystem::remove(out_name);
  std::filesystem::remove(err_name);
  return result;
}

std::string SamplePortalXml() {
  return R"(<?xml version="1.0" encoding="UTF-8"?>
<TessaroModel Format="1">
  <Definitions>
    <Connection CommandTimeout="30" R_ConnectionString="Driver=SQLite3;Database=portal.db" RW_ConnectionString="" SupportsCatalogs="False"/>
    <ApplicationTypes ElementClass="TApplicationType" Count="1">
      <ApplicationType>
        <InstanceID>{11111111-0000-0000-0000-000000000001}</InstanceID>
        <TypeName>Účetnictví</TypeName>
        <ParamTypeDefs ElementClass="TParamTypeDef" Count="1">
          <ParamTypeDef>
            <InstanceID>{55555555-0000-0000-0000-000000000001}</InstanceID>
            <detApplicationTypeID>{11111111-0000-0000-0000-000000000001}</detApplicationTypeID>
            <detParamEditorID>{A43571D9-5341-4C1F-9E4F-AA182B342A77}</detParamEditorID>
            <ParamTypeName>Zákazník</ParamTypeName>
            <ParamEditorOptions><Lines Count="2"><Item0>select id, name</Item0><Item1>from customers</Item1></Lines></ParamEditorOptions>
          </ParamTypeDef>
        </ParamTypeDefs>
        <ApplicationRoles ElementClass="TApplicationRole" Count="1">
          <ApplicationRole>
            <InstanceID>{22222222-0000-0000-0000-000000000001}</InstanceID>
            <detApplicationTypeID>{11111111-0000-0000-0000-000000000001}</detApplicationTypeID>
            <RoleName>Zákazníci</RoleName>
            <EvidenceItems ElementClass="TEvidenceItem" Count="1">
              <EvidenceItem>
                <InstanceID>{33333333-0000-0000-0000-000000000001}</InstanceID>
                <detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID>
                <EvidenceName>Faktury</EvidenceName>
                <OrderInList>1</OrderInList>
                <ParametrizedSelectClause Count="1"><Item0>select * from invoices</Item0></ParametrizedSelectClause>
                <ProducerTemplate><Caption>Faktury</Caption><MaxRows>10</MaxRows></ProducerTemplate>
                <EvidenceDetailPages ElementClass="TEvidenceItemDetailPage" Count="1">
                  <EvidenceItemDetailPage>
                    <InstanceID>{66666666-0000-0000-0000-000000000001}</InstanceID>
                    <detEvidenceItemID>{33333333-0000-0000-0000-000000000001}</detEvidenceItemID>
                    <EvidenceDetailName>Detail</EvidenceDetailName>
                    <DetailSelectClause Count="1"><Item0>select * from invoices where id = :PID</Item0></DetailSelectClause>
                  </EvidenceItemDetailPage>
                </EvidenceDetailPages>
              </EvidenceItem>
            </EvidenceItems>
          </ApplicationRole>
        </ApplicationRoles>
      </ApplicationType>
    </ApplicationTypes>
  </Definitions>
  <UserData>
    <Connection CommandTimeout="60" R_ConnectionString="Driver=SQLite3;Database=portal.db" RW_ConnectionString=""/>
    <UserAccounts ElementClass="TUserAccount" Count="2">
      <UserAccount>
        <InstanceID>{44444444-0000-0000-0000-000000000001}</InstanceID>
        <Username>jan</Username>
        <Password>heslo</Password>
        <AccountName>Jan Novák</AccountName>
        <detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID>
        <ParameterValues Count="1"><Item0><Name>CID</Name><DataType>ftInteger</DataType><Value Type="Integer">42</Value></Item0></ParameterValues>
      </UserAccount>
      <UserAccount>
        <InstanceID>{44444444-0000-0000-0000-000000000002}</InstanceID>
        <Username>eva</Username>
        <Password>tajné</Password>
        <AccountName>Eva Dvořáková</AccountName>
        <detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID>
      </UserAccount>
    </UserAccounts>
    <RoleOverrides ElementClass="TUserOverride_ApplicationRole" Count="1">
      <UserOverride_ApplicationRole>
        <InstanceID>{77777777-0000-0000-0000-000000000001}</InstanceID>
        <detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID>
        <RoleName>Odběratelé</RoleName>
        <BlackBoard Count="1"><Item0>Vítejte</Item0></BlackBoard>
      </UserOverride_ApplicationRole>
    </RoleOverrides>
  </UserData>
</TessaroModel>
)";
}

}  // namespace tessaro::testing
