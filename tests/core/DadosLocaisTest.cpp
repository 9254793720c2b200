#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>

#include "core/Caminhos.h"
#include "core/DadosLocais.h"
#include "core/UCriptografia.h"

namespace tazu {
namespace {

namespace fs = std::filesystem;

// Every test gets its own data root and leaves the environment, the umask and
// the process-wide records as it found them.
class DadosLocaisTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char modelo[] = "/tmp/tazu-dados-XXXXXX";
    ASSERT_NE(mkdtemp(modelo), nullptr);
    raiz_ = modelo;
    if (const char* v = std::getenv("TAZU_HOME")) antigo_ = v;
    setenv("TAZU_HOME", raiz_.c_str(), 1);
    mascara_ = umask(022);
    ReiniciarDadosLocais();
  }
  void TearDown() override {
    ReiniciarDadosLocais();
    umask(mascara_);
    if (antigo_) {
      setenv("TAZU_HOME", antigo_->c_str(), 1);
    } else {
      unsetenv("TAZU_HOME");
    }
    fs::remove_all(raiz_);
  }

  std::string Dados(const std::string& nome = "") const { return raiz_ + "/Dados/" + nome; }
  std::string Ler(const std::string& nome) const {
    std::ifstream f(Dados(nome), std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  void Escrever(const std::string& nome, const std::string& bytes) const {
    fs::create_directories(Dados());
    std::ofstream(Dados(nome), std::ios::binary) << bytes;
  }
  static mode_t Modo(const std::string& caminho) {
    struct stat st {};
    EXPECT_EQ(stat(caminho.c_str(), &st), 0) << caminho;
    return st.st_mode & 07777;
  }

  std::string raiz_;
  std::optional<std::string> antigo_;
  mode_t mascara_ = 0;
};

// ---- Records written by hand, field by field, with any key ----

std::string Campo(std::string_view reg, std::size_t pos) {
  return std::string(reg.substr(pos + 1, static_cast<unsigned char>(reg[pos])));
}

std::string Aberto(std::string_view reg, std::size_t pos) {
  return TCriptografia().Desembaralhar(Campo(reg, pos));
}

void PorCampo(std::string& reg, std::size_t pos, const std::string& valor, uint8_t chave) {
  TCriptografia c;
  c.Chave = chave;
  const std::string e = c.Embaralhar(valor);
  reg[pos] = static_cast<char>(e.size());
  reg.replace(pos + 1, e.size(), e);
}

std::string RegistroManual(const std::string& numero, const std::string& apelido, uint8_t chave,
                           const std::string& lembrar = "Sim") {
  std::string reg(396, '\x55');  // the spare bytes of a field are undefined
  PorCampo(reg, 0, numero, chave);
  PorCampo(reg, 26, apelido, chave);
  PorCampo(reg, 57, "senha", chave);
  PorCampo(reg, 83, "6", chave);
  PorCampo(reg, 109, lembrar, chave);
  reg[135] = 1, reg[136] = 0, reg[137] = 1;
  for (std::size_t pos : {138, 164, 190, 318, 344, 370}) PorCampo(reg, pos, "x" + apelido, chave);
  return reg;
}

TDadosUsuario Usuario(int32_t niu, const std::string& apelido) {
  TDadosUsuario u;
  u.NIU = niu;
  u.Apelido = apelido;
  u.Senha = "s" + std::to_string(niu);
  u.StatusPreferido = StatusOcupado;
  u.LembrarSenha = niu % 2 == 0;
  u.UsarMSN = true;
  u.NumeroICQ = std::to_string(niu * 1000);
  u.EmailMSN = apelido + "@example.com";
  u.IdYahoo = apelido;
  return u;
}

std::vector<uint16_t> NumerosDaLista() {
  std::vector<uint16_t> n;
  for (const auto& e : UsuariosLocais) n.push_back(e.Identificador.NIU);
  return n;
}

// ---- Paths and file replacement ----

TEST_F(DadosLocaisTest, RaizVemDeTazuHomeSenaoDoExecutavel) {
  setenv("TAZU_HOME", "/srv/tazu/", 1);
  EXPECT_EQ(DiretorioRaiz(), "/srv/tazu/");
  setenv("TAZU_HOME", "/srv/tazu", 1);
  EXPECT_EQ(DiretorioDados(), "/srv/tazu/Dados/");
  EXPECT_EQ(DiretorioHistorico(), "/srv/tazu/Hst/");
  EXPECT_EQ(DiretorioSkin(), "/srv/tazu/Skin/");

  const std::string exe = fs::read_symlink("/proc/self/exe").parent_path().string() + "/";
  setenv("TAZU_HOME", "", 1);
  EXPECT_EQ(DiretorioRaiz(), exe);
  unsetenv("TAZU_HOME");
  EXPECT_EQ(DiretorioSkin(), exe + "Skin/");
}

TEST_F(DadosLocaisTest, SubstituirArquivoTrocaTudoOuNadaComModoExato) {
  umask(0);
  const std::string alvo = raiz_ + "/a.dat";
  std::string erro;
  ASSERT_TRUE(SubstituirArquivo(alvo, "primeiro", 0600, &erro)) << erro;
  EXPECT_EQ(Modo(alvo), 0600u);

  // A temporary left behind by a crash, with a looser mode, is not reused.
  std::ofstream(alvo + ".tmp") << "resto de uma queda";
  chmod((alvo + ".tmp").c_str(), 0666);
  ASSERT_TRUE(SubstituirArquivo(alvo, std::string("segundo\0!", 9), 0600, &erro)) << erro;
  std::ifstream f(alvo, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), std::string("segundo\0!", 9));
  EXPECT_EQ(Modo(alvo), 0600u);
  EXPECT_FALSE(fs::exists(alvo + ".tmp"));

  // The temporary cannot be created: the file keeps its bytes.
  fs::remove(alvo + ".tmp");
  fs::create_directory(alvo + ".tmp");
  fs::create_directory(alvo + ".tmp/x");
  erro.clear();
  EXPECT_FALSE(SubstituirArquivo(alvo, "terceiro", 0600, &erro));
  EXPECT_NE(erro.find("a.dat.tmp"), std::string::npos) << erro;
  std::ifstream g(alvo, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(g), {}), std::string("segundo\0!", 9));

