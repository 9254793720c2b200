#include "server/CodecTazu.h"

#include <utility>

#include "core/UGlobal.h"

namespace tazu {

namespace {

using C = TCodigoServidor;

constexpr std::string_view kNomes[kCodigosDoServidor] = {
    "RERR", "RCCA", "SBFF", "RPNG", "RUAC", "SACT", "SNCC", "SNDC", "SDSC", "SCUA",
    "SRBS", "SFBS", "RCEA", "SNIL", "SPAC", "CRAC", "CAAC", "CACS", "CMSG", "SCEM",
    "SNEM", "SNMS", "SACM", "SECM", "SUNP", "SRIG", "SRIT", "RVER", "SNMP", "SEMS",
};

struct CampoInvalido {};

// The fields after the code, taken one by one from the line.
class Campos {
 public:
  explicit Campos(std::string_view resto) : resto_(resto) {}
  std::string Texto() { return std::string(Vista()); }
  // Into a field of the message, reusing its storage.
  void Em(std::string& destino) { destino.assign(Vista()); }
  std::string Resto() { return std::string(std::exchange(resto_, std::string_view())); }
  uint32_t Numero(uint32_t maximo) {
    uint32_t v = 0;
    if (!LerNumero(Vista(), maximo, v)) throw CampoInvalido{};
    return v;
  }
  int32_t Inteiro() {
    std::string_view t = Vista();
    const bool negativo = !t.empty() && t[0] == '-';
    uint32_t v = 0;
    if (!LerNumero(t.substr(negativo ? 1 : 0), 0x7FFFFFFF, v)) throw CampoInvalido{};
    return negativo ? -static_cast<int32_t>(v) : static_cast<int32_t>(v);
  }
  std::string Niu() { return std::to_string(Numero(65535)); }

