#include "sim/yahoo/ServidorYahoo.h"

#include <chrono>
#include <cstdio>

#include "yahoo/CodecDesafio.h"

namespace tazu::simyahoo {

using yahoo::TLeitorYmsg;
namespace ymsg = yahoo::ymsg;

namespace {

constexpr uint32_t kContaInexistente = 3;
constexpr uint32_t kSenhaErrada = 13;

std::string Valor(const yahoo::TYahooPacket& p, int32_t chave) {
  const std::string* v = p.Valor(chave);
  return v ? *v : std::string();
}

}  // namespace

TServidorYahoo::TServidorYahoo(net::Runtime& runtime, TContasSim& contas, uint32_t semente)
    : runtime_(runtime), contas_(contas), aleatorio_(semente ? semente : std::random_device{}()) {}

TServidorYahoo::~TServidorYahoo() = default;

bool TServidorYahoo::Escutar(const std::string& host, uint16_t porta, std::string& erro) {
  escuta_ = runtime_.CreateTcpListener();
  escuta_->onAccept = [this](std::unique_ptr<net::TcpSocket> s) { Aceitar(std::move(s)); };
  return escuta_->Listen(host, porta, &erro);
}

uint16_t TServidorYahoo::Porta() const {
  return escuta_ ? escuta_->Port() : 0;
}

bool TServidorYahoo::Online(std::string_view id) const {
  for (const auto& s : sessoes_)
    if (s->estado == TSessao::Estado::Logado && !s->fechada &&
        Minusculas(s->conta->id) == Minusculas(id))
      return true;
  return false;
}

void TServidorYahoo::Aceitar(std::unique_ptr<net::TcpSocket> socket) {
  auto nova = std::make_unique<TSessao>();
  TSessao& s = *nova;
  s.numero = proximoNumero_++;
  s.socket = std::move(socket);
  do {
    s.sessionId = aleatorio_();
  } while (s.sessionId == 0);
  s.socket->onData = [this, &s](std::string_view dados) { Ler(s, dados); };
  s.socket->onClosed = [this, &s] { Encerrar(s, "closed by the client"); };
  s.socket->onError = [this, &s](net::SocketError, const std::string& m) {
    Encerrar(s, "connection lost: " + m);
  };
  Registrar("#" + std::to_string(s.numero) + " connected from " + s.socket->PeerAddress());
  sessoes_.push_back(std::move(nova));
}

void TServidorYahoo::Ler(TSessao& s, std::string_view dados) {
  const auto r = s.leitor.Alimentar(dados, [&](std::string_view bloco) {
    if (yahoo::LerPacote(bloco, s.lido) != yahoo::TResultadoLeitura::Ok) {
      Encerrar(s, "bad packet: its length does not match its header");
      return false;
    }
    Registrar(s, "<-", s.lido);
    if (!Tratar(s, s.lido) && !s.fechada) Encerrar(s, "bad packet: makes no sense here");
    return !s.fechada;
  });
  if (r == TLeitorYmsg::TResultado::Invalido) Encerrar(s, "bad packet: no YMSG header");
}

bool TServidorYahoo::Tratar(TSessao& s, const TPacote& p) {
  using E = TSessao::Estado;
  if (s.estado == E::Inicio) return p.Service == ymsg::Autenticacao && PedidoDeLogin(s, p);
  if (s.estado == E::Desafiado)
    return p.Service == ymsg::RespostaDeAutenticacao && RespostaDoDesafio(s, p);
  switch (p.Service) {
    case ymsg::KeepAlive:
      Enviar(s, TPacote(ymsg::KeepAlive, 0, s.sessionId));
      return true;
    case ymsg::Ausente:
    case ymsg::DeVolta:
      return MudarStatus(s, p);
    case ymsg::Mensagem:
      return Mensagem(s, p);
    case ymsg::AdicionarContato:
      return Adicionar(s, p);
    case ymsg::RemoverContato:
      return Remover(s, p);
    default:
      Registrar("#" + std::to_string(s.numero) + " service not simulated, ignored");
      return true;
  }
}

bool TServidorYahoo::PedidoDeLogin(TSessao& s, const TPacote& p) {
  s.id = Valor(p, 1);
  if (s.id.empty()) return false;
  static constexpr char kLetras[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-*/%|()^";
  s.semente.clear();
  for (int i = 0; i < 32; ++i) s.semente.push_back(kLetras[aleatorio_() % (sizeof kLetras - 1)]);
  s.estado = TSessao::Estado::Desafiado;
  TPacote r(ymsg::Autenticacao, 0, s.sessionId);
  r.Adicionar(1, s.id).Adicionar(94, s.semente);
  Enviar(s, r);
  return true;
}

bool TServidorYahoo::RespostaDoDesafio(TSessao& s, const TPacote& p) {
  if (Valor(p, 0) != s.id || Valor(p, 1) != s.id || !p.Valor(6) || !p.Valor(96)) return false;
  TContaSim* conta = contas_.Localizar(s.id);
  const auto esperada =
      conta ? yahoo::ResponderDesafio(s.id, conta->senha, s.semente) : std::nullopt;
  const bool certa = esperada && esperada->r6 == Valor(p, 6) && esperada->r96 == Valor(p, 96);
  if (!certa) {
    TPacote r(ymsg::RespostaDeAutenticacao, 0, s.sessionId);
    r.Adicionar(66, std::to_string(conta ? kSenhaErrada : kContaInexistente));
    r.Adicionar(20, conta ? "wrong password" : "no such account");
    Enviar(s, r);
    Encerrar(s, conta ? "login refused: wrong password" : "login refused: no such account");
    return true;
  }
  if (TSessao* anterior = SessaoDe(conta->id)) Encerrar(*anterior, "replaced by a newer login");
  s.conta = conta;
  Entrar(s, p.Status);
  return true;
}

void TServidorYahoo::Entrar(TSessao& s, uint32_t status) {
  s.estado = TSessao::Estado::Logado;
  s.status = status == ymsg::Invisivel ? ymsg::Invisivel : ymsg::Disponivel;
  Registrar("#" + std::to_string(s.numero) + " logged in as " + s.conta->id);
  // The buddy list, in packets that fit the header's length.
  std::string lista = s.conta->ListaDeContatos();
  do {
    std::size_t corte = lista.size();
    if (corte > 60000) corte = lista.rfind('\n', 60000) + 1;
    TPacote l(ymsg::ListaDeContatos, 0, s.sessionId);
    l.Adicionar(87, std::string_view(lista).substr(0, corte));
    Enviar(s, l);
    lista.erase(0, corte);
  } while (!lista.empty());
  // Logged in, with the buddies who are online now.
  TPacote logon(ymsg::Logon, s.status, s.sessionId);
  logon.Adicionar(0, s.conta->id).Adicionar(1, s.conta->id);
  int online = 0;
  for (const auto& [grupo, amigos] : s.conta->grupos)
    for (const std::string& amigo : amigos)
      if (TSessao* a = SessaoDe(amigo); a && Visivel(*a)) {
        AdicionarPresenca(logon, *a);
        ++online;
      }
  logon.Adicionar(8, std::to_string(online));
  Enviar(s, logon);
  // What came while offline, several messages to a packet.
  if (!s.conta->recados.empty()) {
    TPacote r(ymsg::Mensagem, 5, s.sessionId);
    for (const TRecado& m : s.conta->recados) {
      r.Adicionar(4, m.de).Adicionar(5, s.conta->id).Adicionar(14, m.texto);
      r.Adicionar(15, std::to_string(m.hora)).Adicionar(97, m.utf8 ? "1" : "0").Adicionar(31, "6");
    }
    s.conta->recados.clear();
    Enviar(s, r);
  }
  if (Visivel(s)) AnunciarAosQueOVeem(s, ymsg::Logon);
}

bool TServidorYahoo::MudarStatus(TSessao& s, const TPacote& p) {
  uint32_t status = 0;
  if (!p.Valor(10) || !yahoo::LerInteiro(*p.Valor(10), status)) return false;
  const bool visivelAntes = Visivel(s);
  s.status = status;
  s.mensagem = status == ymsg::Personalizado ? Valor(p, 19) : std::string();
  s.ausente = status != ymsg::Disponivel && (status != ymsg::Personalizado || Valor(p, 47) == "1");
  if (visivelAntes && !Visivel(s)) {
    AnunciarAosQueOVeem(s, ymsg::Logoff);
  } else if (!visivelAntes && Visivel(s)) {
    AnunciarAosQueOVeem(s, ymsg::Logon);
  } else if (Visivel(s)) {
    AnunciarAosQueOVeem(s, status == ymsg::Disponivel ? ymsg::DeVolta : ymsg::Ausente);
  }
  return true;
}

bool TServidorYahoo::Mensagem(TSessao& s, const TPacote& p) {
  const std::string para = Valor(p, 5), texto = Valor(p, 14);
  if (para.empty()) return false;
  if (texto.empty()) return true;
  const bool utf8 = Valor(p, 97) == "1";
  TContaSim* destino = contas_.Localizar(para);
  if (destino == nullptr) {
    TPacote erro(ymsg::Mensagem, ymsg::ErroDeEntrega, s.sessionId);
    erro.Adicionar(5, para).Adicionar(14, "no such account: " + para);
    Enviar(s, erro);
    return true;
  }
  if (TSessao* d = SessaoDe(para)) {
    TPacote m(ymsg::Mensagem, 1, d->sessionId);
    m.Adicionar(4, s.conta->id).Adicionar(5, destino->id).Adicionar(14, texto);
    m.Adicionar(97, utf8 ? "1" : "0");
    Enviar(*d, m);
    return true;
  }
  const auto hora =
      std::chrono::duration_cast<std::chrono::seconds>(runtime_.WallNow().time_since_epoch());
  destino->recados.push_back({s.conta->id, texto, utf8, hora.count()});
  Registrar("#" + std::to_string(s.numero) + " kept a message for " + destino->id);
  return true;
}

bool TServidorYahoo::Adicionar(TSessao& s, const TPacote& p) {
  const std::string amigo = Valor(p, 7), grupo = Valor(p, 65);
  if (amigo.empty() || grupo.empty()) return false;
  TContaSim* outra = contas_.Localizar(amigo);
  TPacote resultado(ymsg::AdicionarContato, 0, s.sessionId);
  resultado.Adicionar(1, s.conta->id).Adicionar(7, amigo).Adicionar(65, grupo);
  if (outra == nullptr) {
    Enviar(s, resultado.Adicionar(66, "3"));
    return true;
  }
  TPacote aviso(ymsg::AvisoDeContato, outra->recusa ? 7 : 0, s.sessionId);
  if (outra->recusa) {
    aviso.Adicionar(3, outra->id).Adicionar(4, "I would rather not.");
  } else {
    s.conta->AdicionarAmigo(outra->id, grupo);
    const TSessao* a = SessaoDe(amigo);
    const bool visivel = a && Visivel(*a);
    aviso.Adicionar(1, s.conta->id).Adicionar(3, outra->id);
    aviso.Adicionar(10, std::to_string(visivel ? a->status : ymsg::Desconectado));
    aviso.Adicionar(47, visivel && !a->ausente ? "0" : "1");
  }
  Enviar(s, aviso);
  Enviar(s, resultado.Adicionar(66, "0"));
  return true;
}

bool TServidorYahoo::Remover(TSessao& s, const TPacote& p) {
  const std::string amigo = Valor(p, 7);
  if (amigo.empty()) return false;
  const bool removido = s.conta->RemoverAmigo(amigo);
  TPacote r(ymsg::RemoverContato, 0, s.sessionId);
  r.Adicionar(1, s.conta->id).Adicionar(7, amigo).Adicionar(65, Valor(p, 65));
  Enviar(s, r.Adicionar(66, removido ? "0" : "2"));
  return true;
}

}  // namespace tazu::simyahoo