  EXPECT_FALSE(SubstituirArquivo(raiz_ + "/nao/existe.dat", "x", 0600));

  // A strict umask does not take the owner's own access away.
  umask(0277);
  ASSERT_TRUE(SubstituirArquivo(raiz_ + "/b.dat", "x", 0600, &erro)) << erro;
  EXPECT_EQ(Modo(raiz_ + "/b.dat"), 0600u);
}

TEST_F(DadosLocaisTest, CriarDiretorioIgnoraUmaskEPreservaOExistente) {
  umask(0777);
  ASSERT_TRUE(CriarDiretorio(raiz_ + "/d", 0700));
  EXPECT_EQ(Modo(raiz_ + "/d"), 0700u);
  chmod((raiz_ + "/d").c_str(), 0750);
  EXPECT_TRUE(CriarDiretorio(raiz_ + "/d", 0700));
  EXPECT_EQ(Modo(raiz_ + "/d"), 0750u);
  std::ofstream(raiz_ + "/arquivo") << "x";
  EXPECT_FALSE(CriarDiretorio(raiz_ + "/arquivo", 0700));
  EXPECT_FALSE(CriarDiretorio(raiz_ + "/falta/d", 0700));
}

// ---- Settings ----

TEST_F(DadosLocaisTest, ConfiguracaoTemOsCamposNosSeusDeslocamentos) {
  TConfiguracao c;
  c.UltimoUsuario = 0x1234;
  c.Servidor = "tazu.example.com";
  c.Porta = 8001;
  c.PrimeiraGravacao = 45123.75;
  const std::string b = CodificarConfiguracao(c);
  ASSERT_EQ(b.size(), 272u);
  EXPECT_EQ(b.substr(0, 2), "\x34\x12");
  EXPECT_EQ(b[2], 16);
  EXPECT_EQ(b.substr(3, 16), "tazu.example.com");
  EXPECT_EQ(b.substr(258, 2), "\x41\x1F");
  EXPECT_EQ(b.substr(260, 4), std::string(4, '\0'));
  double d;
  std::memcpy(&d, b.data() + 264, 8);  // the build host is little-endian, as the file
  EXPECT_EQ(d, 45123.75);
  EXPECT_EQ(DecodificarConfiguracao(b), c);

  c.Servidor = std::string(300, 'h');  // cut to 255 on assignment, and fits exactly
  EXPECT_EQ(DecodificarConfiguracao(CodificarConfiguracao(c))->Servidor.size(), 255u);
  EXPECT_FALSE(DecodificarConfiguracao(b.substr(0, 271)));
}

