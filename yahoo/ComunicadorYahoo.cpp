#include "yahoo/ComunicadorYahoo.h"

#include "base/Cp1252.h"
#include "base/Eventos.h"
#include "core/UGlobal.h"
#include "yahoo/Textos.h"

namespace tazu::yahoo {

TStatusYahoo StatusYahoo(int32_t codigo) {
  switch (codigo) {
    case 2:
      return {ymsg::Invisivel, false};
    case 3:
      return {ymsg::Desconectado, true};
    case 5:
    case 6:
      return {ymsg::Ocupado, true};
    case 8:
      return {ymsg::NaoNaMesa, true};
    case 101:
      return {1, true};
    case 102:
      return {6, true};
    case 103:
      return {8, true};
    case 200:
      return {3, true};
    case 201:
      return {5, true};
    case 202:
      return {7, true};
    case 203:
      return {9, true};
    default:
      return {ymsg::Disponivel, false};  // 1, 7 and anything unknown
  }
}

int32_t StatusDoPrograma(uint32_t status, bool ausente) {
  switch (status) {
    case 0:
      return StatusConectado;
    case 1:
    case 3:
    case 4:
    case 5:
    case 7:
    case 8:
    case 999:
      return StatusLonge;
    case 2:
    case 6:
    case 9:
      return StatusOcupado;
    case 12:
      return StatusInvisivel;
    case 99:
      return ausente ? StatusLonge : StatusConectado;
    case ymsg::Desconectado:
      return StatusDesconectado;
    default:
      return 0;
  }
}

TComunicadorYahoo::TComunicadorYahoo(net::Runtime& runtime, int32_t status, const std::string&,
                                     const std::string& niu, const std::string& senha,
                                     const std::string& conta)
    : TInterfaceComunicador(runtime), sessao_(runtime), niu_(niu) {
  NomeComunicador = std::string(textos::NomeComunicador);
  NomeComunidade = std::string(textos::NomeComunidade);
  Status = status;
  Senha = senha;
  Conta = conta;
  Conectando = false;
  sessao_.Usuario = conta;
  sessao_.Senha = senha;
  sessao_.Status = StatusYahoo(status).status;
  sessao_.TentandoExterno = &Conectando;
  Servidor = sessao_.Servidor;
  Porta = sessao_.Porta;
  Ligar();
}

void TComunicadorYahoo::DefinirServidor(const std::string& host, uint16_t porta) {
  Servidor = host;
  Porta = porta;
  sessao_.Servidor = host;
  sessao_.Porta = porta;
}

void TComunicadorYahoo::Ligar() {
  sessao_.AoConectar = [this](TClienteYahoo&) {
    conectado_ = true;
    Conectando = false;
    MudarStatus(static_cast<uint8_t>(Status));
    Disparar(OnConectar, *this);
    for (const auto& [id, texto] : std::exchange(aEnviar_, {})) EnviarMensagem(niu_, id, texto);
  };
  sessao_.AoDesconectar = [this](TClienteYahoo&) { Desconectar(niu_); };
  sessao_.AoFalharConexao = [this](TClienteYahoo&, uint32_t, const std::string&) {
    NaoEntregues();
    FalhaConexao();
  };
  sessao_.AoMudarStatusContato = [this](TClienteYahoo&, const std::string& id, int32_t status,
                                        bool ausente, const std::string&) {
    Anunciar(id, static_cast<uint32_t>(status), ausente);
  };
  sessao_.AoReceberContato = [this](TClienteYahoo&, const std::string&, const std::string& id,
                                    uint32_t status, bool ausente,
                                    const std::string&) { Anunciar(id, status, ausente); };
  sessao_.OnUserMessage = [this](TClienteYahoo&, const std::string& id, const std::string& texto,
                                 int32_t, bool utf8) { MensagemRecebida(id, texto, utf8); };
  sessao_.OnContactNotFound = [this](TClienteYahoo&, const std::string& id) {
    Disparar(OnUsuarioNaoExiste, *this, id);
  };
  // A refused add is told to the user as a denied authorisation.
  sessao_.OnContactRejected = [this](TClienteYahoo&, const std::string& id,
                                     const std::string& texto) {
    Disparar(AoReceberEvento, *this, uint8_t{3}, id, id, texto);
  };
}

void TComunicadorYahoo::NaoEntregues() {
  for (const auto& [id, texto] : std::exchange(aEnviar_, {})) {
    const std::string aviso = id + std::string(textos::NaoRecebeu) + "\r\n" + texto;
    Disparar(OnConfirmaEnvio, *this, id, false, uint8_t{1}, aviso);
  }
}

void TComunicadorYahoo::Conectar() {
  if (Status == StatusDesconectado) return;
  Conectando = true;
  sessao_.Conectar(Status);
}

void TComunicadorYahoo::Desconectar(const std::string& motivo) {
  if (sessao_.LoggedIn) {
    // The session's AoDesconectar brings us back here, logged off.
    conectado_ = false;
    sessao_.Desconectar();
    return;
  }
  if (desligado_) return;
  desligado_ = true;
  conectado_ = false;
  NaoEntregues();
  sessao_.Desconectar();  // an attempt in progress ends quietly
  // The owner frees the adapter once OnDesconectar has told it.
  TInterfaceComunicador::Desconectar(motivo);
}

void TComunicadorYahoo::EnviarMensagem(const std::string&, const std::string& identificador,
                                       const std::string& mensagem) {
  if (!conectado_) {
    // Still logging in: the message goes once the login is through, and is
    // reported undelivered if it never is.
    aEnviar_.push_back({identificador, mensagem});
    return;
  }
  const TUsuario* u = ListaContatos.Localizar(identificador);
  const bool online = u && u->Status != StatusDesconectado && u->Status != StatusInvisivel;
  // Yahoo keeps messages for whoever is offline: it is sent either way.
  sessao_.EnviarMensagem(identificador.substr(0, 127), mensagem);
  if (online) {
    Disparar(OnConfirmaEnvio, *this, identificador, true, uint8_t{1}, std::string());
    return;
  }
  const std::string aviso = identificador + std::string(textos::NaoRecebeu) + "\r\n" +
                            std::string(textos::SeraRecebida) + identificador +
                            std::string(textos::SeConectar) + "\r\n" + mensagem;
  Disparar(OnConfirmaEnvio, *this, identificador, false, uint8_t{1}, aviso);
}

void TComunicadorYahoo::MudarStatus(uint8_t status) {
  Status = status;
  if (!conectado_ && status != StatusDesconectado) {
    // A login already under way sends the status it ends up with.
    if (!Conectando) Conectar();
    return;
  }
  if (status == StatusDesconectado) {
    Desconectar(niu_);
    return;
  }
  const TStatusYahoo y = StatusYahoo(Status);
  sessao_.MudarStatus(y.status, y.ausente, {});
}

void TComunicadorYahoo::AdicionarContato(const std::string& identificador) {
  TInterfaceComunicador::AdicionarContato(identificador);
  sessao_.AdicionarContato(identificador, std::string(textos::GrupoPadrao));
  Disparar(AoConfirmar, *this);
}

void TComunicadorYahoo::RemoverContato(const std::string& identificador) {
  if (!ListaContatos.Remover(identificador)) return;
  sessao_.RemoverContato(identificador);
}

void TComunicadorYahoo::Anunciar(const std::string& id, uint32_t status, bool ausente) {
  TUsuario* u = ListaContatos.Localizar(id);
  if (u == nullptr) {
    auto novo = std::make_unique<TUsuario>();
    novo->Identificador = id;
    novo->Apelido = id;
    novo->Rede = "YAH";
    novo->Adaptador = this;
    u = ListaContatos.Adicionar(id, std::move(novo));
  }
  const int32_t codigo = StatusDoPrograma(status, ausente);
  u->Status = static_cast<int16_t>(codigo);
  ReceberContato(niu_, niu_, id, id, std::to_string(codigo),
                 codigo == StatusDesconectado ? 'D' : 'C', NomeComunicador);
}

void TComunicadorYahoo::MensagemRecebida(const std::string& id, const std::string& texto,
                                         bool utf8) {
  const TUsuario* u = ListaContatos.Localizar(id);
  const bool online = u && u->Status != StatusDesconectado;
  ReceberMensagem(niu_, utf8 ? cp1252::FromUtf8(texto) : texto, id, online ? "1" : "3",
                  NomeComunicador, id, online);
}

}  // namespace tazu::yahoo
