#include "testsupport/process.h"

#include <stdexcept>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include "platform/unicode.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;
#endif

namespace testsupport {

std::string quoteWindowsArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  // Backslashes are literal unless they precede a quote: there they are
  // doubled, and one more escapes the quote itself.
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

namespace {

// Reads the two pipes at once, so that a child filling one of them cannot
// block while we wait on the other.
template <typename Drain, typename Handle>
void readBoth(Drain drain, Handle out, Handle err, ProcessResult* result) {
  std::thread errReader([&] { result->err = drain(err); });
  result->out = drain(out);
  errReader.join();
}

#ifdef _WIN32

std::wstring wide(const std::string& text) {
  const std::u16string units = platform::utf8ToUtf16(text);
  return std::wstring(units.begin(), units.end());
}

std::string drainHandle(HANDLE pipe) {
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(pipe);
  return bytes;
}

// This process's environment block with |env| set in it. Names compare
// without case, as Windows does.
std::wstring environmentBlock(const std::vector<std::pair<std::string, std::string>>& env) {
  std::vector<std::wstring> names;
  std::wstring block;
  for (const auto& [name, value] : env) {
    names.push_back(wide(name) + L"=");
    block += names.back() + wide(value) + L'\0';
  }
  wchar_t* current = GetEnvironmentStringsW();
  for (const wchar_t* entry = current; *entry != L'\0'; entry += wcslen(entry) + 1) {
    bool replaced = false;
    for (const std::wstring& name : names) {
      replaced =
          replaced || CompareStringOrdinal(entry, static_cast<int>(name.size()), name.c_str(),
                                           static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
    }
    if (!replaced) block += std::wstring(entry) + L'\0';
  }
  FreeEnvironmentStringsW(current);
  return block + L'\0';
}

}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::pair<std::string, std::string>>& env) {
  std::string commandLine = quoteWindowsArgument(program);
  for (const std::string& arg : args) {
    commandLine += ' ';
    commandLine += quoteWindowsArgument(arg);
  }
  std::wstring command = wide(commandLine);
  std::wstring block = environmentBlock(env);

  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  if (!CreatePipe(&outRead, &outWrite, &inheritable, 0) ||
      !CreatePipe(&errRead, &errWrite, &inheritable, 0)) {
    throw std::runtime_error("cannot create pipes");
  }
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                             OPEN_EXISTING, 0, nullptr);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                      CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(),
                                      nullptr, &startup, &process);
  // Only the child may hold the write ends, so that the reads end with it.
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
  if (!started) {
    CloseHandle(outRead);
    CloseHandle(errRead);
    throw std::runtime_error("cannot start " + program);
  }

  ProcessResult result;
  readBoth(drainHandle, outRead, errRead, &result);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  if (GetExitCodeProcess(process.hProcess, &exitCode)) result.exitCode = static_cast<int>(exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

#else  // POSIX

std::string drainFd(int fd) {
  std::string bytes;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
      bytes.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(fd);
  return bytes;
}

// A pipe whose ends are not inherited; the child gets copies on 1 and 2.
void makePipe(int ends[2]) {
  if (::pipe(ends) != 0) throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);
  ::fcntl(ends[1], F_SETFD, FD_CLOEXEC);
}

}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::pair<std::string, std::string>>& env) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    bool replaced = false;
    for (const auto& [name, value] : env) {
      replaced = replaced || std::string(*entry).rfind(name + "=", 0) == 0;
    }
    if (!replaced) entries.emplace_back(*entry);
  }
  for (const auto& [name, value] : env) entries.push_back(name + "=" + value);

  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  envp.reserve(entries.size() + 1);
  for (std::string& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);

  int out[2], err[2];
  makePipe(out);
  makePipe(err);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  pid_t pid = 0;
  const int error =
      posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  // Only the child may hold the write ends, so that the reads end with it.
  ::close(out[1]);
  ::close(err[1]);
  if (error != 0) {
    ::close(out[0]);
    ::close(err[0]);
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(error));
  }

  ProcessResult result;
  readBoth(drainFd, out[0], err[0], &result);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

#endif

}  // namespace testsupport
