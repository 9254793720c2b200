// The session's rules, in one place.
//
//  - A new connection may identify (CVER) or register a new user (CCUS, one
//    at a time, a few per connection and per address). An unknown user ends
//    the connection after the RERR.
//  - RVER goes out unscrambled; from the next byte on, both directions are
//    scrambled with the key it carries (0 = never).
//  - After RVER only the password (CCON) is accepted. Its check may wait for
//    the delay earlier failures earned its account and address (Limites.h). A
//    wrong password ends the connection after the RERR; a right one logs the
//    user in (RCCA, RUAC, the list, the accounts, what was kept, presence to
//    the others). A user who logs in again elsewhere is told (SNMP) and this
//    connection closed.
//  - Keep-alive and goodbye (CPNG, CBFF, CDSC) are accepted in every state.
//    Every other command needs the state written in the rule table below;
//    outside it the answer is RERR and the line counts as an error.
//  - Every line that cannot be read (no code, unknown code, missing or
//    non-numeric fields, a field holding CR, LF or NUL) is answered with RERR
//    and counts as an error; past the tolerated number the connection is
//    closed. An over-long line closes it at once.
//  - A connection silent for too long is probed with SBFF and closed if it
//    stays silent; one that has not logged in within its deadline from the
//    accept is closed, however much it says meanwhile.
//  - After every command: while the output waiting for the connection is past
//    its bound, or the turn's searches are used up, its further lines wait
//    (within a bound) until the output has been handed over and other clients
//    had their turn. Output still past the bound once handed over means the
//    client is not reading: it is dropped. A client cannot hold the server's
//    memory or anyone else.
#include "tazud/Sessao.h"

#include "core/UGlobal.h"
#include "tazud/Servidor.h"

