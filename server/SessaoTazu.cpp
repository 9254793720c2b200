// The rules of the connection to the Tazu server.
//
// Connecting: Conectar opens the socket (an address that cannot even be tried
//   is error 1000 and the end of the program); once connected the windows are
//   told (AoConectarServidor) and answer with Identificar (CVER). RVER hands out
//   the user's number and the scrambling key; CCON answers at once, already
//   scrambled when the key is not 0. RCCA accepts the login, RERR refuses it;
//   RUAC brings the nickname.
// Reading: each line is unscrambled, trimmed and read (CodecTazu); a line
//   without a code is error 1, an unknown code error 2, a number that does not
//   read error 3 (that line only). After the lines of one read the pending
//   request is settled, when one of them replied (RCCA, RERR, SDSC, SFBS, or a
//   line without a code): the request is cleared first, then AoReceberResposta.
// Server messages: the table below says, for each code and pending request,
//   which rule applies and whether the message is a reply. Messages about
//   contacts, conversations, searches and user data go to the hub.
// Keep-alive: every 60 s a CPNG; 20 s without RPNG raise error 1001 and send
//   CDSC, again every 20 s until an RPNG comes or the connection is gone.
// Leaving: Desconectar sends CDSC and waits for the server to close;
//   DesconectarEFechar closes by itself 500 ms later; Sair raises
//   AoFinalizarAplicativo once, on SDSC or 500 ms later, whichever is first.
// Losing the connection (peer close, local close, error): the state is settled
//   first (not connected, status 3, scrambling off, no deadlines, not
//   connecting), then the hub forgets contacts and adapters, then
//   AoDesconectarServidor. An error while connected also quits, as Sair does;
//   a connection lost while connecting or logging in is error 0.
// Events are raised after the state they report is settled: a handler that
//   acts on the client (even connecting again) sees the client as it is.
#include "server/SessaoTazu.h"

#include "core/ProtocoloTazu.h"
#include "core/UGlobal.h"
#include "server/Textos.h"

