// The adapter's rules.
//
// Sending: nothing goes while the own status is invisible (MSN does not let
//   a hidden user talk) or to a contact that is not listed online (MSN keeps
//   no offline messages); both are answered at once with OnConfirmaEnvio
//   false and the reason followed by the text. Otherwise the client carries
//   the text and its fate comes back as OnConfirmaEnvio.
// Contacts: every announcement of the client updates the roster entry (a new
//   entry takes the nickname; an existing one keeps its own) and goes to the
//   hub with list letter "D" when offline and "C" otherwise. A message from
//   someone not in the roster enters them with status 255 first.
// Status: code 3 logs off; any other logs on when needed, else announces it.
// Leaving: a logged-in client logs off first (OUT), and its AoDesconectar
//   brings us back here; then the base disconnect (OnDesconectar, out of the
//   adapter list) happens once, and the hub frees the adapter later.
#include "msn/ComunicadorMSN.h"

#include "base/Eventos.h"
#include "msn/Textos.h"

namespace tazu::msn {

TComunicadorMSN::TComunicadorMSN(net::Runtime& runtime, uint8_t status,
                                 const std::string& identificador, const std::string& senha,
                                 const std::string& host, uint16_t porta)
    : TInterfaceComunicador(runtime), cliente_(std::make_unique<TClienteMSN>(runtime)) {
  NomeComunicador = "MSN";
  NomeComunidade = std::string(textos::NomeDaComunidade);
  Conta = identificador;
  Status = status;
  Senha = senha;
  Servidor = host;
  Porta = porta;
  cliente_->Identificador = identificador;
  cliente_->Senha = senha;
  cliente_->DefinirServidor(host, porta);
  cliente_->ApontarConectando(&Conectando);
  LigarEventos();
}

TComunicadorMSN::~TComunicadorMSN() {
  cliente_.reset();
}

void TComunicadorMSN::LigarEventos() {
  TClienteMSN& c = *cliente_;
  c.AoConectar = [this](TClienteMSN&) { Disparar(OnConectar, *this); };
  c.AoDesconectar = [this](TClienteMSN&) { Desconectar(textoNIU_); };
  c.AoFalharConexao = [this](TClienteMSN&, uint16_t, const std::string&) { FalhaConexao(); };
  c.AoReceberContato = [this](TClienteMSN&, const std::string& id, const std::string& apelido,
                              uint8_t status) { AnunciarContato(id, apelido, status); };
  c.AoMudarStatusContato = c.AoReceberContato;
  c.AoReceberMensagem = [this](TClienteMSN&, uint32_t, const std::string& id,
                               const std::string& apelido,
                               const std::string& texto) { MensagemChegou(id, apelido, texto); };
  c.AoErroAdicionando = [this](TClienteMSN&, const std::string& id) {
    Disparar(OnUsuarioNaoExiste, *this, id);
  };
  c.AoAdicionarComSucesso = [this](TClienteMSN&, const std::string& id) {
    Disparar(AoAdicionarComSucesso, *this, id);
  };
  c.AoConfirmarEnvio = [this](TClienteMSN&, uint32_t, const std::string& id) {
    Confirmar(id, true, {});
  };
  c.AoFalharEnvio = [this](TClienteMSN&, uint32_t, const std::string& id,
                           const std::string& texto) {
    Confirmar(id, false, std::string(textos::ErroAoEnviar) + texto);
  };
}

void TComunicadorMSN::Confirmar(const std::string& id, bool recebido, const std::string& texto) {
  Disparar(OnConfirmaEnvio, *this, id, recebido, uint8_t{1}, texto);
}

// ---- Operations ----

void TComunicadorMSN::Conectar() {
  Conectando = Status != 3;
  cliente_->Conectar(static_cast<uint8_t>(Status));
}

void TComunicadorMSN::Desconectar(const std::string& motivo) {
  if (cliente_->LoggedIn()) {
    cliente_->Desconectar();  // AoDesconectar brings us back here
    return;
  }
  if (desconectado_) return;
  desconectado_ = true;
  cliente_->Desconectar();  // a login in progress is abandoned
  TInterfaceComunicador::Desconectar(motivo);
}

void TComunicadorMSN::EnviarMensagem(const std::string&, const std::string& identificador,
                                     const std::string& mensagem) {
  if (cliente_->Status() == 2) {
    Confirmar(identificador, false, std::string(textos::NaoEnviaInvisivel) + mensagem);
    return;
  }
  const TUsuario* u = ListaContatos.Localizar(identificador);
  if (u && u->Status != 3 && u->Status != 2) {
    cliente_->EnviarMensagem(identificador, mensagem);
  } else {
    Confirmar(identificador, false, std::string(textos::NaoEnviaDesconectado) + mensagem);
  }
}

void TComunicadorMSN::MudarStatus(uint8_t status) {
  Status = status;
  if (status == 3) {
    Desconectar(textoNIU_);
  } else if (cliente_->LoggedIn() || cliente_->Conectando()) {
    // While logging in the state is only kept: the login announces it.
    cliente_->MudarStatus(status);
  } else {
    Conectar();
  }
}

void TComunicadorMSN::AdicionarContato(const std::string& identificador) {
  TInterfaceComunicador::AdicionarContato(identificador);
  cliente_->AdicionarContato(identificador, identificador);
}

void TComunicadorMSN::RemoverContato(const std::string& identificador) {
  if (!ListaContatos.Remover(identificador)) return;
  cliente_->RemoverContato(identificador);
}

// ---- What the client reports ----

TUsuario* TComunicadorMSN::Registro(const std::string& id, const std::string& apelido,
                                    int16_t status) {
  if (TUsuario* u = ListaContatos.Localizar(id)) return u;
  auto novo = std::make_unique<TUsuario>();
  novo->Identificador = id;
  novo->Apelido = apelido;
  novo->Rede = "MSN";
  novo->Adaptador = this;
  novo->Status = status;
  return ListaContatos.Adicionar(id, std::move(novo));
}

void TComunicadorMSN::AnunciarContato(const std::string& id, const std::string& apelido,
                                      uint8_t status) {
  Registro(id, apelido, status)->Status = status;
  ReceberContato(textoNIU_, textoNIU_, apelido, id, std::to_string(status), status == 3 ? 'D' : 'C',
                 NomeComunicador);
}

void TComunicadorMSN::MensagemChegou(const std::string& id, const std::string& apelido,
                                     const std::string& texto) {
  Registro(id, apelido, 255);
  ReceberMensagem(textoNIU_, texto, id, "1", NomeComunicador, apelido, true);
}

}  // namespace tazu::msn
