// What the windows ask of the Tazu session: connecting, identifying, leaving,
// and the commands, checked before they are built; the rules they follow are
// in SessaoTazu.cpp.
#include "core/ProtocoloTazu.h"
#include "core/UGlobal.h"
#include "server/SessaoTazu.h"
#include "server/Textos.h"

namespace tazu {

using namespace std::chrono_literals;
using E = TEstadoTazu;

void TSessaoTazu::Conectar() {
  if (socketAberto_) FecharConexao();
  e_.Conectando = true;
  e_.AguardandoConexao = true;
  if (e_.PortaServidor <= 0 || e_.PortaServidor > 65535) {
    AbrirFalhou();
    return;
  }
  Agir(acao::Abrir{e_.IPServidor, static_cast<uint16_t>(e_.PortaServidor)});
}

void TSessaoTazu::AbrirFalhou() {
  e_.Conectando = false;
  Erro(1000, std::string(textos::SemConexao));
  Avisar(acao::Aviso::FinalizarAplicativo);
}

void TSessaoTazu::ConstruirEnderecoLocal() {
  e_.EnderecoLocal =
      Separador + enderecoLocal_ + Separador + std::to_string(portaLocal_) + Separador;
}

void TSessaoTazu::Identificar(uint8_t status) {
  e_.ComandoPendente = E::PendenteIdentificacao;
  e_.RespostaOk = true;
  e_.Status = status;
  ConstruirEnderecoLocal();
  Enviar("[CVER]" + e_.EnderecoLocal + std::to_string(e_.NIU) + Separador +
         std::string(textos::VersaoDoCliente) + Separador + std::string(textos::TipoDoCliente) +
         Separador + std::string(textos::NomeDoProduto));
}

void TSessaoTazu::IdentificarCadastro(uint8_t porApelido, const std::string& numeroOuApelido) {
  e_.Conectando = true;
  e_.ComandoPendente = E::PendenteCadastro;
  e_.RespostaOk = true;
  e_.Status = StatusConectado;
  ConstruirEnderecoLocal();
  const std::string quem = CodificarApelido(numeroOuApelido);
  Comando("CVER", {enderecoLocal_, std::to_string(portaLocal_), quem, textos::VersaoDoCliente,
                   textos::TipoDoCliente, textos::NomeDoProduto, std::to_string(porApelido)});
}

void TSessaoTazu::Desconectar() {
  e_.Status = StatusDesconectado;
  e_.RespostaOk = true;
  e_.ComandoPendente = E::PendenteDesconexao;
  Comando("CDSC");
}

void TSessaoTazu::DesconectarEFechar() {
  Desconectar();
  IniciarSaida(true);
}

void TSessaoTazu::Sair() {
  e_.RespostaOk = true;
  e_.ComandoPendente = E::PendenteSaida;
  Comando("CDSC");
  IniciarSaida(false);
}

void TSessaoTazu::IniciarSaida(bool fecha) {
  saidaFecha_ = fecha;
  prazoSaida_ = relogio_() + 500ms;
}

void TSessaoTazu::Enviar(const std::string& texto) {
  const std::string bytes = PrepararEnvio(texto, e_.Criptografia);
  if (bytes.empty()) return;
  Depurar(textos::Enviando, RemoverQuebrasFinais(texto));
  Agir(acao::Enviar{bytes});
}

void TSessaoTazu::Comando(std::string_view codigo,
                          std::initializer_list<std::string_view> campos) {
  if (const auto linha = MontarComando(codigo, campos)) {
    Enviar(*linha);
  } else {
    Erro(4, std::string(textos::CampoRecusadoAntes) + std::string(codigo) +
                std::string(textos::CampoRecusadoDepois));
  }
}

void TSessaoTazu::Comando(std::string_view codigo, const std::vector<std::string>& campos) {
  if (const auto linha = MontarComando(codigo, campos)) {
    Enviar(*linha);
  } else {
    Erro(4, std::string(textos::CampoRecusadoAntes) + std::string(codigo) +
                std::string(textos::CampoRecusadoDepois));
  }
}

void TSessaoTazu::ComandoDeValores(std::string_view codigo,
                                   std::initializer_list<std::string_view> campos) {
  for (std::string_view campo : campos) {
    if (campo.find(kSeparador) != std::string_view::npos) {
      Erro(4, std::string(textos::CampoRecusadoAntes) + std::string(codigo) +
                  std::string(textos::SeparadorRecusadoDepois));
      return;
    }
  }
  Comando(codigo, campos);
}

void TSessaoTazu::Pedido(int32_t pendente, std::string_view codigo,
                         std::initializer_list<std::string_view> campos) {
  e_.ComandoPendente = pendente;
  e_.RespostaOk = true;
  Comando(codigo, campos);
}

void TSessaoTazu::MudarStatus(uint8_t status) {
  if (status == e_.Status) return;
  e_.Status = status;
  if (status != StatusDesconectado && e_.Conectado) {
    Comando("CNMS", {std::to_string(status)});
  } else if (status != StatusDesconectado) {
    Conectar();
  } else {
    Desconectar();
  }
}

}  // namespace tazu
