// The simulator's accounts as text, for its command line and files:
//
//   conta UIN SENHA APELIDO [autorizacao]   an account (asks for authorisation)
//   lista UIN CONTATO APELIDO [GRUPO]       CONTATO in UIN's server-side list
//   eco UIN [APELIDO]                       an always-online account that
//                                           answers every message with its text
//   info UIN CAMPO VALOR                    nome, sobrenome, email, cidade, estado,
//                                           pais (code), sexo (1/2), idade
//
// One a line; blank lines and lines starting with '#' are skipped; a field
// with spaces is written between double quotes.
#pragma once

#include <string>
#include <string_view>

#include "sim/icq/SimuladorICQ.h"

namespace tazu::sim::icq {

// Applies one line; false (with the reason) when it does not read.
bool AplicarLinha(TSimuladorICQ& sim, std::string_view linha, std::string* erro = nullptr);
// Every line of a text; false at the first that does not read ("N: reason").
bool AplicarContas(TSimuladorICQ& sim, std::string_view texto, std::string* erro = nullptr);

}  // namespace tazu::sim::icq
