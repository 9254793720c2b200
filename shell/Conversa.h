// One conversation as the chat window keeps it: the partner's names, what was
// last sent, whether text waits unseen, and how each event of the
// conversation is written to the history file and shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tazu {

// Colours of the conversation, Windows values (0x00BBGGRR).
enum : uint32_t {
  CorPreta = 0x000000,
  CorAzul = 0xFF0000,          // the partner's header
  CorVerdeAzulada = 0x808000,  // the own header
  CorVermelha = 0x0000FF,      // a note that the text did not arrive
  CorVerde = 0x008000,         // the own header in the history window
};

// One paragraph of the view.
struct TTrecho {
  std::string Texto;  // Windows-1252
  uint32_t Cor = CorPreta;
  bool Cabecalho = false;
  bool operator==(const TTrecho&) const = default;
};

class TConversa {
 public:
  std::string Comunicador;
  std::string Identificador;
  std::string Apelido;
  bool NaoLido = false;
  std::string UltimoEnviado;
  bool Enviando = false;

  // Each writes the event's history line (for local user `niuLocal`) and
  // answers the paragraphs the view appends; the first event of a view gets
  // no blank line before it.
  std::vector<TTrecho> Recebida(uint16_t niuLocal, const std::string& hora,
                                std::vector<std::string>& linhas);
  std::vector<TTrecho> Entregue(uint16_t niuLocal, const std::string& hora,
                                const std::string& apelidoLocal);
  std::vector<TTrecho> NaoEntregue(uint16_t niuLocal, const std::string& hora,
                                   std::vector<std::string>& linhas);

  // The note written when the text did not reach the partner.
  std::string NotaDeNaoEntrega() const;

  // The lines of a typed text, or nothing when it holds only blanks and line
  // breaks.
  static std::optional<std::vector<std::string>> LinhasParaEnviar(const std::string& texto);

 private:
  void Separar(std::vector<TTrecho>& trechos);
  bool vazia_ = true;
};

}  // namespace tazu
