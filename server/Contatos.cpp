// The contact list of every community: what the server's presence and message
// lines and the adapters' announcements do to it.
//
// A handler may remove the very contact an event is about (a window that
// deletes it). So every change is settled before the first event, and the
// contact is looked up again after each event before it is touched: an event
// never gets a contact that is no longer in the list.
#include <string>

#include "base/Eventos.h"
#include "core/UGlobal.h"
#include "server/Textos.h"
#include "server/UClientePCTazu.h"

namespace tazu {

namespace {

const std::string kTazu(textos::Comunidade);

// A status read from a text; what does not read leaves `padrao`.
int32_t StatusDe(const std::string& texto, int32_t padrao) {
  uint32_t v = 0;
  return LerNumero(texto, 255, v) ? static_cast<int32_t>(v) : padrao;
}

}  // namespace

TContato* TClientePCTazu::ContatoTazu(const std::string& niu) {
  return Contatos.Localizar(kTazu, niu) ? Contatos.ContatoAtual() : nullptr;
}

void TClientePCTazu::ContatoDaLista(const TMensagemDoServidor& m) {
  TContato* c = ContatoTazu(m.niu);
  const bool novo = c == nullptr;
  const bool eraConectado = !novo && c->Conectado;
  const char listaAntes = eraConectado ? c->Lista : '\0';
  if (novo) {
    auto criado = std::make_unique<TContato>();
    criado->Identificador = m.niu;
    criado->Lista = 'A';  // an empty letter field leaves a harmless default
    c = Contatos.Adicionar(std::move(criado));
  }
  c->NIU = static_cast<uint16_t>(std::stoul(m.niu));
  c->Comunicador = kTazu;
  c->Identificador = m.niu;
  c->Apelido = m.apelido;
  if (!m.lista.empty()) c->Lista = m.lista[0];
  int32_t s = StatusDe(m.status, c->Status);
  if (s == StatusInvisivel && c->Status != StatusDesconhecido) s = StatusDesconectado;
  c->Status = s;
  c->Origem = m.origem;
  c->Conectado = c->Status != StatusDesconectado;

  const bool conectou = c->Conectado && !novo && !eraConectado;
  const bool mudouLista = c->Conectado && eraConectado && c->Lista != listaAntes;
  const bool desconectou = !c->Conectado && eraConectado;
  if (conectou) Disparar(AoConectarContato, *this, c);
  if (mudouLista && (c = ContatoTazu(m.niu))) Disparar(AoMudarStatus, *this, c);
  if (desconectou && (c = ContatoTazu(m.niu))) Disparar(AoDesconectarContato, *this, c);
  if (novo && (c = ContatoTazu(m.niu))) Disparar(AoReceberContato, *this, c);
}

void TClientePCTazu::ContatoConectado(const TMensagemDoServidor& m) {
  TContato* c = ContatoTazu(m.niu);
  if (!c) return;
  c->NIU = static_cast<uint16_t>(std::stoul(m.niu));
  c->Identificador = m.niu;
  c->Apelido = m.apelido;
  const int32_t s = StatusDe(m.status, StatusInvisivel);
  if (s != StatusInvisivel) {
    c->Status = s;
    c->Origem = m.origem;
    c->Conectado = true;
  }
  if (c->Conectado) Disparar(AoConectarContato, *this, c);
}

void TClientePCTazu::ContatoDesconectado(const TMensagemDoServidor& m) {
  TContato* c = ContatoTazu(m.niu);
  if (!c || c->Status == StatusDesconectado) return;
  c->NIU = static_cast<uint16_t>(std::stoul(m.niu));
  c->Apelido = m.apelido;
  c->Origem = m.origem;
  c->Status = StatusDesconectado;
  c->Conectado = false;
  Disparar(AoDesconectarContato, *this, c);
}

void TClientePCTazu::ContatoMudouStatus(const TMensagemDoServidor& m) {
  TContato* c = ContatoTazu(m.niu);
  if (!c || m.status.empty()) return;  // no status digit: nothing to change
  const int32_t statusAntes = c->Status;
  const bool conectadoAntes = c->Conectado;
  c->NIU = static_cast<uint16_t>(std::stoul(m.niu));
  c->Identificador = m.niu;
  c->Apelido = m.apelido;
  const char digito = m.status[0];
  if (digito == '3') {
    c->Origem = m.origem;
    if (statusAntes != StatusDesconectado) {
      c->Status = StatusDesconectado;
      c->Conectado = false;
      Disparar(AoDesconectarContato, *this, c);
    }
    return;
  }
  if (digito < '0' || digito > '9') return;
  int32_t s = digito - '0';
  if (s == StatusInvisivel && statusAntes != StatusInvisivel && statusAntes != StatusDesconhecido)
    s = StatusDesconectado;
  c->Status = s;
  c->Origem = m.origem;
  c->Conectado = s != StatusDesconectado;
  if (conectadoAntes) {
    Disparar(AoMudarStatus, *this, c);
  } else {
    TMensagemDoServidor conectado = m;
    conectado.status.assign(1, digito);
    ContatoConectado(conectado);
  }
}

// A sender who is not (or no longer) in the list joins it as a stranger.
// Nothing when a handler removed it again (or destroyed the client).
TContato* TClientePCTazu::Estranho(const std::string& comunidade,
                                   const std::string& identificador, const std::string& apelido) {
  auto novo = std::make_unique<TContato>();
  const bool tazu = comunidade == kTazu;
  novo->NIU = tazu ? static_cast<uint16_t>(std::stoul(identificador)) : 0;
  novo->Apelido = apelido;
  novo->Identificador = identificador;
  novo->Lista = 'F';
  novo->Status = StatusDesconhecido;
  novo->Conectado = true;
  novo->Nativo = tazu;
  novo->Origem = tazu ? "TPC" : comunidade;
  novo->Comunicador = comunidade;
  TContato* c = Contatos.Adicionar(std::move(novo));
  const Lifetime::Guard vivo = vivo_.Watch();
  Disparar(AoReceberContato, *this, c);
  if (!vivo) return nullptr;
  if (tazu) sessao_.Comando("CCCT", {identificador});
  Executar();
  return Contatos.Localizar(comunidade, identificador) ? Contatos.ContatoAtual() : nullptr;
}

void TClientePCTazu::MensagemDoServidor(const TMensagemDoServidor& m) {
  const Lifetime::Guard vivo = vivo_.Watch();
  TContato* c = ContatoTazu(m.niu);
  if (!c && !(c = Estranho(kTazu, m.niu, m.apelido))) return;
  std::vector<std::string> linhas = DividirLinhas(m.texto);
  if (m.presenca == "C" && c->Status == StatusDesconectado) {
    c->Status = StatusInvisivel;
    c->Conectado = true;
    Disparar(AoMudarStatus, *this, c);
    if (!vivo) return;
    // Removed by the handler: the message still arrives, from a stranger now.
    if (!(c = ContatoTazu(m.niu)) && !(c = Estranho(kTazu, m.niu, m.apelido))) return;
  }
  Disparar(AoReceberMensagemUsuario, *this, c, linhas);
}

void TClientePCTazu::AnunciarRemocao(const std::string& comunidade,
                                     const std::string& identificador) {
  // The contact stays in the list; the windows move it to its new place.
  if (Contatos.Localizar(comunidade, identificador))
    Disparar(AoRemoverContato, *this, Contatos.ContatoAtual());
}

// ---- Contacts of the adapters ----

void TClientePCTazu::ContatoDoComunicador(const std::string& apelido,
                                          const std::string& identificador,
                                          const std::string& status, char lista,
                                          const std::string& comunicador) {
  TContato* c = Contatos.Localizar(comunicador, identificador) ? Contatos.ContatoAtual() : nullptr;
  if (!c) {
    auto novo = std::make_unique<TContato>();
    novo->Comunicador = comunicador;
    novo->Identificador = identificador;
    c = Contatos.Adicionar(std::move(novo));
  }
  c->NIU = 0;
  c->Apelido = apelido;
  c->Identificador = identificador;
  c->Lista = lista == 'F' ? 'F' : lista == 'A' ? 'P' : 'A';
  c->Status = StatusDe(status, StatusDesconhecido);
  c->Conectado = status != "3";
  c->Nativo = false;
  c->Origem = comunicador;
  c->Comunicador = comunicador;
  Disparar(AoReceberContato, *this, c);
}

void TClientePCTazu::MensagemDoComunicador(TInterfaceComunicador& a,
                                           const std::string& identificador,
                                           const std::string& apelido, const std::string& msg,
                                           bool aoVivo) {
  const Lifetime::Guard vivo = vivo_.Watch();
  const std::string rede = a.NomeComunicador;  // the adapter may go with a handler
  const auto localizar = [&]() -> TContato* {
    return Contatos.Localizar(rede, identificador) ? Contatos.ContatoAtual() : nullptr;
  };
  TContato* c = localizar();
  if (!c && !(c = Estranho(rede, identificador, apelido))) return;
  if (aoVivo && c->Status == StatusDesconectado) {
    c->Status = StatusInvisivel;
    c->Conectado = true;
    Disparar(AoMudarStatus, *this, c);
    if (!vivo) return;
    if (!(c = localizar()) && !(c = Estranho(rede, identificador, apelido))) return;
  }
  std::vector<std::string> linhas = DividirLinhas(msg);
  Disparar(AoReceberMensagemUsuario, *this, c, linhas);
}

}  // namespace tazu
