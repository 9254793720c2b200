#include "icq/ICQClient.h"

#include <random>
#include <utility>

#include "base/Eventos.h"
#include "net/proxy/ProxySocket.h"

namespace tazu::icq {

namespace {

TSessaoICQ::TAleatorio AleatorioPadrao() {
  auto gerador = std::make_shared<std::mt19937>(std::random_device{}());
  return [gerador](uint32_t limite) {
    return std::uniform_int_distribution<uint32_t>(0, limite)(*gerador);
  };
}

}  // namespace

TICQClient::TICQClient(net::Runtime& runtime)
    : runtime_(runtime),
      aleatorio_(AleatorioPadrao()),
      sessao_(
          *this, [&runtime] { return runtime.Now(); },
          [this](uint32_t limite) { return aleatorio_(limite); }),
      net_(runtime) {
  ICQServer = kServidorPadrao;
  ICQPort = kPortaPadrao;
  net_.aoConectar = [this] {
    if (direto_) {
      const std::string local = net_.EnderecoLocal();
      uint32_t ip = 0xFFFFFFFF;
      if (!net::proxy::ParseIPv4(local, ip)) ip = 0xFFFFFFFF;
      direto_->Ouvir(local);
      sessao_.DefinirOuvinte(true, ip, direto_->Porta());
    }
  };
  net_.aoQuadro = [this](const TFlap& q) {
    if (OnPktParse) {
      const Lifetime::Guard vivo = vivo_.Watch();
      Disparar(OnPktParse, *this, q.bruto, true);
      if (!vivo) return;
    }
    sessao_.Quadro(q.canal, q.dados);
    Executar();
  };
  net_.aoDesconectar = [this] {
    sessao_.Desconectou();
    Executar();
  };
  net_.aoErro = [this](int tipo, const std::string& texto) {
    sessao_.ErroNoLink(tipo, texto);
    Executar();
  };
  net_.aoPrazo = [this] {
    sessao_.AoPrazo();
    Executar();
  };
}

TICQClient::~TICQClient() {
  vivo_.End();
}

void TICQClient::DefinirAleatorio(TSessaoICQ::TAleatorio aleatorio) {
  aleatorio_ = std::move(aleatorio);
}

void TICQClient::Executar() {
  // Frames of one turn leave in one write: a proxy relaying them then sends
  // one segment instead of waiting on delayed acknowledgements between many.
  std::string lote;
  const bool vivo = executor_.Run(
      vivo_, [this](TSessaoICQ::TAcoes& acoes) { sessao_.TomarAcoes(acoes); },
      [&](TAcaoICQ& a) {
        if (auto* enviar = std::get_if<acao::Enviar>(&a)) {
          if (OnPktParse) Disparar(OnPktParse, *this, std::string_view(enviar->bytes), false);
          lote += enviar->bytes;
          return;
        }
        if (!lote.empty()) net_.Enviar(std::exchange(lote, {}));
        ExecutarAcao(a);
      });
  if (!vivo) return;
  if (!lote.empty()) net_.Enviar(lote);
  net_.ArmarPrazo(sessao_.ProximoPrazo());
}

void TICQClient::ExecutarAcao(TAcaoICQ& a) {
  if (auto* conectar = std::get_if<acao::Conectar>(&a)) {
    Conectar(*conectar);
  } else if (std::holds_alternative<acao::Fechar>(a)) {
    net_.Fechar();
  } else if (auto* d = std::get_if<acao::ContatoDireto>(&a)) {
    if (direto_) direto_->Contato(d->uin, {d->ipInterno, d->ipExterno, d->porta, d->cookie});
  } else if (auto* e = std::get_if<acao::Evento>(&a)) {
    Despachar(e->evento);
  }
}

net::proxy::Config TICQClient::Proxy() const {
  using K = net::proxy::Config::Kind;
  net::proxy::Config c;
  switch (ProxyType) {
    case TProxyType::P_NONE:
      c.kind = K::None;
      break;
    case TProxyType::P_SOCKS4:
      c.kind = K::Socks4;
      break;
    case TProxyType::P_SOCKS5:
      c.kind = K::Socks5;
      break;
    case TProxyType::P_HTTPS:
      c.kind = K::HttpConnect;
      break;
    case TProxyType::P_HTTP:
      c.kind = K::HttpGateway;
      break;
  }
  c.host = ProxyHost;
  c.port = ProxyPort;
  c.authenticate = ProxyAuth;
  c.user = ProxyUserID;
  c.password = ProxyPass;
  c.remoteResolve = ProxyResolve;
  return c;
}

void TICQClient::Conectar(const acao::Conectar& c) {
  if (!net_.Conectar(c.host, c.porta, Proxy())) {
    // Reported from the loop, like any other outcome of a connection.
    runtime_.Post([this, vivo = vivo_.Watch()] {
      if (!vivo) return;
      sessao_.ErroNoLink(0, "Could not connect");
      Executar();
    });
  }
}

void TICQClient::Login(uint32_t status, bool extra) {
  direto_.reset();
  if (!DisableDirectConnections) direto_ = std::make_unique<TICQDireto>(runtime_, UIN);
  sessao_.DefinirOuvinte(false);
  sessao_.Login(status, extra);
  Executar();
}

void TICQClient::LogOff() {
  sessao_.LogOff();
  Executar();
}

void TICQClient::SetStatus(uint32_t status) {
  sessao_.SetStatus(status);
  Executar();
}

}  // namespace tazu::icq
