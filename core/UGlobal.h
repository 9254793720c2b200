// Text and status helpers shared by the Tazu client, the server and the windows:
// field splitting, command recognition, the two escaping schemes of protocol
// fields, line trimming and the status names. All texts are Windows-1252.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tazu {

// Field separator of the Tazu protocol and of several local records: "§".
inline constexpr char kSeparador = '\xA7';
inline const std::string Separador(1, kSeparador);

// Status codes. Code 4 is not used; 100-103 (MSN) and 200-203 (Yahoo) fold onto
// a base code.
enum : uint8_t {
  StatusConectado = 1,
  StatusInvisivel = 2,
  StatusDesconectado = 3,
  StatusNaoPerturbe = 5,
  StatusOcupado = 6,
  StatusLivreParaChat = 7,
  StatusLonge = 8,
  StatusDesconhecido = 255,
};

// The codes a user may choose, in menu order.
inline constexpr uint8_t StatusDoMenu[] = {1, 7, 2, 8, 6, 5, 3};

// Looks the code up in the status tables: sets `nome` and answers the base code.
// An unknown code leaves `nome` untouched and answers the code itself.
uint8_t NomeDoStatus(uint8_t codigo, std::string& nome);

// Cuts `texto` at the first `separador`: answers what lies before it and leaves
// in `texto` what follows. Without a separator the whole text is the field.
std::string ProximoCampo(std::string& texto, const std::string& separador);

// Recognises "[CODE]" as the first field of a protocol line: answers CODE and
// leaves the rest of the line after the first separator. A line that does not
// start that way answers an empty code and stays as it was.
std::string LerComando(std::string& linha);

// Tag escaping, for free texts inside protocol fields.
std::string CodificarTexto(const std::string& texto);
std::string DecodificarTexto(const std::string& texto);

// Pair escaping, for nicknames. The two tables are not each other's inverse
// (the server's "§" pair is not the client's), by design of the protocol.
std::string CodificarApelido(const std::string& texto);
std::string DecodificarApelido(const std::string& texto);

// Removes every CR LF pair at the end of the text; a lone CR or LF stays.
std::string RemoverQuebrasFinais(const std::string& texto);

// Takes the first line out of `linhas`, trimmed of bytes 0x20 and below at both
// ends; an empty list answers an empty text.
std::string PrimeiraLinha(std::vector<std::string>& linhas);

// Replaces every occurrence of `de` by `para`, left to right.
std::string SubstituirTodos(std::string_view texto, std::string_view de, std::string_view para);

// Trims bytes 0x20 and below at both ends.
std::string_view Aparar(std::string_view texto);

// Upper case under Windows-1252 rules (letters with accents included), the way
// identifiers and nicknames are compared.
std::string MaiusculasAnsi(std::string_view texto);

// Splits a text into lines at CR LF, lone CR or lone LF. A final line end does
// not make an empty last line.
std::vector<std::string> DividirLinhas(std::string_view texto);

// Strict decimal number: digits only (no sign, no blanks), within [0, maximo].
bool LerNumero(std::string_view texto, uint32_t maximo, uint32_t& valor);

}  // namespace tazu
