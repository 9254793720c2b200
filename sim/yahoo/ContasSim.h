// The simulated Yahoo network's accounts: an id, a password, buddies in
// groups, and messages kept for when the account is offline.
//
// An account is written on one line (command line or file):
//   ID:PASSWORD[:GROUP=BUDDY,BUDDY;GROUP=BUDDY...][:refuse]
// "refuse" makes the account turn down everyone who tries to add it.
// Ids are matched without regard to letter case.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tazu::simyahoo {

struct TRecado {
  std::string de, texto;
  bool utf8 = false;
  int64_t hora = 0;  // seconds since 1970
};

struct TContaSim {
  std::string id;
  std::string senha;
  std::vector<std::pair<std::string, std::vector<std::string>>> grupos;
  bool recusa = false;
  std::vector<TRecado> recados;

  bool TemAmigo(std::string_view amigo) const;
  // Adds the buddy to the group (created when new); false when already there.
  bool AdicionarAmigo(const std::string& amigo, const std::string& grupo);
  bool RemoverAmigo(std::string_view amigo);
  // key 87 of the buddy list: "GROUP:ID,ID\n" per group, in order.
  std::string ListaDeContatos() const;
};

std::string Minusculas(std::string_view texto);

// One account line; false (with the reason) when it does not read.
bool LerConta(std::string_view linha, TContaSim& conta, std::string& erro);

class TContasSim {
 public:
  bool Adicionar(TContaSim conta, std::string& erro);
  TContaSim* Localizar(std::string_view id);
  // Reads a file of account lines ('#' starts a comment line).
  bool LerArquivo(const std::string& caminho, std::string& erro);
  std::size_t Quantidade() const { return contas_.size(); }

 private:
  std::map<std::string, TContaSim> contas_;  // by lower-case id
};

}  // namespace tazu::simyahoo
