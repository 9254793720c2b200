#include "icq/CodecMeta.h"

#include "icq/CodecFlap.h"
#include "icq/CodecPacote.h"

namespace tazu::icq::meta {

namespace {

std::string Chunk(uint16_t familia, uint16_t subtipo, uint32_t id, uint32_t uin, uint16_t tipo,
                  uint16_t sequencia, std::string_view dados) {
  TPacote c;
  c.U16LE(0).U32LE(uin).U16LE(tipo).U16LE(sequencia).Bytes(dados);
  c.PorU16LE(0, static_cast<uint16_t>(c.Tamanho() - 2));
  TPacote p;
  p.Tlv(0x0001, c.Dados());
  return MontarSnac(familia, subtipo, 0, id, p.Dados());
}

std::string Z(TLeitor& l) {
  return std::string(l.TextoZ());
}

// The text of a meta TLV: length + 3, then a zero-terminated text.
std::string TextoMeta(TLeitor& l) {
  l.Pular(2);
  return Z(l);
}

}  // namespace

std::string Pedido(uint32_t proprioUin, uint16_t tipo, uint16_t sequencia, std::string_view dados) {
  return Chunk(0x0015, 0x0002, sequencia == 2 ? 0x00010002 : 0, proprioUin, tipo, sequencia, dados);
}

std::string PedidoInfo(uint16_t subtipo, uint32_t uin) {
  TPacote p;
  p.U16LE(subtipo).U32LE(uin);
  return p.Tomar();
}

std::string BuscaPorUin(uint32_t uin) {
  TPacote p;
  p.U16LE(kBuscaUin).U16LE(0x0136).U16LE(4).U32LE(uin);
  return p.Tomar();
}

std::string BuscaPorEmail(std::string_view email) {
  TPacote p;
  p.U16LE(kBuscaEmail).U16LE(0x015E).TextoMeta(email);
  return p.Tomar();
}

std::string BuscaPorNomes(const TBuscaNomes& b) {
  TPacote p;
  p.U16LE(kBuscaNomes);
  const std::pair<uint16_t, const std::string*> campos[] = {
      {0x0140, &b.nome}, {0x014A, &b.sobrenome}, {0x0154, &b.apelido}, {0x015E, &b.email}};
  for (const auto& [chave, valor] : campos)
    if (!valor->empty()) p.U16LE(chave).TextoMeta(*valor);
  return p.Tomar();
}

std::string Resposta(uint32_t proprioUin, uint16_t tipo, uint16_t sequencia,
                     std::string_view dados) {
  return Chunk(0x0015, 0x0003, 0, proprioUin, tipo, sequencia, dados);
}

std::string MensagemOffline(const TMensagemOffline& m) {
  TPacote p;
  p.U32LE(m.de).U16LE(m.ano).U8(m.mes).U8(m.dia).U8(m.hora).U8(m.minuto);
  p.U8(m.tipo).U8(m.flags).TextoZ(m.texto);
  return p.Tomar();
}

std::string RespostaInfo(uint16_t subtipo, bool sucesso, std::string_view dados) {
  TPacote p;
  p.U16LE(subtipo).U8(sucesso ? kSucesso : 0x32);
  if (sucesso) p.Bytes(dados);
  return p.Tomar();
}

std::string Geral(const TInfoGeral& i) {
  TPacote p;
  for (const std::string* t : {&i.apelido, &i.nome, &i.sobrenome, &i.email, &i.cidade, &i.estado,
                               &i.telefone, &i.fax, &i.endereco, &i.celular, &i.cep})
    p.TextoZ(*t);
  p.U16LE(i.pais).U8(i.fuso).U8(i.publicarEmail ? 1 : 0);
  return p.Tomar();
}

std::string Mais(const TInfoMais& i) {
  TPacote p;
  p.U16LE(i.idade).U8(i.sexo).TextoZ(i.homePage).U16LE(i.anoNascimento);
  p.U8(i.mesNascimento).U8(i.diaNascimento);
  for (const uint8_t idioma : i.idiomas) p.U8(idioma);
  return p.Tomar();
}

std::string Trabalho(const TInfoTrabalho& i) {
  TPacote p;
  for (const std::string* t : {&i.cidade, &i.estado, &i.telefone, &i.fax, &i.endereco, &i.cep})
    p.TextoZ(*t);
  p.U16LE(i.pais).TextoZ(i.empresa).TextoZ(i.departamento).TextoZ(i.cargo);
  p.U16LE(i.ocupacao).TextoZ(i.homePage);
  return p.Tomar();
}

std::string Curta(const TInfoCurta& i) {
  TPacote p;
  p.TextoZ(i.apelido).TextoZ(i.nome).TextoZ(i.sobrenome).TextoZ(i.email);
  p.U8(i.exigeAutorizacao ? 0 : 1);
  return p.Tomar();
}

std::string Sobre(std::string_view texto) {
  TPacote p;
  p.TextoZ(texto);
  return p.Tomar();
}

std::string ResultadoBusca(const TResultadoBusca& r) {
  TPacote p;
  p.U16LE(0).U32LE(r.uin).TextoZ(r.apelido).TextoZ(r.nome).TextoZ(r.sobrenome).TextoZ(r.email);
  p.U8(r.exigeAutorizacao ? 0 : 1).U16LE(r.status).U8(r.sexo).U8(r.idade);
  p.PorU16LE(0, static_cast<uint16_t>(p.Tamanho() - 2));
  return p.Tomar();
}

bool Ler(std::string_view snacDados, TMeta& m) {
  TLeitor l(snacDados);
  TLeitor::TTlv t;
  if (!l.Tlv(t) || t.tipo != 0x0001) return false;
  TLeitor c(t.valor);
  c.Pular(2);
  m.uin = c.U32LE();
  m.tipo = c.U16LE();
  m.sequencia = c.U16LE();
  m.dados = c.Resto();
  return !c.Falhou();
}

bool LerMensagemOffline(std::string_view dados, TMensagemOffline& m) {
  TLeitor l(dados);
  m.de = l.U32LE();
  m.ano = l.U16LE();
  m.mes = l.U8();
  m.dia = l.U8();
  m.hora = l.U8();
  m.minuto = l.U8();
  m.tipo = l.U8();
  m.flags = l.U8();
  m.texto = Z(l);
  return !l.Falhou();
}

bool LerRespostaInfo(std::string_view dados, TRespostaInfo& r) {
  TLeitor l(dados);
  r.subtipo = l.U16LE();
  r.sucesso = l.U8() == kSucesso;
  r.dados = l.Resto();
  return !l.Falhou();
}

bool LerGeral(std::string_view dados, TInfoGeral& i) {
  TLeitor l(dados);
  for (std::string* t : {&i.apelido, &i.nome, &i.sobrenome, &i.email, &i.cidade, &i.estado,
                         &i.telefone, &i.fax, &i.endereco, &i.celular, &i.cep})
    *t = Z(l);
  i.pais = l.U16LE();
  i.fuso = l.U8();
  i.publicarEmail = l.U8() == 1;
  return !l.Falhou();
}

bool LerMais(std::string_view dados, TInfoMais& i) {
  TLeitor l(dados);
  i.idade = l.U16LE();
  i.sexo = l.U8();
  i.homePage = Z(l);
  i.anoNascimento = l.U16LE();
  i.mesNascimento = l.U8();
  i.diaNascimento = l.U8();
  for (uint8_t& idioma : i.idiomas) idioma = l.U8();
  return !l.Falhou();
}

bool LerTrabalho(std::string_view dados, TInfoTrabalho& i) {
  TLeitor l(dados);
  for (std::string* t : {&i.cidade, &i.estado, &i.telefone, &i.fax, &i.endereco, &i.cep}) *t = Z(l);
  i.pais = l.U16LE();
  i.empresa = Z(l);
  i.departamento = Z(l);
  i.cargo = Z(l);
  i.ocupacao = l.U16LE();
  i.homePage = Z(l);
  return !l.Falhou();
}

bool LerCurta(std::string_view dados, TInfoCurta& i) {
  TLeitor l(dados);
  i.apelido = Z(l);
  i.nome = Z(l);
  i.sobrenome = Z(l);
  i.email = Z(l);
  i.exigeAutorizacao = l.U8() != 1;
  return !l.Falhou();
}

bool LerSobre(std::string_view dados, std::string& texto) {
  TLeitor l(dados);
  texto = Z(l);
  return !l.Falhou();
}

bool LerResultadoBusca(std::string_view dados, TResultadoBusca& r) {
  TLeitor l(dados);
  l.Pular(2);
  r.uin = l.U32LE();
  r.apelido = Z(l);
  r.nome = Z(l);
  r.sobrenome = Z(l);
  r.email = Z(l);
  r.exigeAutorizacao = l.U8() == 0;
  r.status = l.U16LE();
  r.sexo = l.U8();
  r.idade = l.U8();
  return !l.Falhou();
}

bool LerPedidoInfo(std::string_view dados, TPedidoInfo& p) {
  TLeitor l(dados);
  p.subtipo = l.U16LE();
  if (p.subtipo == kPedidoCompleto || p.subtipo == kPedidoCurto) {
    p.uin = l.U32LE();
  } else if (p.subtipo == kBuscaUin) {
    l.Pular(4);
    p.uin = l.U32LE();
  } else {
    while (!l.Falhou() && l.Resta() >= 2) {
      const uint16_t chave = l.U16LE();
      std::string valor = TextoMeta(l);
      if (chave == 0x0140) p.busca.nome = std::move(valor);
      if (chave == 0x014A) p.busca.sobrenome = std::move(valor);
      if (chave == 0x0154) p.busca.apelido = std::move(valor);
      if (chave == 0x015E) p.busca.email = std::move(valor);
    }
  }
  return !l.Falhou();
}

}  // namespace tazu::icq::meta
