// The connection life cycle of the Tazu client. Its rules:
//
// Connecting: Conectar opens the socket (an address that cannot even be tried
//   is error 1000 and the end of the program); once connected, AoConectarServidor
//   tells the windows, which answer with Identificar (CVER). The server's RVER
//   hands out the user's number and the scrambling key, and the client answers
//   CCON at once, already scrambled when the key is not 0. RCCA accepts the
//   login, RERR refuses it; RUAC brings the nickname.
// Reading: every read is cut into lines (an unfinished line waits for the next
//   read, up to 1 MiB); each line is unscrambled, trimmed and dispatched. After
//   the lines of a read the pending request is settled, if one of them replied.
// Keep-alive: every 60 s a CPNG; 20 s without RPNG raise error 1001 and send
//   CDSC, again every 20 s until an RPNG comes or the connection is gone.
// Leaving: Desconectar sends CDSC and waits for the server to close;
//   DesconectarEFechar closes by itself 500 ms later; Sair raises
//   AoFinalizarAplicativo once, on SDSC or 500 ms later, whichever is first.
// Losing the connection (peer close, a local close, an error) runs the clean-up:
//   adapters disconnected, contacts and adapters forgotten, scrambling off,
//   AoDesconectarServidor. An error while connected also quits, as Sair does.
#include "server/UClientePCTazu.h"

#include "base/Eventos.h"
#include "core/UGlobal.h"
#include "server/Textos.h"

