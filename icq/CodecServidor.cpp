#include "icq/CodecServidor.h"

#include "icq/CodecLista.h"
#include "icq/CodecPacote.h"

namespace tazu::icq::servidor {

namespace {

std::string Snac(uint16_t familia, uint16_t subtipo, std::string_view dados = {},
                 uint16_t flags = 0) {
  return MontarSnac(familia, subtipo, flags, 0, dados);
}

std::string ComVersao(uint16_t subtipo, const TPacote& corpo) {
  return Snac(0x0013, subtipo, BlocoDeVersao() + corpo.Dados(), kFlagsComVersao);
}

std::string RespostaLogin(std::string_view uin, uint16_t tipo, std::string_view valor) {
  TPacote p;
  p.Tlv(0x0001, uin).Tlv(tipo, valor);
  return p.Tomar();
}

// Warning level and the user-information TLVs every message carries.
void CabecalhoDoRemetente(TPacote& p, std::string_view de) {
  p.TextoB(de).U16(0).U16(2).TlvU16(0x0001, 0x0050).TlvU32(0x0006, 0);
}

}  // namespace

std::string Saudacao() {
  TPacote p;
  p.U32(1);
  return p.Tomar();
}

std::string LoginAceito(std::string_view uin, std::string_view endereco, std::string_view cookie) {
  TPacote p;
  p.Tlv(0x0001, uin).Tlv(0x0005, endereco).Tlv(0x0006, cookie);
  return p.Tomar();
}

std::string SenhaErrada(std::string_view uin) {
  return RespostaLogin(uin, 0x0004, "http://www.icq.com/password/");
}

std::string LoginsFrequentes(std::string_view uin) {
  return RespostaLogin(uin, 0x0008, std::string_view("\x00\x18", 2));
}

bool LerQuadroLogin(std::string_view dados, TLogin& login) {
  TLeitor l(dados);
  if (l.U32() != 1) return false;
  TLeitor::TTlv t;
  while (l.Tlv(t)) {
    if (t.tipo == 0x0001) login.uin = std::string(t.valor);
    if (t.tipo == 0x0002) login.senha = AssarSenha(t.valor);
    if (t.tipo == 0x0003) login.idCliente = std::string(t.valor);
    if (t.tipo == 0x0006) login.cookie = std::string(t.valor);
  }
  return !l.Falhou();
}

std::string Familias() {
  TPacote p;
  for (uint16_t f : {0x0001, 0x0002, 0x0003, 0x0004, 0x0009, 0x0013, 0x0015}) p.U16(f);
  return Snac(0x0001, 0x0003, p.Dados());
}

std::string VersoesAceitas() {
  TPacote p;
  for (uint16_t f : {0x0001, 0x0013}) p.U16(f).U16(f == 0x0001 ? 3 : 2);
  for (uint16_t f : {0x0002, 0x0003, 0x0004, 0x0009, 0x0015}) p.U16(f).U16(1);
  return Snac(0x0001, 0x0018, p.Dados());
}

std::string MensagemDoDia() {
  TPacote p;
  p.U16(4).Tlv(0x000B, "Bem-vindo ao simulador OSCAR do Tazu.");
  return Snac(0x0001, 0x0013, p.Dados());
}

std::string Taxas() {
  TPacote p;
  p.U16(1).U16(1);
  for (uint32_t v : {80u, 2500u, 2000u, 1500u, 800u, 6000u, 6000u, 0u}) p.U32(v);
  p.U8(0).U16(1).U16(0);
  return Snac(0x0001, 0x0007, p.Dados());
}

std::string DireitosDePrivacidade() {
  TPacote p;
  p.TlvU16(0x0001, 200).TlvU16(0x0002, 200);
  return Snac(0x0009, 0x0003, p.Dados());
}

std::string Presenca(std::string_view uin, uint32_t status, const TInfoDireta& d,
                     uint32_t ipExterno) {
  TPacote bloco;
  bloco.U32(d.ipInterno).U32(d.porta).U8(d.tipoConexao).U16(d.versao).U32(d.cookie);
  bloco.U32(80).U32(3).Zeros(14);
  TPacote p;
  p.TextoB(uin).U16(0).U16(3).Tlv(0x000C, bloco.Dados()).TlvU32(0x000A, ipExterno);
  p.TlvU32(0x0006, status);
  return Snac(0x0003, 0x000B, p.Dados());
}

std::string ContatoSaiu(std::string_view uin) {
  TPacote p;
  p.TextoB(uin).U16(0).U16(0);
  return Snac(0x0003, 0x000C, p.Dados());
}

std::string MensagemCanal1(std::string_view cookie, std::string_view de, std::string_view texto) {
  TPacote corpo;
  corpo.U32(0).Bytes(texto);
  TPacote bloco;
  bloco.Tlv(0x0501, std::string_view("\x01", 1)).Tlv(0x0101, corpo.Dados());
  TPacote p;
  p.Bytes(cookie).U16(1);
  CabecalhoDoRemetente(p, de);
  p.Tlv(0x0002, bloco.Dados());
  return Snac(0x0004, 0x0007, p.Dados());
}

std::string MensagemCanal2(std::string_view cookie, std::string_view de, std::string_view tlv5) {
  TPacote p;
  p.Bytes(cookie).U16(2);
  CabecalhoDoRemetente(p, de);
  p.Tlv(0x0005, tlv5);
  return Snac(0x0004, 0x0007, p.Dados());
}

std::string MensagemCanal4(std::string_view de, uint8_t tipo, std::string_view texto) {
  TPacote corpo;
  corpo.U32LE(UinDeTexto(de)).U8(tipo).U8(0).TextoZ(texto);
  TPacote p;
  p.Zeros(8).U16(4);
  CabecalhoDoRemetente(p, de);
  p.Tlv(0x0005, corpo.Dados());
  return Snac(0x0004, 0x0007, p.Dados());
}

std::string ConfirmacaoRepassada(const TConfirmacaoEnviada& c, std::string_view de) {
  TPacote p;
  p.Bytes(c.cookie).U16(c.canal).TextoB(de).Bytes(c.resto);
  return Snac(0x0004, 0x000B, p.Dados());
}

std::vector<std::string> Lista(const std::vector<TItemLista>& itens) {
  // Room for the SNAC header, the list's head and its time stamp.
  constexpr std::size_t kCabe = kMaxDadosFlap - 10 - kBlocoDeVersao - 3 - 4;
  std::vector<std::vector<TItemLista>> partes(1);
  std::size_t usados = 0;
  for (const TItemLista& i : itens) {
    const std::size_t n = lista::Item(i).size();
    if (usados + n > kCabe && !partes.back().empty()) {
      partes.emplace_back();
      usados = 0;
    }
    partes.back().push_back(i);
    usados += n;
  }
  std::vector<std::string> snacs;
  for (std::size_t k = 0; k < partes.size(); ++k) {
    const bool mais = k + 1 < partes.size();
    snacs.push_back(Snac(0x0013, 0x0006, lista::Lista(partes[k]),
                         kFlagsComVersao | (mais ? lista::kMaisSegue : 0)));
  }
  return snacs;
}

std::string ResultadoLista(uint16_t codigo) {
  TPacote p;
  p.U16(codigo);
  return ComVersao(0x000E, p);
}

std::string PedidoAutorizacao(std::string_view de, std::string_view motivo) {
  TPacote p;
  p.TextoB(de).U16LE(static_cast<uint16_t>(motivo.size())).Bytes(motivo).U16(0);
  return ComVersao(0x0019, p);
}

std::string RespostaAutorizacao(std::string_view de, bool concedida, std::string_view motivo) {
  TPacote p;
  p.TextoB(de).U8(concedida ? 1 : 0).TextoW(motivo);
  return ComVersao(0x001B, p);
}

std::string AdicionouVoce(std::string_view de) {
  TPacote p;
  p.TextoB(de).U16(0);
  return ComVersao(0x001C, p);
}

bool LerStatus(std::string_view dados, uint32_t& status, TInfoDireta& d, bool& temDireta) {
  TLeitor l(dados);
  TLeitor::TTlv t;
  bool temStatus = false;
  temDireta = false;
  while (l.Tlv(t)) {
    TLeitor v(t.valor);
    if (t.tipo == 0x0006) {
      status = v.U32();
      temStatus = !v.Falhou();
    } else if (t.tipo == 0x000C) {
      d.ipInterno = v.U32();
      d.porta = v.U32();
      d.tipoConexao = v.U8();
      d.versao = v.U16();
      d.cookie = v.U32();
      temDireta = !v.Falhou();
    }
  }
  return temStatus && !l.Falhou();
}

std::vector<std::string> LerUins(std::string_view dados) {
  std::vector<std::string> uins;
  TLeitor l(dados);
  while (l.Resta() > 0) {
    const std::string_view u = l.TextoB();
    if (l.Falhou()) break;
    if (!u.empty()) uins.emplace_back(u);
  }
  return uins;
}

}  // namespace tazu::icq::servidor
