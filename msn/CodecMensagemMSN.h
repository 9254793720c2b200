// The payload of a MSG: MIME headers, an empty line, the body. Text
// messages, typing notices and the notification server's own bodies (profile,
// e-mail notice) are told apart by their Content-Type.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tazu::msn {

struct TMensagemMIME {
  enum class Tipo : uint8_t {
    Outro = 0,
    Texto = 3,     // text/plain
    Controle = 4,  // text/x-msmsgscontrol (typing notices)
    Perfil,        // text/x-msmsgsprofile
    AvisoDeEmail,  // text/x-msmsgsinitialemailnotification
  };
  std::string versao;    // MIME-Version
  std::string tipoMime;  // the Content-Type up to ";"
  Tipo tipo = Tipo::Outro;
  bool utf8 = false;      // charset=UTF-8
  std::string formato;    // X-MMS-IM-Format
  std::string digitando;  // TypingUser
  // The body's lines joined with CR LF, without line ends at its end; as
  // sent (UTF-8 when `utf8`).
  std::string corpo;
};

// Reads the headers up to the first empty line and the body after it. Header
// names compare without regard to case; a payload without an empty line is
// all headers.
TMensagemMIME LerMensagemMIME(std::string_view payload);

// The payload of a text message. `textoUtf8` is already UTF-8.
std::string MontarMensagemDeTexto(std::string_view textoUtf8);
// A typing notice from `login`.
std::string MontarAvisoDeDigitacao(std::string_view login);

// The font of X-MMS-IM-Format: "FN=name; EF=BIUS; CO=bbggrr; ...".
struct TFonteMSN {
  std::string nome;  // decoded like a nickname
  bool negrito = false, italico = false, riscado = false, sublinhado = false;
  uint32_t cor = 0;  // 0x00BBGGRR, as sent
};
TFonteMSN LerFormatoDeFonte(std::string_view valor);

}  // namespace tazu::msn
