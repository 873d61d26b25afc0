// What a list thumbnail costs: the whole program answering /ShowImg for a
// 2000 x 1500 JPEG stored in a SQLite database, scaled into 200 x 200 and
// sent as JPEG, for a logged-in visitor. Runs interleaved with a bare
// "hello" CGI built with the same flags and prints both medians, so that the
// picture's own share shows beside the start-up floor.
//
//   thumbnail_bench BUILD_DIR [RUNS]   (BUILD_DIR holds tessaro.cgi,
//                                       tessaro-admin and bench/hello_cgi)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "context/jpeg_codec.h"
#include "context/picture_formats.h"
#include "context/rgb_image.h"

namespace {

using namespace tessaro;

const char* const kPortalXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<TessaroModel Format="1"><Definitions>
<Connection CommandTimeout="30" R_ConnectionString="Driver=SQLite3;Database=pictures.db;NoCreat=1" RW_ConnectionString="" SupportsCatalogs="False"/>
<ApplicationTypes ElementClass="TApplicationType" Count="1"><ApplicationType>
<InstanceID>{11111111-0000-0000-0000-000000000001}</InstanceID><TypeName>Bench</TypeName>
<ApplicationRoles ElementClass="TApplicationRole" Count="1"><ApplicationRole>
<InstanceID>{22222222-0000-0000-0000-000000000001}</InstanceID>
<detApplicationTypeID>{11111111-0000-0000-0000-000000000001}</detApplicationTypeID><RoleName>Bench</RoleName>
<EvidenceItems ElementClass="TEvidenceItem" Count="1"><EvidenceItem>
<InstanceID>{33333333-0000-0000-0000-000000000001}</InstanceID>
<detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID><EvidenceName>Pictures</EvidenceName>
<ParametrizedSelectClause Count="1"><Item0>select id, photo from pictures</Item0></ParametrizedSelectClause>
<BlobSelectClause Count="1"><Item0>select %s from pictures where id = :PID</Item0></BlobSelectClause>
</EvidenceItem></EvidenceItems></ApplicationRole></ApplicationRoles></ApplicationType></ApplicationTypes></Definitions>
<UserData><Connection CommandTimeout="30" R_ConnectionString="Driver=SQLite3;Database=pictures.db;NoCreat=1" RW_ConnectionString=""/>
<UserAccounts ElementClass="TUserAccount" Count="1"><UserAccount>
<InstanceID>{44444444-0000-0000-0000-000000000001}</InstanceID><Username>bench</Username><Password>bench</Password>
<detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID></UserAccount></UserAccounts>
</UserData></TessaroModel>
)";

// A picture with the detail of a photograph: smooth gradients under fine
// noise, so that its JPEG is of a camera's size and costs a camera's decoding.
TRgbImage Photo(int width, int height) {
  TRgbImage image;
  image.Width = width;
  image.Height = height;
  image.Pixels.resize(static_cast<size_t>(width) * height * 3);
  uint32_t seed = 12345;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      seed = seed * 1664525 + 1013904223;
      const int noise = static_cast<int>(seed >> 27) - 16;
      uint8_t* p = &image.Pixels[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = static_cast<uint8_t>(std::clamp(x * 255 / width + noise, 0, 255));
      p[1] = static_cast<uint8_t>(std::clamp(y * 255 / height + noise, 0, 255));
      p[2] = static_cast<uint8_t>(std::clamp(((x / 50 + y / 50) % 2) * 160 + noise + 40, 0, 255));
    }
  return image;
}

// Runs `program` with `env`, standard input from `input` and standard output
// into `output`; the time from start to exit in ms.
double RunOnceMs(const std::string& program, const std::vector<std::string>& env, const std::string& input,
                 const std::string& output) {
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) {
    std::perror(program.c_str());
    std::exit(1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const auto end = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s did not exit cleanly (status %d)\n", program.c_str(), status);
    std::exit(1);
  }
  return std::chrono::duration<double, std::milli>(end - start).count();
}

