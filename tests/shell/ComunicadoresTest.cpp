// The account window against the server's account settings, with a stand-in
// MSN adapter; the settings window and its two files.
#include <gmock/gmock.h>

#include <fstream>
#include <sstream>

#include "core/DadosLocais.h"
#include "shell/UComunicadores.h"
#include "shell/UConfiguracoes.h"
#include "shell/UPrincipal.h"
#include "skin/Skin.h"
#include "tests/shell/Ambiente.h"

namespace tazu::teste {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// An MSN adapter that only says what is asked of it.
class MSNFalso : public TInterfaceComunicador {
 public:
  MSNFalso(net::Runtime& rt, const TContaComunicador& conta, std::vector<std::string>& log)
      : TInterfaceComunicador(rt), log_(log) {
    NomeComunicador = "MSN";
    NomeComunidade = "MSN Messenger";
    Conta = conta.Identificador;
    Senha = conta.Senha;
    log_.push_back("criado " + conta.Identificador + "/" + conta.Senha);
  }
  void Desconectar(const std::string& motivo) override {
    log_.push_back("Desconectar " + motivo);
    TInterfaceComunicador::Desconectar(motivo);
  }

 private:
  std::vector<std::string>& log_;
};

class Comunicadores : public TAmbiente {
 protected:
  void SetUp() override {
    ana_ = servidor_->Criar("Ana", "a");
    // Ana's MSN account, kept by the server.
    TParceiro& p = Parceiro(ana_, "a");
    ASSERT_TRUE(p.Entrar());
    p.Cliente.GravarComunicadores(false, "", "", true, "ana@msn", "m", false, "", "");
    bool fim = false;
    p.Cliente.AoFinalizarAplicativo = [&](TClientePCTazu&) { fim = true; };
    p.Cliente.Sair();
    ASSERT_TRUE(EsperarAte([&] { return fim; }));
    parceiros_.clear();

    UsuarioLocal(ana_, "Ana", "a", true);
    TPrograma& programa = Programa();
    programa.Cliente().RegistrarFabrica(4,
                                        [this](net::Runtime& rt, const TContaComunicador& conta) {
                                          return std::make_unique<MSNFalso>(rt, conta, adaptador_);
                                        });
    programa.Iniciar();
    programa.IniciaLogin();
    ASSERT_TRUE(EsperarAte([this] { return Ctx().ClientePC.Comunicadores.Localizar("MSN"); }));
  }
  // The account window, as the tray menu opens it.
  TFrmComunicadores* Abrir() {
    programa_->Principal().Comunicadores1()->trigger();
    EsperarAte([] { return TFrmComunicadores::Aberta() != nullptr; });
    return TFrmComunicadores::Aberta();
  }
  uint16_t ana_ = 0;
  std::vector<std::string> adaptador_;
};

TEST_F(Comunicadores, ValidaJuntoTrocaASenhaEDesligaARede) {
  using R = TFrmComunicadores;
  TFrmComunicadores* w = Abrir();
  ASSERT_NE(w, nullptr);
  EXPECT_THAT(esperas_, Contains(std::pair<std::string, std::string>(
                            "Comunicadores",
                            "Aguarde...\r\nCarregando lista de comunicadores do servidor.")));
  EXPECT_TRUE(w->Chk(R::MSN)->isChecked());
  EXPECT_EQ(w->Id(R::MSN)->text(), QStringLiteral("ana@msn"));
  EXPECT_FALSE(w->Chk(R::ICQ)->isChecked());
  EXPECT_FALSE(w->Id(R::ICQ)->isEnabled());
  // A disabled box takes the element's second colour.
  EXPECT_EQ(w->Id(R::ICQ)->palette().color(QPalette::Base),
            CorDaSkin(w->Feicoes().Elemento(2)->Registro.DisabledColor()));
  EXPECT_EQ(w->Id(R::MSN)->palette().color(QPalette::Base),
            CorDaSkin(w->Feicoes().Elemento(5)->Registro.Color()));

  // Two networks without their data: one box, two lines, nothing switched.
  w->Chk(R::ICQ)->click();
  w->Chk(R::Yahoo)->click();
  EXPECT_TRUE(w->Id(R::ICQ)->isEnabled());
  const std::size_t enviadas = enviadas_.size();
  w->Ok();
  EXPECT_THAT(Caixas(), ElementsAre(TCaixaMostrada{
                            "informacao",
                            "Informe corretamente os dados do ICQ.\r\nInforme corretamente os "
                            "dados do Yahoo."}));
  EXPECT_EQ(enviadas_.size(), enviadas);
  EXPECT_TRUE(w->isVisible());

  // A new password restarts the adapter with it.
  w->Chk(R::ICQ)->click();
  w->Chk(R::Yahoo)->click();
  w->Senha(R::MSN)->setText("nova");
  w->Ok();
  const std::string niu = std::to_string(ana_);
  EXPECT_THAT(adaptador_,
              ElementsAre("criado ana@msn/m", "Desconectar " + niu, "criado ana@msn/nova"));
  EXPECT_THAT(enviadas_.back(), Cp("[CSCM]§0§§§1§ana@msn§nova§0§§"));
  Rodar(20);
  EXPECT_EQ(TFrmComunicadores::Aberta(), nullptr);

  // Switching MSN off disconnects it and the server keeps it off.
  w = Abrir();
  ASSERT_NE(w, nullptr);
  w->Chk(R::MSN)->click();
  w->Ok();
  EXPECT_EQ(adaptador_.back(), "Desconectar " + niu);
  EXPECT_THAT(enviadas_.back(), Cp("[CSCM]§0§§§0§ana@msn§nova§0§§"));
  EXPECT_FALSE(Ctx().ClientePC.Comunicadores.Localizar("MSN"));
  Rodar(20);
  w = Abrir();
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(w->Chk(R::MSN)->isChecked());
  EXPECT_EQ(w->Senha(R::MSN)->text(), QStringLiteral("nova"));
}

std::string Arquivo(const std::string& caminho) {
  std::ifstream f(caminho);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

TEST_F(Comunicadores, ConfiguracoesGuardamServidorEPortaEOutrasRedes) {
  TFrmConfiguracoes w(Ctx());
  const std::string longo = "servidor-de-teste.tazumessenger.com.br";
  w.EdtServidor()->setText(QString::fromStdString(longo));
  for (const char* porta : {"", "70000", "0"}) {
    w.EdtPorta()->setText(QString::fromLatin1(porta));
    w.Ok();
  }
  EXPECT_THAT(
      Caixas(),
      ElementsAre(
          TCaixaMostrada{"informacao",
                         "Informe endereço e porta válidos para a comunicação com o servidor."},
          TCaixaMostrada{"informacao",
                         "Informe endereço e porta válidos para a comunicação com o servidor."},
          TCaixaMostrada{"informacao",
                         "Informe endereço e porta válidos para a comunicação com o servidor."}));
  w.EdtPorta()->setText("7000");
  w.Externo(TFrmConfiguracoes::ProxyICQ)->setText("socks9://proxy:1");
  w.Ok();
  EXPECT_THAT(Caixas().at(0).Texto, HasSubstr("O proxy \"socks9://proxy:1\" não é válido."));
  EXPECT_EQ(w.Paginas()->currentIndex(), 1);
  w.Externo(TFrmConfiguracoes::ProxyICQ)->setText("socks5://eu:pw@127.0.0.1:1080");
  w.Externo(TFrmConfiguracoes::Yahoo)->setText("127.0.0.1:5050");
  w.Ok();
  EXPECT_EQ(w.result(), QDialog::Accepted);
  // Long host names are kept whole: cut, they would name another host.
  EXPECT_EQ(Ctx().ClientePC.IPServidor, longo);
  EXPECT_EQ(Ctx().ClientePC.PortaServidor, 7000);
  ReiniciarDadosLocais();
  ASSERT_TRUE(CarregarConfiguracao());
  EXPECT_EQ(Configuracao.Servidor, longo);
  EXPECT_EQ(Configuracao.Porta, 7000);
  const std::string servidores = Arquivo((pasta_ / "Dados" / "Servidores.cfg").string());
  EXPECT_THAT(servidores, HasSubstr("yahoo=127.0.0.1:5050\n"));
  EXPECT_THAT(servidores, HasSubstr("proxy_icq=socks5://eu:pw@127.0.0.1:1080\n"));

  // What the environment sets for the run is shown, not stored.
  setenv("TAZU_SERVIDOR_MSN", "127.0.0.1:1863", 1);
  TFrmConfiguracoes outra(Ctx());
  unsetenv("TAZU_SERVIDOR_MSN");
  EXPECT_FALSE(outra.Externo(TFrmConfiguracoes::MSN)->isEnabled());
  EXPECT_EQ(outra.Externo(TFrmConfiguracoes::MSN)->text(), QStringLiteral("127.0.0.1:1863"));
  EXPECT_EQ(outra.Externo(TFrmConfiguracoes::Yahoo)->text(), QStringLiteral("127.0.0.1:5050"));
}

}  // namespace
}  // namespace tazu::teste
