// Framing of the Tazu line protocol, shared by the client and the server.
//
// A message is one line: "[" + four-letter code + "]", then its fields, each
// preceded by "§", ended by CR LF. When the connection is scrambled every line
// travels as the scrambled form of its text. Readers split at CR, LF or CR LF
// and keep an unfinished line until its end arrives, within a bound; a NUL byte
// ends its own line (no well-formed line holds one).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "core/UCriptografia.h"

namespace tazu {

// Cuts a byte stream into raw lines.
class TLeitorDeLinhas {
 public:
  static constexpr std::size_t kLimitePadrao = 1 << 20;

  explicit TLeitorDeLinhas(std::size_t limite = kLimitePadrao) : limite_(limite) {}

  // Hands every complete, non-empty raw line of `dados` (joined with what was
  // kept from earlier reads) to `aoLinha`, in order. A line that grows past the
  // limit is dropped up to its end and reported once to `aoExcesso`.
  // `aoLinha` may return false to stop reading: the rest of `dados` and any
  // unfinished line are dropped (the handler closed the connection).
  void Alimentar(std::string_view dados, const std::function<bool(std::string_view)>& aoLinha,
                 const std::function<void()>& aoExcesso = {});
  void Limpar();
  std::size_t Pendente() const { return parcial_.size(); }

 private:
  std::size_t limite_;
  std::string parcial_;
  bool descartando_ = false;  // inside an over-long line, until its end
  bool cortada_ = false;      // a NUL ended the current line: skip to its end
};

// "[CODE]§f1§f2…": fields are joined as given (callers escape free texts).
std::string MontarLinha(std::string_view codigo, std::initializer_list<std::string_view> campos = {});

// What goes on the wire for `texto`: trailing CR LF pairs removed; unscrambled,
// the text + CR LF (nothing for an empty text); scrambled, each of its lines
// trimmed, scrambled and ended by CR LF.
std::string PrepararEnvio(const std::string& texto, const TCriptografia& cripto);

// A raw line as received: unscrambled when the key is not 0, then trimmed of
// bytes 0x20 and below at both ends. An empty result is to be skipped.
std::string AbrirLinha(std::string_view bruta, const TCriptografia& cripto);

}  // namespace tazu
