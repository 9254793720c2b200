#include "server/ConexaoTazu.h"

#include <utility>

namespace tazu {

TConexaoTazu::TConexaoTazu(net::Runtime& runtime) : link_(runtime) {
  link_.onConnected = [this] {
    if (aoConectar) aoConectar();
  };
  link_.onData = [this](std::string_view dados) { AoDados(dados); };
  link_.onClosed = [this] {
    if (aoFechar) aoFechar();
  };
  link_.onError = [this](net::SocketError, const std::string& mensagem) {
    if (aoFalhar) aoFalhar(mensagem);
  };
  link_.onDeadline = [this] {
    if (aoPrazo) aoPrazo();
  };
  link_.onReset = [this] { leitor_.Limpar(); };
}

void TConexaoTazu::AoDados(std::string_view dados) {
  const net::Link::Reading leitura = link_.StartReading();
  // An over-long line is reported before the next line (or at the end of the
  // read), never from inside the reader, which a handler might destroy.
  bool longa = false;
  const auto relatarLonga = [&] {
    if (std::exchange(longa, false) && aoLinhaLonga) aoLinhaLonga();
  };
  leitor_.Alimentar(
      dados,
      [&](std::string_view bruta) {
        relatarLonga();
        if (leitura.Current() && aoLinha) aoLinha(bruta);
        return leitura.Current();
      },
      [&] { longa = true; });
  // Closed or reopened mid-read, the owner still settles what it read.
  if (!leitura.OwnerAlive()) return;
  if (leitura.Current()) relatarLonga();
  if (leitura.OwnerAlive() && aoFimDaLeitura) aoFimDaLeitura();
}

}  // namespace tazu
