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

// The fields after the code, taken one by one.
class Campos {
 public:
  explicit Campos(std::string& resto) : resto_(resto) {}
  std::string Texto() { return ProximoCampo(resto_, Separador); }
  std::string Resto() { return std::exchange(resto_, std::string()); }
  uint32_t Numero(uint32_t maximo) {
    uint32_t v = 0;
    if (!LerNumero(Texto(), maximo, v)) throw CampoInvalido{};
    return v;
  }
  int32_t Inteiro() {
    const std::string t = Texto();
    const bool negativo = !t.empty() && t[0] == '-';
    uint32_t v = 0;
    if (!LerNumero(std::string_view(t).substr(negativo ? 1 : 0), 0x7FFFFFFF, v))
      throw CampoInvalido{};
    return negativo ? -static_cast<int32_t>(v) : static_cast<int32_t>(v);
  }
  std::string Niu() { return std::to_string(Numero(65535)); }

 private:
  std::string& resto_;
};

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
      m.lista = f.Texto();
      m.status = f.Texto();
      m.origem = f.Texto();
      break;
    case C::SNCC:
    case C::SNMS:
      m.niu = f.Niu();
      m.apelido = DecodificarApelido(f.Texto());
      m.status = f.Texto();
      m.origem = f.Texto();
      break;
    case C::SNDC:
      m.niu = f.Niu();
      m.apelido = DecodificarApelido(f.Texto());
      m.origem = f.Texto();
      break;
    case C::SCUA:
      m.numero = static_cast<int32_t>(f.Numero(65535));
      m.texto = f.Resto();
      break;
    case C::SRBS: {
      m.niu = f.Niu();
      m.apelido = DecodificarApelido(f.Texto());
      m.nome = f.Texto();
      m.email = f.Texto();
      const std::string letra = f.Texto();
      m.autorizar = letra.empty() ? '0' : letra[0];
      break;
    }
    case C::RCEA:
      m.niu = f.Niu();
      m.apelido = f.Texto();
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
      m.presenca = f.Texto();
      m.texto = DecodificarTexto(f.Texto());
      break;
    case C::SNEM:
      m.niu = f.Niu();
      m.texto = DecodificarTexto(f.Texto());
      break;
    case C::SACM: {
      m.registro = f.Resto();
      std::string tipo = m.registro;
      Campos(tipo).Numero(0xFFFF);  // a type that does not read rejects the line
      break;
    }
    case C::SECM:
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

TLeitura LerMensagemDoServidor(std::string linha) {
  TLeitura r;
  r.codigo = LerComando(linha);
  if (r.codigo.empty()) {
    r.tipo = TLeitura::Tipo::SemCodigo;
    return r;
  }
  int indice = 0;
  while (indice < kCodigosDoServidor && kNomes[indice] != r.codigo) ++indice;
  if (indice == kCodigosDoServidor) {
    r.tipo = TLeitura::Tipo::CodigoDesconhecido;
    return r;
  }
  r.mensagem.codigo = static_cast<TCodigoServidor>(indice);
  Campos f(linha);
  try {
    LerCampos(r.mensagem, f);
  } catch (const CampoInvalido&) {
    r.tipo = TLeitura::Tipo::ValorInvalido;
  }
  return r;
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