// Moments in UTC; the test reads them in UTC too.
net::WallTime Momento(int ano, unsigned mes, unsigned dia, unsigned hora, unsigned minuto) {
  using namespace std::chrono;
  return net::WallTime(sys_days(year{ano} / month{mes} / day{dia}) + hours(hora) + minutes(minuto));
}

// Local time is UTC while it lives.
struct THoraUtc {
  THoraUtc() : antes(std::getenv("TZ") ? std::getenv("TZ") : "") {
    setenv("TZ", "UTC0", 1);
    tzset();
  }
  ~THoraUtc() {
    antes.empty() ? unsetenv("TZ") : setenv("TZ", antes.c_str(), 1);
    tzset();
  }
  std::string antes;
};

TEST_F(DadosLocaisTest, PrimeiraGravacaoDaConfiguracaoFicaParaSempre) {
  const THoraUtc utc;
  fs::create_directories(Dados("Tazu.cfg.tmp/ocupado"));
  EXPECT_FALSE(GravarConfiguracao(Momento(2020, 6, 1, 0, 0)));  // not saved: not the first save yet
  EXPECT_EQ(Configuracao.PrimeiraGravacao, 0.0);
  fs::remove_all(Dados("Tazu.cfg.tmp"));

  Configuracao.Servidor = "s1";
  ASSERT_TRUE(GravarConfiguracao(Momento(2024, 2, 29, 18, 0) + net::Milliseconds(500)));
  Configuracao.Servidor = "s2";
  ASSERT_TRUE(GravarConfiguracao(Momento(2025, 1, 1, 0, 0)));

  Configuracao = {};
  ASSERT_TRUE(CarregarConfiguracao());
  EXPECT_EQ(Configuracao.Servidor, "s2");
  EXPECT_EQ(Configuracao.PrimeiraGravacao, 45351.75 + 0.5 / 86400);

  // Missing, short or unreadable files leave the record as it was.
  const TConfiguracao antes = Configuracao;
  Escrever("Tazu.cfg", std::string(100, '\x7F'));
  EXPECT_FALSE(CarregarConfiguracao());
  fs::remove(Dados("Tazu.cfg"));
  EXPECT_FALSE(CarregarConfiguracao());
  fs::create_directory(Dados("Tazu.cfg"));
  EXPECT_FALSE(CarregarConfiguracao());
  EXPECT_EQ(Configuracao, antes);
}

TEST(DataHora, DiasDesde30DeDezembroDe1899) {
  EXPECT_EQ(DataHoraParaDias(1899, 12, 30, 0, 0, 0), 0.0);
  EXPECT_EQ(DataHoraParaDias(1900, 1, 1, 6, 0, 0), 2.25);
  EXPECT_EQ(DataHoraParaDias(2000, 1, 1, 12, 0, 0), 36526.5);
  EXPECT_EQ(DataHoraParaDias(1899, 12, 29, 0, 0, 0), -1.0);
  EXPECT_DOUBLE_EQ(DataHoraParaDias(2024, 2, 29, 23, 59, 59.5), 45351.0 + 86399.5 / 86400);
}

// ---- The user store ----

