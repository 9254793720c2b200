#include "icq/ICQNet.h"

#include <utility>

namespace tazu::icq {

TICQNet::TICQNet(net::Runtime& runtime) : runtime_(runtime), link_(runtime) {
  link_.onConnected = [this] {
    conectado_ = true;
    if (aoConectar) aoConectar();
  };
  link_.onData = [this](std::string_view dados) { AoDados(dados); };
  link_.onClosed = [this] {
    if (aoDesconectar) aoDesconectar();
  };
  link_.onError = [this](net::SocketError erro, const std::string& mensagem) {
    AoErroDoSocket(erro, mensagem);
  };
  link_.onDeadline = [this] {
    if (aoPrazo) aoPrazo();
  };
  link_.onReset = [this] {
    conectadoAntes_ = std::exchange(conectado_, false);
    montador_.Limpar();
  };
}

bool TICQNet::Conectar(const std::string& host, uint16_t porta, const net::proxy::Config& proxy) {
  // The proxy may differ from one connection to the next: a new socket each.
  return link_.Open(host, porta, net::proxy::CreateSocket(runtime_, proxy));
}

void TICQNet::AoErroDoSocket(net::SocketError erro, const std::string& mensagem) {
  using E = net::SocketError;
  // The link has reset by now; whether it was connected is the error's meaning.
  const bool conectado = conectadoAntes_;
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
  const net::Link::Reading leitura = link_.StartReading();
  montador_.Alimentar(dados);
  TFlap quadro;
  for (;;) {
    switch (montador_.Proximo(quadro)) {
      case TMontadorFlap::Resultado::Incompleto:
        return;
      case TMontadorFlap::Resultado::Quadro:
        if (aoQuadro) aoQuadro(quadro);
        if (!leitura.Current()) return;
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
