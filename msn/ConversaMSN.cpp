// The rules of one switchboard conversation.
//
// Our own call (session number 0): connect, USR with our login and the
//   cookie; on USR OK, CAL the contact; CAL RINGING brings the session number;
//   JOI of the contact registers the session under the contact and sends the
//   message that was waiting. The contact must join within 60 s.
// An invitation (RNG): connect, ANS with login, cookie and number; IRO names
//   whoever is there (the first one is our contact), ANS OK ends the answer.
// Transaction ids start at 1 and grow after every command sent.
// Messages: MSG with acknowledgement "A", a MIME text payload in UTF-8. ACK
//   confirms, NAK fails the very message of that transaction id. A received
//   text/plain payload is a message from the session's contact (decoded from
//   UTF-8 when it says so); typing notices and other kinds raise nothing.
// The end: the connection closing (or failing), an error reply to our USR or
//   CAL, the contact leaving (BYE), or the join deadline. The session is
//   forgotten first; then a message that never went (the waiting one, or any
//   message of a call that never rang) is reported failed, unless a NAK
//   already did.
#include "msn/ConversaMSN.h"

#include "base/Cp1252.h"
#include "core/ServidoresExternos.h"
#include "msn/Textos.h"

namespace tazu::msn {

using C = TConversaMSN;

struct TConversaMSN::TRegra {
  std::string_view comando;
  void (TConversaMSN::*regra)(const TLinhaMSN&);
};

const TConversaMSN::TRegra* TConversaMSN::Regra(std::string_view comando) {
  static const TRegra kRegras[] = {
      {"USR", &C::Usuario},  {"CAL", &C::Chamada},     {"JOI", &C::Entrou}, {"IRO", &C::Presentes},
      {"ANS", &C::Atendida}, {"ACK", &C::Confirmacao}, {"NAK", &C::Recusa}, {"BYE", &C::Saiu},
  };
  for (const TRegra& r : kRegras)
    if (r.comando == comando) return &r;
  return nullptr;
}

TConversaMSN::TConversaMSN(TDadosDaConversa dados, TRelogio relogio,
                           std::function<bool()> registrando, bool comFonte)
    : d_(std::move(dados)),
      relogio_(std::move(relogio)),
      registrando_(std::move(registrando)),
      comFonte_(comFonte) {}

void TConversaMSN::Registrar(bool recebida, std::string texto) {
  if (registrando_ && !registrando_()) return;
  Agir(sb::Log{recebida, std::move(texto)});
}

void TConversaMSN::Comando(std::string_view nome, std::initializer_list<std::string_view> args) {
  std::string bytes = MontarComando(nome, trid_, args);
  ++trid_;
  Registrar(false, std::string(textos::EnviandoNaSessao) + std::to_string(d_.numero) + "): \"" +
                       bytes.substr(0, bytes.size() - 2) + "\".\r\n");
  Agir(sb::Enviar{std::move(bytes)});
}

// ---- Operations ----

void TConversaMSN::Iniciar() {
  if (d_.numero != 0) Agir(sb::RegistrarNumero{d_.numero});
  TEnderecoServidor destino;
  if (!LerEndereco(d_.endereco, destino)) return Encerrar();
  if (d_.numero == 0) prazoEntrada_ = relogio_() + kPrazoParaEntrar;
  Agir(sb::Abrir{destino.host, destino.porta});
  Registrar(false, std::string(textos::SessaoIniciada) + std::to_string(d_.numero) + ").\r\n");
}

void TConversaMSN::EnviarMensagem(const std::string& texto) {
  if (encerrada_) return;
  ultima_ = texto;
  recusada_ = false;
  const std::string payload = MontarMensagemDeTexto(cp1252::ToUtf8(texto));
  semResposta_[trid_] = texto;
  Agir(sb::Enviar{MontarComPayload("MSG " + std::to_string(trid_) + " A", payload)});
  ++trid_;
  Registrar(false, std::string(textos::EnviandoMensagem) + std::to_string(d_.numero) +
                       std::string(textos::Tamanho) + std::to_string(payload.size()) + "\r\n");
}

// ---- The connection ----

void TConversaMSN::Conectou() {
  if (encerrada_) return;
  tridDaChamada_ = trid_;
  if (d_.numero == 0) {
    Comando("USR", {d_.login, d_.cookie});
  } else {
    Comando("ANS", {d_.login, d_.cookie, std::to_string(d_.numero)});
  }
}

void TConversaMSN::Quadro(const TQuadroMSN& q) {
  if (encerrada_) return;
  DividirLinha(q.linha, linha_);
  const TLinhaMSN& l = linha_;
  if (l.comando.empty()) return;
  Registrar(true, std::string(textos::RecebidoNaSessao) + std::to_string(d_.numero) + "): \"" +
                      std::string(l.comando) + "\".\r\n");
  if (l.comando == "MSG") {
    if (q.temPayload) Mensagem(l, q.payload);
  } else if (EhErro(l.comando)) {
    ErroDoServidor(l);
  } else if (const TRegra* r = Regra(l.comando)) {
    (this->*r->regra)(l);
  }
}

void TConversaMSN::AoPrazo() {
  if (!prazoEntrada_ || *prazoEntrada_ > relogio_()) return;
  Agir(sb::Fechar{});
  Encerrar();
}

void TConversaMSN::Encerrar() {
  if (encerrada_) return;
  encerrada_ = true;
  prazoEntrada_.reset();
  Registrar(false, std::string(textos::SessaoEncerrada) + std::to_string(d_.numero) + ").");
  Agir(sb::Encerrada{});
  if (!recusada_ && (d_.numero == 0 || !d_.pendente.empty())) {
    Agir(sb::Falhou{d_.numero, d_.contato, d_.pendente.empty() ? ultima_ : d_.pendente});
  }
}

// ---- Rules for command lines ----

void TConversaMSN::Usuario(const TLinhaMSN& l) {
  if (l.Arg(1) != "OK" || d_.numero != 0) return;
  apelidoProprio_ = DecodificarApelido(l.Arg(3));
  tridDaChamada_ = trid_;
  Comando("CAL", {d_.contato});
}

void TConversaMSN::Chamada(const TLinhaMSN& l) {
  uint32_t numero = 0;
  if (l.Arg(1) != "RINGING" || !LerNumeroMSN(l.Arg(2), numero) || numero == 0) return;
  d_.numero = numero;
  Agir(sb::RegistrarNumero{numero});
}

void TConversaMSN::Entrou(const TLinhaMSN& l) {
  if (l.Arg(0).empty()) return;
  Agir(sb::RegistrarContato{std::string(l.Arg(0))});
  d_.apelido = DecodificarApelido(l.Arg(1));
  prazoEntrada_.reset();
  if (d_.pendente.empty()) return;
  const std::string texto = std::exchange(d_.pendente, {});
  EnviarMensagem(texto);
}

void TConversaMSN::Presentes(const TLinhaMSN& l) {
  uint32_t indice = 0;
  if (!LerNumeroMSN(l.Arg(1), indice) || indice != 1 || l.Arg(3).empty()) return;
  d_.contato = l.Arg(3);
  d_.apelido = DecodificarApelido(l.Arg(4));
  if (d_.contato != d_.login) Agir(sb::RegistrarContato{d_.contato});
}

void TConversaMSN::Atendida(const TLinhaMSN& l) {
  if (l.Arg(1) == "OK") Agir(sb::RegistrarNumero{d_.numero});
}

void TConversaMSN::Confirmacao(const TLinhaMSN& l) {
  uint32_t trid = 0;
  if (!LerNumeroMSN(l.Arg(0), trid)) return;
  semResposta_.erase(trid);
  Agir(sb::Confirmada{d_.numero, d_.contato});
}

void TConversaMSN::Recusa(const TLinhaMSN& l) {
  uint32_t trid = 0;
  if (!LerNumeroMSN(l.Arg(0), trid)) return;
  const auto it = semResposta_.find(trid);
  std::string texto = ultima_;
  if (it != semResposta_.end()) {
    texto = std::move(it->second);
    semResposta_.erase(it);
  }
  recusada_ = true;
  Agir(sb::Falhou{d_.numero, d_.contato, std::move(texto)});
}

void TConversaMSN::Saiu(const TLinhaMSN& l) {
  if (l.Arg(0) != d_.contato) return;
  // Alone on the switchboard: the next message goes through a new call.
  Agir(sb::Enviar{MontarComando("OUT", std::nullopt)});
  Agir(sb::Fechar{});
  Encerrar();
}

void TConversaMSN::ErroDoServidor(const TLinhaMSN& l) {
  uint32_t trid = 0;
  if (!LerNumeroMSN(l.Arg(0), trid) || trid != tridDaChamada_) return;
  Agir(sb::Fechar{});
  Encerrar();
}

void TConversaMSN::Mensagem(const TLinhaMSN&, std::string_view payload) {
  const TMensagemMIME m = LerMensagemMIME(payload);
  if (comFonte_ && !m.formato.empty()) Agir(sb::Fonte{LerFormatoDeFonte(m.formato)});
  if (m.tipo != TMensagemMIME::Tipo::Texto) return;
  std::string texto = m.utf8 ? cp1252::FromUtf8(m.corpo) : m.corpo;
  Agir(sb::Recebida{d_.numero, d_.contato, d_.apelido, std::move(texto)});
}

}  // namespace tazu::msn