TEST_F(DadosLocaisTest, RegistroGravadoTemCadaCampoNoSeuDeslocamento) {
  umask(0);
  TDadosUsuario u = Usuario(20, "Jo\xE3o");
  u.LembrarSenha = false;
  u.UsarICQ = true;
  u.UsarYahoo = true;
  u.SenhaICQ = "ic";
  u.SenhaMSN = "ms";
  u.SenhaYahoo = "ya";
  ASSERT_TRUE(GravarUsuario(u));

  EXPECT_EQ(Modo(Dados()), 0700u);
  EXPECT_EQ(Modo(Dados("Usuarios.dat")), 0600u);
  EXPECT_FALSE(fs::exists(Dados("Temp.dat")));
  const std::string r = Ler("Usuarios.dat");
  ASSERT_EQ(r.size(), 396u);

  TCriptografia padrao;
  padrao.Chave = TCriptografia::ChavePadrao;
  EXPECT_EQ(Campo(r, 0), padrao.Embaralhar("20"));
  TCriptografia doRegistro;
  doRegistro.Chave = ChaveDoRegistro(20);
  EXPECT_EQ(Campo(r, 26), doRegistro.Embaralhar("Jo\xE3o"));
  EXPECT_EQ(Aberto(r, 57), "s20");
  EXPECT_EQ(Aberto(r, 83), "6");
  EXPECT_EQ(Aberto(r, 109), "N\xE3o");
  EXPECT_EQ(r.substr(135, 3), std::string("\x01\x01\x01", 3));
  EXPECT_EQ(Aberto(r, 138), "20000");
  EXPECT_EQ(Aberto(r, 164), "ic");
  EXPECT_EQ(Aberto(r, 190), "Jo\xE3o@example.com");
  EXPECT_EQ(Aberto(r, 318), "ms");
  EXPECT_EQ(Aberto(r, 344), "Jo\xE3o");
  EXPECT_EQ(Campo(r, 370), doRegistro.Embaralhar("ya"));

  u.LembrarSenha = true;
  u.UsarMSN = false;
  ASSERT_TRUE(GravarUsuario(u));
  const std::string r2 = Ler("Usuarios.dat");
  EXPECT_EQ(Aberto(r2, 109), "Sim");
  EXPECT_EQ(r2.substr(135, 3), std::string("\x01\x00\x01", 3));
}

TEST_F(DadosLocaisTest, CarregarEscolheOUsuarioPedidoOuOUltimo) {
  for (int niu : {20, 30, 10}) ASSERT_TRUE(GravarUsuario(Usuario(niu, "u" + std::to_string(niu))));
  ASSERT_EQ(Ler("Usuarios.dat").size(), 3 * 396u);

  CarregarUsuarios(20);
  EXPECT_EQ(UsuarioAtual, Usuario(20, "u20"));
  EXPECT_EQ(NumerosDaLista(), (std::vector<uint16_t>{10, 20, 30}));
  EXPECT_EQ(UsuariosLocais[1].Apelido, "u20");
  EXPECT_TRUE(UsuariosLocais[1].Identificador.LembrarSenha);
  EXPECT_EQ(LocalizarUsuario(30), 2);
  EXPECT_EQ(LocalizarUsuario(99), -1);

  CarregarUsuarios(99);
  EXPECT_EQ(UsuarioAtual, Usuario(30, "u30"));

  // An empty or missing store lists nobody and keeps the current user.
  Escrever("Usuarios.dat", "");
  CarregarUsuarios(10);
  EXPECT_TRUE(UsuariosLocais.empty());
  EXPECT_EQ(UsuarioAtual.NIU, 30);
  fs::remove(Dados("Usuarios.dat"));
  CarregarUsuarios(10);
  EXPECT_EQ(UsuarioAtual.NIU, 30);
  EXPECT_EQ(LocalizarUsuario(30), -1);
}

TEST_F(DadosLocaisTest, GravarOrdenaPorApelidoEmMaiusculasESubstituiOMesmoNumero) {
  ASSERT_TRUE(GravarUsuario(Usuario(1, "bruno")));  // a missing store gets one record
  EXPECT_EQ(Ler("Usuarios.dat").size(), 396u);
  ASSERT_TRUE(GravarUsuario(Usuario(2, "Carla")));
  ASSERT_TRUE(GravarUsuario(Usuario(3, "ana")));
  ASSERT_TRUE(GravarUsuario(Usuario(4, "\xE1lvaro")));  // "Á" sorts after "Z"
  ASSERT_TRUE(GravarUsuario(Usuario(5, "BRUNO")));      // equal names: after the old one
  EXPECT_EQ(NumerosDaLista(), (std::vector<uint16_t>{3, 1, 5, 2, 4}));

  TDadosUsuario carla = Usuario(2, "Zoe");
  carla.EmailMSN = "nova@example.com";
  ASSERT_TRUE(GravarUsuario(carla));
  EXPECT_EQ(NumerosDaLista(), (std::vector<uint16_t>{3, 1, 5, 2, 4}));
  EXPECT_EQ(UsuariosLocais[3].Apelido, "Zoe");
  EXPECT_EQ(Ler("Usuarios.dat").size(), 5 * 396u);

  CarregarUsuarios(2);
  EXPECT_EQ(NumerosDaLista(), (std::vector<uint16_t>{3, 1, 5, 2, 4}));
  EXPECT_EQ(UsuarioAtual.EmailMSN, "nova@example.com");

  const std::string antes = Ler("Usuarios.dat");
  EXPECT_FALSE(GravarUsuario(Usuario(65536, "x")));
  EXPECT_FALSE(GravarUsuario(Usuario(-1, "x")));
  EXPECT_EQ(Ler("Usuarios.dat"), antes);
}

