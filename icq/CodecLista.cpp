#include "icq/CodecLista.h"

#include <map>

#include "base/Cp1252.h"
#include "icq/CodecFlap.h"
#include "icq/CodecPacote.h"

namespace tazu::icq::lista {

uint16_t CodigoConhecido(uint16_t codigo) {
  switch (codigo) {
    case kOk:
    case kNaoEncontrado:
    case kJaExiste:
    case kNaoAutorizado:
      return codigo;
    default:
      return kErro;
  }
}

std::string Item(const TItemLista& item) {
  TPacote tlvs;
  if (!item.apelido.empty()) tlvs.Tlv(0x0131, cp1252::ToUtf8(item.apelido));
  if (item.aguardandoAutorizacao) tlvs.Tlv(0x0066, {});
  if (!item.sms.empty()) tlvs.Tlv(0x013A, cp1252::ToUtf8(item.sms));
  tlvs.Bytes(item.outrosTlvs);
  TPacote p;
  p.TextoW(item.nome).U16(item.grupo).U16(item.item).U16(item.tipo);
  p.U16(static_cast<uint16_t>(tlvs.Tamanho())).Bytes(tlvs.Dados());
  return p.Tomar();
}

bool LerItem(std::string_view& resto, TItemLista& item) {
  TLeitor l(resto);
  item.nome = std::string(l.TextoW());
  item.grupo = l.U16();
  item.item = l.U16();
  item.tipo = l.U16();
  const std::string_view bloco = l.Bytes(l.U16());
  if (l.Falhou()) return false;
  TLeitor t(bloco);
  TLeitor::TTlv tlv;
  while (t.Tlv(tlv)) {
    if (tlv.tipo == 0x0131) {
      item.apelido = cp1252::FromUtf8(tlv.valor);
    } else if (tlv.tipo == 0x013A) {
      item.sms = cp1252::FromUtf8(tlv.valor);
    } else if (tlv.tipo == 0x0066) {
      item.aguardandoAutorizacao = true;
    } else {
      TPacote outro;
      outro.Tlv(tlv.tipo, tlv.valor);
      item.outrosTlvs += outro.Dados();
    }
  }
  resto = l.Resto();
  return true;
}

std::string Lista(const std::vector<TItemLista>& itens, uint32_t quando) {
  TPacote p(kMaxDadosFlap * 64);
  p.Bytes(BlocoDeVersao()).U8(0).U16(static_cast<uint16_t>(itens.size()));
  for (const TItemLista& i : itens) p.Bytes(Item(i));
  p.U32(quando);
  return p.Tomar();
}

bool LerLista(std::string_view dados, std::vector<TItemLista>& itens) {
  TLeitor l(dados);
  if (l.U16() != 6) return false;
  l.Pular(kBlocoDeVersao - 2 + 1);
  const uint16_t n = l.U16();
  if (l.Falhou()) return false;
  std::string_view resto = l.Resto();
  for (uint16_t i = 0; i < n; ++i) {
    TItemLista item;
    if (!LerItem(resto, item)) break;
    itens.push_back(std::move(item));
  }
  return true;
}

std::vector<TEntradaLista> Entradas(const std::vector<TItemLista>& itens) {
  std::map<uint16_t, const std::string*> grupos;
  std::vector<TEntradaLista> entradas;
  entradas.reserve(itens.size());
  for (const TItemLista& i : itens) {
    if (i.tipo == kGrupo && !i.nome.empty() && i.grupo != 0 && i.item == 0) {
      grupos[i.grupo] = &i.nome;
    } else if (i.tipo == kContato || i.tipo == kPermitido || i.tipo == kBloqueado ||
               i.tipo == kIgnorado) {
      entradas.push_back(
          {UinDeTexto(i.nome), i.apelido.substr(0, 255), i.tipo, i.item, i.grupo, std::string()});
    }
  }
  for (TEntradaLista& e : entradas) {
    const auto g = grupos.find(e.grupo);
    if (g != grupos.end()) e.nomeDoGrupo = g->second->substr(0, 255);
  }
  return entradas;
}

}  // namespace tazu::icq::lista
