// What the user information window shows and sends: the published fields of
// one user, the two blocks the server sends them in ("Pessoais" and
// "Trabalho") and the summary written as the blocks arrive. Plain C++ over
// Windows-1252 texts; the window copies the fields to and from its boxes.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tazu {

// The window's boxes, in the order of the skin's elements 11 to 37, then the
// birth date as one text (the three date boxes split it) and the one field of
// the personal block that only its owner ever sees.
enum TCampoInfo : int {
  InfoApelido,
  InfoNome,
  InfoSexo,
  InfoDia,
  InfoMes,
  InfoAno,
  InfoMunicipio,
  InfoEstado,
  InfoPais,
  InfoCEP,
  InfoProfissao,
  InfoEscolaridade,
  InfoIdioma1,
  InfoIdioma2,
  InfoIdioma3,
  InfoCelularPublico,
  InfoCasa,
  InfoTrabalho,
  InfoEMail,
  InfoCelularSMS,
  InfoTrabMunicipio,
  InfoTrabEstado,
  InfoTrabPais,
  InfoTrabCEP,
  InfoEmpresa,
  InfoCargo,
  InfoTrabWebSite,
  InfoAniversario,
  InfoRecado,
  QuantidadeDeCamposInfo
};
// The first 27 are boxes the skin places.
inline constexpr int QuantidadeDeCaixasInfo = InfoAniversario;

enum TBlocoInfo : int { BlocoPessoal = 1, BlocoTrabalho = 2 };

// One line of the summary view.
struct TLinhaDoResumo {
  std::string Texto;
  bool Negrito = false;
  bool operator==(const TLinhaDoResumo&) const = default;
};

class TInformacoesDoUsuario {
 public:
  std::array<std::string, QuantidadeDeCamposInfo> Campos;

  // Takes one block as the server sends it ("§"-separated, tag-escaped) into
  // the fields and answers the summary lines it adds: a field is summarised
  // when it brings a value to a field that had none (a field both blocks
  // carry is summarised once), under its block's heading.
  std::vector<TLinhaDoResumo> Receber(int bloco, const std::string& texto);

  // The block as it is sent back: every field escaped, in the block's order;
  // the birth date is made of the three date boxes.
  std::string Bloco(int bloco) const;

 private:
  bool pessoalDevido_ = true;
};

}  // namespace tazu
