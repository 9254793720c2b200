#include "server/ConexaoTazu.h"

#include <algorithm>
#include <utility>

namespace tazu {

TConexaoTazu::TConexaoTazu(net::Runtime& runtime)
    : runtime_(runtime), socket_(runtime.CreateTcpSocket()), timer_(runtime.CreateTimer()) {
  socket_->onConnected = [this] {
    if (aoConectar) aoConectar();
  };
  socket_->onData = [this](std::string_view dados) { AoDados(dados); };
  socket_->onClosed = [this] {
    Encerrada();
    if (aoFechar) aoFechar();
  };
  socket_->onError = [this](net::SocketError, const std::string& mensagem) {
    Encerrada();
    if (aoFalhar) aoFalhar(mensagem);
  };
  timer_->onTimeout = [this] {
    if (aoPrazo) aoPrazo();
  };
}

bool TConexaoTazu::Abrir(const std::string& host, uint16_t porta) {
  Encerrada();
  return socket_->Connect(host, porta);
}

void TConexaoTazu::Enviar(std::string_view bytes) { socket_->Send(bytes); }

void TConexaoTazu::Fechar() {
  Encerrada();
  socket_->Close();
}

void TConexaoTazu::Encerrada() {
  ++geracao_;
  leitor_.Limpar();
}

void TConexaoTazu::ArmarPrazo(std::optional<net::TimePoint> prazo) {
  // Most turns leave the deadline as it was: the timer is left alone then.
  if (prazo == armado_ && (!prazo || timer_->IsActive())) return;
  armado_ = prazo;
  if (!prazo) {
    timer_->Stop();
    return;
  }
  const auto falta = std::max(*prazo - runtime_.Now(), net::Milliseconds(0));
  timer_->Start(falta, false);
}

void TConexaoTazu::AoDados(std::string_view dados) {
  const Lifetime::Guard vida = vida_.Watch();
  const uint64_t geracao = geracao_;
  // An over-long line is reported before the next line (or at the end of the
  // read), never from inside the reader, which a handler might destroy.
  bool longa = false;
  const auto segue = [&] { return vida && geracao == geracao_; };
  const auto relatarLonga = [&] {
    if (std::exchange(longa, false) && aoLinhaLonga) aoLinhaLonga();
  };
  leitor_.Alimentar(
      dados,
      [&](std::string_view bruta) {
        relatarLonga();
        if (segue() && aoLinha) aoLinha(bruta);
        return segue();
      },
      [&] { longa = true; });
  if (!vida) return;
  if (geracao == geracao_) relatarLonga();
  if (vida && aoFimDaLeitura) aoFimDaLeitura();
}

}  // namespace tazu
