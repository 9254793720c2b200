// What the registration wizard collects, the checks of its pages and the
// twenty values it hands to the server. Plain C++ over Windows-1252 texts; the
// wizard's pages only copy their boxes in and out.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tazu {

struct TFichaCadastral {
  // Page 0.
  std::string Apelido;
  std::string Nome;
  std::string EMail;
  std::string Senha;
  std::string Confirmacao;
  bool LembrarSenha = false;
  // Page 1. 'M', 'F' or 'D' when neither box is chosen.
  char Sexo = 'D';
  std::string Cidade;
  std::string Estado;
  std::string Pais;
  std::string CEP;
  std::string Celular;
  std::string Casa;
  std::string Trabalho;
  std::array<std::string, 3> Linguas;
  std::string Dia;
  std::string Mes;
  std::string Ano;
  // Page 2.
  bool ExigeAutorizacao = false;
  bool NaoPublicar = false;
};

// "O campo X é de preenchimento obrigatório." for the one empty field, "Os
// campos X, Y são ..." for several, in the order given; empty when none is.
std::string CamposObrigatorios(const std::vector<std::pair<std::string_view, std::string>>& campos);

// The first page's refusal, or empty: the required fields, then a password
// that its confirmation does not repeat.
std::string RecusaDaPrimeiraPagina(const TFichaCadastral& ficha);

// The birth date is optional; once any of its three boxes is filled, the day,
// month and year must make a real date of the calendar between 1900 and
// `anoAtual`. Answers the box that is wrong.
enum class TCampoDaData { Nenhum, Dia, Mes, Ano };
TCampoDaData VerificarData(const std::string& dia, const std::string& mes, const std::string& ano,
                           int anoAtual);
// "O campo "Dia" não foi preenchido corretamente." and the like.
std::string RecusaDaData(TCampoDaData campo);

// The date as the server keeps it, "dd/mm/yyyy"; empty when no box is filled.
std::string Aniversario(const std::string& dia, const std::string& mes, const std::string& ano);

// A mobile number is either left out or ten digits: area code and number.
bool CelularAceito(const std::string& celular);

// The twenty values of the registration, in their order; a "§" is kept only
// in the nickname, which travels escaped.
std::vector<std::string> ValoresDoCadastro(const TFichaCadastral& ficha);

}  // namespace tazu
