// Where the program keeps its data, and the few file operations every store of
// it needs. The data root is the executable's directory, so a copy of the
// program carries its users, histories and skin along; TAZU_HOME overrides it
// (tests and the demo always set it). Directories come back ending in '/'.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace tazu {

// $TAZU_HOME when set and non-empty, else the directory of the running
// executable.
std::string DiretorioRaiz();
std::string DiretorioDados();      // settings and the local user store
std::string DiretorioHistorico();  // conversation histories
std::string DiretorioSkin();       // the look of every window

// Creates the directory with exactly `modo`, whatever the umask. A directory
// that already exists is left as it is (its mode included) and counts as
// success.
bool CriarDiretorio(const std::string& caminho, mode_t modo, std::string* erro = nullptr);

enum class TLeitura { Lido, Ausente, Falhou };

// Reads the whole file. `Ausente` only when the file does not exist: callers
// treat a missing file as empty, but must not treat an unreadable one so.
TLeitura LerArquivo(const std::string& caminho, std::string& conteudo, std::string* erro = nullptr);

// Replaces the file with `conteudo` so that, whatever happens, the file holds
// either its old bytes or all the new ones: the bytes go to `temporario` (in the
// same directory), are flushed to disk, and the temporary is renamed over the
// file. Both end with exactly `modo`, whatever the umask. On failure the file
// is untouched and the temporary removed.
bool SubstituirArquivoVia(const std::string& caminho, const std::string& temporario,
                          std::string_view conteudo, mode_t modo, std::string* erro = nullptr);

// The same, with `caminho` + ".tmp" as the temporary.
bool SubstituirArquivo(const std::string& caminho, std::string_view conteudo, mode_t modo,
                       std::string* erro = nullptr);

}  // namespace tazu
