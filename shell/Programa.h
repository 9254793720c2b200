// The program as a whole: the Tazu client, the shared context, the hidden main
// form and the manager, and the start-up that ties them together. The
// executable's main() is ExecutarTazuMessenger; tests build a TPrograma on
// their own runtime and drive it the same way.
#pragma once

#include <functional>
#include <memory>

#include "net/Runtime.h"
#include "shell/Contexto.h"
#include "shell/InstanciaUnica.h"
#include "shell/LinhaDeComando.h"

namespace tazu {

class TFrmGerenciador;
class TFrmPrincipal;

class TPrograma {
 public:
  // The client's address until the settings say otherwise.
  static constexpr const char* ServidorPadrao = "127.0.0.1";
  static constexpr int PortaPadrao = 7498;

  TPrograma(net::Runtime& runtime, TOpcoesDoPrograma opcoes);
  ~TPrograma();
  TPrograma(const TPrograma&) = delete;
  TPrograma& operator=(const TPrograma&) = delete;

  TContexto& Contexto() { return *ctx_; }
  TClientePCTazu& Cliente() { return *cliente_; }
  TFrmPrincipal& Principal() { return *principal_; }
  TFrmGerenciador& Gerenciador() { return *gerenciador_; }

  // What the splash does on its first tick: the tray, the manager, the
  // client's events, the settings and the last user; connects at once with a
  // remembered password or with the command line's user.
  void Iniciar();
  // As the splash closes: the wait window while the connection is under way.
  void AposAbertura();
  void IniciaLogin();

 private:
  void CarregarDados();
  void FecharJanelas();

  net::Runtime& runtime_;
  TOpcoesDoPrograma opcoes_;
  std::unique_ptr<TClientePCTazu> cliente_;
  std::unique_ptr<TContexto> ctx_;
  std::unique_ptr<TFrmPrincipal> principal_;
  std::unique_ptr<TFrmGerenciador> gerenciador_;
};

// The single-copy guard of the program entry: false, after the early
// information box, when another copy runs.
bool VerificarInstanciaUnica(TInstanciaUnica& guarda, const TCaixas& caixas);

// What the executable brings along: the runtime the client lives on (made
// once the application object exists) and the outside networks it offers.
struct TPecasDoPrograma {
  std::function<std::unique_ptr<net::Runtime>()> CriarRuntime;
  std::function<void(TClientePCTazu&)> RegistrarRedes;
};

// The program entry of tazu-messenger.
int ExecutarTazuMessenger(int argc, char** argv, const TPecasDoPrograma& pecas);

}  // namespace tazu
