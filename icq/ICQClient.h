// TICQClient: the ICQ protocol engine (OSCAR) for one ICQ number: the
// two-stage login, the session, status and visibility, messages, the local
// and server-side contact lists, authorisation, user information and
// searches.
//
// Four pieces: the codec (Codec*.h: frames as values), TSessaoICQ (the rules,
// SessaoICQ.cpp), TICQNet (socket, framing and timer) and this object, which
// runs the session's actions and raises the events. Events are optional and
// raised only once the session's state is settled, so a handler may call
// back in (even log in again) or destroy the engine.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/ActionRunner.h"
#include "base/Lifetime.h"
#include "icq/CodecMensagens.h"
#include "icq/CodecMeta.h"
#include "icq/ICQDireto.h"
#include "icq/ICQNet.h"
#include "icq/SessaoICQ.h"
#include "net/Runtime.h"

namespace tazu::icq {

class TICQClient : public TPropriedadesICQ {
 public:
  using TNotify = std::function<void(TICQClient& sender)>;
  using TUin = std::function<void(TICQClient& sender, const std::string& UIN)>;
  using TTexto =
      std::function<void(TICQClient& sender, const std::string& Msg, const std::string& UIN)>;
  using TUrl = std::function<void(TICQClient& sender, const std::string& Description,
                                  const std::string& URL, const std::string& UIN)>;

  // The login service's host name, for an ICQServer left empty.
  static constexpr const char* kServidorPadrao = "login.icq.com";
  static constexpr uint16_t kPortaPadrao = 5190;

  explicit TICQClient(net::Runtime& runtime);
  ~TICQClient();
  TICQClient(const TICQClient&) = delete;
  TICQClient& operator=(const TICQClient&) = delete;

  // ---- Events ----
  TNotify OnLogin;
  TNotify OnConnectionFailed;
  std::function<void(TICQClient& sender, int ErrorType, const std::string& ErrorMsg)> OnError;
  // Every frame sent or received, header included.
  std::function<void(TICQClient& sender, std::string_view Buffer, bool Incoming)> OnPktParse;
  TTexto OnMessageRecv;
  TTexto OnOfflineMsgRecv;
  TUrl OnURLRecv;
  TUrl OnOfflineURLRecv;
  std::function<void(TICQClient& sender, const std::string& UIN, uint32_t Status)> OnStatusChange;
  std::function<void(TICQClient& sender, const std::string& UIN, uint32_t Port,
                     const std::string& InternalIP, const std::string& ExternalIP,
                     uint16_t ProtoVer)>
      OnOnlineInfo;
  TUin OnUserOffline;
  TUin OnAddedYou;
  std::function<void(TICQClient& sender, const std::string& UIN, const meta::TInfoGeral& Info,
                     const std::string& Country)>
      OnUserGeneralInfo;
  std::function<void(TICQClient& sender, const std::string& UIN, const meta::TInfoMais& Info,
                     const std::string& Lang1, const std::string& Lang2, const std::string& Lang3)>
      OnUserInfoMore;
  std::function<void(TICQClient& sender, const std::string& UIN, const meta::TInfoTrabalho& Info,
                     const std::string& Country, const std::string& Occupation)>
      OnUserWorkInfo;
  std::function<void(TICQClient& sender, const std::string& UIN, const std::string& About)>
      OnUserInfoAbout;
  std::function<void(TICQClient& sender, const std::string& UIN, const std::string& NickName,
                     const std::string& FirstName, const std::string& LastName,
                     const std::string& Email, bool Found, bool AuthRequired)>
      OnUserInfoShort;
  std::function<void(TICQClient& sender, const std::string& UIN, const std::string& NickName,
                     const std::string& FirstName, const std::string& LastName,
                     const std::string& Email, uint16_t Status, uint8_t Gender, uint8_t Age,
                     bool LastResult, bool Authorize)>
      OnUserFound;
  TNotify OnUserNotFound;
  std::function<void(TICQClient& sender, const std::vector<TEntradaLista>& List)> OnServerListRecv;
  std::function<void(TICQClient& sender, uint16_t ErrorCode)> OnSSLChangeResponse;
  // Set Authorize to grant the request; with no handler it is granted.
  std::function<void(TICQClient& sender, const std::string& UIN, const std::string& Reason,
                     bool& Authorize)>
      OnAuthRequest;
  std::function<void(TICQClient& sender, const std::string& UIN, bool Granted,
                     const std::string& Reason)>
      OnAuthResponse;
  std::function<void(TICQClient& sender, const std::string& UIN, uint16_t ID, uint8_t AcceptType,
                     const std::string& AcceptMsg)>
      OnAdvancedMsgAck;
  std::function<void(TICQClient& sender, const std::string& UIN, uint16_t ID, uint8_t RespStatus,
                     const std::string& Msg)>
      OnAutoMsgResponse;
  std::function<void(TICQClient& sender, const std::string& Source, const std::string& Sender,
                     const std::string& Time, const std::string& Text)>
      OnSMSReply;

