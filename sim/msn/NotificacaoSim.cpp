// The dispatch and notification servers of the simulator.
#include "msn/CodecMensagemMSN.h"
#include "sim/msn/Interno.h"

namespace tazu::sim::msn {

using S = TSimuladorMSN;

namespace {

bool EstadoValido(std::string_view e) {
  for (const char* v : {"NLN", "BSY", "IDL", "BRB", "AWY", "PHN", "LUN", "HDN"})
    if (e == v) return true;
  return false;
}

std::string Linha(std::initializer_list<std::string_view> palavras) {
  std::string l;
  for (const std::string_view p : palavras) {
    if (!l.empty()) l += ' ';
    l.append(p);
  }
  return l + "\r\n";
}

const std::string kPerfil =
    "MIME-Version: 1.0\r\nContent-Type: text/x-msmsgsprofile; charset=UTF-8\r\n"
    "LoginTime: 1072915200\r\nEmailEnabled: 0\r\nMemberIdHigh: 0\r\nMemberIdLow: 0\r\n"
    "lang_preference: 1046\r\n\r\n";

}  // namespace

TSimuladorMSN::TRegra TSimuladorMSN::RegraDaNotificacao(const std::string& comando) {
  static const std::map<std::string, TRegra> kRegras = {
      {"VER", &S::Versao},          {"INF", &S::Informacao},    {"USR", &S::Autenticar},
      {"CHG", &S::MudancaDeEstado}, {"LST", &S::Lista},         {"ADD", &S::Adicao},
      {"REM", &S::Remocao},         {"XFR", &S::Transferencia}, {"QRY", &S::RespostaAoDesafio},
      {"PNG", &S::Sinal},           {"OUT", &S::Sair},
  };
  const auto it = kRegras.find(comando);
  return it == kRegras.end() ? nullptr : it->second;
}

// ---- Logging in ----

void TSimuladorMSN::Versao(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  if (c.fase != 0) return Malformado(c, "VER out of place");
  for (std::size_t i = 1; i < k.l.args.size(); ++i) {
    if (k.l.args[i] == "MSNP7") {
      c.fase = 1;
      return Enviar(c, Linha({"VER", k.l.Arg(0), "MSNP7"}));
    }
  }
  Enviar(c, Linha({"VER", k.l.Arg(0), "0"}));
  Fechar(c, "no version in common");
}

void TSimuladorMSN::Informacao(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  if (c.fase != 1) return Malformado(c, "INF out of place");
  Enviar(c, Linha({"INF", k.l.Arg(0), "MD5"}));
}

void TSimuladorMSN::Autenticar(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  const std::string_view t = k.l.Arg(0);
  if (k.l.Arg(1) != "MD5") return Malformado(c, "USR without MD5");
  if (c.fase == 1 && k.l.Arg(2) == "I" && !k.l.Arg(3).empty()) {
    c.email = k.l.Arg(3);
    if (c.papel == Papel::Despacho) {
      const std::string ns = config_.host + ":" + std::to_string(PortaNotificacao());
      return Enviar(c, Linha({"XFR", t, "NS", ns, "0"}));
    }
    if (!Usuario(c.email) || Usuario(c.email)->robo) {
      Enviar(c, Linha({"911", t}));
      return Fechar(c, "no such account");
    }
    c.hash = Aleatorio(10) + "." + Aleatorio(9);
    c.fase = 2;
    return Enviar(c, Linha({"USR", t, "MD5", "S", c.hash}));
  }
  if (c.fase == 2 && k.l.Arg(2) == "S" && c.papel == Papel::Notificacao) {
    TUsuario* u = Usuario(c.email);
    if (k.l.Arg(3) != codec::RespostaDoLogin(c.hash, u->senha)) {
      Enviar(c, Linha({"911", t}));
      return Fechar(c, "wrong password");
    }
    c.fase = 3;
    Enviar(c, Linha({"USR", t, "OK", u->email, u->ApelidoNaRede()}));
    return Entrou(c, *u);
  }
  Malformado(c, "USR out of place");
}

void TSimuladorMSN::Entrou(TConexao& c, TUsuario& u) {
  if (u.ns != nullptr) {
    TConexao& antiga = *u.ns;
    Enviar(antiga, "OUT OTH\r\n");
    Fechar(antiga, "signed in elsewhere");
  }
  u.ns = &c;
  Log(c, "signed in");
  Enviar(c, codec::MontarComPayload("MSG Hotmail Hotmail", kPerfil));
  if (config_.intervaloDeDesafio.count() > 0) {
    c.relogioDeDesafio = runtime_.CreateTimer();
    c.relogioDeDesafio->onTimeout = [this, &c] { Desafiar(c); };
    c.relogioDeDesafio->Start(config_.intervaloDeDesafio, true);
  }
}

void TSimuladorMSN::Desafiar(TConexao& c) {
  if (!c.desafio.empty()) return Fechar(c, "challenge not answered");
  c.desafio = Aleatorio(20);
  Log(c, "challenge " + c.desafio);
  Enviar(c, Linha({"CHL", "0", c.desafio}));
}

void TSimuladorMSN::RespostaAoDesafio(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  const bool certo = !c.desafio.empty() && k.l.Arg(1) == codec::kIdentificadorDoCliente &&
                     k.payload == codec::RespostaAoDesafio(c.desafio);
  if (!certo) {
    Enviar(c, Linha({"540", k.l.Arg(0)}));
    return Fechar(c, "wrong answer to the challenge");
  }
  c.desafio.clear();
  Enviar(c, Linha({"QRY", k.l.Arg(0)}));
}

void TSimuladorMSN::Sinal(TConexao& c, const TComando&) {
  Enviar(c, "QNG 50\r\n");
}

void TSimuladorMSN::Sair(TConexao& c, const TComando&) {
  Fechar(c, "signed out");
}

// ---- Presence ----

std::set<std::string>* TSimuladorMSN::Lista(TUsuario& u, std::string_view nome) {
  if (nome == "FL") return &u.fl;
  if (nome == "AL") return &u.al;
  if (nome == "BL") return &u.bl;
  return nullptr;
}

bool TSimuladorMSN::Visivel(const TUsuario& u, const TUsuario& para) const {
  return u.estado != "FLN" && u.estado != "HDN" && !u.bl.count(para.email);
}

void TSimuladorMSN::AnunciarPresenca(TUsuario& u) {
  for (auto& [email, w] : usuarios_) {
    if (!w->ns || !w->ns->anunciou || !w->fl.count(u.email)) continue;
    Enviar(*w->ns, Visivel(u, *w) ? Linha({"NLN", u.estado, u.email, u.ApelidoNaRede()})
                                  : Linha({"FLN", u.email}));
  }
}

void TSimuladorMSN::MudancaDeEstado(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  if (c.fase != 3) return Malformado(c, "CHG before logging in");
  if (!EstadoValido(k.l.Arg(1))) return Enviar(c, Linha({"201", k.l.Arg(0)}));
  TUsuario& u = *Usuario(c.email);
  u.estado = k.l.Arg(1);
  Enviar(c, Linha({"CHG", k.l.Arg(0), u.estado}));
  if (!c.anunciou) {
    c.anunciou = true;
    for (const std::string& e : u.fl) {
      const TUsuario* contato = Usuario(e);
      if (contato && Visivel(*contato, u))
        Enviar(c, Linha({"ILN", k.l.Arg(0), contato->estado, e, contato->ApelidoNaRede()}));
    }
  }
  AnunciarPresenca(u);
}

// ---- Lists ----

void TSimuladorMSN::Lista(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  if (c.fase != 3) return Malformado(c, "LST before logging in");
  TUsuario& u = *Usuario(c.email);
  const std::string_view nome = k.l.Arg(1);
  const std::set<std::string>* lista = nome == "FL"   ? &u.fl
                                       : nome == "AL" ? &u.al
                                       : nome == "BL" ? &u.bl
                                       : nome == "RL" ? &u.rl
                                                      : nullptr;
  if (!lista) return Enviar(c, Linha({"201", k.l.Arg(0)}));
  const std::string versao = std::to_string(u.versao);
  const std::string total = std::to_string(lista->size());
  if (lista->empty()) return Enviar(c, Linha({"LST", k.l.Arg(0), nome, versao, "0", "0"}));
  std::size_t i = 0;
  std::string bytes;
  for (const std::string& e : *lista) {
    const TUsuario* x = Usuario(e);
    const std::string apelido = x ? x->ApelidoNaRede() : net::UrlEncode(e);
    bytes += Linha({"LST", k.l.Arg(0), nome, versao, std::to_string(++i), total, e, apelido});
  }
  Enviar(c, bytes);
}

void TSimuladorMSN::Adicao(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  if (c.fase != 3) return Malformado(c, "ADD before logging in");
  TUsuario& u = *Usuario(c.email);
  const std::string_view t = k.l.Arg(0), nome = k.l.Arg(1);
  const std::string email(k.l.Arg(2));
  std::set<std::string>* lista = Lista(u, nome);
  if (!lista || email.find('@') == std::string::npos) return Enviar(c, Linha({"201", t}));
  TUsuario* contato = Usuario(email);
  if (!contato) return Enviar(c, Linha({"205", t}));
  if (lista->count(email)) return Enviar(c, Linha({"215", t}));
  lista->insert(email);
  const std::string versao = std::to_string(++u.versao);
  Enviar(c, Linha({"ADD", t, nome, versao, email, contato->ApelidoNaRede()}));
  if (nome != "FL") return;
  contato->rl.insert(u.email);
  if (contato->ns)
    Enviar(*contato->ns, Linha({"ADD", "0", "RL", std::to_string(++contato->versao), u.email,
                                u.ApelidoNaRede()}));
  if (Visivel(*contato, u))
    Enviar(c, Linha({"NLN", contato->estado, email, contato->ApelidoNaRede()}));
}

void TSimuladorMSN::Remocao(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  if (c.fase != 3) return Malformado(c, "REM before logging in");
  TUsuario& u = *Usuario(c.email);
  const std::string_view t = k.l.Arg(0), nome = k.l.Arg(1);
  const std::string email(k.l.Arg(2));
  std::set<std::string>* lista = Lista(u, nome);
  if (!lista) return Enviar(c, Linha({"201", t}));
  if (!lista->erase(email)) return Enviar(c, Linha({"216", t}));
  Enviar(c, Linha({"REM", t, nome, std::to_string(++u.versao), email}));
  TUsuario* contato = Usuario(email);
  if (nome != "FL" || !contato) return;
  contato->rl.erase(u.email);
  if (contato->ns)
    Enviar(*contato->ns, Linha({"REM", "0", "RL", std::to_string(++contato->versao), u.email}));
}

// ---- Switchboard tickets ----

void TSimuladorMSN::Transferencia(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  if (c.fase != 3 || k.l.Arg(1) != "SB") return Malformado(c, "XFR out of place");
  if (Usuario(c.email)->estado == "HDN") return Enviar(c, Linha({"913", k.l.Arg(0)}));
  const std::string cookie = Aleatorio(8) + "." + Aleatorio(10) + "." + Aleatorio(5);
  convites_.push_back({c.email, cookie, 0});
  const std::string sb = config_.host + ":" + std::to_string(PortaSwitchboard());
  Enviar(c, Linha({"XFR", k.l.Arg(0), "SB", sb, "CKI", cookie}));
}

}  // namespace tazu::sim::msn
