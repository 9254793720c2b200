// The server's readers of what clients send.
#include "icq/CodecPacote.h"
#include "icq/CodecServidor.h"

namespace tazu::icq::servidor {

namespace {

bool TextoDoCanal1(std::string_view tlv2, std::string& texto) {
  std::string_view corpo;
  if (!AcharTlv(tlv2, 0x0101, corpo) || corpo.size() < 4) return false;
  texto = std::string(corpo.substr(4));
  return true;
}

bool TextoDoCanal2(std::string_view tlv5, std::string& texto) {
  TLeitor l(tlv5);
  if (l.U16() != 0) return false;
  l.Pular(24);
  std::string_view dados;
  if (l.Falhou() || !AcharTlv(l.Resto(), 0x2711, dados)) return false;
  TLeitor m(dados);
  m.Pular(47 + 4);
  texto = std::string(m.TextoZ());
  return !m.Falhou();
}

bool TextoDoCanal4(std::string_view tlv5, std::string& texto) {
  TLeitor l(tlv5);
  l.Pular(6);
  texto = std::string(l.TextoZ());
  return !l.Falhou();
}

}  // namespace

bool LerMensagemEnviada(std::string_view dados, TMensagemEnviada& m) {
  TLeitor l(dados);
  m.cookie = std::string(l.Bytes(8));
  m.canal = l.U16();
  m.uin = std::string(l.TextoB());
  if (l.Falhou() || m.uin.empty()) return false;
  m.id = static_cast<uint16_t>(static_cast<unsigned char>(m.cookie[4]) << 8 |
                               static_cast<unsigned char>(m.cookie[5]));
  bool temTexto = false;
  TLeitor::TTlv t;
  while (l.Tlv(t)) {
    if (t.tipo == 0x0002 && m.canal == 1) temTexto = TextoDoCanal1(t.valor, m.texto);
    if (t.tipo == 0x0005 && m.canal == 2) {
      m.tlv5 = std::string(t.valor);
      temTexto = TextoDoCanal2(t.valor, m.texto);
    }
    if (t.tipo == 0x0005 && m.canal == 4) {
      m.tlv5 = std::string(t.valor);
      temTexto = TextoDoCanal4(t.valor, m.texto);
    }
    if (t.tipo == 0x0006) m.guardarSeAusente = true;
    if (t.tipo == 0x0003) m.pedeConfirmacao = true;
  }
  return temTexto && !l.Falhou();
}

bool LerConfirmacaoEnviada(std::string_view dados, TConfirmacaoEnviada& c) {
  TLeitor l(dados);
  c.cookie = std::string(l.Bytes(8));
  c.canal = l.U16();
  c.uin = std::string(l.TextoB());
  c.resto = std::string(l.Resto());
  return !l.Falhou() && !c.uin.empty();
}

bool LerPedidoAutorizacaoEnviado(std::string_view dados, TPedidoAutorizacao& p) {
  TLeitor l(dados);
  p.uin = std::string(l.TextoB());
  p.motivo = std::string(l.TextoW());
  return !l.Falhou() && !p.uin.empty();
}

bool LerRespostaAutorizacaoEnviada(std::string_view dados, TRespostaAutorizacao& r) {
  TLeitor l(dados);
  r.uin = std::string(l.TextoB());
  r.concedida = l.U8() == 1;
  r.motivo = std::string(l.TextoW());
  return !l.Falhou() && !r.uin.empty();
}

}  // namespace tazu::icq::servidor
