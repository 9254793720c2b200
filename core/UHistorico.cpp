#include "core/UHistorico.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "base/Cp1252.h"
#include "core/Caminhos.h"
#include "core/UCriptografia.h"
#include "core/UGlobal.h"

namespace tazu {

namespace {

// The wire escaping, plus what a file name cannot hold.
std::string ParteDoNome(const std::string& texto) {
  std::string t = CodificarTexto(texto);
  t = SubstituirTodos(t, "/", "#<BAR>#");
  return SubstituirTodos(t, std::string(1, '\0'), "#<NUL>#");
}

bool EscreverTudo(int fd, const std::string& bytes) {
  std::size_t feito = 0;
  while (feito < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + feito, bytes.size() - feito);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    feito += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

uint8_t ChaveDoHistorico(uint16_t niuLocal) {
  return static_cast<uint8_t>(niuLocal % 64 + 1);
}

std::string ArquivoDeHistorico(uint16_t niuLocal, const std::string& comunidade,
                               const std::string& identificador) {
  const std::string nome = std::to_string(niuLocal) + Separador + ParteDoNome(comunidade) +
                           Separador + ParteDoNome(identificador) + ".hst";
  return DiretorioHistorico() + cp1252::ToUtf8(nome);
}

std::string HoraDoHistorico(net::WallTime quando) {
  const std::time_t t = std::chrono::system_clock::to_time_t(quando);
  std::tm tm{};
  localtime_r(&t, &tm);
  char texto[32];
  std::strftime(texto, sizeof texto, "%d-%m-%Y %H:%M", &tm);
  return texto;
}

bool GravaHistorico(uint16_t niuLocal, const std::string& comunidade,
                    const std::string& identificador, int tipo, const std::string& hora,
                    const std::string& texto, const std::string& cabecalho) {
  if (!CriarDiretorio(DiretorioHistorico(), 0700)) return false;
  const std::string caminho = ArquivoDeHistorico(niuLocal, comunidade, identificador);
  const int fd =
      ::open(caminho.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  ::fchmod(fd, 0600);  // whatever the umask: conversations are private
  TCriptografia cripto;
  cripto.Chave = ChaveDoHistorico(niuLocal);
  const std::string linha = std::to_string(tipo) + Separador + hora + Separador +
                            CodificarTexto(cabecalho) + Separador + CodificarTexto(texto);
  // One write per line, so concurrent appends never interleave inside a line.
  const bool ok = EscreverTudo(fd, cripto.Embaralhar(linha) + "\r\n");
  return ::close(fd) == 0 && ok;
}

std::vector<TLinhaHistorico> LerLinhasDeHistorico(const std::string& bytes, uint8_t chave) {
  std::vector<TLinhaHistorico> linhas;
  TCriptografia cripto;
  cripto.Chave = chave;
  for (const std::string& bruta : DividirLinhas(bytes)) {
    if (bruta.empty()) continue;
    std::string resto = cripto.Desembaralhar(bruta);
    TLinhaHistorico l;
    uint32_t tipo = 0;
    // A line whose kind does not read is still shown, as a received one.
    if (LerNumero(ProximoCampo(resto, Separador), 2, tipo)) l.Tipo = static_cast<int>(tipo);
    l.Hora = ProximoCampo(resto, Separador);
    l.Cabecalho = DecodificarTexto(ProximoCampo(resto, Separador));
    l.Texto = DecodificarTexto(resto);
    linhas.push_back(std::move(l));
  }
  return linhas;
}

std::vector<TLinhaHistorico> LerHistorico(uint16_t niuLocal, const std::string& comunidade,
                                          const std::string& identificador) {
  std::string bytes;
  if (LerArquivo(ArquivoDeHistorico(niuLocal, comunidade, identificador), bytes) != TLeitura::Lido)
    return {};
  return LerLinhasDeHistorico(bytes, ChaveDoHistorico(niuLocal));
}

bool ExisteHistorico(uint16_t niuLocal, const std::string& comunidade,
                     const std::string& identificador) {
  struct stat st {};
  return ::stat(ArquivoDeHistorico(niuLocal, comunidade, identificador).c_str(), &st) == 0 &&
         S_ISREG(st.st_mode);
}

bool ApagarHistorico(uint16_t niuLocal, const std::string& comunidade,
                     const std::string& identificador) {
  return ::unlink(ArquivoDeHistorico(niuLocal, comunidade, identificador).c_str()) == 0 ||
         errno == ENOENT;
}

}  // namespace tazu
