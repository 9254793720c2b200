// The simulator's switchboard: calls, answers, messages relayed with their
// acknowledgement, and the echo bots that join any call made to them.
#include "msn/CodecMensagemMSN.h"
#include "sim/msn/Interno.h"

namespace tazu::sim::msn {

using S = TSimuladorMSN;

namespace {

std::string Linha(std::initializer_list<std::string_view> palavras) {
  std::string l;
  for (const std::string_view p : palavras) {
    if (!l.empty()) l += ' ';
    l.append(p);
  }
  return l + "\r\n";
}

}  // namespace

TSimuladorMSN::TRegra TSimuladorMSN::RegraDoSwitchboard(const std::string& comando) {
  static const std::map<std::string, TRegra> kRegras = {
      {"USR", &S::UsuarioSB}, {"CAL", &S::Chamada}, {"ANS", &S::Atender},
      {"MSG", &S::Mensagem},  {"OUT", &S::SairSB},
  };
  const auto it = kRegras.find(comando);
  return it == kRegras.end() ? nullptr : it->second;
}

void TSimuladorMSN::UsuarioSB(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  if (c.fase != 0) return Malformado(c, "USR out of place");
  const std::string email(k.l.Arg(1)), cookie(k.l.Arg(2));
  const auto convite = std::find_if(convites_.begin(), convites_.end(), [&](const TConvite& v) {
    return v.sessao == 0 && v.email == email && v.cookie == cookie;
  });
  if (convite == convites_.end()) {
    Enviar(c, Linha({"911", k.l.Arg(0)}));
    return Fechar(c, "no such ticket");
  }
  convites_.erase(convite);
  uint32_t id = 0;
  do {
    id = static_cast<uint32_t>(std::stoul(Aleatorio(8)));
  } while (sessoes_.count(id));
  auto s = std::make_unique<TSessao>();
  s->id = id;
  s->presentes.push_back(&c);
  sessoes_[id] = std::move(s);
  c.sessao = id;
  c.email = email;
  c.fase = 3;
  Enviar(c, Linha({"USR", k.l.Arg(0), "OK", email, Usuario(email)->ApelidoNaRede()}));
}

void TSimuladorMSN::Chamada(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  if (c.fase != 3) return Malformado(c, "CAL before USR");
  TSessao& s = *sessoes_.at(c.sessao);
  const std::string_view t = k.l.Arg(0);
  TUsuario* alvo = Usuario(std::string(k.l.Arg(1)));
  TUsuario& quem = *Usuario(c.email);
  if (!alvo) return Enviar(c, Linha({"205", t}));
  if (!Visivel(*alvo, quem) || (!alvo->robo && !alvo->ns)) return Enviar(c, Linha({"217", t}));
  const std::string numero = std::to_string(s.id);
  Enviar(c, Linha({"CAL", t, "RINGING", numero}));
  if (alvo->robo) {
    s.robos.push_back(alvo->email);
    return Enviar(c, Linha({"JOI", alvo->email, alvo->ApelidoNaRede()}));
  }
  const std::string cookie = Aleatorio(9) + "." + Aleatorio(9);
  convites_.push_back({alvo->email, cookie, s.id});
  const std::string sb = config_.host + ":" + std::to_string(PortaSwitchboard());
  Enviar(*alvo->ns, Linha({"RNG", numero, sb, "CKI", cookie, quem.email, quem.ApelidoNaRede()}));
}

void TSimuladorMSN::Atender(TConexao& c, const TComando& k) {
  uint32_t trid = 0, numero = 0;
  if (!LerTrid(c, k, trid)) return;
  if (c.fase != 0) return Malformado(c, "ANS out of place");
  if (!codec::LerNumeroMSN(k.l.Arg(3), numero))
    return Malformado(c, "a session that does not read");
  const std::string email(k.l.Arg(1)), cookie(k.l.Arg(2));
  const auto convite = std::find_if(convites_.begin(), convites_.end(), [&](const TConvite& v) {
    return v.sessao == numero && v.email == email && v.cookie == cookie;
  });
  const auto sessao = sessoes_.find(numero);
  if (convite == convites_.end() || sessao == sessoes_.end()) {
    Enviar(c, Linha({"911", k.l.Arg(0)}));
    return Fechar(c, "no such invitation");
  }
  convites_.erase(convite);
  TSessao& s = *sessao->second;
  c.sessao = numero;
  c.email = email;
  c.fase = 3;
  std::vector<std::string> presentes;
  for (const TConexao* p : s.presentes) presentes.push_back(p->email);
  presentes.insert(presentes.end(), s.robos.begin(), s.robos.end());
  std::string bytes;
  for (std::size_t i = 0; i < presentes.size(); ++i) {
    const TUsuario* u = Usuario(presentes[i]);
    bytes += Linha({"IRO", k.l.Arg(0), std::to_string(i + 1), std::to_string(presentes.size()),
                    presentes[i], u ? u->ApelidoNaRede() : presentes[i]});
  }
  Enviar(c, bytes + Linha({"ANS", k.l.Arg(0), "OK"}));
  const std::string joi = Linha({"JOI", email, Usuario(email)->ApelidoNaRede()});
  for (TConexao* p : s.presentes) Enviar(*p, joi);
  s.presentes.push_back(&c);
}

void TSimuladorMSN::Mensagem(TConexao& c, const TComando& k) {
  uint32_t trid = 0;
  if (!LerTrid(c, k, trid)) return;
  const std::string_view ack = k.l.Arg(1);
  if (c.fase != 3) return Malformado(c, "MSG before joining");
  if (ack != "U" && ack != "N" && ack != "A" && ack != "D")
    return Malformado(c, "unknown acknowledgement");
  TSessao& s = *sessoes_.at(c.sessao);
  const std::string relato = codec::MontarComPayload(
      "MSG " + c.email + " " + Usuario(c.email)->ApelidoNaRede(), k.payload);
  bool entregue = !s.robos.empty();
  for (TConexao* p : s.presentes) {
    if (p == &c) continue;
    Enviar(*p, relato);
    entregue = true;
  }
  if ((ack == "A" || ack == "D") && entregue) Enviar(c, Linha({"ACK", k.l.Arg(0)}));
  if (ack != "U" && !entregue) Enviar(c, Linha({"NAK", k.l.Arg(0)}));
  for (const std::string& robo : s.robos) RoboResponde(s, robo, c, k.payload);
}

void TSimuladorMSN::RoboResponde(TSessao&, const std::string& robo, TConexao& para,
                                 std::string_view payload) {
  const codec::TMensagemMIME m = codec::LerMensagemMIME(payload);
  if (m.tipo != codec::TMensagemMIME::Tipo::Texto) return;
  const TUsuario& r = *Usuario(robo);
  const std::string cabeca = "MSG " + r.email + " " + r.ApelidoNaRede();
  Enviar(para, codec::MontarComPayload(cabeca, codec::MontarAvisoDeDigitacao(r.email)));
  const std::string resposta =
      m.utf8 ? codec::MontarMensagemDeTexto("eco: " + m.corpo)
             : "MIME-Version: 1.0\r\nContent-Type: text/plain\r\n\r\neco: " + m.corpo;
  Enviar(para, codec::MontarComPayload(cabeca, resposta));
}

void TSimuladorMSN::SairSB(TConexao& c, const TComando&) {
  Fechar(c, "left the session");
}

void TSimuladorMSN::DeixarSessao(TConexao& c) {
  const auto it = sessoes_.find(c.sessao);
  if (c.sessao == 0 || it == sessoes_.end()) return;
  TSessao& s = *it->second;
  std::erase(s.presentes, &c);
  for (TConexao* p : s.presentes) Enviar(*p, Linha({"BYE", c.email}));
  if (s.presentes.empty()) sessoes_.erase(it);
}

}  // namespace tazu::sim::msn
