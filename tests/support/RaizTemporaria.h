// A data root for one test: TAZU_HOME points at a new directory (or at one
// given, such as the default skin the build lays out) while the object lives;
// the environment and the umask are put back afterwards, and a new directory
// is removed.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

namespace tazu::teste {

class TRaizTemporaria {
 public:
  TRaizTemporaria() : TRaizTemporaria(Nova(), true) {}
  explicit TRaizTemporaria(std::string existente, bool nova = false)
      : raiz_(std::move(existente)), nova_(nova) {
    if (const char* v = std::getenv("TAZU_HOME")) anterior_ = v, tinha_ = true;
    setenv("TAZU_HOME", raiz_.c_str(), 1);
    mascara_ = umask(022);
  }
  ~TRaizTemporaria() {
    umask(mascara_);
    tinha_ ? setenv("TAZU_HOME", anterior_.c_str(), 1) : unsetenv("TAZU_HOME");
    if (nova_) std::filesystem::remove_all(raiz_);
  }
  TRaizTemporaria(const TRaizTemporaria&) = delete;
  TRaizTemporaria& operator=(const TRaizTemporaria&) = delete;

  // Paths under the root.
  std::string operator/(const std::string& relativo) const { return raiz_ + "/" + relativo; }
  std::string Ler(const std::string& relativo) const {
    std::ifstream f(*this / relativo, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  void Escrever(const std::string& relativo, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(*this / relativo).parent_path());
    std::ofstream(*this / relativo, std::ios::binary) << bytes;
  }
  static mode_t Modo(const std::string& caminho) {
    struct stat st {};
    return ::stat(caminho.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }

 private:
  static std::string Nova() {
    std::string modelo = (std::filesystem::temp_directory_path() / "tazu-XXXXXX").string();
    return mkdtemp(modelo.data());
  }
  std::string raiz_, anterior_;
  bool nova_, tinha_ = false;
  mode_t mascara_ = 0;
};

}  // namespace tazu::teste
