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
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "testsupport/hosts/second_run_host.h"
#include "testsupport/test_env.h"

namespace {

// Counts every operation of the file system and of its files, and kills the
// process before the one numbered |crashAt| (0: never).
class CrashingFileSystem : public platform::FileSystem {
 public:
  CrashingFileSystem(platform::FileSystem& inner, long crashAt)
      : inner_(inner), crashAt_(crashAt) {}

  void tick() {
    if (++count_ == crashAt_) std::raise(SIGKILL);
  }

  platform::Error open(const std::string& path, const platform::OpenOptions& options,
                       std::unique_ptr<platform::File>* file) override {
    tick();
    std::unique_ptr<platform::File> opened;
    const platform::Error error = inner_.open(path, options, &opened);
    if (error == platform::kOk && file != nullptr) {
      *file = std::make_unique<CrashingFile>(*this, std::move(opened));
    }
    return error;
  }
  platform::Error getAttributes(const std::string& path, std::uint32_t* attributes) override {
    tick();
    return inner_.getAttributes(path, attributes);
  }
  platform::Error createDirectory(const std::string& path) override {
    tick();
    return inner_.createDirectory(path);
  }
  platform::Error deleteFile(const std::string& path) override {
    tick();
    return inner_.deleteFile(path);
  }
  platform::Error copyFile(const std::string& from, const std::string& to,
                           bool failIfExists) override {
    tick();
    return inner_.copyFile(from, to, failIfExists);
  }
  platform::Error moveFileReplace(const std::string& from, const std::string& to) override {
    tick();
    return inner_.moveFileReplace(from, to);
  }
  platform::Error findExactName(const std::string& path) override {
    tick();
    return inner_.findExactName(path);
  }
  platform::Error syncParentDirectory(const std::string& path) override {
    tick();
    return inner_.syncParentDirectory(path);
  }
  platform::Error lockFolder(const std::string& path,
                             std::unique_ptr<platform::FolderLock>* lock) override {
    tick();
    return inner_.lockFolder(path, lock);
  }

 private:
  class CrashingFile : public platform::File {
   public:
    CrashingFile(CrashingFileSystem& owner, std::unique_ptr<platform::File> inner)
        : owner_(owner), inner_(std::move(inner)) {}
    platform::Error read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead) override {
      owner_.tick();
      return inner_->read(buffer, n, bytesRead);
    }
    platform::Error write(const void* data, std::uint32_t n, std::uint32_t* written) override {
      owner_.tick();
      return inner_->write(data, n, written);
    }
    platform::Error flush() override {
      owner_.tick();
      return inner_->flush();
    }
    platform::Error close() override {
      owner_.tick();
      return inner_->close();
    }
    platform::Error moveReplace(const std::string& to) override {
      owner_.tick();
      return inner_->moveReplace(to);
    }

   private:
    CrashingFileSystem& owner_;
    std::unique_ptr<platform::File> inner_;
  };

  platform::FileSystem& inner_;
  long crashAt_;
  long count_ = 0;
};

}  // namespace

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
  CrashingFileSystem crashing(env.files(), std::strtol(argv[2], nullptr, 10));
  env.useFiles(crashing);
  testsupport::runInstaller(env);
  return 0;
}
