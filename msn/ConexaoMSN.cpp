#include "msn/ConexaoMSN.h"

namespace tazu::msn {

int CodigoDeErro(net::SocketError erro) { return net::WinsockNumber(erro); }

TConexaoMSN::TConexaoMSN(net::Runtime& runtime) : link_(runtime) {
  link_.onConnected = [this] {
    if (aoConectar) aoConectar();
  };
  link_.onData = [this](std::string_view dados) { AoDados(dados); };
  link_.onClosed = [this] {
    if (aoFechar) aoFechar();
  };
  link_.onError = [this](net::SocketError erro, const std::string& mensagem) {
    if (aoFalhar) aoFalhar(CodigoDeErro(erro), mensagem);
  };
  link_.onDeadline = [this] {
    if (aoPrazo) aoPrazo();
  };
  link_.onReset = [this] { leitor_.Limpar(); };
}

void TConexaoMSN::AoDados(std::string_view dados) {
  const net::Link::Reading leitura = link_.StartReading();
  const auto resultado = leitor_.Alimentar(dados, [&](const TQuadroMSN& q) {
    if (aoQuadro) aoQuadro(q);
    return leitura.Current();
  });
  if (!leitura.Current()) return;
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
