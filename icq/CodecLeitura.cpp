// The client's readers of what the ICQ servers send.
#include <string>

#include "icq/CodecCliente.h"

namespace tazu::icq::cliente {

namespace {

bool LerPorta(std::string_view texto, uint16_t& porta) {
  if (texto.empty() || texto.size() > 5) return false;
  uint32_t n = 0;
  for (const char c : texto) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<uint32_t>(c - '0');
  }
  if (n == 0 || n > 65535) return false;
  porta = static_cast<uint16_t>(n);
  return true;
}

// Finds TLV `tipo` among at most `limite` TLVs read from `l`.
bool Procurar(TLeitor& l, uint16_t tipo, int limite, std::string_view& valor) {
  TLeitor::TTlv t;
  for (int i = 0; i < limite && l.Tlv(t); ++i) {
    if (t.tipo == tipo) {
      valor = t.valor;
      return true;
    }
  }
  return false;
}

bool Canal1(TLeitor& l, TMensagemRecebida& m) {
  l.Pular(2);  // warning level
  const uint16_t n = l.U16();
  TLeitor::TTlv t;
  for (uint16_t i = 0; i < n; ++i)
    if (!l.Tlv(t)) return false;
  if (!l.Tlv(t) || t.tipo != 0x0002) return false;
  std::string_view corpo;
  if (!AcharTlv(t.valor, 0x0101, corpo)) return false;
  TLeitor c(corpo);
  c.Pular(4);  // character set
  if (c.Falhou()) return false;
  m.texto = std::string(c.Resto());
  return true;
}

void Plugin(TLeitor& l, TMensagemRecebida& m) {
  TLeitor cab(l.Bytes(l.U16LE()));
  cab.Pular(18);  // plug-in identifier and function
  m.plugin = std::string(cab.Bytes(cab.U32LE()));
}

bool Canal2(TLeitor& l, TMensagemRecebida& m) {
  l.Pular(4);
  std::string_view tlv5;
  if (!Procurar(l, 0x0005, 6, tlv5)) return false;
  TLeitor r(tlv5);
  if (r.U16() != 0) return false;  // only requests carry a message
  r.Pular(24);
  std::string_view dados;
  if (!Procurar(r, 0x2711, 6, dados) || dados.size() < 47) return false;
  m.cabecalhoAck = std::string(dados.substr(0, 47));
  if (static_cast<uint8_t>(m.cabecalhoAck[0]) != 27) return false;
  TLeitor c(dados);
  c.Pular(27);
  m.sequencia = c.U16LE();
  c.Pular(16);
  m.tipo = c.U8();
  m.flags = c.U8();
  c.Pular(4);  // status and priority
  m.texto = std::string(c.TextoZ());
  if (m.tipo == 0x1A) Plugin(c, m);
  return true;
}

bool Canal4(TLeitor& l, TMensagemRecebida& m) {
  l.Pular(4);
  std::string_view tlv5;
  TLeitor::TTlv t;
  bool achou = false;
  while (!achou && l.Tlv(t)) {
    if (t.tipo == 0x0005) {
      tlv5 = t.valor;
      achou = true;
    }
  }
  if (!achou) return false;
  TLeitor c(tlv5);
  c.Pular(4);  // the sender's UIN again
  m.tipo = c.U8();
  m.flags = c.U8();
  m.texto = std::string(c.TextoZ());
  return !c.Falhou();
}

}  // namespace

TRespostaLogin LerRespostaLogin(std::string_view dados) {
  TRespostaLogin r;
  TLeitor l(dados);
  const uint16_t t1 = l.U16();
  l.TextoW();
  if (l.Falhou() || t1 != 0x0001) return r;
  const uint16_t t2 = l.U16();
  const std::string_view v2 = l.TextoW();
  if (l.Falhou()) return r;
  if (t2 == 0x0004) r.tipo = TRespostaLogin::Tipo::SenhaErrada;
  if (t2 == 0x0008) r.tipo = TRespostaLogin::Tipo::Frequente;
  if (t2 != 0x0005) return r;
  const uint16_t t3 = l.U16();
  const std::string_view cookie = l.TextoW();
  if (l.Falhou() || t3 != 0x0006) return r;
  r.cookie = std::string(cookie);
  const std::size_t dois = v2.find(':');
  r.host = std::string(v2.substr(0, dois));
  const bool ok =
      dois != std::string_view::npos && !r.host.empty() && LerPorta(v2.substr(dois + 1), r.porta);
  r.tipo = ok ? TRespostaLogin::Tipo::Aceita : TRespostaLogin::Tipo::EnderecoInvalido;
  return r;
}