TEST_F(DadosLocaisTest, RegistrosComOutrasChavesSeLeem) {
  Escrever("Usuarios.dat", RegistroManual("7", "sete", 0) + RegistroManual("300", "tre", 255) +
                               RegistroManual("00042", "q", 200, "sim"));
  CarregarUsuarios(7);
  EXPECT_EQ(NumerosDaLista(), (std::vector<uint16_t>{7, 300, 42}));
  EXPECT_EQ(UsuarioAtual.Apelido, "sete");
  EXPECT_EQ(UsuarioAtual.Senha, "senha");
  EXPECT_EQ(UsuarioAtual.StatusPreferido, StatusOcupado);
  EXPECT_TRUE(UsuarioAtual.LembrarSenha);
  EXPECT_TRUE(UsuarioAtual.UsarICQ && !UsuarioAtual.UsarMSN && UsuarioAtual.UsarYahoo);
  EXPECT_EQ(UsuarioAtual.EmailMSN, "xsete");
  EXPECT_EQ(UsuarioAtual.SenhaYahoo, "xsete");
  EXPECT_FALSE(UsuariosLocais[2].Identificador.LembrarSenha);  // only "Sim" exactly
}

TEST_F(DadosLocaisTest, RegistrosIlegiveisSaoRelatadosPuladosEPreservados) {
  const std::string maus[] = {RegistroManual("12a", "a", 1), RegistroManual("-5", "b", 1),
                              RegistroManual("65536", "c", 1), RegistroManual("", "d", 1),
                              RegistroManual(" 5", "e", 1)};
  const std::string bom = RegistroManual("50", "m", 9);
  const std::string fragmento = bom.substr(0, 100);
  std::string armazem = maus[0] + bom;
  for (int i = 1; i < 5; ++i) armazem += maus[i];
  armazem += fragmento;
  Escrever("Usuarios.dat", armazem);

  std::vector<std::pair<int, TDefeitoRegistro>> relatados;
  AoEncontrarRegistroDanificado = [&](int i, TDefeitoRegistro d) { relatados.emplace_back(i, d); };
  UsuarioAtual.NIU = 1;
  CarregarUsuarios(12);
  EXPECT_EQ(NumerosDaLista(), std::vector<uint16_t>{50});
  EXPECT_EQ(UsuarioAtual.NIU, 50);
  const std::vector<std::pair<int, TDefeitoRegistro>> esperados = {
      {0, TDefeitoRegistro::NumeroInvalido}, {2, TDefeitoRegistro::NumeroInvalido},
      {3, TDefeitoRegistro::NumeroInvalido}, {4, TDefeitoRegistro::NumeroInvalido},
      {5, TDefeitoRegistro::NumeroInvalido}, {6, TDefeitoRegistro::FragmentoFinal}};
  EXPECT_EQ(relatados, esperados);

  // Nothing readable sorts after "n": it goes after the last whole record,
  // and every unreadable byte stays where it was.
  relatados.clear();
  ASSERT_TRUE(GravarUsuario(Usuario(60, "n")));
  EXPECT_EQ(relatados, esperados);
  const std::string novo = Ler("Usuarios.dat");
  ASSERT_EQ(novo.size(), armazem.size() + 396);
  EXPECT_EQ(novo.substr(0, 6 * 396), armazem.substr(0, 6 * 396));
  EXPECT_EQ(Aberto(novo.substr(6 * 396, 396), 26), "n");
  EXPECT_EQ(novo.substr(7 * 396), fragmento);
  EXPECT_EQ(NumerosDaLista(), (std::vector<uint16_t>{50, 60}));

  // "a" sorts first: before the readable record, after the bad one before it.
  ASSERT_TRUE(GravarUsuario(Usuario(70, "a")));
  const std::string depois = Ler("Usuarios.dat");
  EXPECT_EQ(depois.substr(0, 396), maus[0]);
  EXPECT_EQ(Aberto(depois.substr(396, 396), 26), "a");
  EXPECT_EQ(depois.substr(2 * 396), novo.substr(396));

  // Loading a store of nothing but unreadable records changes nobody.
  Escrever("Usuarios.dat", maus[0] + maus[1] + fragmento);
  CarregarUsuarios(60);
  EXPECT_TRUE(UsuariosLocais.empty());
  EXPECT_EQ(UsuarioAtual.NIU, 50);
}

