// The settings file and the local user store, byte by byte and through files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "core/Caminhos.h"
#include "core/DadosLocais.h"
#include "core/UCriptografia.h"
#include "tests/support/RaizTemporaria.h"

namespace tazu {
namespace {

namespace fs = std::filesystem;
using teste::TRaizTemporaria;

class DadosLocaisTest : public ::testing::Test {
 protected:
  void SetUp() override { ReiniciarDadosLocais(); }
  void TearDown() override { ReiniciarDadosLocais(); }
  std::string Dados(const std::string& nome = "") const { return raiz_ / ("Dados/" + nome); }
  std::string Ler(const std::string& nome) const { return raiz_.Ler("Dados/" + nome); }
  void Escrever(const std::string& nome, const std::string& b) {
    raiz_.Escrever("Dados/" + nome, b);
  }
  TRaizTemporaria raiz_;
};

std::string Campo(std::string_view reg, std::size_t pos) {
  return std::string(reg.substr(pos + 1, static_cast<unsigned char>(reg[pos])));
}

std::string Aberto(std::string_view reg, std::size_t pos, uint8_t chave) {
  TCriptografia c;
  c.Chave = chave;
  return c.Desembaralhar(Campo(reg, pos));
}

// A record written field by field, as another copy of the program may have.
std::string RegistroManual(const std::string& numero, const std::string& apelido, uint8_t chave,
                           const std::string& lembrar = "Sim") {
  std::string reg(396, '\x55');  // the spare bytes of a field are undefined
  TCriptografia c;
  c.Chave = chave;
  auto por = [&](std::size_t pos, const std::string& valor) {
    const std::string e = c.Embaralhar(valor);
    reg[pos] = static_cast<char>(e.size());
    reg.replace(pos + 1, e.size(), e);
  };
  por(0, numero), por(26, apelido), por(57, "senha"), por(83, "6"), por(109, lembrar);
  reg[135] = 1, reg[136] = 0, reg[137] = 1;
  for (std::size_t pos : {138, 164, 190, 318, 344, 370}) por(pos, "x" + apelido);
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

TEST_F(DadosLocaisTest, RaizVemDeTazuHomeSenaoDoExecutavel) {
  setenv("TAZU_HOME", "/srv/tazu", 1);
  EXPECT_EQ(DiretorioDados(), "/srv/tazu/Dados/");
  setenv("TAZU_HOME", "", 1);
  EXPECT_EQ(DiretorioRaiz(), fs::read_symlink("/proc/self/exe").parent_path().string() + "/");
}

TEST_F(DadosLocaisTest, ArquivoTrocadoPorInteiroOuNadaComModoExato) {
  umask(0);
  const std::string alvo = raiz_ / "a.dat";
  std::string erro;
  ASSERT_TRUE(SubstituirArquivo(alvo, "primeiro", 0600, &erro)) << erro;
  // A temporary left behind by a crash, with a looser mode, is not reused.
  raiz_.Escrever("a.dat.tmp", "resto de uma queda");
  chmod((alvo + ".tmp").c_str(), 0666);
  ASSERT_TRUE(SubstituirArquivo(alvo, std::string("segundo\0!", 9), 0600, &erro)) << erro;
  EXPECT_EQ(TRaizTemporaria::Modo(alvo), 0600u);
  EXPECT_FALSE(fs::exists(alvo + ".tmp"));
  // The temporary cannot be created: the file keeps its bytes.
  fs::create_directories(alvo + ".tmp/x");
  EXPECT_FALSE(SubstituirArquivo(alvo, "terceiro", 0600, &erro));
  EXPECT_NE(erro.find("a.dat.tmp"), std::string::npos) << erro;
  EXPECT_EQ(raiz_.Ler("a.dat"), std::string("segundo\0!", 9));
  EXPECT_FALSE(SubstituirArquivo(raiz_ / "nao/existe.dat", "x", 0600));

  // Directories: exactly the mode asked for, whatever the umask; an existing
  // one is left as it is.
  umask(0777);
  ASSERT_TRUE(CriarDiretorio(raiz_ / "d", 0700));
  EXPECT_EQ(TRaizTemporaria::Modo(raiz_ / "d"), 0700u);
  chmod((raiz_ / "d").c_str(), 0750);
  EXPECT_TRUE(CriarDiretorio(raiz_ / "d", 0700));
  EXPECT_EQ(TRaizTemporaria::Modo(raiz_ / "d"), 0750u);
  EXPECT_FALSE(CriarDiretorio(alvo, 0700));
  EXPECT_FALSE(CriarDiretorio(raiz_ / "falta/d", 0700));
}

TEST_F(DadosLocaisTest, ConfiguracaoTemOsCamposNosSeusDeslocamentos) {
  TConfiguracao c;
  c.UltimoUsuario = 0x1234;
  c.Servidor = "tazu.example.com";
  c.Porta = 8001;
  c.PrimeiraGravacao = 45123.75;
  const std::string b = CodificarConfiguracao(c);
  ASSERT_EQ(b.size(), 272u);
  EXPECT_EQ(b.substr(0, 19), "\x34\x12\x10tazu.example.com");
  EXPECT_EQ(b.substr(258, 6), std::string("\x41\x1F\0\0\0\0", 6));
  double d;
  std::memcpy(&d, b.data() + 264, 8);  // the build host is little-endian, as the file
  EXPECT_EQ(d, 45123.75);
  EXPECT_EQ(DecodificarConfiguracao(b), c);
  EXPECT_FALSE(DecodificarConfiguracao(b.substr(0, 271)));
  c.Servidor = std::string(300, 'h');  // cut to 255 on assignment, and fits exactly
  EXPECT_EQ(DecodificarConfiguracao(CodificarConfiguracao(c))->Servidor.size(), 255u);
}

// The first save is stamped with the wall clock passed in, in local time.
TEST_F(DadosLocaisTest, PrimeiraGravacaoDaConfiguracaoFicaParaSempre) {
  using namespace std::chrono;
  const std::string fuso = std::getenv("TZ") ? std::getenv("TZ") : "";
  setenv("TZ", "UTC0", 1);
  tzset();
  const net::WallTime bissexto(sys_days(2024y / February / 29) + 18h + 500ms);
  fs::create_directories(Dados("Tazu.cfg.tmp/ocupado"));
  EXPECT_FALSE(GravarConfiguracao(bissexto - 24h));  // not saved: not the first save yet
  EXPECT_EQ(Configuracao.PrimeiraGravacao, 0.0);
  fs::remove_all(Dados("Tazu.cfg.tmp"));
  Configuracao.Servidor = "s1";
  EXPECT_TRUE(GravarConfiguracao(bissexto));
  Configuracao.Servidor = "s2";
  EXPECT_TRUE(GravarConfiguracao(bissexto + 24h));
  fuso.empty() ? unsetenv("TZ") : setenv("TZ", fuso.c_str(), 1);
  tzset();
  Configuracao = {};
  ASSERT_TRUE(CarregarConfiguracao());
  EXPECT_EQ(Configuracao.Servidor, "s2");
  EXPECT_EQ(Configuracao.PrimeiraGravacao, 45351.75 + 0.5 / 86400);

  // Short, missing or unreadable files leave the record as it was.
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
  EXPECT_EQ(DataHoraParaDias(1899, 12, 29, 0, 0, 0), -1.0);
  EXPECT_EQ(DataHoraParaDias(1900, 1, 1, 6, 0, 0), 2.25);
  EXPECT_DOUBLE_EQ(DataHoraParaDias(2024, 2, 29, 23, 59, 59.5), 45351.0 + 86399.5 / 86400);
}

TEST_F(DadosLocaisTest, RegistroGravadoTemCadaCampoNoSeuDeslocamento) {
  umask(0);
  TDadosUsuario u = Usuario(20, "Jo\xE3o");
  u.UsarICQ = u.UsarYahoo = true;
  u.SenhaYahoo = "ya";
  ASSERT_TRUE(GravarUsuario(u));
  EXPECT_EQ(TRaizTemporaria::Modo(Dados()), 0700u);
  EXPECT_EQ(TRaizTemporaria::Modo(Dados("Usuarios.dat")), 0600u);
  EXPECT_FALSE(fs::exists(Dados("Temp.dat")));
  const std::string r = Ler("Usuarios.dat");
  ASSERT_EQ(r.size(), 396u);
  TCriptografia padrao;
  EXPECT_EQ(Campo(r, 0), padrao.Embaralhar("20"));
  const uint8_t k = ChaveDoRegistro(20);
  const std::size_t posicoes[] = {26, 57, 83, 109, 138, 164, 190, 318, 344, 370};
  const std::string valores[] = {
      "Jo\xE3o", "s20", "6", "Sim", "20000", "", "Jo\xE3o@example.com", "", "Jo\xE3o", "ya"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Aberto(r, posicoes[i], k), valores[i]) << posicoes[i];
  EXPECT_EQ(r.substr(135, 3), std::string("\x01\x01\x01", 3));
}

TEST_F(DadosLocaisTest, CarregarEscolheOUsuarioPedidoOuOUltimo) {
  for (int niu : {20, 30, 10}) ASSERT_TRUE(GravarUsuario(Usuario(niu, "u" + std::to_string(niu))));
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
  fs::remove(Dados("Usuarios.dat"));
  CarregarUsuarios(10);
  EXPECT_EQ(UsuarioAtual.NIU, 30);
}

TEST_F(DadosLocaisTest, GravarOrdenaPorApelidoEmMaiusculasESubstituiOMesmoNumero) {
  for (const auto& [niu, apelido] : std::vector<std::pair<int, std::string>>{
           {1, "bruno"}, {2, "Carla"}, {3, "ana"}, {4, "\xE1lvaro"}, {5, "BRUNO"}}) {
    ASSERT_TRUE(GravarUsuario(Usuario(niu, apelido)));
  }
  // "Á" sorts after "Z"; of two equal names the new one goes after.
  EXPECT_EQ(NumerosDaLista(), (std::vector<uint16_t>{3, 1, 5, 2, 4}));
  TDadosUsuario carla = Usuario(2, "Zoe");
  carla.EmailMSN = "nova@example.com";
  ASSERT_TRUE(GravarUsuario(carla));
  EXPECT_EQ(Ler("Usuarios.dat").size(), 5 * 396u);
  CarregarUsuarios(2);
  EXPECT_EQ(NumerosDaLista(), (std::vector<uint16_t>{3, 1, 5, 2, 4}));
  EXPECT_EQ(UsuarioAtual, carla);

  const std::string antes = Ler("Usuarios.dat");
  EXPECT_FALSE(GravarUsuario(Usuario(65536, "x")));
  EXPECT_FALSE(GravarUsuario(Usuario(-1, "x")));
  EXPECT_EQ(Ler("Usuarios.dat"), antes);
}

TEST_F(DadosLocaisTest, RegistrosIlegiveisSaoRelatadosPuladosEPreservados) {
  const std::string maus[] = {RegistroManual("12a", "a", 1), RegistroManual("-5", "b", 1),
                              RegistroManual("65536", "c", 1), RegistroManual("", "d", 1),
                              RegistroManual(" 5", "e", 1)};
  // The readable one was written with another key, its number with leading
  // zeros, its flag as "sim" (only "Sim" exactly is true).
  const std::string bom = RegistroManual("00050", "m", 200, "sim");
  const std::string fragmento = bom.substr(0, 100);
  const std::string armazem = maus[0] + bom + maus[1] + maus[2] + maus[3] + maus[4] + fragmento;
  Escrever("Usuarios.dat", armazem);
  std::vector<std::pair<int, TDefeitoRegistro>> relatados;
  AoEncontrarRegistroDanificado = [&](int i, TDefeitoRegistro d) { relatados.emplace_back(i, d); };
  CarregarUsuarios(12);
  EXPECT_EQ(NumerosDaLista(), std::vector<uint16_t>{50});
  const TDadosUsuario& u = UsuarioAtual;
  EXPECT_EQ(std::vector<std::string>({u.Apelido, u.Senha, u.EmailMSN, u.SenhaYahoo}),
            std::vector<std::string>({"m", "senha", "xm", "xm"}));
  EXPECT_EQ(u.NIU * 1000 + u.StatusPreferido, 50006);
  EXPECT_TRUE(!u.LembrarSenha && u.UsarICQ && !u.UsarMSN && u.UsarYahoo);
  const auto N = TDefeitoRegistro::NumeroInvalido;
  const std::vector<std::pair<int, TDefeitoRegistro>> esperados = {
      {0, N}, {2, N}, {3, N}, {4, N}, {5, N}, {6, TDefeitoRegistro::FragmentoFinal}};
  EXPECT_EQ(relatados, esperados);

  // Nothing readable sorts after "n": it goes after the last whole record,
  // and every unreadable byte stays where it was.
  relatados.clear();
  ASSERT_TRUE(GravarUsuario(Usuario(60, "n")));
  EXPECT_EQ(relatados, esperados);
  const std::string novo = Ler("Usuarios.dat");
  ASSERT_EQ(novo.size(), armazem.size() + 396);
  EXPECT_EQ(novo.substr(0, 6 * 396) + novo.substr(7 * 396), armazem);
  EXPECT_EQ(Aberto(novo.substr(6 * 396, 396), 26, ChaveDoRegistro(60)), "n");
  // "a" sorts first: before the readable record, after the bad one before it.
  ASSERT_TRUE(GravarUsuario(Usuario(70, "a")));
  const std::string depois = Ler("Usuarios.dat");
  EXPECT_EQ(depois.substr(0, 396) + depois.substr(2 * 396), novo);
  EXPECT_EQ(Aberto(depois.substr(396, 396), 26, ChaveDoRegistro(70)), "a");
}

TEST_F(DadosLocaisTest, ByteDeTamanhoAlemDoCampoNaoLeAlemDoRegistro) {
  std::string reg = RegistroManual("8", "oito", 3);
  TCriptografia c;
  const std::string apelido = c.Embaralhar(std::string(27, '3'));  // 30 bytes: the whole field
  reg.replace(27, 30, apelido);
  reg[26] = '\xFF';
  reg.replace(371, 25, c.Embaralhar(std::string(22, '4')));
  reg[370] = '\x7F';
  const auto lido = DecodificarRegistro(reg);
  ASSERT_TRUE(lido);
  EXPECT_EQ(lido->Apelido, std::string(27, '3'));
  EXPECT_EQ(lido->Dados.Apelido, std::string(25, '3'));
  EXPECT_EQ(lido->Dados.SenhaYahoo, std::string(22, '4'));
  EXPECT_EQ(lido->Dados.Senha, "senha");
}

// A value whose scrambled form does not fit its field would come back cut: a
// password that no longer logs in. The store refuses the record and says which
// field, and nothing is written.
TEST_F(DadosLocaisTest, ValorQueNaoCabeNoCampoERecusado) {
  ASSERT_TRUE(GravarUsuario(Usuario(1, "um")));
  const std::string antes = Ler("Usuarios.dat");
  TDadosUsuario yahoo = Usuario(2, "dois");
  yahoo.SenhaYahoo = "abcdefghijklmnopqrstuvwx";  // 24 characters, 27 scrambled bytes
  TDadosUsuario msn = Usuario(2, "dois");
  msn.EmailMSN = std::string(127, 'm');
  for (const auto& [u, campo] : {std::pair{yahoo, "Senha do Yahoo"}, {msn, "E-mail do MSN"}}) {
    std::string erro;
    EXPECT_FALSE(GravarUsuario(u, &erro));
    EXPECT_NE(erro.find(campo), std::string::npos) << erro;
  }
  EXPECT_EQ(Ler("Usuarios.dat"), antes);
  EXPECT_EQ(NumerosDaLista(), std::vector<uint16_t>{1});

  // What fits is kept whole (digits never need an escape), and so are empty values.
  yahoo.SenhaYahoo = "1234567890123456789012";
  msn.EmailMSN = std::string(124, '5');
  TDadosUsuario vazio;
  vazio.NIU = 2;
  for (const TDadosUsuario& u : {yahoo, msn, vazio}) {
    ASSERT_TRUE(GravarUsuario(u));
    CarregarUsuarios(2);
    EXPECT_EQ(UsuarioAtual, u);
  }
}

TEST(CortarEmbaralhado, NuncaPartidoNoMeioDeUmEscape) {
  EXPECT_EQ(CortarEmbaralhado("abc", 5), "abc");
  EXPECT_EQ(CortarEmbaralhado("abc\xC0\xD0x", 4), "abc");
  EXPECT_EQ(CortarEmbaralhado("abc\xC0\xD5x", 5), "abc\xC0\xD5");
  EXPECT_EQ(CortarEmbaralhado("abc\xC0\xE0x", 4), "abc\xC0");  // a plain 0xC0
}

TEST_F(DadosLocaisTest, ArmazemQueNaoSePodeSubstituirFicaComoEstava) {
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

  // A store once readable by others is readable only by its owner afterwards.
  fs::remove(Dados("Usuarios.dat"));
  fs::rename(Dados("guardado"), Dados("Usuarios.dat"));
  chmod(Dados("Usuarios.dat").c_str(), 0644);
  umask(0);
  ASSERT_TRUE(GravarUsuario(Usuario(2, "dois")));
  EXPECT_EQ(TRaizTemporaria::Modo(Dados("Usuarios.dat")), 0600u);
}

TEST_F(DadosLocaisTest, LixoNuncaDerrubaNemPerdeOQueEstaGuardado) {
  std::mt19937 rnd(2024);
  for (int rodada = 0; rodada < 200; ++rodada) {
    std::string armazem;
    for (int i = static_cast<int>(rnd() % 6); i > 0; --i) {
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

// Random records: one whose values fit comes back exactly; one that does not
// is refused by the store.
TEST(RegistroUsuario, RegistrosAleatoriosVoltamComoForamOuSaoRecusados) {
  std::mt19937 rnd(99);
  auto texto = [&](std::size_t maximo) {
    std::string s(rnd() % (maximo + 1), ' ');
    for (char& ch : s) ch = static_cast<char>(rnd());
    return s;
  };
  int recusados = 0;
  for (int i = 0; i < 3000; ++i) {
    TDadosUsuario u;
    u.NIU = static_cast<int32_t>(rnd() % 65536);
    u.Apelido = texto(25);
    u.Senha = texto(15);
    u.StatusPreferido = static_cast<uint8_t>(rnd());
    u.LembrarSenha = rnd() % 2, u.UsarICQ = rnd() % 2, u.UsarMSN = rnd() % 2;
    u.UsarYahoo = rnd() % 2;
    u.NumeroICQ = texto(25), u.SenhaICQ = texto(25), u.EmailMSN = texto(127);
    u.SenhaMSN = texto(25), u.IdYahoo = texto(25), u.SenhaYahoo = texto(25);
    std::vector<TEntradaUsuario> lista;
    if (!CampoQueNaoCabe(u).empty()) {
      ++recusados;
      EXPECT_FALSE(InserirNoArmazem("", u, lista));
      continue;
    }
    const auto lido = DecodificarRegistro(*InserirNoArmazem("", u, lista));
    ASSERT_TRUE(lido);
    EXPECT_EQ(lido->Dados, u) << i;
  }
  EXPECT_GT(recusados, 100);
  EXPECT_LT(recusados, 2900);
}

}  // namespace
}  // namespace tazu