std::string ReadWhole(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void Write(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Run(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s BUILD_DIR [RUNS]\n", argv[0]);
    return 2;
  }
  const std::string build = std::filesystem::absolute(argv[1]).string();
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
  std::string dir = std::string(P_tmpdir) + "/tessaro-thumb-XXXXXX";
  if (!mkdtemp(dir.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string program = dir + "/tessaro.cgi", hello = dir + "/hello.cgi";
  std::filesystem::copy_file(build + "/tessaro.cgi", program);
  std::filesystem::copy_file(build + "/bench/hello_cgi", hello);
  std::filesystem::create_directories(dir + "/templates");
  Write(dir + "/tessaro0.ini", "[OPTIONS]\npath_to_templates=templates\npgLOGIN=login.html\npgLOGOK=logok.html\n");
  Write(dir + "/templates/login.html", "LOGIN\n");
  Write(dir + "/templates/logok.html", "OK\n");
  Write(dir + "/portal.xml", kPortalXml);
  const std::string photo = EncodeJpeg(Photo(2000, 1500));
  Write(dir + "/photo.jpg", photo);
  Run("cd '" + dir + "' && '" + build + "/tessaro-admin' import portal.xml . >/dev/null");
  Run("cd '" + dir +
      "' && sqlite3 pictures.db \"create table pictures (id integer primary key, photo blob); "
      "insert into pictures values (1, readfile('photo.jpg'));\"");

  // The portal's connection names its database relative to the folder, as
  // a web server runs a CGI program in its own folder.
  if (chdir(dir.c_str()) != 0) {
    std::perror(dir.c_str());
    return 1;
  }
  const std::string session = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";
  const std::vector<std::string> common = {"SERVER_PROTOCOL=HTTP/1.1", "SCRIPT_NAME=/tessaro.cgi",
                                           "HTTP_HOST=localhost", "QMXDATA=" + dir + "/qmxdata",
                                           "ODBCSYSINI=" TESSARO_SOURCE_DIR "/scripts/odbc"};
  // Log in once for the visitor's cookie.
  const std::string login_body = "USRNAME=bench&PSWD=bench&logdest=%2Fmain";
  Write(dir + "/login.txt", login_body);
  std::vector<std::string> login_env = common;
  login_env.insert(login_env.end(), {"REQUEST_METHOD=POST", "PATH_INFO=/CheckLogin", "HTTP_COOKIE=" + session,
                                     "CONTENT_TYPE=application/x-www-form-urlencoded",
                                     "CONTENT_LENGTH=" + std::to_string(login_body.size())});
  RunOnceMs(program, login_env, dir + "/login.txt", dir + "/out.bin");
  const std::string login = ReadWhole(dir + "/out.bin");
  const size_t at = login.find("ZNKCGIUSERID=");
  if (at == std::string::npos) {
    std::fprintf(stderr, "login failed:\n%s\n", login.c_str());
    return 1;
  }
  const std::string user_cookie = login.substr(at, login.find(';', at) - at);

  std::vector<std::string> env = common;
  env.insert(env.end(),
             {"REQUEST_METHOD=GET", "PATH_INFO=/ShowImg", "HTTP_COOKIE=" + session + "; " + user_cookie,
              "QUERY_STRING=ID=%7B33333333-0000-0000-0000-000000000001%7D&PID=1&IMGW=200&IMGH=200&IMGF=photo"});
  RunOnceMs(program, env, "/dev/null", dir + "/out.bin");
  const std::string answer = ReadWhole(dir + "/out.bin");
  const size_t body = answer.find("\r\n\r\n");
  std::optional<TRgbImage> thumbnail =
      body == std::string::npos ? std::nullopt : DecodeJpeg(std::string_view(answer).substr(body + 4));
  if (!thumbnail || thumbnail->Width != 200 || thumbnail->Height != 150) {
    std::fprintf(stderr, "unexpected answer:\n%s\n", answer.substr(0, 400).c_str());
    return 1;
  }
  std::vector<double> portal, bare;
  for (int i = 0; i < 5; ++i) RunOnceMs(program, env, "/dev/null", "/dev/null");
  for (int i = 0; i < runs; ++i) {
    portal.push_back(RunOnceMs(program, env, "/dev/null", "/dev/null"));
    bare.push_back(RunOnceMs(hello, env, "/dev/null", "/dev/null"));
  }
  std::printf("thumbnail: /ShowImg, %zu-byte 2000x1500 JPEG into 200x200  median %.3f ms over %d runs\n", photo.size(),
              Median(portal), runs);
  std::printf("thumbnail: bare hello CGI (same flags)                      median %.3f ms\n", Median(bare));
  // The picture's own work, in this process: decoding into the box and
  // encoding the thumbnail.
  std::vector<double> work;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    std::optional<TRgbImage> fitted = DecodePictureIntoBox(photo, 200, 200);
    if (!fitted || EncodeJpeg(*fitted).empty()) return 1;
    work.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::printf("thumbnail: of which decoding into the box and encoding         median %.3f ms\n", Median(work));
  std::printf("thumbnail: goal under 15 ms per request\n");
  Run("rm -rf '" + dir + "'");
  return 0;
}