TEST_F(DadosLocaisTest, ByteDeTamanhoAlemDoCampoNaoLeAlemDoRegistro) {
  std::string reg = RegistroManual("8", "oito", 3);
  TCriptografia c;
  const std::string apelido = c.Embaralhar(std::string(27, '3'));  // 30 bytes: the whole field
  ASSERT_EQ(apelido.size(), 30u);
  reg.replace(27, 30, apelido);
  reg[26] = '\xFF';
  const std::string yahoo = c.Embaralhar(std::string(22, '4'));
  ASSERT_EQ(yahoo.size(), 25u);
  reg.replace(371, 25, yahoo);
  reg[370] = '\x7F';
  const auto lido = DecodificarRegistro(reg);
  ASSERT_TRUE(lido);
  EXPECT_EQ(lido->Apelido, std::string(27, '3'));
  EXPECT_EQ(lido->Dados.Apelido, std::string(25, '3'));
  EXPECT_EQ(lido->Dados.SenhaYahoo, std::string(22, '4'));
  EXPECT_EQ(lido->Dados.Senha, "senha");
}

TEST_F(DadosLocaisTest, CamposVaziosECamposNoMaximo) {
  TDadosUsuario vazio;
  vazio.NIU = 0;
  const std::string b = CodificarRegistro(vazio);
  for (std::size_t pos : {26, 57, 138, 164, 190, 318, 344, 370}) EXPECT_EQ(b[pos], 3) << pos;
  EXPECT_EQ(DecodificarRegistro(b)->Dados, vazio);

  // Scrambling adds three bytes, so a value at its in-memory maximum loses
  // what no longer fits the file field.
  TDadosUsuario cheio;
  cheio.NIU = 65535;
  cheio.Apelido = std::string(40, '7');  // 25 kept in memory, 28 bytes fit in 30
  cheio.Senha = std::string(15, '1');
  cheio.NumeroICQ = "1234567890123456789012345";
  cheio.EmailMSN = std::string(127, '5');
  const std::string c = CodificarRegistro(cheio);
  for (std::size_t pos : {138, 190}) {
    ASSERT_EQ(Campo(c, pos).find('\xC0'), std::string::npos) << "no escapes in this test";
  }
  const auto lido = DecodificarRegistro(c);
  ASSERT_TRUE(lido);
  EXPECT_EQ(lido->Dados.Apelido, std::string(25, '7'));
  EXPECT_EQ(lido->Dados.Senha, std::string(15, '1'));
  EXPECT_EQ(static_cast<unsigned char>(c[138]), 25);
  EXPECT_EQ(lido->Dados.NumeroICQ, "1234567890123456789012");
  EXPECT_EQ(static_cast<unsigned char>(c[190]), 127);
  EXPECT_EQ(lido->Dados.EmailMSN, std::string(124, '5'));
}

// A value whose scrambled form does not fit its field would come back cut: a
// password that no longer logs in. The store refuses the record and says which
// field, and nothing is written.
TEST_F(DadosLocaisTest, ValorQueNaoCabeNoCampoERecusado) {
  ASSERT_TRUE(GravarUsuario(Usuario(1, "um")));
  const std::string antes = Ler("Usuarios.dat");
  TDadosUsuario yahoo = Usuario(2, "dois");
  yahoo.SenhaYahoo = "abcdefghijklmnopqrstuvwx";  // 24 characters, 27 scrambled bytes
  std::string erro;
  EXPECT_FALSE(GravarUsuario(yahoo, &erro));
  EXPECT_NE(erro.find("Senha do Yahoo"), std::string::npos) << erro;
  EXPECT_EQ(Ler("Usuarios.dat"), antes);
  EXPECT_EQ(NumerosDaLista(), std::vector<uint16_t>{1});

  TDadosUsuario msn = Usuario(2, "dois");
  msn.EmailMSN = std::string(127, 'm');
  EXPECT_FALSE(GravarUsuario(msn, &erro));
  EXPECT_NE(erro.find("E-mail do MSN"), std::string::npos) << erro;

  // What fits is kept whole (digits never need an escape).
  yahoo.SenhaYahoo = "1234567890123456789012";
  msn.EmailMSN = std::string(124, '5');
  for (const TDadosUsuario& u : {yahoo, msn}) {
    ASSERT_TRUE(GravarUsuario(u, &erro)) << erro;
    CarregarUsuarios(2);
    EXPECT_EQ(UsuarioAtual, u);
  }
}

