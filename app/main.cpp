// tazu-messenger: the windows live in the shell; the program brings its
// runtime (Qt's event loop) and the outside networks. See --help.
#include "net/qt/QtRuntime.h"
#include "redes/Redes.h"
#include "shell/Programa.h"

int main(int argc, char** argv) {
  tazu::TPecasDoPrograma pecas;
  pecas.CriarRuntime = [] { return std::make_unique<tazu::net::QtRuntime>(); };
  pecas.RegistrarRedes = tazu::RegistrarRedes;
  return tazu::ExecutarTazuMessenger(argc, argv, pecas);
}
