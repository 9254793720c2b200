#include "icq/CodecCliente.h"

#include <string>

#include "icq/CodecLista.h"

namespace tazu::icq::cliente {

namespace {

std::string Snac(uint16_t familia, uint16_t subtipo, std::string_view dados = {}, uint32_t id = 0) {
  return MontarSnac(familia, subtipo, 0, id, dados);
}

std::string ListaDeUins(uint16_t familia, uint16_t subtipo, const std::vector<std::string>& uins) {
  TPacote p;
  for (const std::string& u : uins) p.TextoB(u);
  return Snac(familia, subtipo, p.Dados());
}

// The families the client speaks, with their versions, in the order sent.
constexpr uint16_t kFamilias[10][2] = {{0x0001, 3}, {0x0013, 2}, {0x0002, 1}, {0x0003, 1},
                                       {0x0015, 1}, {0x0004, 1}, {0x0006, 1}, {0x0009, 1},
                                       {0x000A, 1}, {0x000B, 1}};

}  // namespace

std::string QuadroLogin(uint32_t uin, std::string_view senha) {
  TPacote p;
  p.U32(1)
      .Tlv(0x0001, std::to_string(uin))
      .Tlv(0x0002, AssarSenha(senha))
      .Tlv(0x0003, kIdCliente)
      .TlvU16(0x0016, 0x010A)
      .TlvU16(0x0017, 5)
      .TlvU16(0x0018, 15)
      .TlvU16(0x0019, 1)
      .TlvU16(0x001A, 3634)
      .TlvU32(0x0014, 85)
      .Tlv(0x000F, "en")
      .Tlv(0x000E, "us");
  return p.Tomar();
}

std::string QuadroCookie(std::string_view cookie) {
  TPacote p;
  p.U32(1).Tlv(0x0006, cookie);
  return p.Tomar();
}

std::string VersoesDasFamilias() {
  TPacote p;
  for (const auto& f : kFamilias) p.U16(f[0]).U16(f[1]);
  return Snac(0x0001, 0x0017, p.Dados());
}

std::string PedidoDeTaxas() {
  return Snac(0x0001, 0x0006);
}

std::vector<std::string> AposAsTaxas() {
  TPacote classes;
  for (uint16_t c = 1; c <= 5; ++c) classes.U16(c);
  TPacote icbm;
  icbm.U16(0).U32(3).U16(8000).U16(999).U16(999).U32(0);
  return {Snac(0x0001, 0x0008, classes.Dados()),
          Snac(0x0004, 0x0002, icbm.Dados()),
          Snac(0x0001, 0x000E),
          Snac(0x0002, 0x0002),
          Snac(0x0003, 0x0002),
          Snac(0x0004, 0x0004),
          Snac(0x0009, 0x0002)};
}

std::string Capacidades() {
  std::string caps;
  for (std::string_view c :
       {capacidade::kIcq, capacidade::kUtf8, capacidade::kRtf, capacidade::kRelay})
    caps.append(c);
  TPacote p;
  p.Tlv(0x0005, caps);
  return Snac(0x0002, 0x0004, p.Dados());
}

std::string AdicionarContatoLocal(std::string_view uin) {
  return ListaDeUins(0x0003, 0x0004, {std::string(uin)});
}

std::string RemoverContatoLocal(std::string_view uin) {
  return ListaDeUins(0x0003, 0x0005, {std::string(uin)});
}

std::string ListaVisivel(const std::vector<std::string>& uins) {
  return ListaDeUins(0x0009, 0x0005, uins);
}

std::string ListaInvisivel(const std::vector<std::string>& uins) {
  return ListaDeUins(0x0009, 0x0007, uins);
}

std::string StatusInicial(uint32_t status, const TInfoDireta& d) {
  TPacote bloco;
  bloco.U32(d.ipInterno).U32(d.porta).U8(d.tipoConexao).U16(d.versao).U32(d.cookie);
  bloco.U32(80).U32(3).U32(0).U32(0).U32(0).U16(0);
  TPacote p;
  p.TlvU32(0x0006, status).TlvU16(0x0008, 0).Tlv(0x000C, bloco.Dados());
  return Snac(0x0001, 0x001E, p.Dados());
}

std::string Status(uint32_t status) {
  TPacote p;
  p.TlvU32(0x0006, status);
  return Snac(0x0001, 0x001E, p.Dados());
}

std::string ClientePronto() {
  TPacote p;
  for (const auto& f : kFamilias)
    p.U16(f[0]).U16(f[1]).U16(f[0] == 0x0002 ? 0x0101 : 0x0110).U16(0x047B);
  return Snac(0x0001, 0x0002, p.Dados());
}

std::string MensagemSimples(uint32_t uin, std::string_view texto, uint32_t aleatorio) {
  TPacote corpo;
  corpo.U32(0).Bytes(texto);
  TPacote bloco;
  bloco.Tlv(0x0501, std::string_view("\x01", 1)).Tlv(0x0101, corpo.Dados());
  TPacote p;
  p.U32(0).U32(aleatorio).U16(1).Uin(uin).Tlv(0x0002, bloco.Dados()).Tlv(0x0006, {});
  return Snac(0x0004, 0x0006, p.Dados());
}

std::string MensagemComConfirmacao(uint32_t uin, std::string_view texto, bool rtf, uint16_t id) {
  TPacote cookie;
  cookie.U32(0).U16(id).U16(0);
  TPacote m;
  m.U16LE(27).U16LE(8).Zeros(16).U16LE(0).U32LE(3).U8(0).U16LE(0xFFFF);
  m.U16LE(14).U16LE(0xFFFF).Zeros(12);
  m.U8(1).U8(0).U16LE(0).U16LE(0).TextoZ(texto).U32LE(0x00000000).U32LE(0x00FFFFFF);
  if (rtf) {
    constexpr std::string_view kGuid = "{97B12751-243C-4334-AD22-D6ABF73F1492}";
    m.U32LE(static_cast<uint32_t>(kGuid.size())).Bytes(kGuid);
  }
  TPacote tlv5;
  tlv5.U16(0).Bytes(cookie.Dados()).Bytes(capacidade::kIcq);
  tlv5.TlvU16(0x000A, 1).Tlv(0x000F, {}).Tlv(0x2711, m.Dados());
  TPacote p;
  p.Bytes(cookie.Dados()).U16(2).Uin(uin).Tlv(0x0005, tlv5.Dados()).Tlv(0x0003, {});
  return Snac(0x0004, 0x0006, p.Dados());
}

std::string ConfirmarMensagem(const TMensagemRecebida& m, std::string_view textoAutomatico) {
  TPacote p;
  p.Bytes(m.cookie).U16(m.canal).TextoB(m.uin).U16(3).Bytes(m.cabecalhoAck).U32(0);
  if ((m.tipo & 0xE0) == 0xE0) {
    p.TextoZ(textoAutomatico);
  } else {
    p.TextoZ({}).U32LE(0x00000000).U32LE(0x00FFFFFF);
  }
  return Snac(0x0004, 0x000B, p.Dados());
}

std::string PedirListaServidor() {
  return Snac(0x0013, 0x0004, {}, 0x00010004);
}

std::string IniciarEdicao(bool importacao) {
  TPacote p;
  if (importacao) p.U32(0x00010000);
  return Snac(0x0013, 0x0011, p.Dados(), 0x00000011);
}

std::string TerminarEdicao() {
  return Snac(0x0013, 0x0012, {}, 0x00000012);
}

std::string Item(uint16_t subtipo, const TItemLista& item) {
  return Snac(0x0013, subtipo, lista::Item(item));
}

std::string PedirAutorizacao(std::string_view uin, std::string_view motivo) {
  TPacote p;
  p.TextoB(uin).TextoW(motivo).U16(0);
  return Snac(0x0013, 0x0018, p.Dados(), 0x00000018);
}

std::string ResponderAutorizacao(std::string_view uin, std::string_view motivo, bool concedida) {
  TPacote p;
  p.TextoB(uin).U8(concedida ? 1 : 0).TextoW(concedida ? std::string_view() : motivo).U16(0);
  return Snac(0x0013, 0x001A, p.Dados());
}

}  // namespace tazu::icq::cliente
