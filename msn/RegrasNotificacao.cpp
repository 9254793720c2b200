// What each command line of the notification server does (the rules are
// stated at the top of NotificacaoMSN.cpp).
#include "core/ServidoresExternos.h"
#include "msn/CodecMensagemMSN.h"
#include "msn/NotificacaoMSN.h"
#include "msn/Textos.h"

namespace tazu::msn {

using N = TNotificacaoMSN;

struct TNotificacaoMSN::TRegra {
  std::string_view comando;
  Quando quando;
  void (TNotificacaoMSN::*regra)(const TLinhaMSN&);
};

const TNotificacaoMSN::TRegra* TNotificacaoMSN::Regra(std::string_view comando) {
  // clang-format off
  static const TRegra kRegras[] = {
      {"VER", Quando::Entrando, &N::Versao},
      {"INF", Quando::Entrando, &N::Informacao},
      {"USR", Quando::Entrando, &N::Usuario},
      {"XFR", Quando::Sempre,   &N::Transferencia},
      {"CHL", Quando::Sempre,   &N::Desafio},
      {"ILN", Quando::Logado,   &N::PresencaInicial},
      {"NLN", Quando::Logado,   &N::PresencaNova},
      {"FLN", Quando::Logado,   &N::Saiu},
      {"RNG", Quando::Logado,   &N::Convite},
      {"ADD", Quando::Logado,   &N::Adicao},
      {"REM", Quando::Logado,   &N::Remocao},
      {"LST", Quando::Logado,   &N::Lista},
  };
  // clang-format on
  for (const TRegra& r : kRegras)
    if (r.comando == comando) return &r;
  return nullptr;
}

void TNotificacaoMSN::Quadro(const TQuadroMSN& q) {
  if (fase_ != Fase::Entrando && fase_ != Fase::Logado) return;
  DividirLinha(q.linha, linha_);
  const TLinhaMSN& l = linha_;
  if (l.comando.empty()) return;
  Registrar(true, std::string(textos::ComandoRecebido) + "\"" + std::string(l.comando) + "\".\r\n");
  if (l.comando == "MSG") {
    // A MSG whose length does not read is dropped with its line.
    if (q.temPayload) Corpo(l, q.payload);
    return;
  }
  if (EhErro(l.comando)) return ErroDoServidor(l);
  const TRegra* r = Regra(l.comando);
  const bool valeAgora = r && (r->quando == Quando::Sempre ||
                               (r->quando == Quando::Logado) == (fase_ == Fase::Logado));
  if (!valeAgora) return Desconhecido(l);
  (this->*r->regra)(l);
}

void TNotificacaoMSN::Desconhecido(const TLinhaMSN& l) {
  Registrar(true, std::string(textos::ComandoDesconhecido) + "\"" + std::string(l.comando) +
                      "\".\r\n" + std::string(textos::Argumentos) + "\"" + std::string(l.Resto(0)) +
                      "\".\r\n");
}

bool TNotificacaoMSN::LerTrid(const TLinhaMSN& l, uint32_t& trid) {
  if (LerNumeroMSN(l.Arg(0), trid)) return true;
  Desconhecido(l);
  return false;
}

std::optional<TNotificacaoMSN::TPedido> TNotificacaoMSN::TirarPedido(uint32_t trid) {
  const auto it = pedidos_.find(trid);
  if (it == pedidos_.end()) return std::nullopt;
  TPedido p = std::move(it->second);
  pedidos_.erase(it);
  return p;
}

// ---- Logging in ----

void TNotificacaoMSN::Versao(const TLinhaMSN&) {
  Comando("INF");
}

void TNotificacaoMSN::Informacao(const TLinhaMSN&) {
  Comando("USR", {"MD5", "I", Identificador});
}

void TNotificacaoMSN::Usuario(const TLinhaMSN& l) {
  if (l.Arg(1) == "OK") {
    apelidoProprio_ = l.Arg(3);
    fase_ = Fase::Logado;
    prazoLogin_.reset();
    *conectando_ = false;
    Comando("CHG", {estado_});
    Comando("LST", {"AL"});
    Comando("LST", {"BL"});
    Agir(ns::Conectado{});
  } else if (l.Arg(1) == "MD5" && l.Arg(2) == "S" && !l.Arg(3).empty()) {
    Comando("USR", {"MD5", "S", RespostaDoLogin(l.Arg(3), Senha)});
  }
}

void TNotificacaoMSN::Transferencia(const TLinhaMSN& l) {
  uint32_t trid = 0;
  if (!LerTrid(l, trid)) return;
  TEnderecoServidor destino;
  const bool legivel = LerEndereco(l.Arg(2), destino);
  if (l.Arg(1) == "NS" && fase_ == Fase::Entrando) {
    if (!legivel) return Desconhecido(l);
    Agir(ns::Fechar{});
    host_ = destino.host;
    porta_ = destino.porta;
    fase_ = Fase::Aguardando;
    prazoConexao_ = relogio_() + kEsperaAntesDeConectar;
  } else if (l.Arg(1) == "SB" && fase_ == Fase::Logado) {
    const auto it = pedidos_.find(trid);
    if (it == pedidos_.end() || it->second.tipo != TPedido::Tipo::Sessao) return;
    TPedido p = *TirarPedido(trid);
    // The cookie goes back on a command line: one word, nothing that ends a line.
    if (!legivel || !PalavraValida(l.Arg(4))) return Agir(ns::FalhaEnvio{p.contato, p.texto});
    Agir(
        ns::Sessao{0, std::string(l.Arg(2)), std::string(l.Arg(4)), p.contato, p.contato, p.texto});
  }
}

void TNotificacaoMSN::Desafio(const TLinhaMSN& l) {
  Registrar(true, std::string(textos::Desafio) + "\"" + std::string(l.Resto(0)) + "\".\r\n");
  const std::string cabeca =
      "QRY " + std::to_string(trid_) + " " + std::string(kIdentificadorDoCliente);
  Enviar(MontarComPayload(cabeca, RespostaAoDesafio(l.Arg(1))), cabeca + " 32");
}

// ---- Contacts and presence ----

void TNotificacaoMSN::PresencaInicial(const TLinhaMSN& l) {
  if (direta_.Contem(std::string(l.Arg(2)))) {
    MudancaDePresenca(l.Arg(1), l.Arg(2), l.Arg(3));
  } else {
    NovoContato(l.Arg(1), l.Arg(2), l.Arg(3));
  }
}

void TNotificacaoMSN::PresencaNova(const TLinhaMSN& l) {
  MudancaDePresenca(l.Arg(0), l.Arg(1), l.Arg(2));
}

void TNotificacaoMSN::Saiu(const TLinhaMSN& l) {
  MudancaDePresenca("FLN", l.Arg(0), {});
}

void TNotificacaoMSN::NovoContato(std::string_view estado, std::string_view id,
                                  std::string_view apelido) {
  if (id.empty()) return;
  const std::string ident(id);
  if (direta_.Contem(ident)) return;
  const uint8_t codigo = CodigoDoEstado(estado);
  std::string nome = DecodificarApelido(apelido);
  direta_.Adicionar({ident, nome, codigo});
  Agir(ns::Contato{ident, std::move(nome), codigo});
}

void TNotificacaoMSN::MudancaDePresenca(std::string_view estado, std::string_view id,
                                        std::string_view apelido) {
  if (id.empty()) return;
  const std::string ident(id);
  const uint8_t codigo = CodigoDoEstado(estado);
  std::string nome = DecodificarApelido(apelido);
  if (direta_.Localizar(ident)) {
    TContatoMSN* c = direta_.ContatoAtual();
    if (nome.empty()) nome = c->Apelido;
    c->Status = codigo;
  }
  Agir(ns::Presenca{ident, std::move(nome), codigo});
}

void TNotificacaoMSN::ContatoBloqueado(std::string_view id, std::string_view apelido) {
  if (id.empty()) return;
  const std::string ident(id);
  if (bloqueio_.Contem(ident)) return;
  std::string nome = DecodificarApelido(apelido);
  bloqueio_.Adicionar({ident, nome, 0});
  Agir(ns::Bloqueado{ident, std::move(nome)});
}

void TNotificacaoMSN::Lista(const TLinhaMSN& l) {
  uint32_t trid = 0;
  if (!LerTrid(l, trid)) return;
  // LST trid list version index total id nick; an empty list has no id.
  const std::string_view lista = l.Arg(1);
  if (lista == "BL") {
    ContatoBloqueado(l.Arg(5), l.Arg(6));
  } else if (lista == "FL" || lista == "AL") {
    NovoContato("FLN", l.Arg(5), l.Arg(6));
  }
}

void TNotificacaoMSN::Adicao(const TLinhaMSN& l) {
  uint32_t trid = 0;
  if (!LerTrid(l, trid)) return;
  const std::string_view lista = l.Arg(1);
  if (lista == "RL") return;  // someone added us: not a contact of ours
  TirarPedido(trid);
  const std::string_view id = l.Arg(3);
  if (id.empty()) return;
  Agir(ns::Adicionado{std::string(id)});
  if (lista == "BL") {
    ContatoBloqueado(id, l.Arg(4));
  } else {
    NovoContato("FLN", id, l.Arg(4));
  }
}

void TNotificacaoMSN::Remocao(const TLinhaMSN& l) {
  uint32_t trid = 0;
  if (!LerTrid(l, trid)) return;
  const std::string_view lista = l.Arg(1);
  if (lista == "RL") return;
  TirarPedido(trid);
  const std::string id(l.Arg(3));
  TListaDeContatosMSN& alvo = lista == "BL" ? bloqueio_ : direta_;
  if (alvo.Localizar(id)) alvo.Remover();
}

void TNotificacaoMSN::ErroDoServidor(const TLinhaMSN& l) {
  uint32_t trid = 0;
  std::optional<TPedido> p;
  if (!LerNumeroMSN(l.Arg(0), trid) || !(p = TirarPedido(trid))) return Desconhecido(l);
  const std::string_view erro = l.comando;
  switch (p->tipo) {
    case TPedido::Tipo::Adicao:
      if (erro == "201" || erro == "205" || erro == "215") Agir(ns::ErroAdicionando{p->contato});
      break;
    case TPedido::Tipo::Remocao:
      if (erro != "216") break;
      // Not on that list: the contact may still be on the next one.
      if (p->lista == "FL" || p->lista == "AL") {
        const std::string proxima = p->lista == "FL" ? "AL" : "BL";
        pedidos_[trid_] = {TPedido::Tipo::Remocao, proxima, p->contato, {}};
        Comando("REM", {proxima, p->contato});
      }
      break;
    case TPedido::Tipo::Sessao:
      Agir(ns::FalhaEnvio{p->contato, p->texto});
      break;
  }
}

// ---- Switchboard invitations and the server's own messages ----

void TNotificacaoMSN::Convite(const TLinhaMSN& l) {
  // RNG session address scheme cookie caller nick
  uint32_t numero = 0;
  if (!LerNumeroMSN(l.Arg(0), numero) || numero == 0 || !PalavraValida(l.Arg(3)) ||
      !PalavraValida(l.Arg(4)))
    return Desconhecido(l);
  Agir(ns::Sessao{numero,
                  std::string(l.Arg(1)),
                  std::string(l.Arg(3)),
                  std::string(l.Arg(4)),
                  DecodificarApelido(l.Arg(5)),
                  {}});
}

void TNotificacaoMSN::Corpo(const TLinhaMSN&, std::string_view payload) {
  const TMensagemMIME m = LerMensagemMIME(payload);
  if (m.tipo == TMensagemMIME::Tipo::Perfil) Registrar(true, std::string(textos::PerfilRecebido));
  if (m.tipo == TMensagemMIME::Tipo::AvisoDeEmail)
    Registrar(true, std::string(textos::AvisoDeEmail));
}

}  // namespace tazu::msn
