// debug_capture OUTFILE PROGRAM [ARGS...]
//
// Runs PROGRAM under this process as its debugger and writes every string
// the program hands to the debugger output channel (OutputDebugStringA or
// OutputDebugStringW) to OUTFILE, byte for byte and without the terminating
// NUL, in the order they arrive. Wide strings are written as UTF-8. OUTFILE
// is created anew (an existing file is truncated) before PROGRAM starts.
// Exits with PROGRAM's exit code; 125 when OUTFILE cannot be created or
// written, PROGRAM cannot be started or the debug loop fails.
//
// Wine's own trace of the channel (WINEDEBUG=+debugstr) shortens long
// strings and escapes bytes outside ASCII, so tests that compare the
// channel byte for byte read it through this program instead.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kToolFailure = 125;

// Appends |arg| to |commandLine| quoted so that the C runtime's argument
// parser of the child gives back exactly |arg|: backslashes are literal
// except before a quote, where they and the quote are escaped.
void appendQuoted(std::wstring& commandLine, const std::wstring& arg) {
  if (!commandLine.empty()) commandLine += L' ';
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    commandLine += arg;
    return;
  }
  commandLine += L'"';
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled and the quote escaped.
    commandLine.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    commandLine += c;
  }
  // Backslashes before the closing quote are doubled.
  commandLine.append(backslashes * 2, L'\\');
  commandLine += L'"';
}

void printError(const wchar_t* what, const std::wstring& subject) {
  std::fwprintf(stderr, L"debug_capture: %ls %ls (error %lu)\n", what, subject.c_str(),
                GetLastError());
}

// Reads the string of one OUTPUT_DEBUG_STRING_EVENT from the debuggee as
// the bytes to record: narrow strings as they are, wide strings as UTF-8,
// both without the terminating NUL that nDebugStringLength counts.
bool readDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info, std::string& out) {
  out.clear();
  const std::size_t length = info.nDebugStringLength;
  if (length == 0) return true;
  const std::size_t unit = info.fUnicode ? sizeof(wchar_t) : 1;
  std::vector<char> buffer(length * unit);
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, info.lpDebugStringData, buffer.data(), buffer.size(), &read) ||
      read != buffer.size()) {
    return false;
  }
  if (!info.fUnicode) {
    out.assign(buffer.data(), length - (buffer[length - 1] == '\0' ? 1 : 0));
    return true;
  }
  std::wstring wide(length, L'\0');
  std::memcpy(wide.data(), buffer.data(), buffer.size());
  if (wide.back() == L'\0') wide.pop_back();
  if (wide.empty()) return true;
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  out.resize(static_cast<std::size_t>(size));
  return WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                             size, nullptr, nullptr) == size;
}

bool writeAll(HANDLE file, const std::string& bytes) {
  if (bytes.empty()) return true;
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: debug_capture OUTFILE PROGRAM [ARGS...]\n");
    return kToolFailure;
  }
  const std::wstring outPath = argv[1];
  HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) {
    printError(L"cannot create", outPath);
    return kToolFailure;
  }

  std::wstring commandLine;
  for (int i = 2; i < argc; ++i) appendQuoted(commandLine, argv[i]);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(argv[2], commandLine.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                      nullptr, nullptr, &startup, &process)) {
    printError(L"cannot start", argv[2]);
    CloseHandle(out);
    return kToolFailure;
  }

  bool failed = false;
  bool initialBreakpointSeen = false;
  DWORD exitCode = kToolFailure;
  for (bool running = true; running;) {
    DEBUG_EVENT event{};
    if (!WaitForDebugEvent(&event, INFINITE)) {
      printError(L"WaitForDebugEvent failed for", argv[2]);
      failed = true;
      break;
    }
    DWORD continueStatus = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        // The image file handle is the debugger's to close; the process
        // and thread handles belong to the debug loop.
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The loader's breakpoint announces the debugger and is consumed;
        // every other exception goes back to the program's own handlers.
        if (!initialBreakpointSeen &&
            event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT) {
          initialBreakpointSeen = true;
        } else {
          continueStatus = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case OUTPUT_DEBUG_STRING_EVENT: {
        std::string bytes;
        if (!readDebugString(process.hProcess, event.u.DebugString, bytes) ||
            !writeAll(out, bytes)) {
          printError(L"cannot record a debug string to", outPath);
          failed = true;
        }
        break;
      }
      case EXIT_PROCESS_DEBUG_EVENT:
        exitCode = event.u.ExitProcess.dwExitCode;
        running = false;
        break;
      default:
        break;
    }
    if (!ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus)) {
      printError(L"ContinueDebugEvent failed for", argv[2]);
      failed = true;
      break;
    }
  }

  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!CloseHandle(out)) failed = true;
  return failed ? kToolFailure : static_cast<int>(exitCode);
}
