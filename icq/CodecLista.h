// The server-side contact list (family 0x13): item frames both ways, the
// whole list the server sends, and the entries the engine makes of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "icq/CodecMensagens.h"

namespace tazu::icq::lista {

inline constexpr uint16_t kContato = 0;
inline constexpr uint16_t kGrupo = 1;
inline constexpr uint16_t kPermitido = 2;
inline constexpr uint16_t kBloqueado = 3;
inline constexpr uint16_t kIgnorado = 14;

// Result codes of a list change as the engine passes them on.
inline constexpr uint16_t kOk = 0;
inline constexpr uint16_t kNaoEncontrado = 2;
inline constexpr uint16_t kJaExiste = 3;
inline constexpr uint16_t kErro = 10;
inline constexpr uint16_t kNaoAutorizado = 14;
// Any code other than 0, 2, 3 and 14 reads as 10.
uint16_t CodigoConhecido(uint16_t codigo);

// SNAC flag of a list reply that more replies follow.
inline constexpr uint16_t kMaisSegue = 0x0001;

// The bytes of one item: word-counted name, group id, item id, type, then the
// TLV block with its length. Nicknames and SMS numbers travel as UTF-8.
std::string Item(const TItemLista& item);
// One item from `l`'s position; false when it is not whole.
bool LerItem(std::string_view& resto, TItemLista& item);

// The server's list (0x0013/0x0006 data): version block, list version, item
// count, items, and a 32-bit time stamp.
std::string Lista(const std::vector<TItemLista>& itens, uint32_t quando = 0);
// False when the data does not open with the version block; items that are
// not whole are dropped with whatever follows them.
bool LerLista(std::string_view dados, std::vector<TItemLista>& itens);

// The entries the engine hands on: buddies, permit, deny and ignore items,
// each with the name of its group (groups are type 1, with a name, a group id
// and item id 0).
std::vector<TEntradaLista> Entradas(const std::vector<TItemLista>& itens);

}  // namespace tazu::icq::lista