namespace tazu {

using namespace std::chrono_literals;
using S = TSessaoTazu;
using C = TCodigoServidor;
using E = TEstadoTazu;

namespace {

constexpr int32_t kQualquer = -1;

std::string_view TextoDaOrigem(const std::string& origem) {
  if (origem == "TPC") return textos::OrigemTPC;
  if (origem == "SMS") return textos::OrigemSMS;
  if (origem == "J2M") return textos::OrigemJ2M;
  if (origem == "WAP") return textos::OrigemWAP;
  if (origem == "J2E") return textos::OrigemJ2E;
  return textos::OrigemOutra;
}

}  // namespace

struct TSessaoTazu::TRegra {
  TCodigoServidor codigo;
  int32_t pendente;  // the pending request the row is for, or kQualquer
  bool resposta;     // the message settles the pending request
  void (TSessaoTazu::*regra)(TMensagemDoServidor&);
};

const TSessaoTazu::TRegra* TSessaoTazu::Regra(TCodigoServidor codigo, int32_t pendente) {
  // clang-format off
  static const TRegra kRegras[] = {
      {C::RERR, kQualquer,                true,  &S::Recusa},
      {C::RCCA, kQualquer,                true,  &S::Aceite},
      {C::SBFF, kQualquer,                false, &S::Sondagem},
      {C::RPNG, kQualquer,                false, &S::RespostaAoPing},
      {C::RUAC, kQualquer,                false, &S::UsuarioAceito},
      {C::RVER, kQualquer,                false, &S::Versao},
      {C::SNMP, kQualquer,                false, &S::OutraConexao},
      {C::SDSC, E::PendenteIdentificacao, true,  &S::FimNoLogin},
      {C::SDSC, E::PendenteDesconexao,    true,  &S::FimPedido},
      {C::SDSC, E::PendenteSaida,         true,  &S::FimNaSaida},
      {C::SDSC, kQualquer,                true,  &S::FimDoServidor},
      {C::SFBS, kQualquer,                true,  &S::FimDaBusca},
  };
  // clang-format on
  for (const TRegra& r : kRegras) {
    if (r.codigo == codigo && (r.pendente == kQualquer || r.pendente == pendente)) return &r;
  }
  static const TRegra kDoHub{C::SEMS, kQualquer, false, &S::ParaOHub};
  return &kDoHub;
}

TSessaoTazu::TSessaoTazu(TEstadoTazu& estado, TRelogio relogio, std::function<bool()> depurando)
    : e_(estado), relogio_(std::move(relogio)), depurando_(std::move(depurando)) {}

void TSessaoTazu::Depurar(std::string_view prefixo, std::string_view linha) {
  if (depurando_ && !depurando_()) return;
  std::string texto;
  texto.reserve(prefixo.size() + linha.size());
  texto.append(prefixo).append(linha);
  Agir(acao::Depurar{std::move(texto)});
}

// ---- The connection ----

void TSessaoTazu::Conectou(std::string enderecoLocal, uint16_t portaLocal) {
  socketAberto_ = true;
  enderecoLocal_ = std::move(enderecoLocal);
  portaLocal_ = portaLocal;
  e_.Conectando = false;
  e_.Conectado = true;
  prazoPing_ = relogio_() + 60s;
  Avisar(acao::Aviso::ConectarServidor);
}

void TSessaoTazu::LinhaRecebida(std::string_view bruta) {
  const std::string linha = AbrirLinha(bruta, e_.Criptografia);
  if (linha.empty()) return;
  Depurar(textos::Recebido, linha);
  LerMensagemDoServidor(linha, lida_);
  TLinhaLida& lida = lida_;
  switch (lida.tipo) {
    case TLinhaLida::Tipo::SemCodigo:
      MarcarRecusa();
      Erro(1, std::string(textos::MensagemNaoReconhecida) + linha);
      Erro(2, std::string(textos::ComandoInvalido));
      return;
    case TLinhaLida::Tipo::CodigoDesconhecido:
      Erro(2, std::string(textos::ComandoInvalido) + lida.codigo);
      return;
    case TLinhaLida::Tipo::ValorInvalido:
      // A refusal whose number does not read is still a refusal.
      if (lida.mensagem.codigo == C::RERR) MarcarRecusaDe(e_.ComandoPendente);
      break;
    case TLinhaLida::Tipo::Mensagem: {
      const TRegra* regra = Regra(lida.mensagem.codigo, e_.ComandoPendente);
      if (regra->resposta) respondeu_ = true;
      (this->*regra->regra)(lida.mensagem);
      return;
    }
  }
  Erro(3, std::string(textos::ValorInvalidoAntes) + "[" + lida.codigo + "]" +
              std::string(textos::ValorInvalidoDepois));
}

void TSessaoTazu::LinhaLongaDemais() {
  MarcarRecusa();
  Erro(1, std::string(textos::LinhaLongaDemais));
}

void TSessaoTazu::FimDaLeitura() {
  const bool respondeu = std::exchange(respondeu_, false);
  const bool buscaRecusada = std::exchange(buscaRecusada_, false);
  if (e_.ComandoPendente == E::PendenteNenhum || !respondeu) return;
  // Cleared before the event: its handler may well start the next request.
  const int32_t comando = std::exchange(e_.ComandoPendente, E::PendenteNenhum);
  if (comando == E::PendenteIdentificacao || comando == E::PendenteCadastro)
    e_.Conectando = false;
  Agir(acao::Resposta{comando, e_.RespostaOk});
  if (buscaRecusada) Avisar(acao::Aviso::FinalizarBusca);
}

void TSessaoTazu::Fechou() {
  socketAberto_ = false;
  const bool entrando = e_.ComandoPendente == E::PendenteIdentificacao ||
                        e_.ComandoPendente == E::PendenteCadastro;
  if (entrando) {
    e_.ComandoPendente = E::PendenteNenhum;
    Erro(0, std::string(textos::ErroDeComunicacao));
  }
  Limpeza();
}

void TSessaoTazu::Falhou(const std::string& mensagem) {
  socketAberto_ = false;
  Depurar({}, mensagem);
  const bool entrando = e_.ComandoPendente == E::PendenteIdentificacao ||
                        e_.ComandoPendente == E::PendenteCadastro;
  if (e_.Conectando || entrando) Erro(0, std::string(textos::ErroDeComunicacao));
  if (entrando) e_.ComandoPendente = E::PendenteNenhum;
  e_.Conectando = false;
  if (e_.Conectado) {
    e_.Conectado = false;
    Sair();
  }
  Limpeza();
}

void TSessaoTazu::FecharConexao() {
  const bool estava = socketAberto_;
  socketAberto_ = false;
  Agir(acao::Fechar{});
  if (estava) Limpeza();
}

void TSessaoTazu::Limpeza() {
  e_.Conectado = false;
  e_.Conectando = false;
  e_.Status = StatusDesconectado;
  e_.Criptografia.Chave = 0;
  prazoPing_.reset();
  prazoResposta_.reset();
  enderecoLocal_.clear();
  portaLocal_ = 0;
  Agir(acao::Limpeza{});
  Avisar(acao::Aviso::DesconectarServidor);
}

// ---- Time ----

std::optional<net::TimePoint> TSessaoTazu::ProximoPrazo() const {
  std::optional<net::TimePoint> p = prazoPing_;
  if (prazoResposta_ && (!p || *prazoResposta_ < *p)) p = prazoResposta_;
  if (prazoSaida_ && (!p || *prazoSaida_ < *p)) p = prazoSaida_;
  return p;
}

void TSessaoTazu::AoPrazo() {
  const net::TimePoint agora = relogio_();
  if (prazoSaida_ && *prazoSaida_ <= agora) {
    prazoSaida_.reset();
    if (saidaFecha_) {
      e_.ComandoPendente = E::PendenteNenhum;
      FecharConexao();
    } else {
      Avisar(acao::Aviso::FinalizarAplicativo);
    }
  }
  if (prazoPing_ && *prazoPing_ <= agora) {
    *prazoPing_ += 60s;
    if (e_.Conectado) {
      Comando("CPNG");
      prazoResposta_ = agora + 20s;
    }
  }
  if (prazoResposta_ && *prazoResposta_ <= agora) {
    *prazoResposta_ += 20s;
    Erro(1001, std::string(textos::ComunicacaoPerdida));
    Desconectar();
  }
}

// ---- Rules for server messages ----

void TSessaoTazu::MarcarRecusa() {
  e_.RespostaOk = false;
  respondeu_ = true;
}

void TSessaoTazu::Erro(int32_t numero, std::string texto) {
  Agir(acao::Erro{numero, std::move(texto)});
}

void TSessaoTazu::MarcarRecusaDe(int32_t pendente) {
  MarcarRecusa();
  if (pendente == E::PendenteBusca) buscaRecusada_ = true;
}

void TSessaoTazu::Recusa(TMensagemDoServidor& m) {
  MarcarRecusaDe(e_.ComandoPendente);
  Erro(m.numero, m.texto);
}

void TSessaoTazu::Aceite(TMensagemDoServidor&) {
  e_.RespostaOk = true;
  e_.AguardandoConexao = false;
  Avisar(acao::Aviso::Confirmar);
}

void TSessaoTazu::Sondagem(TMensagemDoServidor&) { Comando("CBFF"); }

void TSessaoTazu::RespostaAoPing(TMensagemDoServidor&) { prazoResposta_.reset(); }

void TSessaoTazu::UsuarioAceito(TMensagemDoServidor& m) {
  e_.Apelido = m.apelido;
  Avisar(acao::Aviso::ConectarComunidade);
}

void TSessaoTazu::Versao(TMensagemDoServidor& m) {
  e_.NIU = static_cast<uint16_t>(m.numero);
  e_.Criptografia.Chave = m.chave;
  Comando("CCON", {e_.Senha, std::to_string(e_.Status)});
}

void TSessaoTazu::OutraConexao(TMensagemDoServidor& m) {
  const std::string apelido = e_.Apelido;
  FecharConexao();
  Agir(acao::Informar{
      1, apelido + std::string(textos::SeConectou) + std::string(TextoDaOrigem(m.texto)) +
             std::string(textos::AComunidade) + std::string(textos::NomeDoProduto) + "."});
}

void TSessaoTazu::FimNoLogin(TMensagemDoServidor&) {
  Avisar(acao::Aviso::FinalizarAplicativo);
}

void TSessaoTazu::FimPedido(TMensagemDoServidor&) {
  Avisar(acao::Aviso::DesconectarServidor);
}

void TSessaoTazu::FimNaSaida(TMensagemDoServidor&) {
  if (!prazoSaida_) return;  // the deadline came first: already finished
  prazoSaida_.reset();
  Avisar(acao::Aviso::FinalizarAplicativo);
}

void TSessaoTazu::FimDoServidor(TMensagemDoServidor&) { Desconectar(); }

void TSessaoTazu::FimDaBusca(TMensagemDoServidor&) { Avisar(acao::Aviso::FinalizarBusca); }

void TSessaoTazu::ParaOHub(TMensagemDoServidor& m) { Agir(acao::ParaOHub{&m}); }

}  // namespace tazu
