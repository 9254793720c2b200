// How what the server must not lose reaches a connection, and when it may let
// go of it.
#include "core/UGlobal.h"
#include "tazud/Envio.h"
#include "tazud/Escapes.h"
#include "tazud/Servidor.h"
#include "tazud/Sessao.h"

namespace tazu::tazud {

void TServidor::ConferirEntregas(TSessao& s, bool fechando) {
  // What the peer's TCP acknowledged is the client's; anything else is lost
  // if the connection dies now.
  if (!s.entregas_.empty()) {
    const uint64_t confirmados = s.socket_->BytesAcknowledged();
    while (!s.entregas_.empty() && s.entregas_.front().fim <= confirmados) {
      const TSessao::TEntrega& e = s.entregas_.front();
      if (e.guardada) entregues_.emplace_back(e.mensagem, e.id);
      s.entregas_.pop_front();
    }
  }
  if (!fechando) return;
  GuardarSemLinha(s, true);
  s.entregas_.clear();
}

void TServidor::ManterAteConfirmar(TSessao& d, Niu de, const std::string& texto, int64_t quando) {
  // Its id now, so that if it must be stored it still comes in this order.
  TSessao::TEntrega e = TSessao::TEntrega::Guardada(d.enviados_, true, banco_.ReservarMensagem());
  e.guardada = false;
  e.de = de;
  e.texto = texto;
  e.quando = quando;
  e.varredura = numeroDaVarredura_;
  d.entregas_.push_back(std::move(e));
}

void TServidor::GuardarSemLinha(TSessao& s, bool todas) {
  for (TSessao::TEntrega& e : s.entregas_) {
    if (e.guardada || (!todas && e.varredura + 1 >= numeroDaVarredura_)) continue;
    if (!GravarSemSessao()) return;
    banco_.GravarMensagem(e.id, e.de, s.niu, e.texto, e.quando);
    e.guardada = true;
    std::string().swap(e.texto);
  }
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
  // Bytes waiting in the socket die with this process: it would wait behind
  // them, and must be stored first.
  if (d.socket_->BytesQueued() > 0) return TEntregaDireta::Recusada;
  std::string bytes;
  if (!AnexarLinha(bytes, linha, d.cripto)) ++linhasConsertadas_;
  d.enviados_ += bytes.size();
  d.socket_->Send(bytes);
  return d.socket_->BytesQueued() == 0 ? TEntregaDireta::NoKernel : TEntregaDireta::Parcial;
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

void TServidor::EntregarPaginaDeMensagens(TSessao& s) {
  if (s.fechada_ || s.fecharAposEnvio_) return;
  const auto pagina = banco_.Mensagens(s.niu, s.ultimaMensagem, config_.paginaDeMensagens);
  for (const TMensagemGuardada& m : pagina) {
    Enviar(s, MontarLinha("CMSG", {std::to_string(m.de), EscreverApelido(m.apelido),
                                   textos::PresencaGuardada, m.texto}));
    s.entregas_.push_back(TSessao::TEntrega::Guardada(s.enviados_ + s.saida_.size(), true, m.id));
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

void TServidor::EntregarAvisosNovos() {
  const int64_t ultimo = banco_.UltimoAviso();
  if (ultimo <= ultimoAviso_) return;
  ultimoAviso_ = ultimo;
  for (auto& [niu, s] : online_) EntregarAvisos(*s);
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