  // ---- Session ----
  void Login(uint32_t status, bool extra = false);
  void LogOff();
  void SetStatus(uint32_t status);
  bool LoggedIn() const { return sessao_.Logado(); }
  uint32_t Status() const { return sessao_.StatusAtual(); }
  // The direct-connection listener of this login; null when there is none.
  const TICQDireto* Direto() const { return direto_.get(); }
  // Where random numbers come from (FLAP sequence, cookies): tests fix it.
  void DefinirAleatorio(TSessaoICQ::TAleatorio aleatorio);

  // ---- Messages ----
  void SendPlainMessage(uint32_t uin, const std::string& text);
  void SendAckedMessage(uint32_t uin, const std::string& text, bool rtf, uint16_t id);

  // ---- Lists ----
  bool AddToContactList(uint32_t uin);
  void RemoveFromContactList(uint32_t uin);
  void RequestServerList();
  void BeginServerListEdit(bool import = false);
  void EndServerListEdit();
  void AddServerGroup(const std::string& name, uint16_t groupId);
  void AddServerContact(const std::string& uin, const std::string& nick, uint16_t groupId,
                        uint16_t itemId, bool awaitingAuth, const std::string& sms = {});
  void UpdateServerContact(const std::string& uin, const std::string& nick, uint16_t groupId,
                           uint16_t itemId, bool awaitingAuth, const std::string& sms = {});
  void DeleteServerContact(const std::string& uin, const std::string& nick, uint16_t groupId,
                           uint16_t itemId);
  void DeleteServerGroup(const std::string& name, uint16_t groupId);

  // ---- Authorisation ----
  void RequestAuthorization(uint32_t uin, const std::string& reason);
  void ReplyAuthorization(const std::string& uin, const std::string& reason, bool granted);

  // ---- Information and searches ----
  void RequestFullInfo(uint32_t uin);
  void RequestShortInfo(uint32_t uin);
  void SearchByUIN(uint32_t uin);
  void SearchByEmail(const std::string& email);
  void SearchByNames(const std::string& first, const std::string& last, const std::string& nick,
                     const std::string& email);

 private:
  void Executar();
  void ExecutarAcao(TAcaoICQ& a);
  void Conectar(const acao::Conectar& c);
  void Despachar(TEventoICQ& e);
  void DespacharInfo(TEventoICQ& e);
  void AutorizacaoPedida(evento::PedidoAutorizacao& p);
  void Enviar(std::string snac) {
    sessao_.EnviarSeLogado(std::move(snac));
    Executar();
  }
  net::proxy::Config Proxy() const;

  net::Runtime& runtime_;
  TSessaoICQ::TAleatorio aleatorio_;
  TSessaoICQ sessao_;
  TICQNet net_;
  std::unique_ptr<TICQDireto> direto_;
  ActionRunner<TAcaoICQ> executor_;
  Lifetime vivo_;
};

}  // namespace tazu::icq