namespace tazu {

using namespace std::chrono_literals;

TClientePCTazu::TClientePCTazu(net::Runtime& runtime) : runtime_(runtime) {
  Criptografia.Chave = 0;
  socket_ = runtime_.CreateTcpSocket();
  socket_->onConnected = [this] { AoSocketConectado(); };
  socket_->onData = [this](std::string_view d) { AoSocketDados(d); };
  socket_->onClosed = [this] { AoSocketFechado(); };
  socket_->onError = [this](net::SocketError e, const std::string& m) { AoSocketErro(e, m); };
  timerPing_ = runtime_.CreateTimer();
  timerPing_->onTimeout = [this] { TickPing(); };
  timerResposta_ = runtime_.CreateTimer();
  timerResposta_->onTimeout = [this] { TickResposta(); };
  Contatos.AoLiberarContato = [this](TContato* c) { Disparar(AoRemoverContato, *this, c); };
}

TClientePCTazu::~TClientePCTazu() {
  vivo_.End();
  // Nothing reaches the windows any more; adapters still alive are freed here.
  Contatos.AoLiberarContato = nullptr;
  for (auto& a : adaptadores_) {
    a->OnDesconectar = nullptr;
    a->AoRemover = nullptr;
  }
  Comunicadores.Limpar();
  adaptadores_.clear();
}

void TClientePCTazu::Depurar(const std::string& linha) { Disparar(AoDepurar, *this, linha); }

void TClientePCTazu::Conectar() {
  if (socket_->IsConnected()) FecharConexao();
  Conectando = true;
  AguardandoConexao = true;
  leitor_.Limpar();
  const bool portaValida = PortaServidor > 0 && PortaServidor <= 65535;
  if (!portaValida || !socket_->Connect(IPServidor, static_cast<uint16_t>(PortaServidor))) {
    Disparar(AoReceberErro, *this, 1000, std::string(textos::SemConexao));
    Disparar(AoFinalizarAplicativo, *this);
  }
}

void TClientePCTazu::AoSocketConectado() {
  Conectando = false;
  Conectado = true;
  Disparar(AoConectarServidor, *this);
  timerPing_->Start(60s);
}

void TClientePCTazu::ConstruirEnderecoLocal() {
  EnderecoLocal = Separador + socket_->LocalAddress() + Separador +
                  std::to_string(socket_->LocalPort()) + Separador;
}

void TClientePCTazu::Identificar(uint8_t status) {
  ComandoPendente = PendenteIdentificacao;
  RespostaOk = true;
  Status = status;
  ConstruirEnderecoLocal();
  Enviar("[CVER]" + EnderecoLocal + std::to_string(NIU) + Separador +
         std::string(textos::VersaoDoCliente) + Separador + std::string(textos::TipoDoCliente) +
         Separador + std::string(textos::NomeDoProduto));
}

void TClientePCTazu::IdentificarCadastro(uint8_t porApelido, const std::string& numeroOuApelido) {
  Conectando = true;
  ComandoPendente = PendenteCadastro;
  RespostaOk = true;
  Status = StatusConectado;
  ConstruirEnderecoLocal();
  Enviar("[CVER]" + EnderecoLocal + CodificarApelido(numeroOuApelido) + Separador +
         std::string(textos::VersaoDoCliente) + Separador + std::string(textos::TipoDoCliente) +
         Separador + std::string(textos::NomeDoProduto) + Separador +
         std::to_string(porApelido));
}

void TClientePCTazu::Desconectar() {
  Status = StatusDesconectado;
  RespostaOk = true;
  ComandoPendente = PendenteDesconexao;
  EnviarComando("CDSC");
}

void TClientePCTazu::DesconectarEFechar() {
  Desconectar();
  saidaFecha_ = true;
  if (!timerSaida_) {
    timerSaida_ = runtime_.CreateTimer();
    timerSaida_->onTimeout = [this] { TickSaida(); };
  }
  timerSaida_->Start(500ms, false);
}

void TClientePCTazu::Sair() {
  RespostaOk = true;
  ComandoPendente = PendenteSaida;
  EnviarComando("CDSC");
  saidaFecha_ = false;
  if (!timerSaida_) {
    timerSaida_ = runtime_.CreateTimer();
    timerSaida_->onTimeout = [this] { TickSaida(); };
  }
  timerSaida_->Start(500ms, false);
}

void TClientePCTazu::TickSaida() {
  // The timer is released before anything is raised; the handlers may end the
  // program or connect again.
  const bool fecha = saidaFecha_;
  runtime_.Post([t = std::shared_ptr<net::Timer>(std::move(timerSaida_))] {});
  if (fecha) {
    ComandoPendente = PendenteNenhum;
    FecharConexao();
  } else {
    Disparar(AoFinalizarAplicativo, *this);
  }
}

void TClientePCTazu::Enviar(const std::string& texto) {
  const std::string bytes = PrepararEnvio(texto, Criptografia);
  if (bytes.empty()) return;
  Depurar(std::string(textos::Enviando) + RemoverQuebrasFinais(texto));
  socket_->Send(bytes);
}

void TClientePCTazu::EnviarComando(std::string_view codigo,
                                   std::initializer_list<std::string_view> campos) {
  Enviar(MontarLinha(codigo, campos));
}

void TClientePCTazu::TickPing() {
  if (!Conectado) return;
  EnviarComando("CPNG");
  timerResposta_->Start(20s);
}

void TClientePCTazu::TickResposta() {
  Disparar(AoReceberErro, *this, 1001, std::string(textos::ComunicacaoPerdida));
  Desconectar();
}

void TClientePCTazu::AoSocketFechado() { LimpezaDeDesconexao(); }

void TClientePCTazu::AoSocketErro(net::SocketError, const std::string& mensagem) {
  Depurar(mensagem);
  if (Conectando) Disparar(AoReceberErro, *this, 0, std::string(textos::ErroDeComunicacao));
  Conectando = false;
  if (Conectado) {
    Conectado = false;
    Sair();
  }
  LimpezaDeDesconexao();
}

void TClientePCTazu::FecharConexao() {
  const bool estava = socket_->IsConnected();
  socket_->Close();
  if (estava) LimpezaDeDesconexao();
}

void TClientePCTazu::DesconectarComunicadores() {
  const std::string niu = std::to_string(NIU);
  for (const char* nome : {"ICQ", "MSN", "Yahoo", "AIM"}) {
    if (Comunicadores.Localizar(nome)) Comunicadores.ComunicadorAtual()->Desconectar(niu);
  }
}

void TClientePCTazu::LimpezaDeDesconexao() {
  Desligando = true;
  Conectado = false;
  Status = StatusDesconectado;
  timerResposta_->Stop();
  timerPing_->Stop();
  leitor_.Limpar();
  DesconectarComunicadores();
  for (TInterfaceComunicador* c : Comunicadores) c->AoRemover = nullptr;
  Comunicadores.Limpar();
  Contatos.Limpar();
  for (std::string& conta : Contas) conta.clear();
  Criptografia.Chave = 0;
  Disparar(AoDesconectarServidor, *this);
  Conectando = false;
  Desligando = false;
}

void TClientePCTazu::RegistrarFabrica(int tipo, TFabricaComunicador fabrica) {
  fabricas_[tipo] = std::move(fabrica);
}

}  // namespace tazu
