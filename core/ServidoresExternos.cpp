#include "core/ServidoresExternos.h"

#include <cstdlib>

#include "core/Caminhos.h"

namespace tazu {

namespace {

const char kArquivo[] = "Servidores.cfg";

struct TChave {
  const char* chave;
  const char* variavel;
};
constexpr TChave kChaves[] = {
    {"yahoo", "TAZU_SERVIDOR_YAHOO"},
    {"msn", "TAZU_SERVIDOR_MSN"},
    {"icq", "TAZU_SERVIDOR_ICQ"},
    {"proxy_icq", "TAZU_PROXY_ICQ"},
};

struct TEsquema {
  std::string_view nome;
  TProxy::Tipo tipo;
};
constexpr TEsquema kEsquemas[] = {
    {"socks4", TProxy::Tipo::Socks4},       {"socks4a", TProxy::Tipo::Socks4a},
    {"socks5", TProxy::Tipo::Socks5},       {"https", TProxy::Tipo::HttpsConnect},
    {"http", TProxy::Tipo::HttpGateway},
};

bool Aplicar(TServidoresExternos& s, std::string_view chave, std::string_view valor) {
  if (chave == "yahoo") return LerEndereco(valor, s.yahoo);
  if (chave == "msn") return LerEndereco(valor, s.msn);
  if (chave == "icq") return LerEndereco(valor, s.icq);
  if (chave == "proxy_icq") return LerProxy(valor, s.proxyICQ);
  return false;
}

std::string_view Aparar(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r')) t.remove_suffix(1);
  return t;
}

std::string Endereco(const TEnderecoServidor& e) {
  const bool v6 = e.host.find(':') != std::string::npos;
  return (v6 ? "[" + e.host + "]" : e.host) + ":" + std::to_string(e.porta);
}

}  // namespace

bool LerEndereco(std::string_view texto, TEnderecoServidor& endereco) {
  const std::size_t p = texto.rfind(':');
  if (p == std::string_view::npos || p == 0) return false;
  std::string_view host = texto.substr(0, p);
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return false;
    host = host.substr(1, host.size() - 2);
  }
  const std::string_view porta = texto.substr(p + 1);
  if (porta.empty() || porta.size() > 5) return false;
  uint32_t n = 0;
  for (const char c : porta) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<uint32_t>(c - '0');
  }
  if (n == 0 || n > 65535 || host.find_first_of(" \t/@") != std::string_view::npos) return false;
  endereco.host = std::string(host);
  endereco.porta = static_cast<uint16_t>(n);
  return true;
}

bool LerProxy(std::string_view texto, TProxy& proxy) {
  if (texto.empty()) {
    proxy = TProxy{};
    return true;
  }
  const std::size_t p = texto.find("://");
  if (p == std::string_view::npos) return false;
  TProxy lido;
  const std::string_view esquema = texto.substr(0, p);
  bool achou = false;
  for (const TEsquema& e : kEsquemas) {
    if (e.nome == esquema) {
      lido.tipo = e.tipo;
      achou = true;
    }
  }
  if (!achou) return false;
  std::string_view resto = texto.substr(p + 3);
  const std::size_t arroba = resto.rfind('@');
  if (arroba != std::string_view::npos) {
    const std::string_view credencial = resto.substr(0, arroba);
    const std::size_t dois = credencial.find(':');
    lido.usuario = std::string(credencial.substr(0, dois));
    if (dois != std::string_view::npos) lido.senha = std::string(credencial.substr(dois + 1));
    resto = resto.substr(arroba + 1);
  }
  TEnderecoServidor destino;
  if (!LerEndereco(resto, destino)) return false;
  lido.host = destino.host;
  lido.porta = destino.porta;
  proxy = lido;
  return true;
}

std::string EscreverProxy(const TProxy& proxy) {
  if (proxy.tipo == TProxy::Tipo::Nenhum) return {};
  std::string texto;
  for (const TEsquema& e : kEsquemas)
    if (e.tipo == proxy.tipo) texto = std::string(e.nome) + "://";
  if (!proxy.usuario.empty() || !proxy.senha.empty())
    texto += proxy.usuario + ":" + proxy.senha + "@";
  return texto + Endereco({proxy.host, proxy.porta});
}

TServidoresExternos LerServidoresExternos(std::vector<std::string>* avisos) {
  TServidoresExternos s;
  const auto avisar = [&](const std::string& a) {
    if (avisos) avisos->push_back(a);
  };
  const std::string caminho = DiretorioDados() + kArquivo;
  std::string conteudo, erro;
  if (LerArquivo(caminho, conteudo, &erro) == TLeitura::Falhou) avisar(caminho + ": " + erro);
  std::string_view resto = conteudo;
  for (int numero = 1; !resto.empty(); ++numero) {
    const std::size_t fim = resto.find('\n');
    const std::string_view linha = Aparar(resto.substr(0, fim));
    resto.remove_prefix(fim == std::string_view::npos ? resto.size() : fim + 1);
    if (linha.empty() || linha.front() == '#') continue;
    const std::size_t igual = linha.find('=');
    if (igual == std::string_view::npos ||
        !Aplicar(s, Aparar(linha.substr(0, igual)), Aparar(linha.substr(igual + 1))))
      avisar(caminho + ":" + std::to_string(numero) + ": " + std::string(linha));
  }
  for (const TChave& c : kChaves) {
    const char* valor = std::getenv(c.variavel);
    if (valor && !Aplicar(s, c.chave, valor)) avisar(std::string(c.variavel) + "=" + valor);
  }
  return s;
}

bool GravarServidoresExternos(const TServidoresExternos& s, std::string* erro) {
  if (!CriarDiretorio(DiretorioDados(), 0700, erro)) return false;
  const std::string texto = "yahoo=" + Endereco(s.yahoo) + "\nmsn=" + Endereco(s.msn) +
                            "\nicq=" + Endereco(s.icq) + "\nproxy_icq=" +
                            EscreverProxy(s.proxyICQ) + "\n";
  return SubstituirArquivo(DiretorioDados() + kArquivo, texto, 0600, erro);
}

}  // namespace tazu
