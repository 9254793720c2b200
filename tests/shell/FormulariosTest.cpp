// What the registration wizard and the information window check, send and
// summarise, without their windows.
#include <gmock/gmock.h>

#include "base/Cp1252.h"
#include "core/UGlobal.h"
#include "shell/FichaCadastral.h"
#include "shell/InformacoesDoUsuario.h"

namespace tazu {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string U(const std::string& cp) {
  return cp1252::ToUtf8(cp);
}
std::string Cp(const char* utf8) {
  return cp1252::FromUtf8(utf8);
}

TEST(FichaCadastral, CamposObrigatoriosNoSingularENoPlural) {
  TFichaCadastral f;
  f.Apelido = "Mari";
  f.EMail = "m@x";
  f.Senha = f.Confirmacao = "s";
  EXPECT_EQ(U(RecusaDaPrimeiraPagina(f)), "O campo Nome Completo é de preenchimento obrigatório.");
  f.Apelido.clear();
  EXPECT_EQ(U(RecusaDaPrimeiraPagina(f)),
            "Os campos Apelido, Nome Completo são de preenchimento obrigatório.");
  f.Apelido = "Mari";
  f.Nome = "Maria";
  f.Confirmacao = "outra";
  EXPECT_THAT(U(RecusaDaPrimeiraPagina(f)), ::testing::StartsWith("O valor digitado em Senha"));
  f.Confirmacao = "s";
  EXPECT_EQ(RecusaDaPrimeiraPagina(f), "");
}

TEST(FichaCadastral, DataDeNascimentoDeVerdade) {
  const struct {
    const char *dia, *mes, *ano;
    TCampoDaData campo;
  } casos[] = {
      {"", "", "", TCampoDaData::Nenhum},      {"29", "2", "2024", TCampoDaData::Nenhum},
      {"29", "02", "2023", TCampoDaData::Dia}, {"31", "4", "1990", TCampoDaData::Dia},
      {"0", "1", "1990", TCampoDaData::Dia},   {"12", "13", "1990", TCampoDaData::Mes},
      {"12", "", "", TCampoDaData::Mes},       {"12", "3", "90", TCampoDaData::Ano},
      {"12", "3", "1899", TCampoDaData::Ano},  {"12", "3", "2031", TCampoDaData::Ano},
      {"", "3", "1990", TCampoDaData::Dia},    {"1", "1", "1900", TCampoDaData::Nenhum},
  };
  for (const auto& c : casos) {
    EXPECT_EQ(VerificarData(c.dia, c.mes, c.ano, 2030), c.campo)
        << c.dia << "/" << c.mes << "/" << c.ano;
  }
  EXPECT_EQ(U(RecusaDaData(TCampoDaData::Mes)), "O campo \"Mês\" não foi preenchido corretamente.");
  EXPECT_EQ(Aniversario("5", "3", "1980"), "05/03/1980");
  EXPECT_EQ(Aniversario("", "", ""), "");
  EXPECT_TRUE(CelularAceito(""));
  EXPECT_TRUE(CelularAceito("3122223333"));
  EXPECT_FALSE(CelularAceito("31222233334"));
  EXPECT_FALSE(CelularAceito("312222333"));
}

TEST(FichaCadastral, VinteValoresNaOrdemDoServidor) {
  TFichaCadastral f;
  f.Apelido = "Mari";
  f.Nome = Cp("Maria § Silva");
  f.EMail = "m@x.br";
  f.Senha = f.Confirmacao = "0123456789abcdefXYZ";
  f.Sexo = 'F';
  f.Cidade = "BH";
  f.Estado = "MG";
  f.Pais = "Brasil";
  f.CEP = "30000";
  f.Celular = "3122223333";
  f.Casa = "1";
  f.Trabalho = "2";
  f.Linguas = {Cp("Português"), "Inglês", ""};
  f.Dia = "9";
  f.Mes = "12";
  f.Ano = "1980";
  f.ExigeAutorizacao = true;
  f.NaoPublicar = false;
  const std::vector<std::string> v = ValoresDoCadastro(f);
  EXPECT_THAT(v, ElementsAre("Mari", "Maria  Silva", "0123456789abcde", "F", "09/12/1980", "BH",
                             "MG", "Brasil", "30000", "", "", "Po", "In", "", "3122223333", "1",
                             "2", "m@x.br", "1", "0"));
}

// A block as the server sends it: fields tag-escaped, "§" between them.
std::string Bloco(std::initializer_list<const char*> campos) {
  std::string b;
  for (const char* c : campos) {
    if (!b.empty()) b += Separador;
    b += CodificarTexto(Cp(c));
  }
  return b;
}

std::vector<std::string> Linhas(const std::vector<TLinhaDoResumo>& resumo) {
  std::vector<std::string> l;
  for (const TLinhaDoResumo& r : resumo) l.push_back((r.Negrito ? "*" : "") + U(r.Texto));
  return l;
}

TEST(InformacoesDoUsuario, ResumoDosDoisBlocos) {
  TInformacoesDoUsuario info;
  const auto pessoal = info.Receber(
      BlocoPessoal, Bloco({"Mari", "3199990000", "Maria da Silva", "F", "12/03/1980", "", "MG", "",
                           "", "Dentista", "", "pt", "", "", "", "", "3133334444", "m@x.br", ""}));
  EXPECT_THAT(Linhas(pessoal),
              ElementsAre("*Pessoais", "Apelido: Mari", "Nome: Maria da Silva", "Sexo: F",
                          "Data de Nascimento: 12/03/1980", "Estado: MG", "Idioma 1: pt",
                          "Telefone do Trabalho: 3133334444", "E-Mail: m@x.br"));
  EXPECT_EQ(info.Campos[InfoDia], "12");
  EXPECT_EQ(info.Campos[InfoMes], "03");
  EXPECT_EQ(info.Campos[InfoAno], "1980");
  EXPECT_EQ(info.Campos[InfoCelularSMS], "3199990000");
  // The work phone and the profession came already: summarised once.
  const auto trabalho =
      info.Receber(BlocoTrabalho, Bloco({"Mari", "Clínica 'Sorriso'", "BH", "", "", "",
                                         "3133334444", "Dentista", "Sócia", ""}));
  EXPECT_THAT(Linhas(trabalho), ElementsAre("", "*Trabalho", "Empresa: Clínica 'Sorriso'",
                                            "Cidade: BH", "Cargo:Sócia"));
  // A block with nothing new writes no heading.
  EXPECT_THAT(info.Receber(BlocoTrabalho, Bloco({"Mari", "", "", "", "", "", "", "", "", ""})),
              IsEmpty());

  // What is sent back reads back the same.
  TInformacoesDoUsuario copia;
  copia.Receber(BlocoPessoal, info.Bloco(BlocoPessoal));
  copia.Receber(BlocoTrabalho, info.Bloco(BlocoTrabalho));
  EXPECT_EQ(copia.Campos, info.Campos);
}

}  // namespace
}  // namespace tazu
