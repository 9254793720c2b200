#include "yahoo/ConexaoYahoo.h"

#include <algorithm>

namespace tazu::yahoo {

TConexaoYahoo::TConexaoYahoo(net::Runtime& runtime)
    : runtime_(runtime), socket_(runtime.CreateTcpSocket()), timer_(runtime.CreateTimer()) {
  socket_->onConnected = [this] {
    if (aoConectar) aoConectar();
  };
  socket_->onData = [this](std::string_view dados) { AoDados(dados); };
  socket_->onClosed = [this] {
    Encerrada();
    if (aoFechar) aoFechar();
  };
  socket_->onError = [this](net::SocketError erro, const std::string&) {
    Encerrada();
    if (aoFalhar) aoFalhar(erro);
  };
  timer_->onTimeout = [this] {
    if (aoPrazo) aoPrazo();
  };
}

bool TConexaoYahoo::Abrir(const std::string& host, uint16_t porta) {
  Encerrada();
  return socket_->Connect(host, porta);
}

void TConexaoYahoo::Enviar(std::string_view bytes) {
  socket_->Send(bytes);
}

void TConexaoYahoo::Fechar() {
  Encerrada();
  socket_->Close();
}

void TConexaoYahoo::Encerrada() {
  ++geracao_;
  leitor_.Limpar();
}

void TConexaoYahoo::ArmarPrazo(std::optional<net::TimePoint> prazo) {
  if (prazo == armado_ && (!prazo || timer_->IsActive())) return;
  armado_ = prazo;
  if (!prazo) {
    timer_->Stop();
    return;
  }
  timer_->Start(std::max(*prazo - runtime_.Now(), net::Milliseconds(0)), false);
}

void TConexaoYahoo::AoDados(std::string_view dados) {
  const Lifetime::Guard vida = vida_.Watch();
  const uint64_t geracao = geracao_;
  const auto resultado = leitor_.Alimentar(dados, [&](std::string_view pacote) {
    if (aoPacote) aoPacote(pacote);
    return vida && geracao == geracao_;
  });
  if (resultado != TLeitorYmsg::TResultado::Invalido) return;
  Fechar();
  if (aoEnquadramentoInvalido) aoEnquadramentoInvalido();
}

}  // namespace tazu::yahoo
