#include "tests/tazud/Ambiente.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace tazu::tazud::test {

std::string L(std::string_view codigo, std::initializer_list<std::string_view> campos) {
  return MontarLinha(codigo, campos);
}

std::string LinhaDeCadastro(const std::string& apelido, const std::string& email,
                            const std::string& exige) {
  std::string linha =
      "[CCUS]\xA7"
      "1.0 AA\xA7" +
      apelido +
      "\xA7"
      "Maria d'\xC1vila\xA7senha";
  for (const char* v : {"F", "01/02/1990", "Recife", "PE", "Brasil", "50000-000", "", "", "pt",
                        "en", "", "8199990000", "", ""}) {
    linha += "\xA7" + std::string(v);
  }
  return linha + "\xA7" + email + "\xA7" + exige +
         "\xA7"
         "0";
}

void TCliente::Enviar(const std::string& linha) {
  peer_->Write(PrepararEnvio(linha, cripto_));
}

void TCliente::EnviarInteira(const std::string& linha) {
  peer_->Write(cripto_.Embaralhar(linha) + "\r\n");
}

std::vector<std::string> TCliente::Receber() {
  std::vector<std::string> linhas;
  leitor_.Alimentar(peer_->Take(), [&](std::string_view bruta) {
    std::string linha = AbrirLinha(bruta, cripto_);
    if (linha.empty()) return true;
    // RVER hands out the key of everything after it.
    if (linha.rfind("[RVER]", 0) == 0) {
      std::string resto = linha.substr(7);
      ProximoCampo(resto, Separador);
      ProximoCampo(resto, Separador);
      uint32_t chave = 0;
      if (LerNumero(ProximoCampo(resto, Separador), 255, chave))
        cripto_.Chave = static_cast<uint8_t>(chave);
    }
    linhas.push_back(std::move(linha));
    return true;
  });
  return linhas;
}

std::vector<std::string> TCliente::Com(const std::string& codigo) {
  std::vector<std::string> achadas;
  for (std::string& l : Receber()) {
    if (l.rfind("[" + codigo + "]", 0) == 0) achadas.push_back(std::move(l));
  }
  return achadas;
}

Ambiente::Ambiente() {
  static std::atomic<int> n{0};
  caminho_ = ::testing::TempDir() + "tazud_" + std::to_string(getpid()) + "_" +
             std::to_string(n++) + ".db";
  std::remove(caminho_.c_str());
  config_ = TConfiguracao{};
  config_.sortearChave = [] { return uint8_t{77}; };
}

Ambiente::~Ambiente() {
  servidor_.reset();
  senhas_.reset();
  banco_.reset();
  rt_.RunPending();
  for (const char* sufixo : {"", "-wal", "-shm"}) std::remove((caminho_ + sufixo).c_str());
}

void Ambiente::Iniciar() {
  std::string erro;
  banco_ = TBanco::Abrir(caminho_, false, erro);
  ASSERT_TRUE(banco_) << erro;
  senhas_ = std::make_unique<TSenhasNoLaco>(
      [this](std::function<void()> f) { rt_.Post(std::move(f)); }, 1);
  servidor_ = std::make_unique<TServidor>(rt_, *banco_, *senhas_, config_);
  servidor_->AoRegistrar = [this](const std::string& l) { log_.push_back(l); };
  servidor_->AoFalhaFatal = [this](const std::string& l) { falhas_.push_back(l); };
  ASSERT_TRUE(servidor_->Escutar("127.0.0.1", 7498, erro)) << erro;
}

void Ambiente::Reiniciar() {
  servidor_.reset();
  senhas_.reset();
  banco_.reset();
  rt_.RunPending();
  Iniciar();
}

TCliente& Ambiente::Conectar(const std::string& endereco) {
  net::FakePeer& peer = rt_.Dial(7498);
  peer.SetPeerAddress(endereco, static_cast<uint16_t>(40000 + clientes_.size()));
  clientes_.push_back(std::make_unique<TCliente>(peer));
  rt_.RunPending();
  return *clientes_.back();
}

Niu Ambiente::Criar(const std::string& apelido, const std::string& senha, bool exige,
                    bool privado) {
  TUsuario u;
  u.apelido = apelido;
  u.nome = "Nome de " + apelido;
  u.email = apelido + "@exemplo.com.br";
  u.hash = GerarHash(senha, 1);
  u.exigeAutorizacao = exige;
  u.naoPublicar = privado;
  std::string erro;
  EXPECT_TRUE(banco_->Iniciar());
  const Niu niu = banco_->CriarUsuario(u, apelido + "\xA7\xA7" + u.nome);
  EXPECT_TRUE(banco_->Confirmar(erro)) << erro;
  return niu;
}

TCliente& Ambiente::Entrar(Niu niu, const std::string& senha, int status) {
  return Entrar(Conectar(), niu, senha, status);
}

TCliente& Ambiente::Entrar(TCliente& c, Niu niu, const std::string& senha, int status) {
  c.Enviar(L("CVER", {"127.0.0.1", "4000", std::to_string(niu), "1.0 AA", "P", "Tazu Messenger"}));
  Rodar();
  c.Receber();
  c.Enviar(L("CCON", {senha, std::to_string(status)}));
  Rodar();
  return c;
}

void Ambiente::Contato(Niu de, Niu para, char lista) {
  std::string erro;
  ASSERT_TRUE(banco_->Iniciar());
  banco_->GravarContato(de, para, lista);
  ASSERT_TRUE(banco_->Confirmar(erro)) << erro;
}

std::unique_ptr<TBanco> Ambiente::OutraConexao() {
  std::string erro;
  auto outra = TBanco::Abrir(caminho_, false, erro);
  EXPECT_TRUE(outra) << erro;
  return outra;
}

TCliente& Ambiente::Logado(Niu niu, const std::string& senha, int status) {
  TCliente& c = Entrar(niu, senha, status);
  c.Receber();
  return c;
}

}  // namespace tazu::tazud::test
