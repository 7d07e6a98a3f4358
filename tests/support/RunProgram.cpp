#include "tests/support/RunProgram.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/TempMachine.h"

extern char** environ;

namespace darvena::test {

std::filesystem::path ProgramFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

TProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                       bool mergeErrors) {
  const auto folder = std::filesystem::temp_directory_path();
  const std::string tag = std::to_string(getpid()) + "-" + program.filename().string();
  const std::string outFile = (folder / ("run-out-" + tag)).string();
  const std::string errFile = (folder / ("run-err-" + tag)).string();
  const std::string path = program.string();
  std::vector<char*> argv{const_cast<char*>(path.c_str())};
  for (const auto& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  if (mergeErrors)
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  else
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  TProgramRun run;
  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  run.Output = ReadFileBytes(outFile);
  if (!mergeErrors) run.Errors = ReadFileBytes(errFile);
  std::error_code ec;
  std::filesystem::remove(outFile, ec);
  std::filesystem::remove(errFile, ec);
  return run;
}

}  // namespace darvena::test
