// The command line of tazu-messenger.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tazu {

struct TOpcoesDoPrograma {
  bool Ajuda = false;
  std::string Home;                     // empty: $TAZU_HOME, else the executable's folder
  std::optional<std::string> Servidor;  // overrides the settings for this run
  std::optional<uint16_t> Porta;
  std::optional<uint16_t> NIU;  // sign in at start, with Senha
  std::string Senha;            // Windows-1252
};

// False with `erro` (UTF-8, for the terminal) on a malformed command line.
// Qt's own options (-platform and the like) are taken out before this runs.
bool LerLinhaDeComando(const std::vector<std::string>& args, TOpcoesDoPrograma& opcoes,
                       std::string& erro);
std::string TextoDeAjuda();

}  // namespace tazu
