#include "icq/ICQNet.h"

#include <algorithm>

namespace tazu::icq {

TICQNet::TICQNet(net::Runtime& runtime) : runtime_(runtime), timer_(runtime.CreateTimer()) {
  timer_->onTimeout = [this] {
    armado_.reset();
    if (aoPrazo) aoPrazo();
  };
}

TICQNet::~TICQNet() {
  vida_.End();
}

bool TICQNet::Conectar(const std::string& host, uint16_t porta, const net::proxy::Config& proxy) {
  Fechar();
  // The proxy may differ from one connection to the next: a new socket each.
  socket_ = net::proxy::CreateSocket(runtime_, proxy);
  socket_->onConnected = [this] {
    conectado_ = true;
    if (aoConectar) aoConectar();
  };
  socket_->onData = [this](std::string_view dados) { AoDados(dados); };
  socket_->onClosed = [this] {
    Encerrada();
    if (aoDesconectar) aoDesconectar();
  };
  socket_->onError = [this](net::SocketError erro, const std::string& mensagem) {
    AoErroDoSocket(erro, mensagem);
  };
  return socket_->Connect(host, porta);
}

void TICQNet::Enviar(std::string_view quadro) {
  if (socket_) socket_->Send(quadro);
}

void TICQNet::Fechar() {
  Encerrada();
  if (socket_) socket_->Close();
}

void TICQNet::Encerrada() {
  ++geracao_;
  conectado_ = false;
  montador_.Limpar();
}

void TICQNet::ArmarPrazo(std::optional<net::TimePoint> prazo) {
  if (prazo == armado_) return;
  armado_ = prazo;
  if (!prazo) {
    timer_->Stop();
    return;
  }
  timer_->Start(std::max(*prazo - runtime_.Now(), net::Milliseconds(0)), false);
}

void TICQNet::AoErroDoSocket(net::SocketError erro, const std::string& mensagem) {
  using E = net::SocketError;
  const bool conectado = conectado_;
  Encerrada();
  // A reset of an open connection is the peer going away, as a close is.
  if (conectado && erro == E::ConnectionReset) {
    if (aoDesconectar) aoDesconectar();
    return;
  }
  std::string texto;
  if (erro == E::Other && !mensagem.empty()) {
    texto = mensagem;  // what the proxy said
  } else if (conectado) {
    texto = "Could not receive data";
  } else {
    texto = erro == E::HostNotFound ? "Could not resolve host" : "Could not connect";
  }
  const int tipo = texto == net::proxy::kGatewayClosed ? 2 : 0;
  if (aoErro) aoErro(tipo, texto);
}

void TICQNet::AoDados(std::string_view dados) {
  const Lifetime::Guard vida = vida_.Watch();
  const uint64_t geracao = geracao_;
  montador_.Alimentar(dados);
  TFlap quadro;
  for (;;) {
    switch (montador_.Proximo(quadro)) {
      case TMontadorFlap::Resultado::Incompleto:
        return;
      case TMontadorFlap::Resultado::Quadro:
        if (aoQuadro) aoQuadro(quadro);
        if (!vida || geracao != geracao_) return;
        break;
      case TMontadorFlap::Resultado::Longo: {
        const std::string texto =
            "Length of received packet exceeds maximum supported by protocol. Len = " +
            std::to_string(montador_.TamanhoLido());
        Fechar();
        if (aoErro) aoErro(3, texto);
        return;
      }
      case TMontadorFlap::Resultado::Malformado:
        Fechar();
        if (aoErro) aoErro(3, "Received malformed packet");
        return;
    }
  }
}

}  // namespace tazu::icq
