// tazu-cli: moves lines between stdin/stdout and the application object, on
// Qt's event loop.
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "cli/AplicacaoCli.h"
#include "net/qt/QtRuntime.h"
#include "redes/Redes.h"

namespace {

// Hands every complete line read to the application; at the end of input the
// unfinished last line too, then the end itself.
void LerEntrada(QSocketNotifier& entrada, std::string& pendente, tazu::cli::TAplicacaoCli& cli) {
  char buf[4096];
  const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (n <= 0) {
    entrada.setEnabled(false);
    if (!pendente.empty()) cli.Comando(pendente);
    pendente.clear();
    cli.FimDaEntrada();
    return;
  }
  pendente.append(buf, static_cast<std::size_t>(n));
  for (std::size_t p; (p = pendente.find('\n')) != std::string::npos;) {
    const std::string linha = pendente.substr(0, p);
    pendente.erase(0, p + 1);
    cli.Comando(linha);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  tazu::cli::TOpcoes opcoes;
  std::string erro;
  if (!tazu::cli::LerOpcoes(args, opcoes, erro)) {
    std::cerr << "tazu-cli: " << erro << "\n(tazu-cli --help explains the options)\n";
    return 2;
  }
  if (opcoes.ajuda) {
    std::cout << tazu::cli::Ajuda();
    return 0;
  }
  if (!opcoes.home.empty()) {
    std::error_code e;
    std::filesystem::create_directories(opcoes.home, e);
    setenv("TAZU_HOME", opcoes.home.c_str(), 1);
  }

  QCoreApplication app(argc, argv);
  tazu::net::QtRuntime runtime;
  tazu::cli::TAplicacaoCli cli(runtime, opcoes);
  tazu::RegistrarRedes(cli.Cliente());
  cli.saida = [](const std::string& json) {
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  };
  cli.depuracao = [](const std::string& linha) { std::cerr << linha << '\n'; };
  int codigo = 0;
  cli.aoTerminar = [&](int c) {
    codigo = c;
    QCoreApplication::exit(c);
  };

  // Standard input, read as it becomes readable; lines may arrive in pieces.
  std::string pendente;
  QSocketNotifier entrada(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&entrada, &QSocketNotifier::activated,
                   [&] { LerEntrada(entrada, pendente, cli); });

  cli.Iniciar();
  const int r = app.exec();
  return r != 0 ? r : codigo;
}
