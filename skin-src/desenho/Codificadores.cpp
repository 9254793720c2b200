#include "skin-src/desenho/Codificadores.h"

#include <gif_lib.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>

namespace tazu::arte {

namespace {

void CriarPasta(const std::string& caminho) {
  QDir().mkpath(QFileInfo(QString::fromStdString(caminho)).path());
}

void Le16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
void Le32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

// The RIFF header of plain PCM is small and fixed; no library needed for it.
bool GravarWav(const std::string& caminho, const std::vector<float>& amostras, int taxa) {
  CriarPasta(caminho);
  const uint32_t dados = static_cast<uint32_t>(amostras.size() * 2);
  std::string s = "RIFF";
  Le32(s, 36 + dados);
  s += "WAVEfmt ";
  Le32(s, 16);
  Le16(s, 1);  // PCM
  Le16(s, 1);  // mono
  Le32(s, static_cast<uint32_t>(taxa));
  Le32(s, static_cast<uint32_t>(taxa) * 2);
  Le16(s, 2);
  Le16(s, 16);
  s += "data";
  Le32(s, dados);
  for (float a : amostras) {
    const auto v = static_cast<int16_t>(std::lround(std::clamp(a, -1.0f, 1.0f) * 32767.0f));
    Le16(s, static_cast<uint16_t>(v));
  }
  std::ofstream f(caminho, std::ios::binary);
  f.write(s.data(), static_cast<std::streamsize>(s.size()));
  return static_cast<bool>(f);
}

bool GravarGif(const std::string& caminho, const std::vector<QImage>& quadros, int atraso,
               std::string& erro) {
  if (quadros.empty()) {
    erro = "no frames";
    return false;
  }
  const int w = quadros[0].width(), h = quadros[0].height();
  // One palette for the whole movie: index 0 is transparent, then every colour
  // the frames use, up to 255 of them.
  std::map<QRgb, int> indices;
  std::vector<GifColorType> cores(256, GifColorType{0, 0, 0});
  int proxima = 1;
  std::vector<std::vector<GifByteType>> pixels;
  for (const QImage& q : quadros) {
    const QImage img = q.convertToFormat(QImage::Format_ARGB32);
    if (img.size() != quadros[0].size()) {
      erro = "frames differ in size";
      return false;
    }
    std::vector<GifByteType> linha(static_cast<std::size_t>(w * h), 0);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const QRgb c = img.pixel(x, y);
        if (qAlpha(c) < 128) continue;
        const QRgb chave = c & 0xFFFFFF;
        auto it = indices.find(chave);
        if (it == indices.end()) {
          if (proxima > 255) {
            erro = "more than 255 colours";
            return false;
          }
          cores[static_cast<std::size_t>(proxima)] = {static_cast<GifByteType>(qRed(c)),
                                                      static_cast<GifByteType>(qGreen(c)),
                                                      static_cast<GifByteType>(qBlue(c))};
          it = indices.emplace(chave, proxima++).first;
        }
        linha[static_cast<std::size_t>(y * w + x)] = static_cast<GifByteType>(it->second);
      }
    }
    pixels.push_back(std::move(linha));
  }

  CriarPasta(caminho);
  int codigo = 0;
  GifFileType* gif = EGifOpenFileName(caminho.c_str(), false, &codigo);
  if (!gif) {
    erro = std::string("cannot create ") + caminho + ": " + GifErrorString(codigo);
    return false;
  }
  auto falhar = [&](const char* onde) {
    erro = std::string(onde) + ": " + GifErrorString(gif->Error);
    EGifCloseFile(gif, &codigo);
    return false;
  };
  ColorMapObject* mapa = GifMakeMapObject(256, cores.data());
  EGifSetGifVersion(gif, true);
  if (EGifPutScreenDesc(gif, w, h, 8, 0, mapa) == GIF_ERROR) {
    GifFreeMapObject(mapa);
    return falhar("screen");
  }
  GifFreeMapObject(mapa);
  // Loop forever (NETSCAPE2.0 application extension).
  const unsigned char netscape[] = "NETSCAPE2.0";
  const unsigned char laco[] = {1, 0, 0};
  if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(gif, 11, netscape) == GIF_ERROR ||
      EGifPutExtensionBlock(gif, 3, laco) == GIF_ERROR ||
      EGifPutExtensionTrailer(gif) == GIF_ERROR) {
    return falhar("loop");
  }
  for (auto& quadro : pixels) {
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_BACKGROUND;
    gcb.DelayTime = atraso;
    gcb.TransparentColor = 0;
    GifByteType ext[4];
    const std::size_t n = EGifGCBToExtension(&gcb, ext);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext) == GIF_ERROR) {
      return falhar("control");
    }
    if (EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_ERROR) return falhar("image");
    for (int y = 0; y < h; ++y) {
      if (EGifPutLine(gif, &quadro[static_cast<std::size_t>(y * w)], w) == GIF_ERROR) {
        return falhar("line");
      }
    }
  }
  if (EGifCloseFile(gif, &codigo) == GIF_ERROR) {
    erro = std::string("close: ") + GifErrorString(codigo);
    return false;
  }
  return true;
}

}  // namespace tazu::arte