bool LerPresenca(std::string_view dados, TPresenca& p) {
  TLeitor l(dados);
  p.uin = std::string(l.TextoB());
  l.Pular(2);
  const uint16_t n = l.U16();
  if (l.Falhou() || p.uin.empty()) return false;
  TLeitor::TTlv t;
  for (uint16_t i = 0; i < n && !p.temStatus && l.Tlv(t); ++i) {
    TLeitor v(t.valor);
    if (t.tipo == 0x000C) {
      p.direta.ipInterno = v.U32();
      p.direta.porta = v.U32();
      p.direta.tipoConexao = v.U8();
      p.direta.versao = v.U16();
      p.direta.cookie = v.U32();
      p.temInfoDireta = !v.Falhou();
    } else if (t.tipo == 0x000A) {
      p.ipExterno = v.U32();
      p.temIpExterno = !v.Falhou();
      p.tipoAoVerExterno = p.temInfoDireta ? p.direta.tipoConexao : 0;
    } else if (t.tipo == 0x0006) {
      p.status = v.U32();
      p.temStatus = !v.Falhou();
    }
  }
  return true;
}

bool LerContatoSaiu(std::string_view dados, std::string& uin) {
  TLeitor l(dados);
  uin = std::string(l.TextoB());
  return !l.Falhou() && !uin.empty();
}

bool LerMensagem(std::string_view dados, TMensagemRecebida& m) {
  TLeitor l(dados);
  m.cookie = std::string(l.Bytes(8));
  m.canal = l.U16();
  m.uin = std::string(l.TextoB());
  if (l.Falhou() || m.uin.empty()) return false;
  switch (m.canal) {
    case 1:
      return Canal1(l, m);
    case 2:
      return Canal2(l, m);
    case 4:
      return Canal4(l, m);
    default:
      return false;
  }
}

bool LerConfirmacao(std::string_view dados, TConfirmacao& c) {
  TLeitor l(dados);
  l.Pular(4);
  c.id = l.U16();
  l.Pular(4);
  c.uin = std::string(l.TextoB());
  l.Pular(2 + 45);
  c.tipoMensagem = l.U8();
  l.Pular(1);
  c.aceite = l.U8();
  l.Pular(3);
  if (l.Falhou()) return false;
  c.automatica = (c.tipoMensagem & 0xE0) == 0xE0;
  if (c.automatica || c.aceite != 0) c.texto = std::string(l.TextoZ());
  return true;
}

bool LerResultadoLista(std::string_view dados, uint16_t& codigo) {
  TLeitor l(dados);
  l.Pular(kBlocoDeVersao);
  codigo = l.U16();
  return !l.Falhou();
}

bool LerPedidoAutorizacao(std::string_view dados, TPedidoAutorizacao& p) {
  TLeitor l(dados);
  l.Pular(kBlocoDeVersao);
  p.uin = std::string(l.TextoB());
  p.motivo = std::string(l.Bytes(l.U16LE()));
  return !l.Falhou() && !p.uin.empty();
}

bool LerRespostaAutorizacao(std::string_view dados, TRespostaAutorizacao& r) {
  TLeitor l(dados);
  l.Pular(kBlocoDeVersao);
  r.uin = std::string(l.TextoB());
  r.concedida = l.U8() == 1;
  r.motivo = std::string(l.TextoW());
  return !l.Falhou() && !r.uin.empty();
}

bool LerAdicionouVoce(std::string_view dados, std::string& uin) {
  TLeitor l(dados);
  l.Pular(2);
  if (l.U16() != 0x0001) return false;
  l.Pular(kBlocoDeVersao - 4);
  uin = std::string(l.TextoB());
  return !l.Falhou() && !uin.empty();
}

}  // namespace tazu::icq::cliente
