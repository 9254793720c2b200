#include <string>
#include <vector>

#include "base/Cp1252.h"
#include "cli/AplicacaoCli.h"
#include "core/UGlobal.h"

namespace tazu::cli {

bool LerOpcoes(const std::vector<std::string>& args, TOpcoes& o, std::string& erro) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto valor = [&](std::string& destino) {
      if (i + 1 >= args.size()) {
        erro = a + " precisa de um valor";
        return false;
      }
      destino = args[++i];
      return true;
    };
    std::string v;
    uint32_t n = 0;
    if (a == "--help" || a == "-h") {
      o.ajuda = true;
    } else if (a == "--debug") {
      o.depurar = true;
    } else if (a == "--server") {
      if (!valor(v)) return false;
      const std::size_t p = v.rfind(':');
      if (p == std::string::npos || p == 0 || !LerNumero(v.substr(p + 1), 65535, n) || n == 0) {
        erro = "--server espera HOST:PORTA, recebeu " + v;
        return false;
      }
      o.host = v.substr(0, p);
      o.porta = static_cast<int>(n);
    } else if (a == "--niu") {
      if (!valor(v)) return false;
      if (!LerNumero(v, 65535, n)) {
        erro = "--niu espera um número de 0 a 65535, recebeu " + v;
        return false;
      }
      o.temNiu = true;
      o.niu = static_cast<uint16_t>(n);
    } else if (a == "--password") {
      if (!valor(v)) return false;
      o.senha = cp1252::FromUtf8(v);
    } else if (a == "--status") {
      if (!valor(v)) return false;
      if (!LerNumero(v, 255, n) || n == 3 || n == 0) {
        erro = "--status espera um código de status diferente de 0 e 3, recebeu " + v;
        return false;
      }
      o.status = static_cast<uint8_t>(n);
    } else if (a == "--home") {
      if (!valor(o.home)) return false;
    } else {
      erro = "opção desconhecida: " + a;
      return false;
    }
  }
  return true;
}

std::string Ajuda() {
  return R"(tazu-cli: the Tazu Messenger client without windows, for scripts, bots and tests.

Usage:
  tazu-cli --server HOST:PORT --niu N --password P [--status CODE] [--home DIR] [--debug]
  tazu-cli --server HOST:PORT [--home DIR]          (offline, e.g. to register)

Options:
  --server HOST:PORT  the Tazu server (default 127.0.0.1:7498)
  --niu N             the user's number; with it the client connects at start
  --password P        the user's password
  --status CODE       the status to log in with (default 1)
  --home DIR          the data root (histories go to DIR/Hst); default: $TAZU_HOME,
                      else the executable's directory
  --debug             protocol lines on standard error
  --help              this text

Standard input: one command per line (UTF-8). Words are separated by blanks; a
word in "double quotes" may hold blanks or be empty ("" ), with \" and \\ inside.
The last argument of msg, authreq, search and setinfo takes the rest of the line.
COMMUNITY is Tazu, ICQ, MSN or Yahoo (in any case). Commands typed while a
login is under way wait until it has ended.

  msg COMMUNITY ID TEXT        send a message; \n in TEXT is a line break
  status CODE                  own status: 1 Conectado, 2 Invisivel, 3 Desconectado,
                               5 Nao Perturbe, 6 Ocupado, 7 Livre para Chat, 8 Longe
  netstatus COMMUNITY CODE     status of one outside network (0 = follow own status)
  add COMMUNITY ID             add a contact
  remove COMMUNITY ID          remove a contact
  authreq COMMUNITY ID TEXT    ask a contact for authorisation
  grant COMMUNITY ID           grant an authorisation request
  reject COMMUNITY ID          refuse an authorisation request
  search COMMUNITY KIND TEXT   search: KIND 1 number, 2 nickname, 3 name, 4 e-mail,
                               5 nickname and name (TEXT = NICK|NAME)
  endsearch                    end the search on the server
  info COMMUNITY ID            ask for a user's published information
  setinfo BLOCK TEXT           publish own information: BLOCK 1 personal, 2 work;
                               TEXT holds the block's fields separated by §
  accounts                     ask for the outside accounts stored on the server
  setaccounts USE_ICQ UIN PASSWORD USE_MSN EMAIL PASSWORD USE_YAHOO ID PASSWORD
                               store the outside accounts (USE_* is 1 or 0)
  register V1 ... V20          register a new user (offline only): nickname, full
                               name, password, sex (M/F/D), birth date, city, state,
                               country, postal code, "", "", three languages, mobile,
                               home phone, work phone, e-mail, needs authorisation
                               (1/0), do not publish (1/0); then logs in as that user
  identify BYNICK NUMBER_OR_NICK PASSWORD
                               identify an existing user (offline only): BYNICK 1 to
                               give a nickname, 0 to give a number
  contacts                     print the contact list
  disconnect                   disconnect from the server (the program goes on)
  quit                         quit (end of input does the same)

Standard output: one JSON object per line for every event of the client:
  {"event": "<event name>", "<argument>": <value>, ...}
with the arguments under their names (Numero, Descricao, Contato, Mensagem,
Comunicador, Identificador, ...). A contact is an object with the fields NIU,
Apelido, Lista, Status, Origem, Conectado, Nativo, Identificador, Comunicador;
message lines are arrays of strings. Besides the client's events:
  {"event": "erro", "Descricao": ...}      a command that does not read or cannot be
                                           carried out (offline, the network is not
                                           connected, ...); a history line not written
  {"event": "aviso", "Descricao": ...}     a notice the windows would show in a box
  {"event": "contatos", "Contatos": [...]} the answer to contacts

Received and sent messages are written to the conversation history (Hst/).
Exit status: 0 after quit or end of input; 1 when the client ended the program
by itself (the server could not be reached, the connection broke, or the server
ended a login); 2 for bad options. A session the server closes (for instance
because the user logged in elsewhere) leaves the program running, offline,
until quit.
)";
}

}  // namespace tazu::cli
