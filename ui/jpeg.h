// JPEG decoding through libjpeg, for the about dialog's picture.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sillage {

// A decoded picture: Largeur x Hauteur pixels of three bytes (red, green, blue), rows from top
// to bottom without padding.
struct ImageRgb {
    int Largeur = 0;
    int Hauteur = 0;
    std::vector<unsigned char> Pixels;
};

// The largest picture DecodeJpeg accepts, in pixels.
inline constexpr std::size_t kPixelsMaximum = std::size_t{1} << 26;

// Decodes the JPEG stream octets[0, taille) into image. Anything libjpeg finds wrong, a warning
// about damaged or truncated data included, makes it return false with image empty and, when
// erreur is given, libjpeg's message in it; the program never stops on bad data.
bool DecodeJpeg(const unsigned char* octets, std::size_t taille, ImageRgb& image,
                std::string* erreur = nullptr);

} // namespace sillage
