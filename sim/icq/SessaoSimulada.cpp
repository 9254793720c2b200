// The session server: set-up, presence and messages.
#include <cstdio>

#include "base/Cp1252.h"
#include "icq/CodecPacote.h"
#include "icq/CodecServidor.h"
#include "sim/icq/Interno.h"

namespace tazu::sim::icq {

using namespace tazu::icq;
using S = TSimuladorICQ;

struct TSimuladorICQ::TRegraSim {
  uint16_t familia, subtipo;
  const char* nome;
  void (TSimuladorICQ::*regra)(TConexao&, const TSnac&);
};

void TSimuladorICQ::Snac(TConexao& c, std::string_view dados) {
  // clang-format off
  static const TRegraSim kRegras[] = {
      {0x0001, 0x0017, "versões", nullptr},
      {0x0001, 0x0006, "pedido de taxas", nullptr},
      {0x0009, 0x0002, "pedido de direitos", nullptr},
      {0x0001, 0x001E, "status", &S::StatusNovo},
      {0x0001, 0x0002, "cliente pronto", &S::Pronto},
      {0x0003, 0x0004, "contatos +", &S::Contatos},
      {0x0003, 0x0005, "contatos -", &S::Contatos},
      {0x0009, 0x0005, "lista visível", &S::Visibilidade},
      {0x0009, 0x0007, "lista invisível", &S::Visibilidade},
      {0x0004, 0x0006, "mensagem", &S::Mensagem},
      {0x0004, 0x000B, "confirmação", &S::Confirmacao},
      {0x0015, 0x0002, "meta", &S::Meta},
      {0x0013, 0x0004, "pedido da lista", &S::PedirLista},
      {0x0013, 0x0008, "item +", &S::Item},
      {0x0013, 0x0009, "item =", &S::Item},
      {0x0013, 0x000A, "item -", &S::Item},
      {0x0013, 0x0018, "pedido de autorização", &S::PedidoAutorizacao},
      {0x0013, 0x001A, "resposta de autorização", &S::RespostaAutorizacao},
  };
  // clang-format on
  TSnac s;
  if (!LerSnac(dados, s)) {
    Derrubar(c, "SNAC curto demais");
    return;
  }
  const TRegraSim* regra = nullptr;
  for (const TRegraSim& r : kRegras)
    if (r.familia == s.familia && r.subtipo == s.subtipo) regra = &r;
  char t[64];
  std::snprintf(t, sizeof t, "<- %04X/%04X %s", s.familia, s.subtipo,
                regra ? regra->nome : "(sem resposta)");
  Log(c.nome + ": " + t);
  if (!regra) return;
  if (s.familia == 0x0001 && s.subtipo == 0x0017) {
    EnviarSnac(c, servidor::VersoesAceitas());
    EnviarSnac(c, servidor::MensagemDoDia());
  } else if (s.familia == 0x0001 && s.subtipo == 0x0006) {
    EnviarSnac(c, servidor::Taxas());
  } else if (s.familia == 0x0009 && s.subtipo == 0x0002) {
    EnviarSnac(c, servidor::DireitosDePrivacidade());
  } else {
    (this->*(regra->regra))(c, s);
  }
}

TSimuladorICQ::TConexao* TSimuladorICQ::Sessao(const std::string& uin) {
  for (auto& c : conexoes_)
    if (c->sessao && !c->encerrada && c->pronta && c->uin == uin) return c.get();
  return nullptr;
}

bool TSimuladorICQ::VisivelPara(const TConexao& u, const std::string& observador) const {
  if (!u.pronta || u.encerrada) return false;
  return Invisivel(u.status) ? u.visiveis.count(observador) > 0
                             : u.invisiveis.count(observador) == 0;
}

// Tells `observador` where `uin` stands, when that changed or it is online.
void TSimuladorICQ::AnunciarA(TConexao& observador, const std::string& uin) {
  if (!observador.pronta || !observador.contatos.count(uin)) return;
  const TContaSim* conta = Conta(uin);
  TConexao* u = Sessao(uin);
  if (conta && conta->eco) {
    if (observador.vistos.count(uin)) return;
    TInfoDireta d;
    d.tipoConexao = 4;
    EnviarSnac(observador, servidor::Presenca(uin, 0, d, 0x7F000001));
    observador.vistos[uin] = 0;
  } else if (u && VisivelPara(*u, observador.uin)) {
    // Only news: a contact seen already at this status is not announced again.
    const auto visto = observador.vistos.find(uin);
    if (visto != observador.vistos.end() && visto->second == u->status) return;
    EnviarSnac(observador, servidor::Presenca(uin, u->status, u->direta, u->ipExterno));
    observador.vistos[uin] = u->status;
  } else if (observador.vistos.erase(uin)) {
    EnviarSnac(observador, servidor::ContatoSaiu(uin));
  }
}

void TSimuladorICQ::AnunciarATodos(const std::string& uin) {
  for (auto& c : conexoes_)
    if (c->uin != uin) AnunciarA(*c, uin);
}

void TSimuladorICQ::StatusNovo(TConexao& c, const TSnac& s) {
  bool temDireta = false;
  TInfoDireta d;
  if (!servidor::LerStatus(s.dados, c.status, d, temDireta)) {
    Derrubar(c, "status malformado");
    return;
  }
  if (temDireta) c.direta = d;
  if (c.pronta) AnunciarATodos(c.uin);
}

void TSimuladorICQ::Pronto(TConexao& c, const TSnac&) {
  c.pronta = true;
  for (const std::string& uin : c.contatos) AnunciarA(c, uin);
  AnunciarATodos(c.uin);
}

void TSimuladorICQ::Contatos(TConexao& c, const TSnac& s) {
  for (const std::string& uin : servidor::LerUins(s.dados)) {
    if (s.subtipo == 0x0004) {
      c.contatos.insert(uin);
      AnunciarA(c, uin);
    } else {
      c.contatos.erase(uin);
      c.vistos.erase(uin);
    }
  }
}

void TSimuladorICQ::Visibilidade(TConexao& c, const TSnac& s) {
  std::set<std::string>& lista = s.subtipo == 0x0005 ? c.visiveis : c.invisiveis;
  lista.clear();
  for (const std::string& uin : servidor::LerUins(s.dados)) lista.insert(uin);
  if (c.pronta) AnunciarATodos(c.uin);
}

void TSimuladorICQ::Mensagem(TConexao& c, const TSnac& s) {
  TMensagemEnviada m;
  if (!servidor::LerMensagemEnviada(s.dados, m)) {
    Log(c.nome + ": mensagem ilegível, ignorada");
    return;
  }
  Log(c.nome + ": mensagem canal " + std::to_string(m.canal) + " para " + m.uin + ": " +
      cp1252::ToUtf8(m.texto));
  const TContaSim* conta = Conta(m.uin);
  TConexao* destino = Sessao(m.uin);
  if (conta && conta->eco) {
    MensagemParaEco(c, *conta, m);
  } else if (destino && m.canal == 1) {
    EnviarSnac(*destino, servidor::MensagemCanal1(m.cookie, c.uin, m.texto));
  } else if (destino && m.canal == 2) {
    EnviarSnac(*destino, servidor::MensagemCanal2(m.cookie, c.uin, m.tlv5));
  } else if (destino && m.canal == 4) {
    TLeitor l(m.tlv5);
    l.Pular(4);
    EnviarSnac(*destino, servidor::MensagemCanal4(c.uin, l.U8(), m.texto));
  } else if (conta && m.canal == 1 && m.guardarSeAusente) {
    TContaSim* dono = Conta(m.uin);
    const auto quando = std::chrono::system_clock::to_time_t(runtime_.WallNow());
    std::tm t{};
    gmtime_r(&quando, &t);
    dono->offline.push_back({UinDeTexto(c.uin), static_cast<uint16_t>(t.tm_year + 1900),
                             static_cast<uint8_t>(t.tm_mon + 1), static_cast<uint8_t>(t.tm_mday),
                             static_cast<uint8_t>(t.tm_hour), static_cast<uint8_t>(t.tm_min), 1, 0,
                             m.texto});
    Log(c.nome + ": guardada para " + m.uin + " (fora do ar)");
  } else {
    // Not logged in: the sender hears of it (error 4), as servers answer.
    TPacote erro;
    erro.U16(0x0004);
    EnviarSnac(c, MontarSnac(0x0004, 0x0001, 0, s.id, erro.Dados()));
  }
}

void TSimuladorICQ::MensagemParaEco(TConexao& de, const TContaSim& eco, const TMensagemEnviada& m) {
  if (m.canal == 2) {
    // Accepted at once, the way a client acknowledges.
    TPacote resto;
    TLeitor l(m.tlv5);
    l.Pular(26);
    std::string_view dados;
    if (AcharTlv(l.Resto(), 0x2711, dados) && dados.size() >= 47) {
      resto.U16(3).Bytes(dados.substr(0, 47)).U32(0).TextoZ({}).U32LE(0).U32LE(0x00FFFFFF);
      EnviarSnac(de, servidor::ConfirmacaoRepassada({m.cookie, 2, de.uin, resto.Tomar()}, eco.uin));
    }
  }
  EnviarSnac(de, servidor::MensagemCanal1(std::string(8, '\0'), eco.uin, m.texto));
}

void TSimuladorICQ::Confirmacao(TConexao& c, const TSnac& s) {
  TConfirmacaoEnviada a;
  if (!servidor::LerConfirmacaoEnviada(s.dados, a)) {
    Log(c.nome + ": confirmação ilegível, ignorada");
    return;
  }
  if (TConexao* destino = Sessao(a.uin))
    EnviarSnac(*destino, servidor::ConfirmacaoRepassada(a, c.uin));
}

}  // namespace tazu::sim::icq
