// The engine's events, raised from what the session reports.
#include "base/Eventos.h"
#include "icq/CodecCliente.h"
#include "icq/ICQClient.h"

namespace tazu::icq {

namespace {

template <typename... F>
struct Visitante : F... {
  using F::operator()...;
};
template <typename... F>
Visitante(F...) -> Visitante<F...>;

}  // namespace

void TICQClient::Despachar(TEventoICQ& e) {
  std::visit(
      Visitante{
          [this](evento::Login&) { Disparar(OnLogin, *this); },
          [this](evento::FalhaConexao&) { Disparar(OnConnectionFailed, *this); },
          [this](evento::Erro& x) { Disparar(OnError, *this, x.tipo, x.texto); },
          [this](evento::Mensagem& x) {
            Disparar(x.offline ? OnOfflineMsgRecv : OnMessageRecv, *this, x.texto, x.uin);
          },
          [this](evento::Url& x) {
            Disparar(x.offline ? OnOfflineURLRecv : OnURLRecv, *this, x.descricao, x.url, x.uin);
          },
          [this](evento::Status& x) { Disparar(OnStatusChange, *this, x.uin, x.status); },
          [this](evento::InfoOnline& x) {
            Disparar(OnOnlineInfo, *this, x.uin, x.porta, x.ipInterno, x.ipExterno, x.versao);
          },
          [this](evento::Saiu& x) { Disparar(OnUserOffline, *this, x.uin); },
          [this](evento::AdicionouVoce& x) { Disparar(OnAddedYou, *this, x.uin); },
          [this](evento::ListaServidor& x) { Disparar(OnServerListRecv, *this, x.entradas); },
          [this](evento::ResultadoLista& x) { Disparar(OnSSLChangeResponse, *this, x.codigo); },
          [this](evento::PedidoAutorizacao& x) { AutorizacaoPedida(x); },
          [this](evento::RespostaAutorizacao& x) {
            Disparar(OnAuthResponse, *this, x.uin, x.concedida, x.motivo);
          },
          [this](evento::Confirmacao& x) {
            Disparar(OnAdvancedMsgAck, *this, x.uin, x.id, x.aceite, x.texto);
          },
          [this](evento::RespostaAutomatica& x) {
            Disparar(OnAutoMsgResponse, *this, x.uin, x.id, x.tipo, x.texto);
          },
          [this](evento::Sms& x) {
            Disparar(OnSMSReply, *this, x.fonte, x.remetente, x.hora, x.texto);
          },
          [this, &e](auto&) { DespacharInfo(e); },
      },
      e);
}

void TICQClient::DespacharInfo(TEventoICQ& e) {
  if (auto* x = std::get_if<evento::InfoGeral>(&e)) {
    Disparar(OnUserGeneralInfo, *this, x->uin, x->info, x->pais);
  } else if (auto* x = std::get_if<evento::InfoMais>(&e)) {
    Disparar(OnUserInfoMore, *this, x->uin, x->info, x->idiomas[0], x->idiomas[1], x->idiomas[2]);
  } else if (auto* x = std::get_if<evento::InfoTrabalho>(&e)) {
    Disparar(OnUserWorkInfo, *this, x->uin, x->info, x->pais, x->ocupacao);
  } else if (auto* x = std::get_if<evento::InfoSobre>(&e)) {
    Disparar(OnUserInfoAbout, *this, x->uin, x->texto);
  } else if (auto* x = std::get_if<evento::InfoCurta>(&e)) {
    const meta::TInfoCurta& i = x->info;
    Disparar(OnUserInfoShort, *this, x->uin, i.apelido, i.nome, i.sobrenome, i.email, x->encontrado,
             i.exigeAutorizacao);
  } else if (auto* x = std::get_if<evento::Encontrado>(&e)) {
    const meta::TResultadoBusca& r = x->r;
    Disparar(OnUserFound, *this, std::to_string(r.uin), r.apelido, r.nome, r.sobrenome, r.email,
             r.status, r.sexo, r.idade, x->ultimo, r.exigeAutorizacao);
  } else if (std::holds_alternative<evento::NaoEncontrado>(e)) {
    Disparar(OnUserNotFound, *this);
  }
}

void TICQClient::AutorizacaoPedida(evento::PedidoAutorizacao& p) {
  bool autorizar = !OnAuthRequest;
  if (OnAuthRequest) {
    const Lifetime::Guard vivo = vivo_.Watch();
    const auto evento = OnAuthRequest;
    evento(*this, p.uin, p.motivo, autorizar);
    if (!vivo) return;
  }
  if (autorizar) ReplyAuthorization(p.uin, {}, true);
}

}  // namespace tazu::icq
