#include "shell/LinhaDeComando.h"

#include "base/Cp1252.h"
#include "core/UGlobal.h"

namespace tazu {

bool LerLinhaDeComando(const std::vector<std::string>& args, TOpcoesDoPrograma& o,
                       std::string& erro) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string v;
    auto valor = [&] {
      if (i + 1 >= args.size()) {
        erro = a + " precisa de um valor";
        return false;
      }
      v = args[++i];
      return true;
    };
    uint32_t n = 0;
    if (a == "--help" || a == "-h") {
      o.Ajuda = true;
    } else if (a == "--home") {
      if (!valor()) return false;
      if (v.empty()) {
        erro = "--home espera uma pasta";
        return false;
      }
      o.Home = v;
    } else if (a == "--server") {
      if (!valor()) return false;
      const std::size_t p = v.rfind(':');
      if (p == std::string::npos || p == 0 || !LerNumero(v.substr(p + 1), 65535, n) || n == 0) {
        erro = "--server espera HOST:PORTA, recebeu " + v;
        return false;
      }
      o.Servidor = v.substr(0, p);
      o.Porta = static_cast<uint16_t>(n);
    } else if (a == "--niu") {
      if (!valor()) return false;
      if (!LerNumero(v, 65535, n) || n == 0) {
        erro = "--niu espera um número de 1 a 65535, recebeu " + v;
        return false;
      }
      o.NIU = static_cast<uint16_t>(n);
    } else if (a == "--password") {
      if (!valor()) return false;
      o.Senha = cp1252::FromUtf8(v);
    } else {
      erro = "opção desconhecida: " + a;
      return false;
    }
  }
  if (o.NIU.has_value() != !o.Senha.empty()) {
    erro = "--niu e --password vão juntos";
    return false;
  }
  return true;
}

std::string TextoDeAjuda() {
  return R"(tazu-messenger: the Tazu Messenger desktop client.

Usage:
  tazu-messenger [--home DIR] [--server HOST:PORT] [--niu N --password P]

Options:
  --home DIR          the data root: settings and users in DIR/Dados, histories in
                      DIR/Hst, the look of every window in DIR/Skin. Default:
                      $TAZU_HOME, else the executable's folder
  --server HOST:PORT  the Tazu server for this run (the settings file keeps its own)
  --niu N             sign in at start as user N with --password, without the login
                      window, as a remembered password does; the user joins this
                      computer's users if new, but the password is not stored
  --password P        the password for --niu
  --help              this text

Only one copy runs per session: a second one says so and ends with status 1.
Qt's own options (-platform, -display, ...) are accepted too.
)";
}

}  // namespace tazu
