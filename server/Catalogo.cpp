// Server messages: reading a read's lines, dispatching each by its code, and
// settling the pending request afterwards.
#include <string>
#include <unordered_map>

#include "base/Eventos.h"
#include "core/UGlobal.h"
#include "server/Textos.h"
#include "server/UClientePCTazu.h"

namespace tazu {

namespace {

// A line whose number field does not read: only that line is rejected.
struct CampoInvalido {};

class Campos {
 public:
  explicit Campos(std::string& resto) : resto_(resto) {}
  std::string Texto() { return ProximoCampo(resto_, Separador); }
  // The whole remainder, separators included.
  std::string Resto() {
    std::string r;
    r.swap(resto_);
    return r;
  }
  uint32_t Numero(uint32_t maximo) {
    uint32_t v = 0;
    if (!LerNumero(Texto(), maximo, v)) throw CampoInvalido{};
    return v;
  }
  int32_t Inteiro() {
    std::string t = Texto();
    const bool negativo = !t.empty() && t[0] == '-';
    uint32_t v = 0;
    if (!LerNumero(std::string_view(t).substr(negativo ? 1 : 0), 0x7FFFFFFF, v))
      throw CampoInvalido{};
    return negativo ? -static_cast<int32_t>(v) : static_cast<int32_t>(v);
  }
  // A Tazu user number, answered as the decimal text of the number read.
  std::string Niu() { return std::to_string(Numero(65535)); }

