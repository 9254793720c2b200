// The pictures the manager, the menus and the tray take from the skin, as
// "Icones.dsc" names them: one picture per status code (index = code, 0 for
// an unknown status, 4 repeating "Status1"), then the extra pictures.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <string>
#include <vector>

namespace tazu {

// The codes in the order of the image lists: index i shows "Status" + code.
inline constexpr int CodigosDasImagens[9] = {255, 1, 2, 3, 1, 5, 6, 7, 8};

struct TIcones {
  std::vector<QPixmap> Contatos;      // 18: nine statuses, unread message, eight origins
  std::vector<QPixmap> Menu;          // 9 statuses, for the menus
  std::vector<QIcon> Bandeja;         // 9 statuses, then the unread-message icon at 9
  std::string DiretorioStatusGrande;  // the manager's big status pictures

  // Reads "Icones.dsc" and every picture it leads to. A missing file leaves an
  // empty picture at its place.
  static TIcones Carregar();
  // A skin picture by its extension, the last three characters of the name:
  // "bmp" with magenta made transparent, "ico" as it is, anything else none.
  static QPixmap Figura(const std::string& relativo);
};

}  // namespace tazu
