// tazu-cli without its terminal: commands come in as lines of UTF-8 text, every
// event of the client goes out as one line of JSON. The program around it
// (main.cpp) only moves lines between this object and stdin/stdout.
#pragma once

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

  void Executar(const std::string& linha);
  void Erro(const std::string& descricao);
  void Emitir(const std::string& evento, const std::string& campo, const std::string& texto);
  void EmitirContatos();
  void Sair();
  void Terminar(int codigo);
  void EsperarLogin(TModo modo);
  void LoginTerminou();
  void LigarEventos();
  void GravarEnviada(const std::string& comunidade, const std::string& identificador, int tipo,
                     const std::string& cabecalho);
  std::string ApelidoDe(const std::string& comunidade, const std::string& identificador);

  net::Runtime& runtime_;
  TOpcoes opcoes_;
  TClientePCTazu cliente_;
  TModo modo_ = TModo::Login;
  std::vector<std::string> valoresCadastro_;
  uint8_t identificarPorApelido_ = 0;
  std::string identificarTexto_;
  bool aguardandoLogin_ = false;  // commands wait until the login has ended
  std::unique_ptr<net::Timer> prazoLogin_;
  std::vector<std::string> fila_;
  bool saindo_ = false;
  bool terminou_ = false;
  // The last text sent to each conversation, for its history line.
  std::map<std::string, std::string> ultimoEnviado_;
};

}  // namespace tazu::cli