 private:
  std::string_view Vista() {
    const std::size_t p = resto_.find(kSeparador);
    const std::string_view campo = resto_.substr(0, p);
    resto_.remove_prefix(p == std::string_view::npos ? resto_.size() : p + 1);
    return campo;
  }
  std::string_view resto_;
};

constexpr uint32_t Chave(std::string_view codigo) {
  return codigo.size() != 4 ? 0
                            : static_cast<uint32_t>(static_cast<unsigned char>(codigo[0])) << 24 |
                                  static_cast<uint32_t>(static_cast<unsigned char>(codigo[1])) << 16 |
                                  static_cast<uint32_t>(static_cast<unsigned char>(codigo[2])) << 8 |
                                  static_cast<uint32_t>(static_cast<unsigned char>(codigo[3]));
}

void LerCampos(TMensagemDoServidor& m, Campos& f) {
  switch (m.codigo) {
    case C::RERR:
    case C::SEMS:
      m.numero = f.Inteiro();
      m.texto = f.Resto();
      break;
    case C::RUAC:
      f.Texto();
      m.apelido = DecodificarApelido(f.Texto());
      break;
    case C::SACT:
      m.niu = f.Niu();
      m.apelido = DecodificarApelido(f.Texto());
      f.Em(m.lista);
      f.Em(m.status);
      f.Em(m.origem);
      break;
    case C::SNCC:
    case C::SNMS:
      m.niu = f.Niu();
      m.apelido = DecodificarApelido(f.Texto());
      f.Em(m.status);
      f.Em(m.origem);
      break;
    case C::SNDC:
      m.niu = f.Niu();
      m.apelido = DecodificarApelido(f.Texto());
      f.Em(m.origem);
      break;
    case C::SCUA:
      m.numero = static_cast<int32_t>(f.Numero(65535));
      m.texto = f.Resto();
      break;
    case C::SRBS: {
      m.niu = f.Niu();
      m.apelido = DecodificarApelido(f.Texto());
      f.Em(m.nome);
      f.Em(m.email);
      const std::string letra = f.Texto();
      m.autorizar = letra.empty() ? '0' : letra[0];
      break;
    }
    case C::RCEA:
      m.niu = f.Niu();
      f.Em(m.apelido);
      break;
    case C::SNIL:
    case C::SPAC:
    case C::CRAC:
    case C::CAAC: {
      m.niu = f.Niu();
      m.apelido = DecodificarApelido(f.Texto());
      const std::string primeiro = f.Texto();
      m.texto = primeiro + Separador + DecodificarTexto(f.Texto());
      break;
    }
    case C::CACS:
    case C::SCEM:
      m.niu = f.Niu();
      break;
    case C::CMSG:
      m.niu = f.Niu();
      m.apelido = DecodificarApelido(f.Texto());
      f.Em(m.presenca);
      m.texto = DecodificarTexto(f.Texto());
      break;
    case C::SNEM:
      m.niu = f.Niu();
      m.texto = DecodificarTexto(f.Texto());
      break;
    case C::SACM:
      m.registro = f.Resto();
      Campos(m.registro).Numero(0xFFFF);  // a type that does not read rejects the line
      break;
    case C::SECM:
      m.contas.resize(9);
      for (std::string& campo : m.contas) campo = f.Texto();
      break;
    case C::SUNP:
    case C::SRIG:
    case C::SRIT:
      m.niu = f.Niu();
      m.apelido = DecodificarApelido(f.Texto());
      if (m.codigo != C::SUNP) m.texto = f.Resto();
      break;
    case C::RVER:
      m.numero = static_cast<int32_t>(f.Numero(65535));
      f.Texto();
      m.chave = static_cast<uint8_t>(f.Numero(255));
      break;
    case C::SNMP:
      m.texto = f.Resto();
      break;
    case C::RCCA:
    case C::SBFF:
    case C::RPNG:
    case C::SDSC:
    case C::SFBS:
      break;
  }
}

bool CampoSeguro(std::string_view campo) {
  return campo.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// Lone CR and LF become CR LF; NUL goes.
std::string QuebrasPadronizadas(std::string_view texto) {
  std::string r;
  r.reserve(texto.size());
  for (std::size_t i = 0; i < texto.size(); ++i) {
    const char c = texto[i];
    if (c == '\0') continue;
    if (c == '\r' || c == '\n') {
      r += "\r\n";
      if (c == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
      continue;
    }
    r += c;
  }
  return r;
}

template <typename Lista>
std::optional<std::string> Montar(std::string_view codigo, const Lista& campos) {
  std::string linha = "[" + std::string(codigo) + "]";
  for (const auto& campo : campos) {
    if (!CampoSeguro(campo)) return std::nullopt;
    linha += kSeparador;
    linha += campo;
  }
  return linha;
}

}  // namespace

std::string_view NomeDoCodigo(TCodigoServidor codigo) {
  return kNomes[static_cast<int>(codigo)];
}

TLinhaLida LerMensagemDoServidor(std::string_view linha) {
  TLinhaLida r;
  LerMensagemDoServidor(linha, r);
  return r;
}

void LerMensagemDoServidor(std::string_view linha, TLinhaLida& r) {
  r.tipo = TLinhaLida::Tipo::Mensagem;
  r.codigo.clear();
  TMensagemDoServidor& m = r.mensagem;
  m.numero = 0;
  m.chave = 0;
  m.autorizar = '0';
  for (std::string* s : {&m.niu, &m.apelido, &m.lista, &m.status, &m.origem, &m.presenca,
                         &m.texto, &m.nome, &m.email, &m.registro})
    s->clear();
  m.contas.clear();
  // "[CODE]" up to the first separator, or the whole line.
  const std::size_t p = linha.find(kSeparador);
  const std::string_view campo = linha.substr(0, p);
  if (campo.size() < 3 || campo.front() != '[' || campo.back() != ']') {
    r.tipo = TLinhaLida::Tipo::SemCodigo;
    return;
  }
  r.codigo.assign(campo.substr(1, campo.size() - 2));
  const uint32_t chave = Chave(r.codigo);
  int indice = 0;
  while (indice < kCodigosDoServidor && Chave(kNomes[indice]) != chave) ++indice;
  if (chave == 0 || indice == kCodigosDoServidor) {
    r.tipo = TLinhaLida::Tipo::CodigoDesconhecido;
    return;
  }
  r.mensagem.codigo = static_cast<TCodigoServidor>(indice);
  Campos f(p == std::string_view::npos ? std::string_view() : linha.substr(p + 1));
  try {
    LerCampos(r.mensagem, f);
  } catch (const CampoInvalido&) {
    r.tipo = TLinhaLida::Tipo::ValorInvalido;
  }
}

std::optional<std::string> MontarComando(std::string_view codigo,
                                         std::initializer_list<std::string_view> campos) {
  return Montar(codigo, campos);
}

std::optional<std::string> MontarComando(std::string_view codigo,
                                         const std::vector<std::string>& campos) {
  return Montar(codigo, campos);
}

std::string TextoDeMensagem(const std::vector<std::string>& linhas) {
  std::string texto;
  for (const std::string& l : linhas) texto += QuebrasPadronizadas(l) + "\r\n";
  return CodificarTexto(texto);
}

std::string TextoLivre(std::string_view texto) {
  return CodificarTexto(QuebrasPadronizadas(texto));
}

}  // namespace tazu
