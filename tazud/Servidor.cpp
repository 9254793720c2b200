#include "tazud/Servidor.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

#include "core/UGlobal.h"
#include "tazud/Envio.h"
#include "tazud/Escapes.h"
#include "tazud/Sessao.h"

namespace tazu::tazud {

namespace {

constexpr net::Milliseconds kVarredura{1000};

uint8_t ChaveAleatoria() {
  static std::mt19937 gerador{std::random_device{}()};
  return static_cast<uint8_t>(std::uniform_int_distribution<int>(1, 255)(gerador));
}

}  // namespace

TServidor::TServidor(net::Runtime& runtime, TBanco& banco, TSenhas& senhas, TConfiguracao config)
    : runtime_(runtime), banco_(banco), senhas_(senhas), config_(std::move(config)) {
  if (!config_.sortearChave) config_.sortearChave = ChaveAleatoria;
  AoFalhaFatal = [](const std::string& erro) {
    std::fprintf(stderr, "tazud: storage failure, stopping: %s\n", erro.c_str());
    std::_Exit(1);
  };
  ultimoAviso_ = banco_.UltimoAviso();
  varredura_ = runtime_.CreateTimer();
  varredura_->onTimeout = [this] { Varrer(); };
  varredura_->Start(kVarredura, true);
}

TServidor::~TServidor() {
  *vivo_ = false;
  varredura_.reset();
  listener_.reset();
  sessoes_.clear();
}

bool TServidor::Escutar(const std::string& endereco, uint16_t porta, std::string& erro) {
  listener_ = runtime_.CreateTcpListener();
  listener_->onAccept = [this](std::unique_ptr<net::TcpSocket> conexao) {
    Aceitar(std::move(conexao));
  };
  return listener_->Listen(endereco, porta, &erro);
}

uint16_t TServidor::Porta() const { return listener_ ? listener_->Port() : 0; }

void TServidor::Registrar(const std::string& linha) {
  if (AoRegistrar) AoRegistrar(linha);
}

void TServidor::Aceitar(std::unique_ptr<net::TcpSocket> conexao) {
  const std::string endereco = conexao->PeerAddress();
  int& doEndereco = porEndereco_[endereco];
  if (doEndereco >= config_.conexoesPorEndereco ||
      static_cast<int>(sessoes_.size()) >= config_.conexoesTotais) {
    if (doEndereco == 0) porEndereco_.erase(endereco);
    TCriptografia semChave;
    semChave.Chave = 0;
    conexao->Send(PrepararEnvio(MontarLinha("RERR", {std::to_string(textos::ErroConexoesDemais.numero),
                                                     textos::ErroConexoesDemais.texto}),
                                semChave));
    conexao->Close();
    Registrar("refused " + endereco + ": too many connections");
    return;
  }
  ++doEndereco;
  const uint64_t id = proximaSessao_++;
  auto sessao = std::make_unique<TSessao>(*this, id, std::move(conexao));
  Registrar("connected " + sessao->Nome());
  sessoes_.emplace(id, std::move(sessao));
}

// --- output -----------------------------------------------------------------

void TServidor::Enviar(TSessao& s, std::string_view linha) {
  if (s.fechada_) return;
  AnexarLinha(s.saida_, linha, s.cripto);
  Sujar(s);
}

void TServidor::EnviarErro(TSessao& s, const textos::TErro& erro, std::string_view complemento) {
  std::string texto(erro.texto);
  texto += SemSeparador(complemento);
  Enviar(s, MontarLinha("RERR", {std::to_string(erro.numero), texto}));
}

void TServidor::Recusar(TSessao& s, const textos::TErro& erro, std::string_view complemento) {
  EnviarErro(s, erro, complemento);
  if (++s.erros > config_.errosTolerados) {
    EnviarErro(s, textos::ErroErrosDemais);
    FecharAposEnvio(s, "too many errors");
  }
}

bool TServidor::Gravar(TSessao& s) {
  if (banco_.Iniciar()) {
    AgendarFimDoTurno();
    return true;
  }
  EnviarErro(s, textos::ErroInterno);
  return false;
}

void TServidor::Sujar(TSessao& s) {
  if (!s.suja_) {
    s.suja_ = true;
    sujas_.push_back(s.id_);
  }
  AgendarFimDoTurno();
}

void TServidor::AgendarFimDoTurno() {
  if (fimAgendado_) return;
  fimAgendado_ = true;
  runtime_.Post([this, vivo = std::weak_ptr<bool>(vivo_)] {
    if (const auto v = vivo.lock(); v && *v) FimDoTurno();
  });
}

void TServidor::FimDoTurno() {
  fimAgendado_ = false;
  // Deliveries confirmed in earlier turns ride along with this turn's writes;
  // they need no commit of their own (a crash before it only delivers twice).
  if (banco_.EmTransacao()) ApagarEntregues();
  if (banco_.EmTransacao()) {
    std::string erro;
    if (!banco_.Confirmar(erro)) {
      // Nothing of this turn reaches anyone: the sessions' output is dropped
      // with the process.
      if (AoFalhaFatal) AoFalhaFatal(erro);
      return;
    }
  }
  std::vector<uint64_t> sujas;
  sujas.swap(sujas_);
  for (const uint64_t id : sujas) {
    const auto it = sessoes_.find(id);
    if (it == sessoes_.end()) continue;
    TSessao& s = *it->second;
    s.suja_ = false;
    Descarregar(s);
  }
}

void TServidor::ApagarEntregues() {
  for (const auto& [mensagem, id] : entregues_) {
    if (mensagem) {
      banco_.RemoverMensagem(id);
    } else {
      banco_.RemoverEvento(id);
    }
  }
  entregues_.clear();
}

void TServidor::Despachar(TSessao& s) {
  if (s.saida_.empty()) return;
  s.enviados_ += s.saida_.size();
  s.socket_->Send(s.saida_);
  s.saida_.clear();
}

void TServidor::Descarregar(TSessao& s) {
  if (s.fechada_) return;
  Despachar(s);
  ConferirEntregas(s, false);
  if (s.fecharAposEnvio_) {
    Finalizar(s);
    return;
  }
  if (s.BytesNaFila() > config_.limiteDeFila) {
    Fechar(s, "output queue over its bound (the client is not reading)");
    return;
  }
  if (s.maisMensagens && s.BytesNaFila() < config_.limiteDeFila / 4) {
    const uint64_t id = s.id_;
    runtime_.Post([this, id, vivo = std::weak_ptr<bool>(vivo_)] {
      const auto v = vivo.lock();
      if (!v || !*v) return;
      const auto it = sessoes_.find(id);
      if (it != sessoes_.end() && it->second->maisMensagens) EntregarPaginaDeMensagens(*it->second);
    });
  }
}

void TServidor::ConferirEntregas(TSessao& s, bool fechando) {
  // What the kernel has taken is delivered; what still waits in our queue is
  // not, and stays stored when the connection goes.
  const uint64_t noKernel = s.BytesNoKernel();
  while (!s.entregas_.empty() && s.entregas_.front().fim <= noKernel) {
    entregues_.emplace_back(s.entregas_.front().mensagem, s.entregas_.front().id);
    s.entregas_.pop_front();
  }
  if (fechando) s.entregas_.clear();
}

TServidor::TEntregaDireta TServidor::EntregarJa(TSessao& d, const std::string& linha) {
  // Stored messages still to be loaded come first.
  if (d.fechada_ || d.fecharAposEnvio_ || d.maisMensagens) return TEntregaDireta::Recusada;
  if (!d.saida_.empty()) {
    // The session's output of this turn may go ahead now, unless the turn has
    // written something it could be confirming before the commit.
    if (banco_.EmTransacao()) return TEntregaDireta::Recusada;
    Despachar(d);
  }
  ConferirEntregas(d, false);
  // A stored item not yet in the kernel, or any byte waiting in the socket,
  // would be overtaken.
  if (!d.entregas_.empty() || d.BytesNaFila() > 0) return TEntregaDireta::Recusada;
  std::string bytes;
  AnexarLinha(bytes, linha, d.cripto);
  d.enviados_ += bytes.size();
  d.socket_->Send(bytes);
  return d.BytesNoKernel() == d.enviados_ ? TEntregaDireta::NoKernel : TEntregaDireta::Parcial;
}

// --- closing ----------------------------------------------------------------

void TServidor::FecharAposEnvio(TSessao& s, const std::string& motivo) {
  if (s.fechada_ || s.fecharAposEnvio_) return;
  s.fecharAposEnvio_ = true;
  s.motivo_ = motivo;
  SairDaRede(s);
  s.estado = TEstado::Encerrando;
  Sujar(s);
}

void TServidor::Fechar(TSessao& s, const std::string& motivo) {
  if (s.fechada_) return;
  if (!s.fecharAposEnvio_) {
    s.motivo_ = motivo;
    SairDaRede(s);
  }
  s.saida_.clear();
  Finalizar(s);
}

void TServidor::SairDaRede(TSessao& s) {
  if (s.estado != TEstado::Conectado) return;
  const auto it = online_.find(s.niu);
  if (it != online_.end() && it->second == &s) online_.erase(it);
  s.estado = TEstado::Encerrando;
  AnunciarTransicao(s, s.status, StatusDesconectado);
}

void TServidor::Finalizar(TSessao& s) {
  ConferirEntregas(s, true);
  s.fechada_ = true;
  s.estado = TEstado::Encerrando;
  const auto it = online_.find(s.niu);
  if (it != online_.end() && it->second == &s) online_.erase(it);
  if (const auto e = porEndereco_.find(s.endereco_); e != porEndereco_.end() && --e->second <= 0) {
    porEndereco_.erase(e);
  }
  s.socket_->Close();
  Registrar("disconnected " + s.Nome() + ": " + s.motivo_);
  // The session may be inside its own socket callback: it goes later.
  const auto sessao = sessoes_.find(s.id_);
  if (sessao == sessoes_.end()) return;
  std::shared_ptr<TSessao> liberar(std::move(sessao->second));
  sessoes_.erase(sessao);
  runtime_.Post([liberar] {});
}

void TServidor::Encerrar() {
  varredura_->Stop();
  if (listener_) listener_->Close();
  std::vector<TSessao*> todas;
  for (auto& [id, s] : sessoes_) todas.push_back(s.get());
  for (TSessao* s : todas) {
    if (s->estado == TEstado::Conectado) s->estado = TEstado::Encerrando;  // no presence storm
    FecharAposEnvio(*s, "server stopping");
  }
  FimDoTurno();
}

// --- the periodic sweep -----------------------------------------------------

void TServidor::Varrer() {
  const net::TimePoint agora = runtime_.Now();
  std::vector<TSessao*> todas;
  todas.reserve(sessoes_.size());
  for (auto& [id, s] : sessoes_) todas.push_back(s.get());
  for (TSessao* s : todas) {
    if (s->fechada_ || s->fecharAposEnvio_) continue;
    const auto silencio = agora - s->ultimaAtividade;
    if (s->estado != TEstado::Conectado) {
      if (silencio >= config_.prazoDeIdentificacao) {
        EnviarErro(*s, textos::ErroTempoEsgotado);
        FecharAposEnvio(*s, "did not log in in time");
      }
      continue;
    }
    if (s->sondada && silencio >= config_.silencioAteSondar + config_.silencioAteDesligar) {
      Fechar(*s, "silent after SBFF");
      continue;
    }
    if (!s->sondada && silencio >= config_.silencioAteSondar) {
      s->sondada = true;
      Enviar(*s, MontarLinha("SBFF"));
    }
    if (!s->entregas_.empty()) ConferirEntregas(*s, false);
    if (s->maisMensagens && s->BytesNaFila() < config_.limiteDeFila / 4) {
      EntregarPaginaDeMensagens(*s);
    }
    if (s->BytesNaFila() > config_.limiteDeFila) {
      Fechar(*s, "output queue over its bound (the client is not reading)");
    }
  }
  EntregarAvisosNovos();
  if (!entregues_.empty() && !banco_.EmTransacao() && banco_.Iniciar()) AgendarFimDoTurno();
}

void TServidor::EntregarAvisosNovos() {
  const int64_t ultimo = banco_.UltimoAviso();
  if (ultimo <= ultimoAviso_) return;
  ultimoAviso_ = ultimo;
  for (auto& [niu, s] : online_) EntregarAvisos(*s);
}

// --- presence ---------------------------------------------------------------

TSessao* TServidor::Online(Niu niu) {
  const auto it = online_.find(niu);
  return it == online_.end() ? nullptr : it->second;
}

uint8_t TServidor::StatusVisivel(Niu niu) {
  TSessao* s = Online(niu);
  if (s == nullptr || s->status == StatusInvisivel) return StatusDesconectado;
  return s->status;
}

void TServidor::AnunciarTransicao(TSessao& s, uint8_t antes, uint8_t depois) {
  const auto visivel = [](uint8_t st) {
    return st != StatusInvisivel && st != StatusDesconectado;
  };
  const bool eraVisivel = visivel(antes);
  const bool ficaVisivel = visivel(depois);
  if (!eraVisivel && !ficaVisivel) return;
  if (eraVisivel && ficaVisivel && antes == depois) return;
  const std::string niu = std::to_string(s.niu);
  const std::string apelido = EscreverApelido(s.apelido);
  const std::string origem(textos::OrigemPC);
  std::string linha;
  if (!eraVisivel) {
    linha = MontarLinha("SNCC", {niu, apelido, std::to_string(depois), origem});
  } else if (!ficaVisivel) {
    linha = MontarLinha("SNDC", {niu, apelido, origem});
  } else {
    linha = MontarLinha("SNMS", {niu, apelido, std::to_string(depois), origem});
  }
  for (const Niu observador : banco_.Observadores(s.niu)) {
    if (observador == s.niu) continue;
    if (TSessao* o = Online(observador)) Enviar(*o, linha);
  }
}

std::string TServidor::LinhaDeContato(Niu niu, std::string_view apelido, char lista) {
  const uint8_t status =
      lista == 'A' || lista == 'F' ? StatusVisivel(niu) : uint8_t{StatusDesconectado};
  return MontarLinha("SACT", {std::to_string(niu), EscreverApelido(apelido), std::string(1, lista),
                              std::to_string(status), textos::OrigemPC});
}

void TServidor::EnviarLista(TSessao& s) {
  for (const TContatoGuardado& c : banco_.Contatos(s.niu)) {
    Enviar(s, LinhaDeContato(c.niu, c.apelido, c.lista));
  }
}

std::string TServidor::DataDeHoje() const {
  const auto segundos = std::chrono::duration_cast<std::chrono::seconds>(
      runtime_.WallNow().time_since_epoch());
  const std::time_t t = static_cast<std::time_t>(segundos.count());
  std::tm tm{};
  localtime_r(&t, &tm);
  char texto[32];
  std::strftime(texto, sizeof texto, "%d/%m/%Y %H:%M", &tm);
  return texto;
}

// --- login ------------------------------------------------------------------

void TServidor::CompletarLogin(TSessao& s, const TUsuario& u, uint8_t status) {
  uint8_t antes = StatusDesconectado;
  if (TSessao* anterior = Online(u.niu); anterior != nullptr && anterior != &s) {
    // The newer login wins; the older one is told where the user went.
    antes = anterior->status;
    online_.erase(u.niu);
    anterior->estado = TEstado::Encerrando;  // leaves without announcing a log-off
    Enviar(*anterior, MontarLinha("SNMP", {textos::OrigemPC}));
    FecharAposEnvio(*anterior, "replaced by a newer login " + s.Nome());
  }
  // What earlier sessions delivered must be gone before this one reads what
  // is kept, or it would be delivered twice.
  if (!entregues_.empty() && Gravar(s)) ApagarEntregues();
  s.estado = TEstado::Conectado;
  s.niu = u.niu;
  s.apelido = u.apelido;
  s.status = status;
  online_[u.niu] = &s;
  Registrar("logged in " + s.Nome());

  Enviar(s, MontarLinha("RCCA"));
  Enviar(s, MontarLinha("RUAC", {std::to_string(u.niu), EscreverApelido(u.apelido)}));
  EnviarLista(s);
  const TContasExternas contas = banco_.Contas(u.niu);
  static constexpr const char* kTipos[] = {"1", "4", "3"};  // ICQ, MSN, Yahoo
  for (int i = 0; i < 3; ++i) {
    if (!contas[i].usa || contas[i].conta.empty()) continue;
    Enviar(s, MontarLinha("SACM", {kTipos[i], SemSeparador(contas[i].conta),
                                   SemSeparador(contas[i].senha)}));
  }
  for (const TEventoGuardado& e : banco_.Eventos(u.niu)) {
    Enviar(s, MontarLinha(e.codigo, {std::to_string(e.de), EscreverApelido(e.apelido), e.texto1,
                                     e.texto2}));
    s.entregas_.push_back({s.enviados_ + s.saida_.size(), false, e.id});
  }
  s.maisMensagens = true;
  s.ultimaMensagem = 0;
  EntregarPaginaDeMensagens(s);
  EntregarAvisos(s);
  AnunciarTransicao(s, antes, status);
}

void TServidor::EntregarPaginaDeMensagens(TSessao& s) {
  if (s.fechada_ || s.fecharAposEnvio_) return;
  const auto pagina = banco_.Mensagens(s.niu, s.ultimaMensagem, config_.paginaDeMensagens);
  for (const TMensagemGuardada& m : pagina) {
    Enviar(s, MontarLinha("CMSG", {std::to_string(m.de), EscreverApelido(m.apelido),
                                   textos::PresencaGuardada, m.texto}));
    s.entregas_.push_back({s.enviados_ + s.saida_.size(), true, m.id});
    s.ultimaMensagem = m.id;
    s.remetentes.insert(m.de);
  }
  s.maisMensagens = static_cast<int>(pagina.size()) == config_.paginaDeMensagens;
}

void TServidor::EntregarAvisos(TSessao& s) {
  const std::optional<TUsuario> u = banco_.Usuario(s.niu);
  if (!u) return;
  const std::vector<TAviso> avisos = banco_.Avisos(s.niu, u->ultimoAviso);
  if (avisos.empty()) return;
  if (!Gravar(s)) return;
  for (const TAviso& a : avisos) {
    Enviar(s, MontarLinha("SEMS", {std::to_string(a.numero), SemSeparador(a.texto)}));
  }
  banco_.MarcarAviso(s.niu, avisos.back().id);
}

void TServidor::Notificar(Niu para, std::string_view codigo, TSessao& de, std::string_view texto1,
                          std::string_view texto2) {
  if (TSessao* destino = Online(para)) {
    Enviar(*destino, MontarLinha(codigo, {std::to_string(de.niu), EscreverApelido(de.apelido),
                                          texto1, texto2}));
  } else {
    banco_.GravarEvento(para, codigo, de.niu, texto1, texto2);
  }
}

}  // namespace tazu::tazud
