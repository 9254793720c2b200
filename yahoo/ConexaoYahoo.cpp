#include "yahoo/ConexaoYahoo.h"

namespace tazu::yahoo {

TConexaoYahoo::TConexaoYahoo(net::Runtime& runtime) : link_(runtime) {
  link_.onConnected = [this] {
    if (aoConectar) aoConectar();
  };
  link_.onData = [this](std::string_view dados) { AoDados(dados); };
  link_.onClosed = [this] {
    if (aoFechar) aoFechar();
  };
  link_.onError = [this](net::SocketError erro, const std::string&) {
    if (aoFalhar) aoFalhar(erro);
  };
  link_.onDeadline = [this] {
    if (aoPrazo) aoPrazo();
  };
  link_.onReset = [this] { leitor_.Limpar(); };
}

void TConexaoYahoo::AoDados(std::string_view dados) {
  const net::Link::Reading leitura = link_.StartReading();
  const auto resultado = leitor_.Alimentar(dados, [&](std::string_view pacote) {
    if (aoPacote) aoPacote(pacote);
    return leitura.Current();
  });
  if (resultado != TLeitorYmsg::TResultado::Invalido || !leitura.Current()) return;
  Fechar();
  if (aoEnquadramentoInvalido) aoEnquadramentoInvalido();
}

}  // namespace tazu::yahoo
