// The ICQ adapter: life cycle, status and messages.
#include "icq/ComunicadorICQ.h"

#include "base/Eventos.h"
#include "icq/CodecPacote.h"
#include "icq/ComunicadorICQInterno.h"
#include "icq/Rtf.h"
#include "icq/Textos.h"

namespace tazu::icq {

int CodigoDoStatusICQ(uint32_t status) {
  const std::string_view nome = NomeDoStatus(status);
  if (nome == "Invisible") return 2;
  if (nome == "Away" || nome == "N/A") return 8;
  if (nome == "Occupied") return 6;
  if (nome == "DND") return 5;
  if (nome == "FFC") return 7;
  return 1;
}

uint32_t StatusICQDoCodigo(int codigo) {
  switch (codigo) {
    case 2:
      return 0x0100;
    case 5:
      return 0x0013;
    case 6:
      return 0x0011;
    case 7:
      return 0x0020;
    case 8:
      return 0x0001;
    default:
      return 0x0000;
  }
}

std::string TextoErroLista(uint16_t codigo) {
  switch (codigo) {
    case 0:
      return std::string(textos::ListaOk);
    case 2:
      return std::string(textos::ListaNaoEncontrado);
    case 3:
      return std::string(textos::ListaJaAdicionado);
    case 10:
      return std::string(textos::ListaErroSSL);
    case 14:
      return std::string(textos::ListaNaoAutorizado);
    default:
      return std::string(textos::ListaErroDesconhecido);
  }
}

TComunicadorICQ::TComunicadorICQ(net::Runtime& runtime, uint8_t status, const std::string& niu,
                                 const std::string& senha, const std::string& uin,
                                 const TEnderecoServidor& servidor, const TProxy& proxy)
    : TInterfaceComunicador(runtime), motor_(runtime), niu_(niu) {
  NomeComunicador = std::string(textos::Rede);
  NomeComunidade = std::string(textos::Rede);
  Status = status;
  Senha = senha;
  Servidor = servidor.host;
  Porta = servidor.porta;
  Conectando = true;
  Conta = uin;
  motor_.ConvertToPlaintext = true;
  motor_.ICQServer = servidor.host;
  motor_.ICQPort = servidor.porta;
  // A login the server never answers would wait for ever otherwise.
  motor_.ConnectionTimeout = 60;
  using T = TProxy::Tipo;
  const std::pair<T, TProxyType> kTipos[] = {
      {T::Nenhum, TProxyType::P_NONE},        {T::Socks4, TProxyType::P_SOCKS4},
      {T::Socks4a, TProxyType::P_SOCKS4},     {T::Socks5, TProxyType::P_SOCKS5},
      {T::HttpsConnect, TProxyType::P_HTTPS}, {T::HttpGateway, TProxyType::P_HTTP}};
  for (const auto& [de, para] : kTipos)
    if (proxy.tipo == de) motor_.ProxyType = para;
  motor_.ProxyHost = proxy.host;
  motor_.ProxyPort = proxy.porta;
  motor_.ProxyUserID = proxy.usuario;
  motor_.ProxyPass = proxy.senha;
  motor_.ProxyAuth = !proxy.usuario.empty();
  motor_.ProxyResolve = proxy.tipo == T::Socks4a;
  LigarMotor();
}

TComunicadorICQ::~TComunicadorICQ() {
  vida_.End();
}

void TComunicadorICQ::LigarMotor() {
  motor_.OnLogin = [this](TICQClient&) { Logou(); };
  motor_.OnConnectionFailed = [this](TICQClient&) { FalhouConexao(); };
  motor_.OnMessageRecv = [this](TICQClient&, const std::string& m, const std::string& u) {
    Receber(m, u, true);
  };
  motor_.OnOfflineMsgRecv = [this](TICQClient&, const std::string& m, const std::string& u) {
    Receber(m, u, false);
  };
  motor_.OnStatusChange = [this](TICQClient&, const std::string& u, uint32_t s) {
    StatusDoContato(u, s);
  };
  motor_.OnUserOffline = [this](TICQClient&, const std::string& u) { ContatoSaiu(u); };
  motor_.OnServerListRecv = [this](TICQClient&, const std::vector<TEntradaLista>& l) {
    ListaDoServidor(l);
  };
  motor_.OnAdvancedMsgAck = [this](TICQClient&, const std::string& u, uint16_t id, uint8_t a,
                                   const std::string& t) { Confirmacao(u, id, a, t); };
  motor_.OnUserInfoShort = [this](TICQClient&, const std::string& u, const std::string& apelido,
                                  const std::string&, const std::string&, const std::string&, bool,
                                  bool exige) { Identificado(u, apelido, exige); };
  motor_.OnAddedYou = [this](TICQClient&, const std::string& u) {
    SolicitarIdentificacao(u, false,
                           [this](const std::string& uin, const std::string& apelido, bool) {
                             Disparar(AoReceberEvento, *this, 1, uin, apelido, std::string());
                           });
  };
  motor_.OnSSLChangeResponse = [this](TICQClient&, uint16_t c) { RespostaDaLista(c); };
  LigarInformacoes();
}

// Searches, user information and authorisation.
void TComunicadorICQ::LigarInformacoes() {
  motor_.OnUserFound = [this](TICQClient&, const std::string& u, const std::string& apelido,
                              const std::string& nome, const std::string& sobrenome,
                              const std::string& email, uint16_t, uint8_t, uint8_t, bool ultimo,
                              bool autorizacao) {
    Disparar(AoReceberBusca, *this, u, apelido, nome + " " + sobrenome, email,
             autorizacao ? '1' : '0');
    if (ultimo) Disparar(AoFinalizarBusca, *this);
  };
  motor_.OnUserNotFound = [this](TICQClient&) { Disparar(AoFinalizarBusca, *this); };
  motor_.OnUserGeneralInfo = [this](TICQClient&, const std::string& u, const meta::TInfoGeral& i,
                                    const std::string& pais) { InformacaoGeral(u, i, pais); };
  motor_.OnUserInfoMore = [this](TICQClient&, const std::string& u, const meta::TInfoMais& i,
                                 const std::string& l1, const std::string& l2,
                                 const std::string& l3) {
    const std::string idiomas[3] = {l1, l2, l3};
    InformacaoMais(u, i, idiomas);
  };
  motor_.OnUserWorkInfo = [this](TICQClient&, const std::string& u, const meta::TInfoTrabalho& i,
                                 const std::string& pais, const std::string& ocupacao) {
    InformacaoTrabalho(u, i, pais, ocupacao);
  };
  motor_.OnAuthRequest = [this](TICQClient&, const std::string& u, const std::string& motivo,
                                bool&) { AutorizacaoPedida(u, motivo); };
  motor_.OnAuthResponse = [this](TICQClient&, const std::string& u, bool concedida,
                                 const std::string& motivo) {
    AutorizacaoRespondida(u, concedida, motivo);
  };
}

// ---- Life cycle ----

void TComunicadorICQ::Conectar() {
  motor_.UIN = UinDeTexto(Conta);
  motor_.Password = Senha;
  motor_.Login(StatusICQDoCodigo(Status));
}

void TComunicadorICQ::Logou() {
  logado_ = true;
  Conectando = false;
  Disparar(OnConectar, *this);
  motor_.RequestServerList();
}

void TComunicadorICQ::FalhouConexao() {
  if (logado_) {
    Desconectar(niu_);
  } else if (Conectando && !liberacao_) {
    FalhaConexao();
    Liberar();
  }
}

void TComunicadorICQ::Desconectar(const std::string& motivo) {
  // A login still under way is given up too: the owner has let go of us.
  if (!logado_ && (!Conectando || liberacao_)) return;
  logado_ = false;
  Conectando = false;
  const Lifetime::Guard vida = vida_.Watch();
  TInterfaceComunicador::Desconectar(motivo);
  if (!vida) return;
  motor_.LogOff();
  Liberar();
}

void TComunicadorICQ::Liberar() {
  if (liberacao_) return;
  liberacao_ = runtime_.CreateTimer();
  liberacao_->onTimeout = [this] { Disparar(AoLiberar, *this); };
  liberacao_->Start(kLiberacao, false);
}

void TComunicadorICQ::MudarStatus(uint8_t status) {
  if (Conectando || status == Status) return;
  if (status == 3) {
    Desconectar(niu_);
    return;
  }
  Status = status;
  if (motor_.LoggedIn()) {
    motor_.SetStatus(StatusICQDoCodigo(status));
  } else {
    motor_.Login(StatusICQDoCodigo(status));
  }
}

// ---- Messages ----

void TComunicadorICQ::Receber(const std::string& texto, const std::string& uin, bool aoVivo) {
  const std::string mensagem = TextoDaMensagem(texto);
  TUsuario* u = ListaContatos.Localizar(uin);
  if (!u) {
    u = RegistrarContato(0, 0, 'F', uin, uin);
    motor_.AddToContactList(UinDeTexto(uin));
    ReceberContato(Conta, niu_, uin, uin, "255", 'F', NomeComunicador);
    u = ListaContatos.Localizar(uin);
    if (!u) return;  // a handler took it away
  }
  ReceberMensagem(Conta, mensagem, uin, std::to_string(u->Status), NomeComunicador, u->Apelido,
                  aoVivo);
}

void TComunicadorICQ::Confirmar(const std::string& uin, bool recebido, uint8_t status,
                                const std::string& texto) {
  Disparar(OnConfirmaEnvio, *this, uin, recebido, status, texto);
}

// How a message sent without acknowledgement is confirmed.
void TComunicadorICQ::ConfirmarComoSimples(const std::string& uin, const std::string& texto) {
  const TUsuario* u = ListaContatos.Localizar(uin);
  if (!u) {
    Confirmar(uin, true, 3, {});
    return;
  }
  const uint8_t status = static_cast<uint8_t>(u->Status);
  const bool nomeado = u->Apelido.str() != u->Identificador.str();
  if (u->Status != 3 || !nomeado) {
    Confirmar(uin, true, status, {});
    return;
  }
  const std::string aviso = (u->Apelido + textos::NaoConectado).substr(0, 93);
  Confirmar(uin, false, status, aviso + "\r\n" + texto);
}

void TComunicadorICQ::EnviarMensagem(const std::string& remetente, const std::string& uin,
                                     const std::string& texto) {
  const TUsuario* u = ListaContatos.Localizar(uin);
  const bool nomeado = u && u->Apelido.str() != u->Identificador.str();
  // An empty text is never acknowledged: it goes out plain.
  if (u && u->Status != 3 && nomeado && comConfirmacao_ && !texto.empty()) {
    const uint16_t id = static_cast<uint16_t>(++contadorMensagens_);
    motor_.SendAckedMessage(UinDeTexto(uin), texto, false, id);
    auto envio = std::make_unique<TEnvio>(TEnvio{uin, texto, runtime_.CreateTimer()});
    const std::string chave = std::to_string(id);
    envio->temporizador->onTimeout = [this, chave] { SemConfirmacao(chave); };
    envio->temporizador->Start(kEsperaConfirmacao, false);
    pendentes_[chave] = std::move(envio);
  } else {
    motor_.SendPlainMessage(UinDeTexto(uin), texto);
    ConfirmarComoSimples(uin, texto);
  }
  TInterfaceComunicador::EnviarMensagem(remetente, uin, texto);
}

void TComunicadorICQ::Confirmacao(const std::string& uin, uint16_t id, uint8_t aceite,
                                  const std::string& texto) {
  pendentes_.erase(std::to_string(id));
  bool entregue = true;
  uint8_t status = 0;
  switch (aceite) {
    case 0:
    case 12:
      status = 1;
      break;
    case 4:
    case 14:
      status = 8;
      break;
    case 9:
      status = 6, entregue = false;
      break;
    case 10:
      status = 3, entregue = false;
      break;
    default:
      break;
  }
  Confirmar(uin, entregue, status, texto);
}

void TComunicadorICQ::SemConfirmacao(const std::string& id) {
  const auto p = pendentes_.find(id);
  if (p == pendentes_.end()) return;
  const std::unique_ptr<TEnvio> envio = std::move(p->second);
  pendentes_.erase(p);
  // From now on every message goes out plain.
  comConfirmacao_ = false;
  motor_.SendPlainMessage(UinDeTexto(envio->uin), envio->texto);
  ConfirmarComoSimples(envio->uin, envio->texto);
}

void TComunicadorICQ::BuscarContato(char tipo, const std::string& texto) {
  switch (tipo) {
    case '1':
      motor_.SearchByUIN(UinDeTexto(texto));
      break;
    case '2':
      motor_.SearchByNames({}, {}, texto, {});
      break;
    case '3':
      motor_.SearchByNames(texto, {}, {}, {});
      break;
    case '4':
      motor_.SearchByEmail(texto);
      break;
    default:
      break;
  }
}

void TComunicadorICQ::PedirInformacoes(const std::string& uin) {
  motor_.RequestFullInfo(UinDeTexto(uin));
}

}  // namespace tazu::icq
