// A test program: the installer's second run over a prepared host folder,
// killed at a chosen file operation.
//
//   crash_at_installer HOST_FOLDER N
//
// Runs the installer in this process over HOST_FOLDER (see
// second_run_host.h) with the test payload. With N > 0 the process kills
// itself with SIGKILL just before its Nth file operation, as a power cut or
// a killed process would end it; with N = 0, or when the run makes fewer
// operations, it runs to its end and exits 0. Exit 2 on a usage error.
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>

#include "testsupport/fault_file_system.h"
#include "testsupport/hosts/second_run_host.h"
#include "testsupport/test_env.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: crash_at_installer HOST_FOLDER N\n";
    return 2;
  }
  const std::string host = argv[1];
  // The environment's own scratch folder goes beside the host, into the
  // caller's scratch folder, which removes it also after a kill.
  const std::string::size_type slash = host.find_last_of('/');
  if (slash != std::string::npos && slash > 0) ::setenv("TMPDIR", host.substr(0, slash).c_str(), 1);
  testsupport::TestEnv env(host);
  testsupport::prepareEnv(env, host);
  // Every operation of the file system and of its files, counted as it
  // reaches the real one; the operation numbered |crashAt| never does.
  const long crashAt = std::strtol(argv[2], nullptr, 10);
  long count = 0;
  testsupport::FaultFileSystem counted(env.files());
  counted.observe([&](const testsupport::FileCall&) {
    if (++count == crashAt) std::raise(SIGKILL);
  });
  env.useFiles(counted);
  testsupport::runInstaller(env);
  return 0;
}
