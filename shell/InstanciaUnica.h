// One copy of the program per user session: a lock file named after the
// program in the user's runtime directory. The lock lives as long as the
// holder; the kernel lets it go when the process ends, however it ends.
#pragma once

#include <string>

namespace tazu {

class TInstanciaUnica {
 public:
  // $XDG_RUNTIME_DIR/tazu-messenger.lock, or, without a usable runtime
  // directory, one per user in the temporary directory.
  static std::string CaminhoPadrao();

  explicit TInstanciaUnica(std::string caminho = CaminhoPadrao());
  ~TInstanciaUnica();
  TInstanciaUnica(const TInstanciaUnica&) = delete;
  TInstanciaUnica& operator=(const TInstanciaUnica&) = delete;

  // True when this is the only copy: the lock is now ours. False when another
  // copy holds it, or when the lock file cannot be opened.
  bool Adquirir();
  const std::string& Caminho() const { return caminho_; }

 private:
  std::string caminho_;
  int fd_ = -1;
};

}  // namespace tazu