namespace tazu::tazud {

struct TServidor::TRegra {
  std::string_view codigo;
  Comando comando;
  // States in which the command is accepted.
  bool novo, identificado, conectado;
};

namespace {

using S = TServidor;

}  // namespace

const TServidor::TRegra* TServidor::Regra(std::string_view codigo) {
  // clang-format off
  static const TRegra kRegras[] = {
      {"CPNG", &S::CPNG, true,  true,  true},
      {"CBFF", &S::CBFF, true,  true,  true},
      {"CDSC", &S::CDSC, true,  true,  true},
      {"CVER", &S::CVER, true,  false, false},
      {"CCUS", &S::CCUS, true,  false, false},
      {"CCON", &S::CCON, false, true,  false},
      {"CMSG", &S::CMSG, false, false, true},
      {"CNMS", &S::CNMS, false, false, true},
      {"CRLC", &S::CRLC, false, false, true},
      {"CACL", &S::CACL, false, false, true},
      {"CRCL", &S::CRCL, false, false, true},
      {"CPAC", &S::CPAC, false, false, true},
      {"CAAC", &S::CAAC, false, false, true},
      {"CRAC", &S::CRAC, false, false, true},
      {"CRIU", &S::CRIU, false, false, true},
      {"CADC", &S::CADC, false, false, true},
      {"CSCM", &S::CSCM, false, false, true},
      {"CRCM", &S::CRCM, false, false, true},
      {"CCCT", &S::CCCT, false, false, true},
      {"CRBS", &S::CRBS, false, false, true},
      {"CFNT", &S::CFNT, false, false, true},
  };
  // clang-format on
  for (const TRegra& r : kRegras) {
    if (r.codigo == codigo) return &r;
  }
  return nullptr;
}

void TServidor::Tratar(TSessao& s, const std::string& codigo, std::string& resto) {
  if (codigo.empty()) {
    Recusar(s, textos::ErroSemCodigo);
    return;
  }
  const TRegra* regra = Regra(codigo);
  if (regra == nullptr) {
    Recusar(s, textos::ErroComandoDesconhecido, codigo.substr(0, 16));
    return;
  }
  bool permitido = false;
  switch (s.estado) {
    case TEstado::Novo:
      permitido = regra->novo;
      break;
    case TEstado::Identificado:
      permitido = regra->identificado;
      break;
    case TEstado::Conferindo:
      permitido = regra->novo && regra->identificado;
      break;
    case TEstado::Conectado:
      permitido = regra->conectado;
      break;
    case TEstado::Encerrando:
      return;
  }
  if (!permitido) {
    Recusar(s, s.estado == TEstado::Conectado ? textos::ErroJaIdentificado
                                              : textos::ErroNaoIdentificado);
    return;
  }
  AbrirUnidade(s);
  (this->*(regra->comando))(s, resto);
  FecharUnidade();
}

// --- TSessao ----------------------------------------------------------------

TSessao::TSessao(TServidor& servidor, uint64_t id, std::unique_ptr<net::TcpSocket> socket)
    : servidor_(servidor),
      id_(id),
      socket_(std::move(socket)),
      leitor_(servidor.Config().limiteDeLinha) {
  cripto.Chave = 0;
  endereco_ = socket_->PeerAddress();
  porta_ = socket_->PeerPort();
  aceitaEm = ultimaAtividade = servidor.Runtime().Now();
  socket_->onData = [this](std::string_view dados) {
    if (fechada_ || estado == TEstado::Encerrando) return;
    ultimaAtividade = servidor_.Runtime().Now();
    sondada = false;
    leitor_.Alimentar(
        dados, [this](std::string_view linha) { return AoLinha(linha); }, [this] { AoExcesso(); });
  };
  socket_->onClosed = [this] { servidor_.Fechar(*this, "closed by the client"); };
  socket_->onError = [this](net::SocketError, const std::string& mensagem) {
    servidor_.Fechar(*this, "connection error: " + mensagem);
  };
}

TSessao::~TSessao() {
  vida_.End();
  if (socket_) {
    socket_->onData = nullptr;
    socket_->onClosed = nullptr;
    socket_->onError = nullptr;
  }
}

std::string TSessao::Nome() const {
  std::string nome = "#" + std::to_string(id_) + " " + endereco_ + ":" + std::to_string(porta_);
  if (niu != 0) nome += " NIU " + std::to_string(niu);
  return nome;
}

bool TSessao::AoLinha(std::string_view bruta) {
  if (fechada_ || estado == TEstado::Encerrando) return false;
  if (pausada_) return Adiar(bruta);
  Processar(bruta);
  return !fechada_ && estado != TEstado::Encerrando;
}

void TSessao::Processar(std::string_view bruta) {
  std::string linha = AbrirLinha(bruta, cripto);
  if (linha.empty()) return;
  const std::string codigo = LerComando(linha);
  servidor_.Tratar(*this, codigo, linha);
  servidor_.DepoisDoComando(*this);
}

bool TSessao::Adiar(std::string_view bruta) {
  bytesAdiados_ += bruta.size() + 2;
  if (bytesAdiados_ > servidor_.Config().limiteDeEntrada) {
    servidor_.Fechar(*this, "keeps sending while its output waits");
    return false;
  }
  adiadas_.emplace_back(bruta);
  return true;
}

void TSessao::Retomar() {
  pausada_ = false;
  while (proximaAdiada_ < adiadas_.size() && !pausada_ && !fechada_ &&
         estado != TEstado::Encerrando) {
    const std::string bruta = std::move(adiadas_[proximaAdiada_++]);
    bytesAdiados_ -= bruta.size() + 2;
    Processar(bruta);
  }
  if (proximaAdiada_ == adiadas_.size()) {
    std::vector<std::string>().swap(adiadas_);
    proximaAdiada_ = 0;
  }
}

void TSessao::AoExcesso() {
  servidor_.EnviarErro(*this, textos::ErroLinhaLonga);
  servidor_.FecharAposEnvio(*this, "line too long");
}

}  // namespace tazu::tazud
