// The ICQ adapter's asynchronous steps: waiting for a contact's nickname,
// running server-side list changes one at a time, and holding announcements
// back until the initial list has been announced. Everything runs on the
// main loop; the waits end on the server's answer or on their timer.
#include "base/Eventos.h"
#include "icq/CodecLista.h"
#include "icq/CodecPacote.h"
#include "icq/ComunicadorICQInterno.h"

namespace tazu::icq {

void TComunicadorICQ::Depois(std::function<void()> passo) {
  runtime_.Post([vida = vida_.Watch(), passo = std::move(passo)] {
    if (vida) passo();
  });
}

// ---- Identification ----

void TComunicadorICQ::SolicitarIdentificacao(const std::string& uin, bool sempre,
                                             TResultadoIdentificacao resultado) {
  auto espera = std::make_unique<TEspera>();
  TEspera* e = espera.get();
  e->uin = uin;
  e->apelido = uin;
  e->resultado = std::move(resultado);
  esperas_.push_back(std::move(espera));
  const TUsuario* u = ListaContatos.Localizar(uin);
  const bool nomeado = u && u->Apelido.str() != u->Identificador.str();
  if (!sempre && nomeado) {
    e->apelido = u->Apelido;
    Depois([this, e] { FimDaIdentificacao(e); });
    return;
  }
  e->perguntou = true;
  e->temporizador = runtime_.CreateTimer();
  e->temporizador->onTimeout = [this, e] { FimDaIdentificacao(e); };
  e->temporizador->Start(kEsperaIdentificacao, false);
  motor_.RequestShortInfo(UinDeTexto(uin));
}

void TComunicadorICQ::Identificado(const std::string& uin, const std::string& apelido, bool exige) {
  // Each request gets its own reply: the oldest wait for this UIN takes it.
  for (const auto& e : esperas_) {
    if (e->perguntou && e->uin == uin) {
      e->apelido = apelido;
      e->exige = exige;
      FimDaIdentificacao(e.get());
      return;
    }
  }
}

void TComunicadorICQ::FimDaIdentificacao(TEspera* e) {
  const auto p =
      std::find_if(esperas_.begin(), esperas_.end(), [e](const auto& x) { return x.get() == e; });
  if (p == esperas_.end()) return;
  const std::unique_ptr<TEspera> espera = std::move(*p);
  esperas_.erase(p);
  if (espera->temporizador) espera->temporizador->Stop();
  espera->resultado(espera->uin, espera->apelido, espera->exige);
}

// ---- Server-side list changes ----

void TComunicadorICQ::AlterarListaServidor(const std::string& uin, const std::string& apelido,
                                           TAcaoLista acao, TResultadoLista resultado) {
  auto a = std::make_unique<TAlteracao>();
  a->uin = uin;
  a->apelido = apelido;
  a->acao = std::move(acao);
  a->resultado = std::move(resultado);
  alteracoes_.push_back(std::move(a));
  ProximaAlteracao();
}

void TComunicadorICQ::ProximaAlteracao() {
  if (alterando_ || alteracoes_.empty()) return;
  alterando_ = true;
  TAlteracao& a = *alteracoes_.front();
  a.esperadas = a.acao(a.uin, a.apelido);
  if (a.esperadas <= 0) {
    a.codigo = lista::kNaoEncontrado;  // nothing was left to change
    Depois([this] { FimDaAlteracao(); });
    return;
  }
  a.temporizador = runtime_.CreateTimer();
  a.temporizador->onTimeout = [this] { FimDaAlteracao(); };
  a.temporizador->Start(kEsperaLista, false);
}

void TComunicadorICQ::RespostaDaLista(uint16_t codigo) {
  if (!alterando_) return;
  TAlteracao& a = *alteracoes_.front();
  if (a.esperadas <= 0) return;
  // The last item changed is the one the change is about (a group made for
  // it comes first).
  if (--a.esperadas == 0) {
    a.codigo = codigo;
    FimDaAlteracao();
  }
}

void TComunicadorICQ::FimDaAlteracao() {
  if (!alterando_) return;
  const std::unique_ptr<TAlteracao> a = std::move(alteracoes_.front());
  alteracoes_.pop_front();
  alterando_ = false;
  if (a->temporizador) a->temporizador->Stop();
  const Lifetime::Guard vida = vida_.Watch();
  a->resultado(a->uin, a->apelido, a->codigo);
  if (vida && !alteracoes_.empty()) Depois([this] { ProximaAlteracao(); });
}

// ---- Announcements ----

void TComunicadorICQ::AnunciarDepois(TAnuncio anuncio) {
  anuncios_.push_back(std::move(anuncio));
  if (!listaPronta_ || anunciando_) return;
  anunciando_ = true;
  Depois([this] {
    anunciando_ = false;
    AnunciarPendentes();
  });
}

void TComunicadorICQ::AnunciarPendentes() {
  const Lifetime::Guard vida = vida_.Watch();
  while (vida && listaPronta_ && !anuncios_.empty()) {
    const TAnuncio a = std::move(anuncios_.front());
    anuncios_.pop_front();
    ReceberContato(Conta, niu_, a.apelido, a.identificador, a.status, a.lista, NomeComunicador);
  }
}

}  // namespace tazu::icq
