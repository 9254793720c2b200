#include "sim/yahoo/RoboEco.h"

#include "yahoo/CodecDesafio.h"

namespace tazu::simyahoo {

namespace ymsg = yahoo::ymsg;

TRoboEco::TRoboEco(net::Runtime& runtime, std::string id, std::string senha)
    : socket_(runtime.CreateTcpSocket()), id_(std::move(id)), senha_(std::move(senha)) {
  socket_->onConnected = [this] {
    yahoo::TYahooPacket p(ymsg::Autenticacao, 0, 0);
    Enviar(p.Adicionar(1, id_));
  };
  socket_->onData = [this](std::string_view dados) {
    const auto r = leitor_.Alimentar(dados, [this](std::string_view bloco) {
      if (yahoo::LerPacote(bloco, lido_) == yahoo::TResultadoLeitura::Ok) Tratar(lido_);
      return true;
    });
    if (r == yahoo::TLeitorYmsg::TResultado::Invalido) {
      Registrar("echo bot " + id_ + ": unreadable data, leaving");
      socket_->Close();
      logado_ = false;
    }
  };
  socket_->onClosed = [this] {
    logado_ = false;
    Registrar("echo bot " + id_ + ": disconnected");
  };
  socket_->onError = [this](net::SocketError, const std::string& m) {
    logado_ = false;
    Registrar("echo bot " + id_ + ": " + m);
  };
}

void TRoboEco::Conectar(const std::string& host, uint16_t porta) {
  leitor_.Limpar();
  socket_->Connect(host, porta);
}

void TRoboEco::Tratar(const yahoo::TYahooPacket& p) {
  sessao_ = p.SessionID;
  if (p.Service == ymsg::Autenticacao && p.Valor(94)) {
    const auto r = yahoo::ResponderDesafio(id_, senha_, *p.Valor(94));
    if (!r) return;
    yahoo::TYahooPacket resposta(ymsg::RespostaDeAutenticacao, 0, 0);
    resposta.Adicionar(0, id_).Adicionar(6, r->r6).Adicionar(96, r->r96).Adicionar(1, id_);
    Enviar(resposta);
  } else if (p.Service == ymsg::Logon && p.Valor(1) && !logado_) {
    logado_ = true;
    Registrar("echo bot " + id_ + ": logged in");
  } else if (p.Service == ymsg::Mensagem && p.Status <= 5) {
    // Each message of the packet gets its answer.
    std::string de, texto, utf8 = "0";
    const auto responder = [&] {
      if (de.empty() || texto.empty()) return;
      yahoo::TYahooPacket m(ymsg::Mensagem, ymsg::Desconectado, sessao_);
      m.Adicionar(1, id_).Adicionar(5, de).Adicionar(14, "eco: " + texto).Adicionar(97, utf8);
      Enviar(m);
      ++respondidas_;
      texto.clear();
    };
    for (const yahoo::TYahooPair& par : p.Pares()) {
      if (par.Key == 4 || par.Key == 1) de = par.Value;
      if (par.Key == 14) texto = par.Value;
      if (par.Key == 97) utf8 = par.Value;
      if (par.Key == 31) responder();
    }
    responder();
  }
}

void TRoboEco::Enviar(const yahoo::TYahooPacket& p) {
  std::string bytes;
  if (yahoo::Serializar(p, bytes)) socket_->Send(bytes);
}

void TRoboEco::Registrar(const std::string& linha) {
  if (AoRegistrar) AoRegistrar(linha);
}

}  // namespace tazu::simyahoo
