#include "shell/FichaCadastral.h"

#include "core/UGlobal.h"
#include "shell/Textos.h"

namespace tazu {

namespace {

bool SoAlgarismos(const std::string& texto) {
  if (texto.empty()) return false;
  for (char c : texto) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int DiasNoMes(int mes, int ano) {
  static constexpr int kDias[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool bissexto = (ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0;
  return mes == 2 && bissexto ? 29 : kDias[mes - 1];
}

// The number a box holds, within [minimo, maximo]; 0 when it holds none.
int Numero(const std::string& texto, std::size_t digitos, int minimo, int maximo) {
  uint32_t n = 0;
  if (!SoAlgarismos(texto) || texto.size() > digitos) return 0;
  if (!LerNumero(texto, 9999, n)) return 0;
  const int v = static_cast<int>(n);
  return v >= minimo && v <= maximo ? v : 0;
}

std::string DoisAlgarismos(const std::string& texto) {
  return texto.size() == 1 ? "0" + texto : texto;
}

}  // namespace

std::string CamposObrigatorios(
    const std::vector<std::pair<std::string_view, std::string>>& campos) {
  std::vector<std::string_view> faltando;
  for (const auto& [nome, valor] : campos) {
    if (valor.empty()) faltando.push_back(nome);
  }
  if (faltando.empty()) return {};
  if (faltando.size() == 1) {
    return std::string(textos_shell::OCampo) + std::string(faltando[0]) +
           std::string(textos_shell::E) + std::string(textos_shell::Obrigatorio);
  }
  std::string nomes;
  for (std::string_view nome : faltando) {
    if (!nomes.empty()) nomes += ", ";
    nomes += nome;
  }
  return std::string(textos_shell::OsCampos) + nomes + std::string(textos_shell::Sao) +
         std::string(textos_shell::Obrigatorio);
}

std::string RecusaDaPrimeiraPagina(const TFichaCadastral& f) {
  std::string recusa = CamposObrigatorios({{textos_shell::CampoApelido, f.Apelido},
                                           {textos_shell::CampoNomeCompleto, f.Nome},
                                           {textos_shell::CampoEMailCadastro, f.EMail},
                                           {textos_shell::CampoSenha, f.Senha},
                                           {textos_shell::CampoConfirmacao, f.Confirmacao}});
  // A mistyped password would be the only one the new user has.
  if (recusa.empty() && f.Senha != f.Confirmacao) recusa = textos_shell::SenhasDiferentes;
  return recusa;
}

TCampoDaData VerificarData(const std::string& dia, const std::string& mes, const std::string& ano,
                           int anoAtual) {
  if (dia.empty() && mes.empty() && ano.empty()) return TCampoDaData::Nenhum;
  const int d = Numero(dia, 2, 1, 31);
  if (d == 0) return TCampoDaData::Dia;
  const int m = Numero(mes, 2, 1, 12);
  if (m == 0) return TCampoDaData::Mes;
  const int a = ano.size() == 4 ? Numero(ano, 4, 1900, anoAtual) : 0;
  if (a == 0) return TCampoDaData::Ano;
  return d <= DiasNoMes(m, a) ? TCampoDaData::Nenhum : TCampoDaData::Dia;
}

std::string RecusaDaData(TCampoDaData campo) {
  std::string_view nome;
  switch (campo) {
    case TCampoDaData::Nenhum:
      return {};
    case TCampoDaData::Dia:
      nome = textos_shell::CampoDia;
      break;
    case TCampoDaData::Mes:
      nome = textos_shell::CampoMes;
      break;
    case TCampoDaData::Ano:
      nome = textos_shell::CampoAno;
      break;
  }
  return std::string(textos_shell::OCampo) + std::string(nome) +
         std::string(textos_shell::NaoPreenchido);
}

std::string Aniversario(const std::string& dia, const std::string& mes, const std::string& ano) {
  if (dia.empty() && mes.empty() && ano.empty()) return {};
  return DoisAlgarismos(dia) + "/" + DoisAlgarismos(mes) + "/" + ano;
}

bool CelularAceito(const std::string& celular) {
  return celular.empty() || (celular.size() == 10 && SoAlgarismos(celular));
}

std::vector<std::string> ValoresDoCadastro(const TFichaCadastral& f) {
  // Only the nickname travels escaped: a "§" typed anywhere else would split
  // its value in two and shift every value after it.
  std::vector<std::string> valores = {f.Apelido.substr(0, 25),
                                      f.Nome,
                                      f.Senha.substr(0, 15),
                                      std::string(1, f.Sexo),
                                      Aniversario(f.Dia, f.Mes, f.Ano),
                                      f.Cidade,
                                      f.Estado,
                                      f.Pais,
                                      f.CEP,
                                      "",
                                      "",
                                      f.Linguas[0].substr(0, 2),
                                      f.Linguas[1].substr(0, 2),
                                      f.Linguas[2].substr(0, 2),
                                      f.Celular,
                                      f.Casa,
                                      f.Trabalho,
                                      f.EMail,
                                      f.ExigeAutorizacao ? "1" : "0",
                                      f.NaoPublicar ? "1" : "0"};
  for (std::size_t i = 1; i < valores.size(); ++i) {
    std::erase(valores[i], kSeparador);
  }
  return valores;
}

}  // namespace tazu
