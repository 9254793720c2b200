#include "sim/icq/Gateway.h"

#include <cstdio>
#include <utility>

#include "icq/CodecPacote.h"
#include "net/proxy/HttpGateway.h"

namespace tazu::sim::icq {

using tazu::icq::TLeitor;
using tazu::icq::TPacote;
namespace gw = net::proxy::gateway;

namespace {

constexpr std::size_t kMaxCabecalho = 16384;

std::string Parametro(const std::string& consulta, const std::string& nome) {
  const std::string chave = nome + "=";
  std::size_t p = 0;
  while (p < consulta.size()) {
    const std::size_t fim = consulta.find('&', p);
    const std::string par =
        consulta.substr(p, fim == std::string::npos ? std::string::npos : fim - p);
    if (par.compare(0, chave.size(), chave) == 0) return par.substr(chave.size());
    if (fim == std::string::npos) break;
    p = fim + 1;
  }
  return {};
}

// The length a request announces; npos when it has none, or one too long.
std::size_t TamanhoDoCorpo(const std::string& cabecalho) {
  std::string minusculo = cabecalho;
  for (char& c : minusculo)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  const std::size_t p = minusculo.find("\r\ncontent-length:");
  if (p == std::string::npos) return 0;
  std::size_t i = p + 17, n = 0;
  while (i < minusculo.size() && minusculo[i] == ' ') ++i;
  while (i < minusculo.size() && minusculo[i] >= '0' && minusculo[i] <= '9') {
    n = n * 10 + static_cast<std::size_t>(minusculo[i++] - '0');
    if (n > gw::kMaxResponse) return std::string::npos;
  }
  return n;
}

}  // namespace

TSimuladorICQ::TGateway::~TGateway() = default;

bool TSimuladorICQ::TGateway::Iniciar(const std::string& host, uint16_t porta, std::string* erro) {
  listener_ = runtime_.CreateTcpListener();
  listener_->onAccept = [this](std::unique_ptr<net::TcpSocket> s) { Aceitar(std::move(s)); };
  return listener_->Listen(host, porta, erro);
}

void TSimuladorICQ::TGateway::Aceitar(std::unique_ptr<net::TcpSocket> socket) {
  const uint64_t id = proximo_++;
  TPedido& p = pedidos_[id];
  p.socket = std::move(socket);
  p.socket->onData = [this, id](std::string_view d) { Dados(id, d); };
  p.socket->onClosed = [this, id] { Encerrar(id, {}); };
  p.socket->onError = [this, id](net::SocketError, const std::string&) { Encerrar(id, {}); };
}

void TSimuladorICQ::TGateway::Encerrar(uint64_t id, const std::string& motivo) {
  const auto p = pedidos_.find(id);
  if (p == pedidos_.end()) return;
  if (!motivo.empty()) sim_.Log("gateway: " + motivo + "; conexão fechada");
  p->second.socket->Close();
  for (auto& [sid, s] : sessoes_)
    if (s.monitor == id) s.monitor = 0;
  // Dropped later: this may run inside the socket's own callback.
  runtime_.Post([this, id] { pedidos_.erase(id); });
}

void TSimuladorICQ::TGateway::Dados(uint64_t id, std::string_view dados) {
  TPedido& p = pedidos_.at(id);
  if (p.respondido) return;
  p.entrada.append(dados);
  const std::size_t fim = p.entrada.find("\r\n\r\n");
  if (fim == std::string::npos) {
    if (p.entrada.size() > kMaxCabecalho) Encerrar(id, "cabeçalho longo demais");
    return;
  }
  const std::string cabecalho = p.entrada.substr(0, fim + 2);
  const std::size_t tamanho = TamanhoDoCorpo(cabecalho);
  if (tamanho == std::string::npos) {
    Encerrar(id, "corpo longo demais");
    return;
  }
  if (p.entrada.size() < fim + 4 + tamanho) return;
  const std::string linha = cabecalho.substr(0, cabecalho.find("\r\n"));
  const std::size_t a = linha.find(' '), b = linha.rfind(' ');
  if (a == std::string::npos || b == a || linha.compare(b + 1, 5, "HTTP/") != 0) {
    Encerrar(id, "pedido malformado: " + linha.substr(0, 80));
    return;
  }
  std::string url = linha.substr(a + 1, b - a - 1);
  if (url.compare(0, 7, "http://") == 0) {
    const std::size_t barra = url.find('/', 7);
    url = barra == std::string::npos ? "/" : url.substr(barra);
  }
  const std::size_t q = url.find('?');
  p.respondido = true;
  Pedido(id, linha.substr(0, a), url.substr(0, q), q == std::string::npos ? "" : url.substr(q + 1),
         p.entrada.substr(fim + 4, tamanho));
}

void TSimuladorICQ::TGateway::Pedido(uint64_t id, const std::string& metodo,
                                     const std::string& caminho, const std::string& consulta,
                                     const std::string& corpo) {
  sim_.Log("gateway: " + metodo + " " + caminho + (consulta.empty() ? "" : "?" + consulta));
  const std::string sid = Parametro(consulta, "sid");
  if (caminho == "/hello") {
    Hello(id);
  } else if (caminho == "/monitor") {
    Monitor(id, sid);
  } else if (caminho == "/data" && metodo == "POST") {
    Data(id, sid, corpo);
  } else {
    Encerrar(id, "caminho desconhecido: " + caminho);
  }
}

void TSimuladorICQ::TGateway::Hello(uint64_t id) {
  TPacote p;
  char texto[33];
  for (int i = 0; i < 4; ++i) {
    semente_ = semente_ * 1103515245u + 12345u + static_cast<uint32_t>(proximo_);
    p.U32(semente_);
    std::snprintf(texto + 8 * i, 9, "%08X", semente_);
  }
  p.TextoW("127.0.0.1").U16LE(Porta());
  TSessao& s = sessoes_[std::string(texto, 32)];
  s.espera = runtime_.CreateTimer();
  Responder(id, gw::Packet(gw::kHello, p.Dados()));
}

void TSimuladorICQ::TGateway::Monitor(uint64_t id, const std::string& sid) {
  const auto s = sessoes_.find(sid);
  if (s == sessoes_.end()) {
    Responder(id, gw::Packet(gw::kClose, {}));
    return;
  }
  s->second.monitor = id;
  s->second.espera->onTimeout = [this, sid] {
    const auto t = sessoes_.find(sid);
    if (t == sessoes_.end() || t->second.monitor == 0) return;
    const uint64_t m = std::exchange(t->second.monitor, 0);
    Responder(m, {});
  };
  s->second.espera->Start(espera_, false);
  Entregar(sid);
}

void TSimuladorICQ::TGateway::Data(uint64_t id, const std::string& sid, const std::string& corpo) {
  const auto s = sessoes_.find(sid);
  if (s == sessoes_.end()) {
    Responder(id, gw::Packet(gw::kClose, {}));
    return;
  }
  TLeitor l(corpo);
  while (l.Resta() >= 2) {
    const uint16_t n = l.U16();
    TLeitor pacote(l.Bytes(n));
    pacote.Pular(2);
    const uint16_t tipo = pacote.U16();
    pacote.Pular(8);
    if (l.Falhou() || pacote.Falhou()) {
      Encerrar(id, "pacote do gateway malformado");
      return;
    }
    if (tipo == gw::kConnect) Conectar(s->second, sid, pacote.Resto());
    if (tipo == gw::kData && s->second.acima) s->second.acima->Send(pacote.Resto());
  }
  Responder(id, {});
}

void TSimuladorICQ::TGateway::Conectar(TSessao& s, const std::string& sid,
                                       std::string_view pacote) {
  TLeitor l(pacote);
  const std::string host(l.TextoW());
  const uint16_t porta = l.U16();
  s.acima = runtime_.CreateTcpSocket();
  s.acima->onData = [this, sid](std::string_view d) {
    TSessao& t = sessoes_.at(sid);
    for (std::size_t i = 0; i < d.size(); i += gw::kMaxPayload)
      t.paraOCliente += gw::Packet(gw::kData, d.substr(i, gw::kMaxPayload));
    Entregar(sid);
  };
  const auto fim = [this, sid] {
    TSessao& t = sessoes_.at(sid);
    t.fechada = true;
    t.paraOCliente += gw::Packet(gw::kClose, {});
    Entregar(sid);
  };
  s.acima->onClosed = fim;
  s.acima->onError = [fim](net::SocketError, const std::string&) { fim(); };
  sim_.Log("gateway: sessão " + sid.substr(0, 8) + " conecta a " + host + ":" +
           std::to_string(porta));
  s.acima->Connect(host, porta);
}

void TSimuladorICQ::TGateway::Entregar(const std::string& sid) {
  TSessao& s = sessoes_.at(sid);
  if (s.monitor == 0 || s.paraOCliente.empty()) return;
  const uint64_t m = std::exchange(s.monitor, 0);
  s.espera->Stop();
  Responder(m, std::exchange(s.paraOCliente, {}));
}

void TSimuladorICQ::TGateway::Responder(uint64_t id, const std::string& corpo) {
  const auto p = pedidos_.find(id);
  if (p == pedidos_.end()) return;
  p->second.socket->Send(
      "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n"
      "Content-Length: " +
      std::to_string(corpo.size()) + "\r\nConnection: close\r\n\r\n" + corpo);
}

}  // namespace tazu::sim::icq
