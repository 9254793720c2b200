// Connections, units of work, the turn, closing and the periodic sweep.
#include "tazud/Servidor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
    : runtime_(runtime),
      banco_(banco),
      senhas_(senhas),
      config_(std::move(config)),
      limites_(config_.limites) {
  if (!config_.sortearChave) config_.sortearChave = ChaveAleatoria;
  // Lines that wait are whole lines.
  config_.limiteDeEntrada = std::max(config_.limiteDeEntrada, 2 * config_.limiteDeLinha);
  AoFalhaFatal = [](const std::string& erro) {
    std::fprintf(stderr, "tazud: storage failure, stopping: %s\n", erro.c_str());
    std::_Exit(1);
  };
  ultimoAviso_ = banco_.UltimoAviso();
  varredura_ = runtime_.CreateTimer();
  varredura_->onTimeout = [this] { Varrer(); };
  varredura_->Start(kVarredura, true);
  retomada_ = runtime_.CreateTimer();
  retomada_->onTimeout = [this] { Retomar(); };
  esperas_ = runtime_.CreateTimer();
  esperas_->onTimeout = [this] { AoFimDasEsperas(); };
}

TServidor::~TServidor() {
  vivo_.End();
  varredura_.reset();
  retomada_.reset();
  esperas_.reset();
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

uint16_t TServidor::Porta() const {
  return listener_ ? listener_->Port() : 0;
}

void TServidor::Registrar(const std::string& linha) {
  if (AoRegistrar) AoRegistrar(ParaOLog(linha));
}

void TServidor::Aceitar(std::unique_ptr<net::TcpSocket> conexao) {
  const std::string endereco = conexao->PeerAddress();
  int& doEndereco = porEndereco_[endereco];
  const bool cheio = static_cast<int>(sessoes_.size()) >= config_.conexoesTotais;
  if (doEndereco >= config_.conexoesPorEndereco || cheio) {
    if (doEndereco == 0) porEndereco_.erase(endereco);
    const textos::TErro& erro = cheio ? textos::ErroServidorCheio : textos::ErroConexoesDemais;
    TCriptografia semChave;
    semChave.Chave = 0;
    std::string bytes;
    AnexarLinha(bytes, MontarLinha("RERR", {std::to_string(erro.numero), erro.texto}), semChave);
    conexao->Send(bytes);
    conexao->Close();
    RegistrarRecusa(endereco, cheio);
    return;
  }
  ++doEndereco;
  const uint64_t id = proximaSessao_++;
  auto sessao = std::make_unique<TSessao>(*this, id, std::move(conexao));
  Registrar("connected " + sessao->Nome());
  sessoes_.emplace(id, std::move(sessao));
}

void TServidor::RegistrarRecusa(const std::string& endereco, bool cheio) {
  const net::TimePoint agora = runtime_.Now();
  if (agora - ultimaRecusaRegistrada_ < kVarredura) {
    ++recusasCaladas_[cheio ? 1 : 0];
    return;
  }
  ultimaRecusaRegistrada_ = agora;
  Registrar("refused " + endereco + (cheio ? ": the server is full" : ": too many connections"));
}

// --- output and units of work -----------------------------------------------

void TServidor::Enviar(TSessao& s, std::string_view linha) {
  if (s.fechada_) return;
  Tocar(s);
  if (!AnexarLinha(s.saida_, linha, s.cripto)) {
    ++linhasConsertadas_;
    Registrar("internal: a line for " + s.Nome() + " held a line break: " + std::string(linha));
  }
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

void TServidor::AbrirUnidade(TSessao& s) {
  unidade_ = proximaUnidade_++;
  sessaoDaUnidade_ = s.id_;
  unidadeGravou_ = false;
  tocadas_.clear();
}

void TServidor::Tocar(TSessao& s) {
  if (unidade_ == 0 || s.unidade_ == unidade_) return;
  s.unidade_ = unidade_;
  s.marcaDaSaida_ = s.saida_.size();
  tocadas_.push_back(s.id_);
}

void TServidor::FecharUnidade() {
  unidade_ = 0;
  if (!unidadeGravou_) return;
  unidadeGravou_ = false;
  if (!banco_.Falhou()) banco_.LiberarPonto();
  if (!banco_.Falhou()) return;
  if (banco_.FalhaGrave()) {
    Parar(banco_.ErroDaFalha());
    return;
  }
  // This command alone is undone: its rows, and what it queued for anyone.
  const std::string erro = banco_.ErroDaFalha();
  banco_.VoltarAoPonto();
  for (const uint64_t id : tocadas_) {
    const auto it = sessoes_.find(id);
    if (it == sessoes_.end()) continue;
    TSessao& t = *it->second;
    t.saida_.resize(std::min(t.saida_.size(), t.marcaDaSaida_));
    const uint64_t fim = t.enviados_ + t.saida_.size();
    while (!t.entregas_.empty() && t.entregas_.back().fim > fim) t.entregas_.pop_back();
  }
  const auto s = sessoes_.find(sessaoDaUnidade_);
  if (s == sessoes_.end()) return;
  Registrar("refused a command of " + s->second->Nome() + ": " + erro);
  EnviarErro(*s->second, textos::ErroInterno);
}

void TServidor::Parar(const std::string& erro) {
  // Nothing of this turn reaches anyone: the sessions' output goes with the
  // process.
  parado_ = true;
  banco_.Desfazer();
  if (AoFalhaFatal) AoFalhaFatal(erro);
}

bool TServidor::Gravar(TSessao& s) {
  if (GravarSemSessao()) return true;
  EnviarErro(s, textos::ErroInterno);
  return false;
}

bool TServidor::GravarSemSessao() {
  if (parado_ || !banco_.Iniciar()) return false;
  if (unidade_ != 0 && !unidadeGravou_) {
    unidadeGravou_ = true;
    banco_.MarcarPonto();
  }
  AgendarFimDoTurno();
  return true;
}

// --- the turn ---------------------------------------------------------------

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
  runtime_.Post([this, vivo = vivo_.Watch()] {
    if (vivo) FimDoTurno();
  });
}

void TServidor::FimDoTurno() {
  fimAgendado_ = false;
  if (parado_) return;
  ++turno_;
  // Deliveries confirmed in earlier turns ride along with this turn's writes;
  // they need no commit of their own (a crash before it only delivers twice).
  if (banco_.EmTransacao()) ApagarEntregues();
  std::string erro;
  if (banco_.EmTransacao() && !banco_.Confirmar(erro)) {
    Parar(erro);
    return;
  }
  std::vector<uint64_t> sujas;
  sujas.swap(sujas_);
  for (const uint64_t id : sujas) {
    const auto it = sessoes_.find(id);
    if (it == sessoes_.end()) continue;
    it->second->suja_ = false;
    Descarregar(*it->second);
  }
  if (!pausadas_.empty() && !retomada_->IsActive()) retomada_->Start(net::Milliseconds(0), false);
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
    runtime_.Post([this, id = s.id_, vivo = vivo_.Watch()] {
      if (!vivo) return;
      const auto it = sessoes_.find(id);
      if (it != sessoes_.end() && it->second->maisMensagens) EntregarPaginaDeMensagens(*it->second);
    });
  }
}

