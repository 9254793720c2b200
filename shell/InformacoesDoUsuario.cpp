#include "shell/InformacoesDoUsuario.h"

#include <string_view>

#include "base/Cp1252.h"
#include "core/UGlobal.h"
#include "shell/FichaCadastral.h"

namespace tazu {

namespace {

struct TCampoDoBloco {
  TCampoInfo Campo;
  std::string_view Rotulo;  // empty: never summarised
};

constexpr TCampoDoBloco kPessoal[] = {
    {InfoApelido, "Apelido: "_cp},
    {InfoCelularSMS, ""},
    {InfoNome, "Nome: "_cp},
    {InfoSexo, "Sexo: "_cp},
    {InfoAniversario, "Data de Nascimento: "_cp},
    {InfoMunicipio, "Município: "_cp},
    {InfoEstado, "Estado: "_cp},
    {InfoPais, "País: "_cp},
    {InfoCEP, "CEP: "_cp},
    {InfoProfissao, ""},
    {InfoEscolaridade, "Escolaridade: "_cp},
    {InfoIdioma1, "Idioma 1: "_cp},
    {InfoIdioma2, "Idioma 2: "_cp},
    {InfoIdioma3, "Idioma 3: "_cp},
    {InfoCelularPublico, "Telefone Celular: "_cp},
    {InfoCasa, "Telefone de Casa: "_cp},
    {InfoTrabalho, "Telefone do Trabalho: "_cp},
    {InfoEMail, "E-Mail: "_cp},
    {InfoRecado, ""},
};

constexpr TCampoDoBloco kTrabalho[] = {
    {InfoApelido, ""},
    {InfoEmpresa, "Empresa: "_cp},
    {InfoTrabMunicipio, "Cidade: "_cp},
    {InfoTrabEstado, "Estado: "_cp},
    {InfoTrabPais, "País: "_cp},
    {InfoTrabCEP, "CEP/ZIP: "_cp},
    {InfoTrabalho, "Telefone: "_cp},
    {InfoProfissao, "Profissão: "_cp},
    {InfoCargo, "Cargo:"_cp},
    {InfoTrabWebSite, "Web Site:"_cp},
};

constexpr std::string_view kTituloPessoal = "Pessoais"_cp;
constexpr std::string_view kTituloTrabalho = "Trabalho"_cp;

template <std::size_t N>
constexpr std::size_t Tamanho(const TCampoDoBloco (&)[N]) {
  return N;
}

}  // namespace

std::vector<TLinhaDoResumo> TInformacoesDoUsuario::Receber(int bloco, const std::string& texto) {
  const bool pessoal = bloco == BlocoPessoal;
  const TCampoDoBloco* ordem = pessoal ? kPessoal : kTrabalho;
  const std::size_t n = pessoal ? Tamanho(kPessoal) : Tamanho(kTrabalho);
  bool trabalhoDevido = !pessoal;
  std::vector<TLinhaDoResumo> resumo;
  std::string resto = texto;
  bool haMais = true;
  for (std::size_t i = 0; i < n && haMais; ++i) {
    haMais = resto.find(kSeparador) != std::string::npos;
    const std::string valor = DecodificarTexto(ProximoCampo(resto, Separador));
    const TCampoDoBloco& c = ordem[i];
    std::string& campo = Campos[static_cast<std::size_t>(c.Campo)];
    const bool novo = !valor.empty() && campo.empty();
    campo = valor;
    if (c.Campo == InfoAniversario) {
      // dd/mm/yyyy
      Campos[InfoDia] = valor.substr(0, 2);
      Campos[InfoMes] = valor.size() > 3 ? valor.substr(3, 2) : std::string();
      Campos[InfoAno] = valor.size() > 6 ? valor.substr(6, 4) : std::string();
    }
    if (!novo) continue;
    if (pessoal && pessoalDevido_) {
      resumo.push_back({std::string(kTituloPessoal), true});
      pessoalDevido_ = false;
    } else if (trabalhoDevido) {
      resumo.push_back({});
      resumo.push_back({std::string(kTituloTrabalho), true});
      trabalhoDevido = false;
    }
    if (!c.Rotulo.empty()) resumo.push_back({std::string(c.Rotulo) + valor, false});
  }
  return resumo;
}

std::string TInformacoesDoUsuario::Bloco(int bloco) const {
  const bool pessoal = bloco == BlocoPessoal;
  const TCampoDoBloco* ordem = pessoal ? kPessoal : kTrabalho;
  const std::size_t n = pessoal ? Tamanho(kPessoal) : Tamanho(kTrabalho);
  std::string texto;
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) texto += Separador;
    const TCampoInfo c = ordem[i].Campo;
    const std::string& valor = c == InfoAniversario
                                   ? Aniversario(Campos[InfoDia], Campos[InfoMes], Campos[InfoAno])
                                   : Campos[static_cast<std::size_t>(c)];
    texto += CodificarTexto(valor);
  }
  return texto;
}

}  // namespace tazu
