// The rules of one Yahoo login.
//
// Connecting: Conectar (any program status but 3) checks that the id and the
//   password are there (else failure 1), starts the attempt and opens the
//   connection 200 ms later. A connection that cannot be made is a failure
//   with Winsock's error number. Once connected the session asks for the
//   challenge (0x57 with the id).
// Login: the challenge's seed (key 94) is answered with the two strings of
//   CodecDesafio (0x54); the server answers with an error code (key 66, with key
//   20) — not 0 is a failure with that code, and the connection is closed —
//   or with the status report holding key 1: logged in, keep-alive every 60 s.
//   A status report before that is failure 99. The attempt ends after the
//   first status report, whatever it said.
// Reading: the connection cuts packets by their header's length; a header
//   that cannot start a packet ends the connection. A pair whose key is not a
//   number is left out with a log line; a value that must be a number and is
//   not drops only its own pair. Every packet read renews the session id.
//   Services are handled by the table in Regra; the rest is logged.
// Presence: key 13 reports the buddy of the 7, 10, 19 and 47 before it in the
//   same packet; a log-off (0x02) or 13 = 0 means offline.
// Messages: keys 31 deliver one message and start the next; the sender, the
//   time and the UTF-8 flag carry over. Outgoing text with bytes above 127 is
//   sent as UTF-8 and says so (key 97), cut into as many packets as it needs.
// Buddies: the list (0x55, key 87: "group:id,id\n...") and confirmed adds
//   fill the buddy table, which tells remove requests the buddy's group. An
//   add is answered by a contact notice (0x0F: confirmed, or refused with
//   header status 7) and then by its outcome (0x83): an outcome with no
//   notice before it is a buddy that does not exist; an unconfirmed and
//   unrefused one adds the buddy as offline. Each add keeps its own answers,
//   so several may be under way; a notice that names no buddy answers the
//   latest, one that answers no add of ours comes in under the latest group.
// Losing the connection (peer close, error, Desconectar): keep-alive stops;
//   during the attempt it is failure 100, after login AoDesconectar.
// Events come out as actions, after the state they report is settled. Values
// that would hold the separator C0 80 are never sent: they would add pairs.
#include "yahoo/SessaoYahoo.h"

#include <cstdio>

#include "base/Cp1252.h"
#include "core/UGlobal.h"
#include "yahoo/CodecDesafio.h"
#include "yahoo/Textos.h"