 private:
  std::string& resto_;
};

std::string_view TextoDaOrigem(const std::string& origem) {
  if (origem == "TPC") return textos::OrigemTPC;
  if (origem == "SMS") return textos::OrigemSMS;
  if (origem == "J2M") return textos::OrigemJ2M;
  if (origem == "WAP") return textos::OrigemWAP;
  if (origem == "J2E") return textos::OrigemJ2E;
  return textos::OrigemOutra;
}

const std::string kTazu(textos::Comunidade);

}  // namespace

struct TClientePCTazu::TLote {
  bool resposta = false;      // a line of this read replied to the pending request
  bool buscaComErro = false;  // RERR while the search was pending
  bool parar = false;         // the connection is gone: the rest of the read is void
};

void TClientePCTazu::AoSocketDados(std::string_view dados) {
  const Lifetime::Guard vivo = vivo_.Watch();
  TLote lote;
  leitor_.Alimentar(
      dados, [&](std::string_view bruta) { return TratarLinha(std::string(bruta), lote) && vivo; },
      [&] {
        Disparar(AoReceberErro, *this, 1, std::string(textos::LinhaLongaDemais));
        if (!vivo) return;
        RespostaOk = false;
        lote.resposta = true;
      });
  if (vivo) LiquidarPendente(lote);
}

bool TClientePCTazu::TratarLinha(const std::string& bruta, TLote& lote) {
  const std::string linha = AbrirLinha(bruta, Criptografia);
  if (linha.empty()) return true;
  Depurar(std::string(textos::Recebido) + linha);
  std::string resto = linha;
  const std::string codigo = LerComando(resto);
  if (codigo.empty()) {
    Disparar(AoReceberErro, *this, 1, std::string(textos::MensagemNaoReconhecida) + linha);
    RespostaOk = false;
    lote.resposta = true;
    Disparar(AoReceberErro, *this, 2, std::string(textos::ComandoInvalido));
    return true;
  }
  try {
    Despachar(codigo, resto, lote);
  } catch (const CampoInvalido&) {
    Disparar(AoReceberErro, *this, 3,
             std::string(textos::ValorInvalidoAntes) + "[" + codigo + "]" +
                 std::string(textos::ValorInvalidoDepois));
  }
  return !lote.parar;
}

void TClientePCTazu::LiquidarPendente(const TLote& lote) {
  if (ComandoPendente == PendenteNenhum || !lote.resposta) return;
  // Cleared before the event: its handler may well start the next request.
  const int32_t comando = ComandoPendente;
  ComandoPendente = PendenteNenhum;
  if (comando == PendenteIdentificacao || comando == PendenteCadastro) Conectando = false;
  Disparar(AoReceberResposta, *this, comando, RespostaOk, std::string());
  if (lote.buscaComErro) Disparar(AoFinalizarBusca, *this);
}

void TClientePCTazu::Despachar(const std::string& codigo, std::string& resto, TLote& lote) {
  enum class C {
    RERR, RCCA, SBFF, RPNG, RUAC, SACT, SNCC, SNDC, SDSC, SCUA, SRBS, SFBS, RCEA, SNIL, SPAC,
    CRAC, CAAC, CACS, CMSG, SCEM, SNEM, SNMS, SACM, SECM, SUNP, SRIG, SRIT, RVER, SNMP, SEMS,
  };
  static const std::unordered_map<std::string, C> kCodigos = {
      {"RERR", C::RERR}, {"RCCA", C::RCCA}, {"SBFF", C::SBFF}, {"RPNG", C::RPNG},
      {"RUAC", C::RUAC}, {"SACT", C::SACT}, {"SNCC", C::SNCC}, {"SNDC", C::SNDC},
      {"SDSC", C::SDSC}, {"SCUA", C::SCUA}, {"SRBS", C::SRBS}, {"SFBS", C::SFBS},
      {"RCEA", C::RCEA}, {"SNIL", C::SNIL}, {"SPAC", C::SPAC}, {"CRAC", C::CRAC},
      {"CAAC", C::CAAC}, {"CACS", C::CACS}, {"CMSG", C::CMSG}, {"SCEM", C::SCEM},
      {"SNEM", C::SNEM}, {"SNMS", C::SNMS}, {"SACM", C::SACM}, {"SECM", C::SECM},
      {"SUNP", C::SUNP}, {"SRIG", C::SRIG}, {"SRIT", C::SRIT}, {"RVER", C::RVER},
      {"SNMP", C::SNMP}, {"SEMS", C::SEMS},
  };
  const auto it = kCodigos.find(codigo);
  if (it == kCodigos.end()) {
    Disparar(AoReceberErro, *this, 2, std::string(textos::ComandoInvalido) + codigo);
    return;
  }
  Campos f(resto);
  switch (it->second) {
    case C::RERR: {
      RespostaOk = false;
      lote.resposta = true;
      if (ComandoPendente == PendenteBusca) lote.buscaComErro = true;
      const int32_t numero = f.Inteiro();
      Disparar(AoReceberErro, *this, numero, f.Resto());
      break;
    }
    case C::RCCA:
      RespostaOk = true;
      lote.resposta = true;
      AguardandoConexao = false;
      Disparar(AoConfirmar, *this);
      break;
    case C::SBFF: EnviarComando("CBFF"); break;
    case C::RPNG: timerResposta_->Stop(); break;
    case C::RUAC:
      f.Texto();
      Apelido = DecodificarApelido(f.Texto());
      Disparar(AoConectarComunidade, *this);
      break;
    case C::SACT: {
      const std::string id = f.Texto();
      uint32_t n = 0;
      if (!LerNumero(id, 65535, n)) throw CampoInvalido{};
      const std::string apelido = f.Texto();
      const std::string lista = f.Texto();
      const std::string status = f.Texto();
      const std::string origem = f.Texto();
      ContatoDaLista(id, apelido, lista, status, origem);
      break;
    }
    case C::SNCC: {
      const std::string niu = f.Niu();
      const std::string apelido = f.Texto();
      const std::string status = f.Texto();
      const std::string origem = f.Texto();
      ContatoConectado(niu, apelido, status, origem);
      break;
    }
    case C::SNDC: {
      const std::string niu = f.Niu();
      const std::string apelido = f.Texto();
      ContatoDesconectado(niu, apelido, f.Texto());
      break;
    }
    case C::SDSC:
      lote.resposta = true;
      switch (ComandoPendente) {
        case PendenteIdentificacao: Disparar(AoFinalizarAplicativo, *this); break;
        case PendenteDesconexao: Disparar(AoDesconectarServidor, *this); break;
        case PendenteSaida:
          if (timerSaida_) {
            timerSaida_->Stop();
            timerSaida_.reset();
            Disparar(AoFinalizarAplicativo, *this);
          }
          break;
        default: Desconectar(); break;
      }
      break;
    case C::SCUA: {
      const uint16_t niu = static_cast<uint16_t>(f.Numero(65535));
      Disparar(AoAceitarCadastro, *this, niu, f.Resto());
      break;
    }
    case C::SRBS: {
      const std::string niu = f.Niu();
      const std::string apelido = DecodificarApelido(f.Texto());
      const std::string nome = f.Texto();
      const std::string email = f.Texto();
      const std::string letra = f.Texto();
      Disparar(AoReceberBusca, *this, niu, apelido, nome, email, letra.empty() ? '0' : letra[0]);
      break;
    }
    case C::SFBS:
      lote.resposta = true;
      Disparar(AoFinalizarBusca, *this);
      break;
    case C::RCEA: {
      const std::string niu = f.Niu();
      const TApelido apelido = f.Texto();
      Disparar(AoConfirmar, *this);
      Disparar(AoExigirAutorizacao, *this, TApelido(kTazu), niu, apelido);
      break;
    }
    case C::SNIL:
    case C::SPAC:
    case C::CRAC:
    case C::CAAC: {
      const std::string niu = f.Niu();
      const TApelido apelido = DecodificarApelido(f.Texto());
      const std::string texto1 = f.Texto();
      const std::string texto2 = DecodificarTexto(f.Texto());
      const int tipo = it->second == C::SNIL ? 1 : it->second == C::SPAC ? 2
                       : it->second == C::CRAC ? 3 : 4;
      if (tipo != 1) Disparar(AoConfirmar, *this);
      Disparar(AoReceberEventoUsuario, *this, tipo, kTazu, niu, apelido,
               texto1 + Separador + texto2);
      break;
    }
    case C::CACS: {
      const std::string niu = f.Niu();
      Disparar(AoConfirmar, *this);
      AnunciarRemocao(kTazu, niu);
      break;
    }
    case C::CMSG: {
      const std::string niu = f.Niu();
      const std::string apelido = f.Texto();
      const std::string presenca = f.Texto();
      MensagemDoServidor(niu, apelido, presenca, f.Texto());
      break;
    }
    case C::SCEM:
      Disparar(AoConfirmarEnvio, *this, TApelido(kTazu), f.Niu());
      break;
    case C::SNEM: {
      const std::string niu = f.Niu();
      std::vector<std::string> linhas = DividirLinhas(DecodificarTexto(f.Texto()));
      Disparar(AoEnviarOffLine, *this, TApelido(kTazu), niu, linhas);
      break;
    }
    case C::SNMS: {
      const std::string niu = f.Niu();
      const std::string apelido = f.Texto();
      const std::string status = f.Texto();
      ContatoMudouStatus(niu, apelido, status, f.Texto());
      break;
    }
    case C::SACM: {
      std::string registro = f.Resto();
      std::string tipo = registro;
      Campos(tipo).Numero(0xFFFF);  // a type that does not read rejects the line
      IniciarComunicador(registro);
      break;
    }
    case C::SECM: {
      std::string v[9];
      for (std::string& campo : v) campo = f.Texto();
      Disparar(AoReceberComunicadores, *this, v[0] == "1", v[1], v[2], v[3] == "1", v[4], v[5],
               v[6] == "1", v[7], v[8]);
      Disparar(AoConfirmar, *this);
      break;
    }
    case C::SUNP:
    case C::SRIG:
    case C::SRIT: {
      const std::string niu = f.Niu();
      const TApelido apelido = DecodificarApelido(f.Texto());
      const int tipo = it->second == C::SUNP ? 0 : it->second == C::SRIG ? 1 : 2;
      Disparar(AoReceberInfoUsuario, *this, tipo, kTazu, niu, apelido,
               tipo == 0 ? std::string() : f.Resto());
      break;
    }
    case C::RVER: {
      const uint16_t niu = static_cast<uint16_t>(f.Numero(65535));
      f.Texto();
      const uint8_t chave = static_cast<uint8_t>(f.Numero(255));
      NIU = niu;
      Criptografia.Chave = chave;
      EnviarComando("CCON", {Senha, std::to_string(Status)});
      break;
    }
    case C::SNMP: {
      const std::string apelido = Apelido;
      const std::string origem = f.Resto();
      lote.parar = true;
      FecharConexao();
      Disparar(AoInformar, *this, 1,
               apelido + std::string(textos::SeConectou) + std::string(TextoDaOrigem(origem)) +
                   std::string(textos::AComunidade) + std::string(textos::NomeDoProduto) + ".");
      break;
    }
    case C::SEMS: {
      const int32_t numero = f.Inteiro();
      Disparar(AoMensagemDeSistema, *this, numero, f.Resto());
      break;
    }
  }
}

}  // namespace tazu
