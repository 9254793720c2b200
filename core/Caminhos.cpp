#include "core/Caminhos.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tazu {

namespace {

bool Falhar(std::string* erro, const std::string& oque, const std::string& caminho, int numero) {
  if (erro) *erro = oque + " " + caminho + ": " + std::strerror(numero);
  return false;
}

std::string ComBarra(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::string DiretorioDoExecutavel() {
  std::string caminho(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", caminho.data(), caminho.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= caminho.size()) return "./";
  caminho.resize(static_cast<std::size_t>(n));
  return caminho.substr(0, caminho.rfind('/') + 1);
}

std::string DiretorioDe(const std::string& caminho) {
  const auto barra = caminho.rfind('/');
  return barra == std::string::npos ? "." : caminho.substr(0, barra + 1);
}

bool EscreverTudo(int fd, std::string_view conteudo) {
  while (!conteudo.empty()) {
    const ssize_t n = write(fd, conteudo.data(), conteudo.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    conteudo.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Makes the rename itself durable. Some file systems cannot sync a directory;
// the data is in place by then, so that failure is not the caller's.
void SincronizarDiretorio(const std::string& caminho) {
  const int fd = open(DiretorioDe(caminho).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

std::string DiretorioRaiz() {
  const char* home = std::getenv("TAZU_HOME");
  if (home && *home) return ComBarra(home);
  return DiretorioDoExecutavel();
}

std::string DiretorioDados() {
  return DiretorioRaiz() + "Dados/";
}
std::string DiretorioHistorico() {
  return DiretorioRaiz() + "Hst/";
}
std::string DiretorioSkin() {
  return DiretorioRaiz() + "Skin/";
}

bool CriarDiretorio(const std::string& caminho, mode_t modo, std::string* erro) {
  if (mkdir(caminho.c_str(), modo) != 0) {
    const int numero = errno;
    struct stat st;
    if (numero == EEXIST && stat(caminho.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    return Falhar(erro, "mkdir", caminho, numero);
  }
  // mkdir honours the umask; the mode asked for is the one wanted.
  if (chmod(caminho.c_str(), modo) != 0) return Falhar(erro, "chmod", caminho, errno);
  return true;
}

TLeitura LerArquivo(const std::string& caminho, std::string& conteudo, std::string* erro) {
  const int fd = open(caminho.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int numero = errno;
    Falhar(erro, "open", caminho, numero);
    return numero == ENOENT ? TLeitura::Ausente : TLeitura::Falhou;
  }
  std::string lido;
  char bloco[65536];
  for (;;) {
    const ssize_t n = read(fd, bloco, sizeof bloco);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int numero = errno;
      close(fd);
      Falhar(erro, "read", caminho, numero);
      return TLeitura::Falhou;
    }
    lido.append(bloco, static_cast<std::size_t>(n));
  }
  close(fd);
  conteudo = std::move(lido);
  return TLeitura::Lido;
}

bool SubstituirArquivoVia(const std::string& caminho, const std::string& temporario,
                          std::string_view conteudo, mode_t modo, std::string* erro) {
  // A temporary left by a crash may carry another mode or be a link planted
  // by someone else: start from a fresh file that nobody else can open.
  unlink(temporario.c_str());
  const int fd =
      open(temporario.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, modo);
  if (fd < 0) return Falhar(erro, "open", temporario, errno);

  const char* etapa = nullptr;
  if (fchmod(fd, modo) != 0) {
    etapa = "fchmod";
  } else if (!EscreverTudo(fd, conteudo)) {
    etapa = "write";
  } else if (fsync(fd) != 0) {
    etapa = "fsync";
  }
  int numero = etapa ? errno : 0;
  if (close(fd) != 0 && !etapa) {
    etapa = "close";
    numero = errno;
  }
  if (etapa) {
    unlink(temporario.c_str());
    return Falhar(erro, etapa, temporario, numero);
  }
  if (rename(temporario.c_str(), caminho.c_str()) != 0) {
    numero = errno;
    unlink(temporario.c_str());
    return Falhar(erro, "rename", caminho, numero);
  }
  SincronizarDiretorio(caminho);
  return true;
}

bool SubstituirArquivo(const std::string& caminho, std::string_view conteudo, mode_t modo,
                       std::string* erro) {
  return SubstituirArquivoVia(caminho, caminho + ".tmp", conteudo, modo, erro);
}

}  // namespace tazu
