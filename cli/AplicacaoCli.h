// tazu-cli without its terminal: commands come in as lines of UTF-8 text, every
// event of the client goes out as one line of JSON. The program around it
// (main.cpp) only moves lines between this object and stdin/stdout.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/Runtime.h"
#include "server/ObservadorDeEventos.h"
#include "server/UClientePCTazu.h"

namespace tazu::cli {

struct TOpcoes {
  std::string host = TClientePCTazu::kIPPadrao;
  int porta = 7498;
  bool temNiu = false;
  uint16_t niu = 0;
  std::string senha;  // Windows-1252
  uint8_t status = 1;
  std::string home;
  bool depurar = false;
  bool ajuda = false;
};

// Reads the command line; false with `erro` set when it does not read.
bool LerOpcoes(const std::vector<std::string>& argumentos, TOpcoes& opcoes, std::string& erro);

// The text of --help.
std::string Ajuda();

// Splits a command line into words: blanks separate them, "double quotes"
// group blanks (and give the empty word ""), \" and \\ escape inside quotes.
// When `ultimoLivre` is set, the last word is the rest of the line exactly as
// typed after the words before it. False when quotes do not close.
bool DividirComando(const std::string& linha, std::size_t palavras, bool ultimoLivre,
                    std::vector<std::string>& saida);

// A message's lines as one text, as histories keep it (CR LF between lines).
std::string JuntarLinhas(const std::vector<std::string>& linhas);

// The texts of the messages on their way, per conversation, oldest first. A
// conversation is its community and the identifier as the network compares it
// (a Tazu number in decimal, others without regard to case).
class TTextosEmTransito {
 public:
  void Enviado(const std::string& comunidade, const std::string& identificador, std::string texto);
  // The oldest text to that conversation, taken out; empty when none waits.
  std::string Confirmado(const std::string& comunidade, const std::string& identificador);
  void Esquecer() { textos_.clear(); }

 private:
  static std::string Conversa(const std::string& comunidade, const std::string& identificador);
  std::map<std::string, std::deque<std::string>> textos_;
};

class TAplicacaoCli {
 public:
  TAplicacaoCli(net::Runtime& runtime, TOpcoes opcoes);

  // One line of JSON (UTF-8, no line end) per event.
  std::function<void(const std::string& json)> saida;
  // Debug lines of the protocol, when --debug is on.
  std::function<void(const std::string& linha)> depuracao;
  // The program must end with this exit code.
  std::function<void(int codigo)> aoTerminar;

  // Connects when a NIU was given.
  void Iniciar();
  // One line of standard input (UTF-8, without its line end).
  void Comando(const std::string& linhaUtf8);
  // Standard input ended: quit as `quit` does.
  void FimDaEntrada();

  TClientePCTazu& Cliente() { return cliente_; }

 private:
  enum class TModo { Login, Cadastro, Identificacao };
  using TArgumentos = std::vector<std::string>;
  using TExecutor = void (TAplicacaoCli::*)(const TArgumentos&);
  struct TSintaxe;
  static const std::map<std::string, TSintaxe>& Sintaxes();

  // Events (AplicacaoCli.cpp).
  void LigarEventos();
  void LigarLogin();
  void LigarFimDoLogin();
  void LigarHistorico();
  void Erro(const std::string& descricao);
  void Emitir(const std::string& evento, const std::string& campo, const std::string& texto);
  void Sair();
  void Terminar(int codigo);
  void Conectar(TModo modo);
  void EsperarLogin(TModo modo);
  void LoginTerminou();
  void Gravar(const std::string& comunidade, const std::string& identificador, int tipo,
              const std::string& texto, const std::string& cabecalho);
  void GravarEnviada(const std::string& comunidade, const std::string& identificador, int tipo,
                     const std::string& cabecalho);
  std::string ApelidoDe(const std::string& comunidade, const std::string& identificador);

  // Commands (Comandos.cpp).
  void Executar(const std::string& linha);
  void Uso();
  bool Comunidade(std::string& nome);
  bool Alcancavel(const std::string& comunidade);
  bool ConectadoAoServidor();
  void ExecutarMsg(const TArgumentos& a);
  void ExecutarStatus(const TArgumentos& a);
  void ExecutarNetstatus(const TArgumentos& a);
  void ExecutarAdd(const TArgumentos& a);
  void ExecutarRemove(const TArgumentos& a);
  void ExecutarAuthreq(const TArgumentos& a);
  void ExecutarGrant(const TArgumentos& a);
  void ExecutarReject(const TArgumentos& a);
  void ExecutarSearch(const TArgumentos& a);
  void ExecutarEndsearch(const TArgumentos& a);
  void ExecutarInfo(const TArgumentos& a);
  void ExecutarSetinfo(const TArgumentos& a);
  void ExecutarAccounts(const TArgumentos& a);
  void ExecutarSetaccounts(const TArgumentos& a);
  void ExecutarRegister(const TArgumentos& a);
  void ExecutarIdentify(const TArgumentos& a);
  void ExecutarContacts(const TArgumentos& a);
  void ExecutarDisconnect(const TArgumentos& a);
  void ExecutarQuit(const TArgumentos& a);

  net::Runtime& runtime_;
  TOpcoes opcoes_;
  TClientePCTazu cliente_;
  TModo modo_ = TModo::Login;
  std::vector<std::string> valoresCadastro_;
  uint8_t identificarPorApelido_ = 0;
  std::string identificarTexto_;
  bool aguardandoLogin_ = false;     // commands wait until the login has ended
  bool alcancandoServidor_ = false;  // a connection started here has not connected yet
  std::unique_ptr<net::Timer> prazoLogin_;
  std::vector<std::string> fila_;
  bool saindo_ = false;
  bool terminou_ = false;
  // The command being run: its name and usage.
  std::string comando_;
  const char* uso_ = "";
  // Texts sent and not yet confirmed, per conversation in the order sent, for
  // the history lines their confirmations write.
  TTextosEmTransito emTransito_;
};

}  // namespace tazu::cli
