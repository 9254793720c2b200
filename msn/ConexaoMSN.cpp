#include "msn/ConexaoMSN.h"

#include <algorithm>

namespace tazu::msn {

int CodigoDeErro(net::SocketError erro) {
  switch (erro) {
    case net::SocketError::None:
      return 0;
    case net::SocketError::ConnectionRefused:
      return 10061;
    case net::SocketError::HostNotFound:
      return 11001;
    case net::SocketError::Timeout:
      return 10060;
    case net::SocketError::ConnectionReset:
      return 10054;
    case net::SocketError::LineTooLong:
      return 10040;
    case net::SocketError::Other:
      break;
  }
  return 10050;
}

TConexaoMSN::TConexaoMSN(net::Runtime& runtime)
    : runtime_(runtime), socket_(runtime.CreateTcpSocket()), timer_(runtime.CreateTimer()) {
  socket_->onConnected = [this] {
    if (aoConectar) aoConectar();
  };
  socket_->onData = [this](std::string_view dados) { AoDados(dados); };
  socket_->onClosed = [this] {
    Encerrada();
    if (aoFechar) aoFechar();
  };
  socket_->onError = [this](net::SocketError erro, const std::string& mensagem) {
    Encerrada();
    if (aoFalhar) aoFalhar(CodigoDeErro(erro), mensagem);
  };
  timer_->onTimeout = [this] {
    armado_.reset();
    if (aoPrazo) aoPrazo();
  };
}

bool TConexaoMSN::Abrir(const std::string& host, uint16_t porta) {
  Encerrada();
  return socket_->Connect(host, porta);
}

void TConexaoMSN::Enviar(std::string_view bytes) {
  socket_->Send(bytes);
}

void TConexaoMSN::Fechar() {
  Encerrada();
  socket_->Close();
}

void TConexaoMSN::Encerrada() {
  ++geracao_;
  leitor_.Limpar();
}

void TConexaoMSN::ArmarPrazo(std::optional<net::TimePoint> prazo) {
  if (prazo == armado_) return;
  armado_ = prazo;
  if (!prazo) {
    timer_->Stop();
    return;
  }
  timer_->Start(std::max(*prazo - runtime_.Now(), net::Milliseconds(0)), false);
}

void TConexaoMSN::AoDados(std::string_view dados) {
  const Lifetime::Guard vida = vida_.Watch();
  const uint64_t geracao = geracao_;
  const auto resultado = leitor_.Alimentar(dados, [&](const TQuadroMSN& q) {
    if (aoQuadro) aoQuadro(q);
    return vida && geracao == geracao_;
  });
  if (!vida || geracao != geracao_) return;
  if (resultado == TLeitorMSN::Resultado::LinhaLonga ||
      resultado == TLeitorMSN::Resultado::PayloadGrande) {
    Fechar();
    if (aoFalhar)
      aoFalhar(
          CodigoDeErro(net::SocketError::LineTooLong),
          resultado == TLeitorMSN::Resultado::LinhaLonga ? "line too long" : "payload too long");
  }
}

}  // namespace tazu::msn