void TServidor::DepoisDoComando(TSessao& s) {
  if (s.pausada_ || s.fechada_ || s.estado == TEstado::Encerrando) return;
  const bool buscasEsgotadas =
      s.turnoDasBuscas_ == turno_ && s.buscasNoTurno_ >= config_.buscasPorTurno;
  if (!buscasEsgotadas && s.BytesNaFila() <= config_.limiteDeFila) return;
  s.pausada_ = true;
  pausadas_.push_back(s.id_);
}

void TServidor::Retomar() {
  std::vector<uint64_t> pausadas;
  pausadas.swap(pausadas_);
  for (const uint64_t id : pausadas) {
    const auto it = sessoes_.find(id);
    if (it != sessoes_.end() && it->second->pausada_) it->second->Retomar();
  }
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
  s.adiadas_.clear();
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
  // Closing stored what the clients had not acknowledged yet.
  if (banco_.EmTransacao()) FimDoTurno();
}

// --- the periodic sweep -----------------------------------------------------

void TServidor::Varrer() {
  const net::TimePoint agora = runtime_.Now();
  ++numeroDaVarredura_;
  std::vector<TSessao*> todas;
  todas.reserve(sessoes_.size());
  for (auto& [id, s] : sessoes_) todas.push_back(s.get());
  for (TSessao* s : todas) {
    if (s->fechada_ || s->fecharAposEnvio_) continue;
    if (s->estado != TEstado::Conectado) {
      if (agora - s->aceitaEm >= config_.prazoDeIdentificacao) {
        EnviarErro(*s, textos::ErroTempoEsgotado);
        FecharAposEnvio(*s, "did not log in in time");
      }
      continue;
    }
    const auto silencio = agora - s->ultimaAtividade;
    if (s->sondada && silencio >= config_.silencioAteSondar + config_.silencioAteDesligar) {
      Fechar(*s, "silent after SBFF");
      continue;
    }
    if (!s->sondada && silencio >= config_.silencioAteSondar) {
      s->sondada = true;
      Enviar(*s, MontarLinha("SBFF"));
    }
    if (!s->entregas_.empty()) {
      ConferirEntregas(*s, false);
      GuardarSemLinha(*s, false);
    }
    if (s->maisMensagens && s->BytesNaFila() < config_.limiteDeFila / 4) {
      EntregarPaginaDeMensagens(*s);
    }
    if (s->BytesNaFila() > config_.limiteDeFila) {
      Fechar(*s, "output queue over its bound (the client is not reading)");
    }
  }
  EntregarAvisosNovos();
  if (!entregues_.empty() && GravarSemSessao()) AgendarFimDoTurno();
  if (recusasCaladas_[0] + recusasCaladas_[1] > 0) {
    Registrar("refused " + std::to_string(recusasCaladas_[0] + recusasCaladas_[1]) +
              " more connections since (" + std::to_string(recusasCaladas_[0]) +
              " over an address's bound, " + std::to_string(recusasCaladas_[1]) +
              " with the server full)");
    recusasCaladas_[0] = recusasCaladas_[1] = 0;
  }
  limites_.Esquecer(agora);
}

}  // namespace tazu::tazud