namespace tazu::yahoo {

using namespace std::chrono_literals;
using S = TSessaoYahoo;

namespace {

constexpr auto kAtrasoDeConexao = 200ms;
constexpr auto kKeepAlive = 60s;
// A server that takes the connection and never finishes the login.
constexpr auto kPrazoDoLogin = 60s;

std::string Hex(uint32_t v, int digitos) {
  char b[12];
  std::snprintf(b, sizeof b, "%0*X", digitos, v);
  return b;
}

bool TemSeparador(const TYahooPacket& p) {
  for (const TYahooPair& par : p.Pares())
    if (par.Value.find(ymsg::kSeparador) != std::string::npos) return true;
  return false;
}

// Where a text of `maximo` bytes may end without cutting a UTF-8 sequence.
std::size_t Corte(std::string_view texto, std::size_t maximo, bool utf8) {
  if (texto.size() <= maximo) return texto.size();
  std::size_t fim = maximo;
  while (utf8 && fim > 0 && (static_cast<unsigned char>(texto[fim]) & 0xC0) == 0x80) --fim;
  return fim;
}

}  // namespace

uint32_t CodigoDoErro(net::SocketError erro) {
  return static_cast<uint32_t>(net::WinsockNumber(erro));
}

struct TSessaoYahoo::TRegra {
  uint16_t servico;
  void (TSessaoYahoo::*regra)(const TYahooPacket&);
};

const TSessaoYahoo::TRegra* TSessaoYahoo::Regra(uint16_t servico) {
  // clang-format off
  static const TRegra kRegras[] = {
      {0x01, &S::RelatorioDeStatus}, {0x02, &S::RelatorioDeStatus}, {0x03, &S::RelatorioDeStatus},
      {0x04, &S::RelatorioDeStatus}, {0x07, &S::RelatorioDeStatus}, {0x08, &S::RelatorioDeStatus},
      {0x0A, &S::RelatorioDeStatus}, {0x28, &S::RelatorioDeStatus}, {0x29, &S::RelatorioDeStatus},
      {0x06, &S::Mensagens},         {0x14, &S::Mensagens},         {0x2A, &S::Mensagens},
      {0x0F, &S::AvisoDeContato},    {0x54, &S::ResultadoDoLogin},  {0x55, &S::ListaDeContatos},
      {0x57, &S::Desafio},           {0x83, &S::ResultadoDaAdicao},
      {0x05, &S::NaoManipulado}, {0x09, &S::NaoManipulado}, {0x0C, &S::NaoManipulado},
      {0x0D, &S::NaoManipulado}, {0x0E, &S::NaoManipulado}, {0x10, &S::NaoManipulado},
      {0x11, &S::NaoManipulado}, {0x12, &S::NaoManipulado}, {0x13, &S::NaoManipulado},
      {0x16, &S::NaoManipulado}, {0x1E, &S::NaoManipulado}, {0x1F, &S::NaoManipulado},
      {0x20, &S::NaoManipulado}, {0x4F, &S::NaoManipulado}, {0x86, &S::NaoManipulado},
      {0x89, &S::NaoManipulado},
  };
  // clang-format on
  for (const TRegra& r : kRegras)
    if (r.servico == servico) return &r;
  return nullptr;
}

TSessaoYahoo::TSessaoYahoo(TEstadoYahoo& estado, TRelogio relogio, std::function<bool()> depurando)
    : e_(estado), relogio_(std::move(relogio)), depurando_(std::move(depurando)) {}

// ---- Requests ----

void TSessaoYahoo::Conectar(int32_t status) {
  if (status == StatusDesconectado) return;
  if (e_.Usuario.empty() || e_.Senha.empty()) {
    MarcarTentativa(false);
    Falha(1, std::string(textos::UsuarioOuSenhaInvalidos));
    return;
  }
  if (aberta_ || abrindo_) Agir(acao::Fechar{});
  aberta_ = abrindo_ = false;
  e_.LoggedIn = false;
  prazoKeepAlive_.reset();
  e_.Contatos.clear();
  adicoes_.clear();
  MarcarTentativa(true);
  e_.SessionID = 0;
  prazoAbrir_ = relogio_() + kAtrasoDeConexao;
  prazoLogin_ = *prazoAbrir_ + kPrazoDoLogin;
}

void TSessaoYahoo::EnviarMensagem(std::string_view destinatario, std::string_view texto) {
  if (texto.empty() || !aberta_) return;
  bool ascii = true;
  for (const char c : texto) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  const std::string corpo = ascii ? std::string(texto) : cp1252::ToUtf8(texto);
  const std::string_view para = destinatario.substr(0, 127);
  TYahooPacket& p = enviando_;
  const auto montar = [&](std::string_view parte) {
    p.Limpar();
    p.Service = ymsg::Mensagem;
    p.Status = ymsg::Desconectado;
    p.SessionID = e_.SessionID;
    p.Adicionar(1, e_.Usuario.str()).Adicionar(5, para).Adicionar(14, parte);
    p.Adicionar(97, ascii ? "0" : "1").Adicionar(63, ";0").Adicionar(64, "0");
  };
  montar({});
  const std::size_t cabe = ymsg::kMaiorCarga - TamanhoDaCarga(p);
  std::string_view resto = corpo;
  while (!resto.empty()) {
    const std::size_t n = Corte(resto, cabe, !ascii);
    montar(resto.substr(0, n));
    EnviarPacote(p);
    resto.remove_prefix(n);
  }
}

void TSessaoYahoo::MudarStatus(uint32_t codigo, bool ausente, std::string_view mensagem) {
  e_.Status = mensagem.empty() ? codigo : ymsg::Personalizado;
  TYahooPacket& p = enviando_;
  p.Limpar();
  p.Service = e_.Status == ymsg::Disponivel ? ymsg::DeVolta : ymsg::Ausente;
  p.Status = e_.Status;
  p.SessionID = e_.SessionID;
  p.Adicionar(10, std::to_string(e_.Status));
  if (e_.Status == ymsg::Personalizado)
    p.Adicionar(19, mensagem).Adicionar(47, ausente ? "1" : "0");
  if (aberta_) EnviarPacote(p);
}

void TSessaoYahoo::AdicionarContato(std::string_view id, std::string_view grupo) {
  ultimoGrupo_ = std::string(grupo);
  if (TAdicao* antiga = Adicao(id)) *antiga = TAdicao{};
  std::erase_if(adicoes_, [](const TAdicao& a) { return a.id.empty(); });
  adicoes_.push_back({std::string(id), std::string(grupo)});
  TYahooPacket& p = enviando_;
  p.Limpar();
  p.Service = ymsg::AdicionarContato;
  p.Status = 0;
  p.SessionID = e_.SessionID;
  p.Adicionar(1, e_.Usuario.str()).Adicionar(7, id).Adicionar(65, grupo);
  if (aberta_) EnviarPacote(p);
}

void TSessaoYahoo::RemoverContato(std::string_view id) {
  if (id.empty()) return;
  const std::string procurado = MaiusculasAnsi(id);
  for (auto it = e_.Contatos.begin(); it != e_.Contatos.end(); ++it) {
    std::string_view grupo = *it;
    const std::string_view amigo = ProximoToken(grupo, ymsg::kSeparador);
    if (MaiusculasAnsi(amigo) != procurado) continue;
    TYahooPacket& p = enviando_;
    p.Limpar();
    p.Service = ymsg::RemoverContato;
    p.Status = 0;
    p.SessionID = e_.SessionID;
    p.Adicionar(1, e_.Usuario.str()).Adicionar(7, id).Adicionar(65, grupo);
    e_.Contatos.erase(it);
    if (aberta_) EnviarPacote(p);
    return;
  }
}

void TSessaoYahoo::Desconectar() {
  if (aberta_ || abrindo_) {
    Agir(acao::Fechar{});
    Encerrada();
  } else if (prazoAbrir_) {
    prazoAbrir_.reset();
    MarcarTentativa(false);
  }
}

// ---- The connection ----

void TSessaoYahoo::AbrirFalhou() {
  Falhou(net::SocketError::HostNotFound);
}

void TSessaoYahoo::Conectou() {
  abrindo_ = false;
  aberta_ = true;
  TYahooPacket& p = enviando_;
  p.Limpar();
  p.Service = ymsg::Autenticacao;
  p.Status = 0;
  p.SessionID = 0;
  p.Adicionar(1, e_.Usuario.str());
  EnviarPacote(p);
}

void TSessaoYahoo::Falhou(net::SocketError erro) {
  if (!abrindo_) {
    Encerrada();
    return;
  }
  abrindo_ = false;
  MarcarTentativa(false);
  Falha(CodigoDoErro(erro), std::string(textos::FalhaAoConectar));
}

void TSessaoYahoo::Fechou() {
  Encerrada();
}

void TSessaoYahoo::EnquadramentoInvalido() {
  Log(std::string(textos::CabecalhoInvalido));
  Agir(acao::Fechar{});
  Encerrada();
}

void TSessaoYahoo::Encerrada() {
  aberta_ = abrindo_ = false;
  prazoKeepAlive_.reset();
  const bool estava = std::exchange(e_.LoggedIn, false);
  const bool tentando = e_.Tentando;
  MarcarTentativa(false);
  if (tentando) Falha(100, {});
  if (estava) Agir(acao::Desconectou{});
}

void TSessaoYahoo::PacoteRecebido(std::string_view bloco) {
  ruins_.clear();
  if (LerPacote(bloco, lido_, &ruins_) != TResultadoLeitura::Ok) {
    Log(std::string(textos::TamanhoDifere));
    return;
  }
  for (const TParRuim& r : ruins_)
    Log(std::string(textos::ItemRuim) + "\"" + r.chave + "\"" + std::string(textos::Valor) + "\"" +
        r.valor + "\".");
  e_.SessionID = lido_.SessionID;
  Depurar(textos::Recebido, lido_);
  const TRegra* regra = Regra(lido_.Service);
  if (regra) {
    (this->*regra->regra)(lido_);
  } else {
    Desconhecido(lido_);
  }
}

// ---- Time ----

std::optional<net::TimePoint> TSessaoYahoo::ProximoPrazo() const {
  std::optional<net::TimePoint> p = prazoKeepAlive_;
  if (prazoAbrir_ && (!p || *prazoAbrir_ < *p)) p = prazoAbrir_;
  if (prazoLogin_ && (!p || *prazoLogin_ < *p)) p = prazoLogin_;
  return p;
}

void TSessaoYahoo::AoPrazo() {
  const net::TimePoint agora = relogio_();
  if (prazoLogin_ && *prazoLogin_ <= agora) {
    prazoLogin_.reset();
    if (e_.Tentando) {
      Log(std::string(textos::LoginSemResposta));
      if (aberta_ || abrindo_) Agir(acao::Fechar{});
      aberta_ = abrindo_ = false;
      prazoAbrir_.reset();
      MarcarTentativa(false);
      Falha(CodigoDoErro(net::SocketError::Timeout), std::string(textos::FalhaAoConectar));
      return;
    }
  }
  if (prazoAbrir_ && *prazoAbrir_ <= agora) {
    prazoAbrir_.reset();
    abrindo_ = true;
    Agir(acao::Abrir{e_.Servidor, e_.Porta});
  }
  if (prazoKeepAlive_ && *prazoKeepAlive_ <= agora) {
    *prazoKeepAlive_ += kKeepAlive;
    TYahooPacket& p = enviando_;
    p.Limpar();
    p.Service = ymsg::KeepAlive;
    p.Status = 0;
    p.SessionID = e_.SessionID;
    EnviarPacote(p);
  }
}

// ---- Helpers ----

void TSessaoYahoo::EnviarPacote(const TYahooPacket& p) {
  std::string bytes;
  if (TemSeparador(p) || !Serializar(p, bytes)) return;
  if (p.Service != ymsg::KeepAlive) Depurar(textos::Enviando, p);
  Agir(acao::Enviar{std::move(bytes)});
}

void TSessaoYahoo::Depurar(std::string_view cabecalho, const TYahooPacket& p) {
  if (!depurando_ || !depurando_()) return;
  Log(std::string(cabecalho) + Hex(p.Service, 4) + std::string(textos::StatusDoPacote) +
      Hex(p.Status, 8));
  int n = 0;
  for (const TYahooPair& par : p.Pares())
    Log("[" + std::to_string(n++) + "] " + std::string(textos::Chave) + std::to_string(par.Key) +
        std::string(textos::Valor) + "\"" + par.Value + "\".");
}

void TSessaoYahoo::Log(std::string texto) {
  if (depurando_ && !depurando_()) return;
  Agir(acao::Log{std::move(texto)});
}

bool TSessaoYahoo::Numero(const TYahooPair& par, uint32_t& valor) {
  if (LerInteiro(par.Value, valor)) return true;
  Log(std::string(textos::NumeroInvalidoAntes) + std::to_string(par.Key) +
      std::string(textos::NumeroInvalidoDepois));
  return false;
}

void TSessaoYahoo::MarcarTentativa(bool valor) {
  e_.Tentando = valor;
  if (!valor) prazoLogin_.reset();
  if (e_.TentandoExterno) *e_.TentandoExterno = valor;
}

void TSessaoYahoo::Falha(uint32_t codigo, std::string url) {
  Agir(acao::FalhaConexao{codigo, std::move(url)});
}

TSessaoYahoo::TAdicao* TSessaoYahoo::Adicao(std::string_view id) {
  const std::string procurado = MaiusculasAnsi(id);
  for (TAdicao& a : adicoes_)
    if (MaiusculasAnsi(a.id) == procurado) return &a;
  return nullptr;
}

void TSessaoYahoo::GuardarContato(std::string_view id, std::string_view grupo) {
  const std::string procurado = MaiusculasAnsi(id);
  for (const std::string& c : e_.Contatos) {
    std::string_view resto = c;
    if (MaiusculasAnsi(ProximoToken(resto, ymsg::kSeparador)) == procurado) return;
  }
  e_.Contatos.push_back(std::string(id) + std::string(ymsg::kSeparador) + std::string(grupo));
}

}  // namespace tazu::yahoo
