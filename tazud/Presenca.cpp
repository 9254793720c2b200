// Presence, contact entries and the login sequence.
#include <ctime>

#include "core/UGlobal.h"
#include "tazud/Escapes.h"
#include "tazud/Servidor.h"
#include "tazud/Sessao.h"

namespace tazu::tazud {

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
  const auto visivel = [](uint8_t st) { return st != StatusInvisivel && st != StatusDesconectado; };
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
  const auto segundos =
      std::chrono::duration_cast<std::chrono::seconds>(runtime_.WallNow().time_since_epoch());
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
  TSessao* anterior = Online(u.niu);
  if (anterior == &s) anterior = nullptr;
  if (anterior != nullptr) {
    // The newer login wins; the older one is told where the user went.
    antes = anterior->status;
    online_.erase(u.niu);
    anterior->estado = TEstado::Encerrando;  // leaves without announcing a log-off
    Enviar(*anterior, MontarLinha("SNMP", {textos::OrigemPC}));
    FecharAposEnvio(*anterior, "replaced by a newer login " + s.Nome());
  }
  // What earlier sessions delivered must be gone before this one reads what
  // is kept, or it would be delivered twice; what the replaced one was
  // handed without a row gets one, or this one would never see it.
  if (anterior != nullptr) GuardarSemLinha(*anterior, true);
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
    Enviar(s, MontarLinha(e.codigo,
                          {std::to_string(e.de), EscreverApelido(e.apelido), e.texto1, e.texto2}));
    s.entregas_.push_back(TSessao::TEntrega::Guardada(s.enviados_ + s.saida_.size(), false, e.id));
  }
  s.maisMensagens = true;
  s.ultimaMensagem = 0;
  EntregarPaginaDeMensagens(s);
  EntregarAvisos(s);
  AnunciarTransicao(s, antes, status);
}

}  // namespace tazu::tazud