TEST(CortarEmbaralhado, NuncaPartidoNoMeioDeUmEscape) {
  EXPECT_EQ(CortarEmbaralhado("abc", 5), "abc");
  EXPECT_EQ(CortarEmbaralhado("abc\xC0\xD0x", 4), "abc");
  EXPECT_EQ(CortarEmbaralhado("abc\xC0\xD0x", 5), "abc\xC0\xD0");
  EXPECT_EQ(CortarEmbaralhado("abc\xC0\xE0x", 4), "abc\xC0");  // a plain 0xC0

  // Through the record: find a value whose escape straddles the ICQ number's
  // 25 bytes, and check the field ends before it.
  std::mt19937 rnd(7);
  TCriptografia cripto;
  cripto.Chave = ChaveDoRegistro(1);
  bool achado = false;
  for (int tentativa = 0; tentativa < 200000 && !achado; ++tentativa) {
    std::string v(25, ' ');
    for (char& ch : v) ch = static_cast<char>(rnd());
    const std::string e = cripto.Embaralhar(v);
    if (static_cast<unsigned char>(e[24]) != 0xC0 ||
        (static_cast<unsigned char>(e[25]) & 0xF8) != 0xD0 ||
        static_cast<unsigned char>(e[25]) > 0xD5) {
      continue;
    }
    achado = true;
    TDadosUsuario u;
    u.NIU = 1;
    u.NumeroICQ = v;
    const std::string reg = CodificarRegistro(u);
    EXPECT_EQ(static_cast<unsigned char>(reg[138]), 24);
    EXPECT_EQ(Campo(reg, 138), e.substr(0, 24));
    const std::string lido = DecodificarRegistro(reg)->Dados.NumeroICQ;
    EXPECT_EQ(v.substr(0, lido.size()), lido);
  }
  EXPECT_TRUE(achado);
}

TEST_F(DadosLocaisTest, FalhaAoEscreverTempNaoTocaOArmazem) {
  ASSERT_TRUE(GravarUsuario(Usuario(1, "um")));
  const std::string antes = Ler("Usuarios.dat");
  fs::create_directories(Dados("Temp.dat/ocupado"));
  EXPECT_FALSE(GravarUsuario(Usuario(2, "dois")));
  EXPECT_EQ(Ler("Usuarios.dat"), antes);
  EXPECT_EQ(NumerosDaLista(), std::vector<uint16_t>{1});

  // A store that exists but cannot be read is not replaced by one record
  // (a link to a directory opens, fails to read, and could be renamed over).
  fs::remove_all(Dados("Temp.dat"));
  fs::rename(Dados("Usuarios.dat"), Dados("guardado"));
  fs::create_directory(Dados("pasta"));
  fs::create_directory_symlink("pasta", Dados("Usuarios.dat"));
  EXPECT_FALSE(GravarUsuario(Usuario(2, "dois")));
  EXPECT_TRUE(fs::is_symlink(Dados("Usuarios.dat")));
  EXPECT_FALSE(fs::exists(Dados("Temp.dat")));

  // A store once readable by others is readable only by its owner afterwards.
  fs::remove(Dados("Usuarios.dat"));
  fs::rename(Dados("guardado"), Dados("Usuarios.dat"));
  chmod(Dados("Usuarios.dat").c_str(), 0644);
  umask(0);
  ASSERT_TRUE(GravarUsuario(Usuario(2, "dois")));
  EXPECT_EQ(Modo(Dados("Usuarios.dat")), 0600u);
}

// ---- Random input ----

