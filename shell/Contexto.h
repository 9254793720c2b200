// What every window of the program shares: the Tazu client, the session
// state, the local user records, the registries of open windows and the ways
// to reach the user (message boxes, the wait window, sounds, the browser).
// One object, handed to each window when it is made; tests fill the outward
// parts with recorders.
#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/DadosLocais.h"
#include "net/Runtime.h"
#include "server/UClientePCTazu.h"

namespace tazu {

class TFrmComunicando;
class TFrmGerenciador;
class TFrmPrincipal;

// Open windows by community and identifier: the key is "Comunicador:Identificador"
// exactly as the contact holds them. A window that went away is forgotten.
template <typename T>
class TRegistroDeJanelas {
 public:
  static std::string Chave(const std::string& comunicador, const std::string& identificador) {
    return comunicador + ":" + identificador;
  }
  void Registrar(const std::string& chave, T* janela) { janelas_[chave] = janela; }
  T* Localizar(const std::string& chave) const {
    const auto it = janelas_.find(chave);
    return it == janelas_.end() ? nullptr : it->second.data();
  }
  void Remover(const std::string& chave) { janelas_.erase(chave); }
  // Drops the entries whose window is gone; answers what is left.
  std::size_t Quantidade() {
    std::erase_if(janelas_, [](const auto& par) { return par.second.isNull(); });
    return janelas_.size();
  }
  bool Vazio() { return Quantidade() == 0; }
  std::vector<std::pair<std::string, T*>> Todas() {
    std::vector<std::pair<std::string, T*>> todas;
    for (const auto& [chave, janela] : janelas_) {
      if (janela) todas.emplace_back(chave, janela.data());
    }
    return todas;
  }

 private:
  std::map<std::string, QPointer<T>> janelas_;
};

// A window takes one of the client's events over for a while and hands it
// back when it goes away, whatever happened meanwhile.
template <typename F>
class TEventoTomado {
 public:
  TEventoTomado(F& evento, F novo) : evento_(evento), anterior_(std::exchange(evento, novo)) {}
  ~TEventoTomado() { evento_ = std::move(anterior_); }
  TEventoTomado(const TEventoTomado&) = delete;
  TEventoTomado& operator=(const TEventoTomado&) = delete;

 private:
  F& evento_;
  F anterior_;
};

// The message boxes, texts in Windows-1252.
struct TCaixas {
  std::function<void(const std::string&)> Erro;
  std::function<void(const std::string&)> Informacao;
  std::function<void(const std::string&)> MensagemDeSistema;
  std::function<void(const std::string&)> InformacaoInicial;
  // True only when the user chose yes.
  std::function<bool(const std::string&)> Confirmacao;
};

// The one wait window.
struct TEspera {
  std::function<void(const std::string& linha1, const std::string& linha2, bool modal)> Mostrar;
  // Closes it a moment later, from the main loop.
  std::function<void()> Fechar;
};

class TContexto {
 public:
  TContexto(net::Runtime& runtime, TClientePCTazu& cliente);

  net::Runtime& Runtime;
  TClientePCTazu& ClientePC;

  // 0 no known user yet; 1 a user was found at start-up; 2 the server
  // connection was made.
  int EstadoSessao = 0;
  // The login window's remember-password choice, kept until the program ends.
  bool SalvarSenha = false;
  bool CadastroConcluido = false;
  // The command line named the user and the password: sign in at start, as a
  // remembered password does, without storing that password.
  bool EntradaDireta = false;

  // The local data records (Dados/), shared with the core.
  TConfiguracao& Configuracao;
  TDadosUsuario& UsuarioAtual;
  std::vector<TEntradaUsuario>& UsuariosLocais;

  TRegistroDeJanelas<TFrmComunicando> JanelasDeConversa;
  TRegistroDeJanelas<QWidget> JanelasDeInformacao;
  QPointer<TFrmComunicando> JanelaAtiva;

  TFrmPrincipal* Principal = nullptr;
  TFrmGerenciador* Gerenciador = nullptr;
  QPointer<QWidget> JanelaDeLogin;
  // The login entry: the initial options, the login window, or nothing when
  // the program is already signing in.
  std::function<void()> IniciaLogin;

  TCaixas Caixas;
  TEspera Espera;
  // Plays a sound of the skin ("Sons\\Incoming_MSG.wav") without waiting.
  std::function<void(const std::string& relativoNaSkin)> TocarSom;
  std::function<void(const QUrl&)> AbrirEndereco;
  // Flashes the window's caption and taskbar entry until it is activated.
  std::function<void(QWidget&)> PedirAtencao;
  // Ends the program with this exit code.
  std::function<void(int codigo)> Terminar;

  // Where the big status pictures lie in the skin ("Icones\\Status\\").
  std::string DiretorioStatusGrande;

  // The current time as conversations stamp it: "dd-mm-yyyy hh:nn".
  std::string Agora() const;
  // The skinned boxes, the wait window, libcanberra and the desktop's browser.
  void UsarJanelasReais();
};

}  // namespace tazu
