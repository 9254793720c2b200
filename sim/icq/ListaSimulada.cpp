// The server-side list and authorisation between users.
#include <algorithm>

#include "base/Cp1252.h"
#include "icq/CodecLista.h"
#include "icq/CodecServidor.h"
#include "sim/icq/Interno.h"

namespace tazu::sim::icq {

using namespace tazu::icq;

void TSimuladorICQ::PedirLista(TConexao& c, const TSnac&) {
  const TContaSim* conta = Conta(c.uin);
  if (!conta) return;
  for (const std::string& snac : servidor::Lista(conta->lista)) EnviarSnac(c, snac);
}

void TSimuladorICQ::Item(TConexao& c, const TSnac& s) {
  TContaSim* dono = Conta(c.uin);
  TItemLista item;
  std::string_view resto = s.dados;
  if (!dono || !lista::LerItem(resto, item)) {
    Derrubar(c, "item malformado");
    return;
  }
  uint16_t codigo = lista::kOk;
  if (s.subtipo == 0x0008) codigo = Adicionar(*dono, item);
  if (s.subtipo == 0x0009) codigo = Atualizar(*dono, item);
  if (s.subtipo == 0x000A) codigo = Apagar(*dono, item);
  Log(c.nome + ": item \"" + cp1252::ToUtf8(item.nome) + "\" grupo " + std::to_string(item.grupo) +
      " id " + std::to_string(item.item) + " tipo " + std::to_string(item.tipo) + ": resultado " +
      std::to_string(codigo));
  EnviarSnac(c, servidor::ResultadoLista(codigo));
  if (s.subtipo == 0x0008 && item.tipo == lista::kContato && codigo == lista::kOk) {
    if (TConexao* alvo = Sessao(item.nome)) EnviarSnac(*alvo, servidor::AdicionouVoce(c.uin));
    c.contatos.insert(item.nome);
  }
}

uint16_t TSimuladorICQ::Adicionar(TContaSim& dono, const TItemLista& item) {
  auto& l = dono.lista;
  if (item.tipo == lista::kGrupo) {
    const bool existe = std::any_of(l.begin(), l.end(), [&](const TItemLista& i) {
      return i.tipo == lista::kGrupo && i.grupo == item.grupo;
    });
    if (existe) return lista::kJaExiste;
    l.push_back(item);
    return lista::kOk;
  }
  if (item.tipo == lista::kContato) {
    const TContaSim* alvo = Conta(item.nome);
    if (!alvo) return lista::kNaoEncontrado;
    const bool existe = std::any_of(l.begin(), l.end(), [&](const TItemLista& i) {
      return i.tipo == lista::kContato && i.nome == item.nome && i.grupo == item.grupo;
    });
    if (existe) return lista::kJaExiste;
    if (alvo->exigeAutorizacao && !item.aguardandoAutorizacao && !dono.autorizaram.count(item.nome))
      return lista::kNaoAutorizado;
  }
  l.push_back(item);
  return lista::kOk;
}

uint16_t TSimuladorICQ::Atualizar(TContaSim& dono, const TItemLista& item) {
  for (TItemLista& i : dono.lista) {
    if (i.tipo == item.tipo && i.grupo == item.grupo && i.item == item.item) {
      i = item;
      return lista::kOk;
    }
  }
  return lista::kNaoEncontrado;
}

uint16_t TSimuladorICQ::Apagar(TContaSim& dono, const TItemLista& item) {
  const auto antes = dono.lista.size();
  std::erase_if(dono.lista, [&](const TItemLista& i) {
    return i.tipo == item.tipo && i.grupo == item.grupo && i.item == item.item &&
           (item.tipo == lista::kGrupo || i.nome == item.nome);
  });
  return dono.lista.size() < antes ? lista::kOk : lista::kNaoEncontrado;
}

void TSimuladorICQ::PedidoAutorizacao(TConexao& c, const TSnac& s) {
  TPedidoAutorizacao p;
  if (!servidor::LerPedidoAutorizacaoEnviado(s.dados, p)) {
    Derrubar(c, "pedido de autorização malformado");
    return;
  }
  if (TConexao* alvo = Sessao(p.uin)) {
    EnviarSnac(*alvo, servidor::PedidoAutorizacao(c.uin, p.motivo));
  } else {
    Log(c.nome + ": pedido de autorização para " + p.uin + " perdido (fora do ar)");
  }
}

void TSimuladorICQ::RespostaAutorizacao(TConexao& c, const TSnac& s) {
  TRespostaAutorizacao r;
  if (!servidor::LerRespostaAutorizacaoEnviada(s.dados, r)) {
    Derrubar(c, "resposta de autorização malformada");
    return;
  }
  if (TContaSim* quem = Conta(r.uin); quem && r.concedida) quem->autorizaram.insert(c.uin);
  if (TConexao* alvo = Sessao(r.uin))
    EnviarSnac(*alvo, servidor::RespostaAutorizacao(c.uin, r.concedida, r.motivo));
}

}  // namespace tazu::sim::icq
