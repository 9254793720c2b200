#include "shell/InstanciaUnica.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tazu {

std::string TInstanciaUnica::CaminhoPadrao() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat info {};
  if (runtime && *runtime && ::stat(runtime, &info) == 0 && S_ISDIR(info.st_mode) &&
      info.st_uid == ::getuid()) {
    return std::string(runtime) + "/tazu-messenger.lock";
  }
  const char* tmp = std::getenv("TMPDIR");
  const std::string base = tmp && *tmp ? tmp : "/tmp";
  return base + "/tazu-messenger-" + std::to_string(::getuid()) + ".lock";
}

TInstanciaUnica::TInstanciaUnica(std::string caminho) : caminho_(std::move(caminho)) {}

TInstanciaUnica::~TInstanciaUnica() {
  if (fd_ >= 0) ::close(fd_);
}

bool TInstanciaUnica::Adquirir() {
  if (fd_ >= 0) return true;
  // O_NOFOLLOW: in a shared temporary directory someone else's symbolic link
  // must not make us open their file.
  const int fd = ::open(caminho_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  int r;
  do {
    r = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

}  // namespace tazu
