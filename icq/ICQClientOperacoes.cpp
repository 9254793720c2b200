// The engine's operations once logged in: messages, lists, authorisation,
// information and searches. Each sends only while the engine is logged in
// (ReplyAuthorization excepted).
#include <algorithm>

#include "icq/CodecCliente.h"
#include "icq/CodecLista.h"
#include "icq/ICQClient.h"

namespace tazu::icq {

void TICQClient::SendPlainMessage(uint32_t uin, const std::string& text) {
  if (!LoggedIn()) return;
  Enviar(cliente::MensagemSimples(uin, text, aleatorio_(0xFFFFA9)));
}

void TICQClient::SendAckedMessage(uint32_t uin, const std::string& text, bool rtf, uint16_t id) {
  if (text.empty()) return;
  Enviar(cliente::MensagemComConfirmacao(uin, text, rtf, id));
}

bool TICQClient::AddToContactList(uint32_t uin) {
  if (!LoggedIn()) return false;
  const std::string texto = std::to_string(uin);
  if (std::find(ContactList.begin(), ContactList.end(), texto) != ContactList.end()) return false;
  ContactList.push_back(texto);
  Enviar(cliente::AdicionarContatoLocal(texto));
  return true;
}

void TICQClient::RemoveFromContactList(uint32_t uin) {
  if (!LoggedIn()) return;
  const std::string texto = std::to_string(uin);
  std::erase(ContactList, texto);
  Enviar(cliente::RemoverContatoLocal(texto));
}

void TICQClient::RequestServerList() {
  Enviar(cliente::PedirListaServidor());
}

void TICQClient::BeginServerListEdit(bool import) {
  Enviar(cliente::IniciarEdicao(import));
}

void TICQClient::EndServerListEdit() {
  Enviar(cliente::TerminarEdicao());
}

void TICQClient::AddServerGroup(const std::string& name, uint16_t groupId) {
  TItemLista item;
  item.nome = name;
  item.grupo = groupId;
  item.tipo = lista::kGrupo;
  Enviar(cliente::Item(0x0008, item));
}

void TICQClient::AddServerContact(const std::string& uin, const std::string& nick, uint16_t groupId,
                                  uint16_t itemId, bool awaitingAuth, const std::string& sms) {
  TItemLista item{uin, groupId, itemId, lista::kContato, nick, sms, awaitingAuth, {}};
  Enviar(cliente::Item(0x0008, item));
}

void TICQClient::UpdateServerContact(const std::string& uin, const std::string& nick,
                                     uint16_t groupId, uint16_t itemId, bool awaitingAuth,
                                     const std::string& sms) {
  TItemLista item{uin, groupId, itemId, lista::kContato, nick, sms, awaitingAuth, {}};
  Enviar(cliente::Item(0x0009, item));
}

void TICQClient::DeleteServerContact(const std::string& uin, const std::string& nick,
                                     uint16_t groupId, uint16_t itemId) {
  TItemLista item{uin, groupId, itemId, lista::kContato, nick, {}, false, {}};
  Enviar(cliente::Item(0x000A, item));
}

void TICQClient::DeleteServerGroup(const std::string& name, uint16_t groupId) {
  TItemLista item;
  item.nome = name;
  item.grupo = groupId;
  item.tipo = lista::kGrupo;
  Enviar(cliente::Item(0x000A, item));
}

void TICQClient::RequestAuthorization(uint32_t uin, const std::string& reason) {
  Enviar(cliente::PedirAutorizacao(std::to_string(uin), reason));
}

void TICQClient::ReplyAuthorization(const std::string& uin, const std::string& reason,
                                    bool granted) {
  sessao_.EnviarSnac(cliente::ResponderAutorizacao(uin, reason, granted));
  Executar();
}

void TICQClient::RequestFullInfo(uint32_t uin) {
  sessao_.EnviarMeta(meta::kInfo, meta::PedidoInfo(meta::kPedidoCompleto, uin),
                     TSessaoICQ::Pendente::Completa, std::to_string(uin));
  Executar();
}

void TICQClient::RequestShortInfo(uint32_t uin) {
  sessao_.EnviarMeta(meta::kInfo, meta::PedidoInfo(meta::kPedidoCurto, uin),
                     TSessaoICQ::Pendente::Curta, std::to_string(uin));
  Executar();
}

void TICQClient::SearchByUIN(uint32_t uin) {
  sessao_.EnviarMeta(meta::kInfo, meta::BuscaPorUin(uin));
  Executar();
}

void TICQClient::SearchByEmail(const std::string& email) {
  sessao_.EnviarMeta(meta::kInfo, meta::BuscaPorEmail(email));
  Executar();
}

void TICQClient::SearchByNames(const std::string& first, const std::string& last,
                               const std::string& nick, const std::string& email) {
  sessao_.EnviarMeta(meta::kInfo, meta::BuscaPorNomes({first, last, nick, email}));
  Executar();
}

}  // namespace tazu::icq
