#include "update/kept_output.h"

#include <functional>
#include <utility>

#include "platform/file_system_wrapper.h"

namespace update {

// The update's file system, keeping the file created at |path_|; every
// other call goes to the update's own.
class KeptOutput::Files : public platform::FileSystemWrapper {
 public:
  Files(platform::FileSystem& inner, std::string path)
      : FileSystemWrapper(&inner), path_(std::move(path)) {}

  platform::Error open(const std::string& path, const platform::OpenOptions& options,
                       std::unique_ptr<platform::File>* file) override;
  // The kept file is closed first: an open file cannot be deleted on
  // Windows.
  platform::Error deleteFile(const std::string& path) override {
    if (path == path_) release();
    return target().deleteFile(path);
  }

  void keep(std::unique_ptr<platform::File> file) { kept_ = std::move(file); }
  platform::File* kept() { return kept_.get(); }
  void release() {
    // A released file is never moved into place; its content is dropped.
    if (kept_) (void)kept_->close();
    kept_.reset();
  }

 private:
  std::string path_;
  std::unique_ptr<platform::File> kept_;
};

namespace {

// The writer's handle on the kept file: a close after a successful flush
// hands the open file to its owner instead of closing it; any other close
// is a real one (the writer then deletes what it wrote).
class KeepingFile : public platform::File {
 public:
  KeepingFile(std::unique_ptr<platform::File> inner,
              std::function<void(std::unique_ptr<platform::File>)> keep)
      : inner_(std::move(inner)), keep_(std::move(keep)) {}

  platform::Error read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead) override {
    return inner_->read(buffer, n, bytesRead);
  }
  platform::Error write(const void* data, std::uint32_t n, std::uint32_t* written) override {
    flushed_ = false;
    return inner_->write(data, n, written);
  }
  platform::Error flush() override {
    const platform::Error error = inner_->flush();
    flushed_ = error == platform::kOk;
    return error;
  }
  platform::Error close() override {
    if (!inner_) return platform::kInvalidHandle;
    if (!flushed_) {
      const platform::Error error = inner_->close();
      inner_.reset();
      return error;
    }
    keep_(std::move(inner_));
    return platform::kOk;
  }
  platform::Error moveReplace(const std::string& to) override {
    return inner_ ? inner_->moveReplace(to) : platform::kInvalidHandle;
  }

 private:
  std::unique_ptr<platform::File> inner_;
  std::function<void(std::unique_ptr<platform::File>)> keep_;
  bool flushed_ = false;
};

}  // namespace

platform::Error KeptOutput::Files::open(const std::string& path,
                                        const platform::OpenOptions& options,
                                        std::unique_ptr<platform::File>* file) {
  const bool keepIt = path == path_ && options.access == platform::Access::kWrite &&
                      options.disposition == platform::Disposition::kCreateNew;
  if (!keepIt) return target().open(path, options, file);
  platform::OpenOptions renamable = options;
  renamable.renamable = true;
  std::unique_ptr<platform::File> opened;
  const platform::Error error = target().open(path, renamable, &opened);
  if (error != platform::kOk || !opened || file == nullptr) return error;
  release();
  *file = std::make_unique<KeepingFile>(
      std::move(opened), [this](std::unique_ptr<platform::File> done) { keep(std::move(done)); });
  return platform::kOk;
}

// The update's environment with Files in place of its file system.
class KeptOutput::KeptEnv : public platform::Env {
 public:
  KeptEnv(platform::Env& inner, platform::FileSystem& files) : inner_(inner), files_(files) {}
  platform::Registry& registry() override { return inner_.registry(); }
  platform::FileSystem& files() override { return files_; }
  platform::DebugOutput& debugOutput() override { return inner_.debugOutput(); }
  platform::Resources& resources() override { return inner_.resources(); }

 private:
  platform::Env& inner_;
  platform::FileSystem& files_;
};

KeptOutput::KeptOutput(platform::Env& env, std::string path)
    : files_(std::make_unique<Files>(env.files(), std::move(path))),
      env_(std::make_unique<KeptEnv>(env, *files_)) {}

KeptOutput::~KeptOutput() { files_->release(); }

platform::Env& KeptOutput::env() { return *env_; }

platform::Error KeptOutput::moveOver(const std::string& to) {
  platform::File* file = files_->kept();
  if (file == nullptr) return platform::kInvalidHandle;
  const platform::Error error = file->moveReplace(to);
  if (error == platform::kOk) files_->release();
  return error;
}

void KeptOutput::release() { files_->release(); }

}  // namespace update