TEST_F(DadosLocaisTest, LixoNuncaDerrubaNemPerdeOQueEstaGuardado) {
  std::mt19937 rnd(2024);
  for (int rodada = 0; rodada < 200; ++rodada) {
    std::string armazem;
    const int n = static_cast<int>(rnd() % 6);
    for (int i = 0; i < n; ++i) {
      if (rnd() % 2) {
        armazem += RegistroManual(std::to_string(rnd() % 100), "r" + std::to_string(rnd()),
                                  static_cast<uint8_t>(rnd()));
      } else {
        std::string lixo(396, '\0');
        for (char& ch : lixo) ch = static_cast<char>(rnd());
        armazem += lixo;
      }
    }
    armazem += std::string(rnd() % 3 == 0 ? rnd() % 396 : 0, '\xC0');
    Escrever("Usuarios.dat", armazem);

    CarregarUsuarios(static_cast<int32_t>(rnd() % 100));
    ASSERT_TRUE(GravarUsuario(Usuario(40000, "novo")));
    // Taking the new record out gives the old store back, byte for byte.
    const std::string novo = Ler("Usuarios.dat");
    ASSERT_EQ(novo.size(), armazem.size() + 396) << rodada;
    std::size_t onde = 0;
    while (onde + 396 <= novo.size()) {
      const auto r = DecodificarRegistro(std::string_view(novo).substr(onde, 396));
      if (r && r->Dados.NIU == 40000) break;
      onde += 396;
    }
    EXPECT_EQ(novo.substr(0, onde) + novo.substr(onde + 396), armazem) << rodada;
  }
}

TEST(RegistroUsuario, RegistrosAleatoriosVoltamComoForam) {
  std::mt19937 rnd(99);
  auto texto = [&](std::size_t maximo) {
    std::string s(rnd() % (maximo + 1), ' ');
    for (char& ch : s) ch = static_cast<char>(rnd());
    return s;
  };
  for (int i = 0; i < 3000; ++i) {
    TDadosUsuario u;
    u.NIU = static_cast<int32_t>(rnd() % 65536);
    u.Apelido = texto(25);
    u.Senha = texto(15);
    u.StatusPreferido = static_cast<uint8_t>(rnd());
    u.LembrarSenha = rnd() % 2;
    u.UsarICQ = rnd() % 2;
    u.UsarMSN = rnd() % 2;
    u.UsarYahoo = rnd() % 2;
    u.NumeroICQ = texto(25);
    u.SenhaICQ = texto(25);
    u.EmailMSN = texto(127);
    u.SenhaMSN = texto(25);
    u.IdYahoo = texto(25);
    u.SenhaYahoo = texto(25);

    const std::string b = CodificarRegistro(u);
    ASSERT_EQ(b.size(), 396u);
    const auto lido = DecodificarRegistro(b);
    ASSERT_TRUE(lido);
    const TDadosUsuario& d = lido->Dados;
    EXPECT_EQ(d.NIU, u.NIU);
    EXPECT_EQ(d.StatusPreferido, u.StatusPreferido);
    EXPECT_EQ(d.LembrarSenha, u.LembrarSenha);
    EXPECT_EQ(d.UsarICQ, u.UsarICQ);
    EXPECT_EQ(d.UsarMSN, u.UsarMSN);
    EXPECT_EQ(d.UsarYahoo, u.UsarYahoo);
    // A value whose scrambled form fits comes back whole; one that does not
    // comes back as a shorter beginning of itself.
    TCriptografia cripto;
    cripto.Chave = ChaveDoRegistro(static_cast<uint16_t>(u.NIU));
    auto confere = [&](const std::string& original, const std::string& volta, std::size_t campo) {
      if (cripto.Embaralhar(original).size() < campo) {
        EXPECT_EQ(volta, original);
      } else {
        EXPECT_LT(volta.size(), original.size());
        EXPECT_EQ(original.substr(0, volta.size()), volta);
      }
    };
    confere(u.Apelido, d.Apelido, 31);
    confere(u.Senha, d.Senha, 26);
    confere(u.NumeroICQ, d.NumeroICQ, 26);
    confere(u.SenhaICQ, d.SenhaICQ, 26);
    confere(u.EmailMSN, d.EmailMSN, 128);
    confere(u.SenhaMSN, d.SenhaMSN, 26);
    confere(u.IdYahoo, d.IdYahoo, 26);
    confere(u.SenhaYahoo, d.SenhaYahoo, 26);
  }
}

}  // namespace
}  // namespace tazu
