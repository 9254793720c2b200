// The simulated server's bookkeeping: sending and logging packets, presence
// as watchers see it, and the end of a connection.
#include <cstdio>

#include "sim/yahoo/ServidorYahoo.h"

namespace tazu::simyahoo {

namespace ymsg = yahoo::ymsg;

namespace {

std::string Legivel(std::string_view bytes) {
  std::string s;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && c != '\\' && c != '"') {
      s.push_back(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      s += hex;
    }
  }
  return s;
}

}  // namespace

void TServidorYahoo::Enviar(TSessao& s, const TPacote& p) {
  if (s.fechada) return;
  std::string bytes;
  if (!yahoo::Serializar(p, bytes)) {
    Registrar("#" + std::to_string(s.numero) + " packet too long, not sent");
    return;
  }
  Registrar(s, "->", p);
  s.socket->Send(bytes);
}

void TServidorYahoo::Encerrar(TSessao& s, const std::string& motivo) {
  if (s.fechada) return;
  Esquecer(s);
  s.fechada = true;
  Registrar("#" + std::to_string(s.numero) + " closed: " + motivo);
  s.socket->Close();
  // Later: this may run inside one of the socket's own callbacks.
  runtime_.Post([this, vida = vida_.Watch(), alvo = &s] {
    if (vida) sessoes_.remove_if([alvo](const auto& x) { return x.get() == alvo; });
  });
}

void TServidorYahoo::Esquecer(TSessao& s) {
  if (s.estado != TSessao::Estado::Logado || !Visivel(s)) return;
  AnunciarAosQueOVeem(s, ymsg::Logoff);
}

bool TServidorYahoo::Visivel(const TSessao& s) const {
  return s.status != ymsg::Invisivel;
}

void TServidorYahoo::AdicionarPresenca(TPacote& p, const TSessao& s) const {
  p.Adicionar(7, s.conta->id).Adicionar(10, std::to_string(s.status));
  if (s.status == ymsg::Personalizado)
    p.Adicionar(19, s.mensagem).Adicionar(47, s.ausente ? "1" : "0");
  p.Adicionar(13, "1");
}

void TServidorYahoo::AnunciarAosQueOVeem(const TSessao& s, uint16_t servico) {
  for (const auto& w : sessoes_) {
    if (w.get() == &s || w->fechada || w->estado != TSessao::Estado::Logado) continue;
    if (!w->conta->TemAmigo(s.conta->id)) continue;
    TPacote p(servico, servico == ymsg::Logoff ? 0 : s.status, w->sessionId);
    if (servico == ymsg::Logoff) {
      p.Adicionar(7, s.conta->id).Adicionar(10, "0").Adicionar(13, "0");
    } else {
      AdicionarPresenca(p, s);
    }
    Enviar(*w, p);
  }
}

TServidorYahoo::TSessao* TServidorYahoo::SessaoDe(std::string_view id) {
  const std::string chave = Minusculas(id);
  for (const auto& s : sessoes_)
    if (s->estado == TSessao::Estado::Logado && !s->fechada && Minusculas(s->conta->id) == chave)
      return s.get();
  return nullptr;
}

void TServidorYahoo::Registrar(const TSessao& s, std::string_view sentido, const TPacote& p) {
  char cabecalho[80];
  std::snprintf(cabecalho, sizeof cabecalho, " %.*s 0x%02X status=%u sid=0x%08X",
                static_cast<int>(sentido.size()), sentido.data(), p.Service, p.Status, p.SessionID);
  std::string linha = "#" + std::to_string(s.numero) + " " +
                      (s.conta        ? s.conta->id
                       : s.id.empty() ? std::string("-")
                                      : s.id) +
                      cabecalho;
  for (const yahoo::TYahooPair& par : p.Pares())
    linha += " " + std::to_string(par.Key) + "=\"" + Legivel(par.Value) + "\"";
  Registrar(linha);
}

void TServidorYahoo::Registrar(const std::string& linha) {
  if (AoRegistrar) AoRegistrar(linha);
}

}  // namespace tazu::simyahoo
