#include "platform/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

void (*s_saveStepHook)(const char* step) = nullptr;

void Step(const char* name) {
  if (s_saveStepHook) s_saveStepHook(name);
}

// Writes are cut into pieces of this size, so a kill between two of them
// leaves a partly written temporary, which is exactly what the rename guards.
constexpr size_t WRITE_PIECE = 4096;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

} // namespace

StagedFile::StagedFile(std::string path) : path_(std::move(path)), temporary_(path_ + ".saving") {}

StagedFile::~StagedFile() {
  if (staged_) ::unlink(temporary_.c_str());
}

bool StagedFile::Fail(const std::string& what, const std::string& file, int code) {
  error_ = "cannot " + what + " " + file + ": " + std::strerror(code);
  return false;
}

bool StagedFile::Write(const std::string& text) {
  error_.clear();
  Step("open");
  const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return Fail("create", temporary_, errno);
  staged_ = true; // from here on the temporary is ours to remove
  size_t done = 0;
  while (done < text.size()) {
    Step("write");
    const size_t piece = std::min(WRITE_PIECE, text.size() - done);
    const ssize_t wrote = ::write(fd, text.data() + done, piece);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      const int code = wrote < 0 ? errno : ENOSPC;
      ::close(fd);
      return Fail("write", temporary_, code);
    }
    done += static_cast<size_t>(wrote);
  }
  Step("sync");
  if (::fsync(fd) != 0) {
    const int code = errno;
    ::close(fd);
    return Fail("flush", temporary_, code);
  }
  Step("close");
  // A file system may report a deferred write error only here.
  if (::close(fd) != 0) return Fail("close", temporary_, errno);
  return true;
}

bool StagedFile::Commit() {
  if (!staged_ || !error_.empty()) return false;
  Step("rename");
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) return Fail("replace", path_, errno);
  staged_ = false;
  Step("sync folder");
  const std::string folder = FolderOf(path_);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    Fail("open the folder", folder, errno);
    return true;
  }
  // Some file systems cannot sync a folder at all (EINVAL); the rename has
  // happened either way, and there is nothing better to do there.
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
  const int code = errno;
  ::close(fd);
  if (!synced) Fail("flush the folder", folder, code);
  return true;
}

void SetSaveStepHook(void (*hook)(const char* step)) { s_saveStepHook = hook; }

bool ReplaceFileWhole(const std::string& path, const std::string& text, std::string& error) {
  StagedFile file(path);
  const bool done = file.Write(text) && file.Commit();
  error = file.Error();
  return done;
}
