// tazu-messenger: everything lives in the shell; see tazu-messenger --help.
#include "shell/Programa.h"

int main(int argc, char** argv) {
  return tazu::ExecutarTazuMessenger(argc, argv);
}
