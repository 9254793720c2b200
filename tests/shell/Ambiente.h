// What the desktop program's tests share: the application object, a tazud of
// their own on 127.0.0.1 with a temporary database, other users signed in
// from inside the test, and the program built on a fresh data root with
// recorders where it would reach the user.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <QApplication>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/qt/QtRuntime.h"
#include "server/UClientePCTazu.h"
#include "shell/Programa.h"

namespace tazu::teste {

QApplication& Aplicacao();

// Turns the event loop until the condition holds or a generous time passed.
bool EsperarAte(const std::function<bool()>& condicao, int ms = 15000);
// Turns the event loop for a while, for "nothing more happens" checks.
void Rodar(int ms);

// tazud in its own process, listening on 127.0.0.1 at a port of its choosing.
class TServidorTazud {
 public:
  explicit TServidorTazud(const std::filesystem::path& pasta);
  ~TServidorTazud();
  uint16_t Porta() const { return porta_; }
  // A new user, straight into the database; answers its number.
  uint16_t Criar(const std::string& apelido, const std::string& senha,
                 bool exigeAutorizacao = false, const std::string& nome = "");

 private:
  std::filesystem::path banco_;
  pid_t pid_ = -1;
  uint16_t porta_ = 0;
};

// Another user, signed in from inside the test on its own client.
class TParceiro {
 public:
  TParceiro(net::Runtime& rt, uint16_t porta, uint16_t niu, const std::string& senha);
  // Connects and waits for the contact list.
  bool Entrar();
  bool Recebeu(const std::string& trecho) const;
  // An event holding every one of these pieces.
  bool Recebeu(std::initializer_list<std::string> trechos) const;
  TClientePCTazu Cliente;
  // Every event as tazu-cli prints it (JSON, UTF-8).
  std::vector<std::string> Eventos;
};

// What the program told the user.
struct TCaixaMostrada {
  std::string Tipo;   // "erro", "informacao", "sistema", "inicial", "confirmacao"
  std::string Texto;  // UTF-8, for readable failures
  bool operator==(const TCaixaMostrada&) const = default;
  friend void PrintTo(const TCaixaMostrada& c, std::ostream* os) {
    *os << c.Tipo << ": " << c.Texto;
  }
};

class TAmbiente : public ::testing::Test {
 protected:
  TAmbiente();
  ~TAmbiente() override;

  // The program on this test's data root, pointed at this test's tazud.
  TPrograma& Programa(TOpcoesDoPrograma opcoes = {});
  TContexto& Ctx() { return programa_->Contexto(); }
  TParceiro& Parceiro(uint16_t niu, const std::string& senha);
  // A user of this computer, as the login window's "remember" leaves it, and
  // the settings naming it the last user.
  void UsuarioLocal(uint16_t niu, const std::string& apelido, const std::string& senha,
                    bool lembrar, bool ultimo = true);
  // Makes `de` and `para` contacts of each other, both online meanwhile.
  void Amigos(uint16_t a, const std::string& senhaA, uint16_t b, const std::string& senhaB);
  // Starts the program and waits until it shows the manager connected.
  bool IniciarConectado(TOpcoesDoPrograma opcoes = {});
  // The texts of every box shown so far, and then forgets them.
  std::vector<TCaixaMostrada> Caixas();

  std::filesystem::path pasta_;
  std::unique_ptr<TServidorTazud> servidor_;
  std::unique_ptr<net::QtRuntime> rt_;
  std::unique_ptr<TPrograma> programa_;
  std::vector<std::unique_ptr<TParceiro>> parceiros_;
  std::vector<TCaixaMostrada> caixas_;
  bool resposta_ = true;  // what the confirmation boxes answer
  std::vector<std::string> sons_;
  std::vector<QUrl> enderecos_;
  std::vector<QWidget*> atencao_;
  std::vector<std::pair<std::string, std::string>> esperas_;
  std::vector<int> fim_;
  std::vector<std::string> enviadas_;  // lines the program's client sent
  // Modal windows the program ran: their class names. A test that expects
  // one sets AoModal to answer it; by default it is cancelled.
  std::vector<std::string> modais_;
  std::function<void(QWidget*)> AoModal;
  QTimer vigia_;
};

// The open top-level window of this kind, or null.
template <typename T>
T* JanelaAberta() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* j = dynamic_cast<T*>(w); j && j->isVisible()) return j;
  }
  return nullptr;
}

std::string Utf8(const std::string& cp1252);
std::string Cp(const char* utf8);

}  // namespace tazu::teste
