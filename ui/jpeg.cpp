#include "ui/jpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace sillage {

namespace {

// libjpeg's error manager, with the way back to DecodeJpeg and the first message.
struct Erreurs {
    jpeg_error_mgr jpeg;
    std::jmp_buf retour;
    char message[JMSG_LENGTH_MAX];
};

// A fatal error: keep its message and go back to DecodeJpeg instead of ending the program.
void SortieErreur(j_common_ptr info) {
    auto* e = reinterpret_cast<Erreurs*>(info->err);
    (*info->err->format_message)(info, e->message);
    std::longjmp(e->retour, 1);
}

// A warning (damaged data): keep the first message instead of writing it to stderr. libjpeg
// counts the warnings in num_warnings.
void SortieMessage(j_common_ptr info) {
    auto* e = reinterpret_cast<Erreurs*>(info->err);
    if (e->message[0] == '\0') {
        (*info->err->format_message)(info, e->message);
    }
}

bool Echec(ImageRgb& image, std::string* erreur, const char* message) {
    image = ImageRgb{};
    if (erreur != nullptr) {
        *erreur = message;
    }
    return false;
}

} // namespace

bool DecodeJpeg(const unsigned char* octets, std::size_t taille, ImageRgb& image,
                std::string* erreur) {
    image = ImageRgb{};
    if (octets == nullptr || taille == 0) {
        return Echec(image, erreur, "Données JPEG vides");
    }
    jpeg_decompress_struct info;
    Erreurs erreurs;
    erreurs.message[0] = '\0';
    info.err = jpeg_std_error(&erreurs.jpeg);
    erreurs.jpeg.error_exit = SortieErreur;
    erreurs.jpeg.output_message = SortieMessage;
    if (setjmp(erreurs.retour) != 0) {
        jpeg_destroy_decompress(&info);
        return Echec(image, erreur, erreurs.message);
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, octets, static_cast<unsigned long>(taille));
    jpeg_read_header(&info, TRUE);
    if (std::size_t{info.image_width} * info.image_height > kPixelsMaximum) {
        jpeg_destroy_decompress(&info);
        return Echec(image, erreur, "Image JPEG trop grande");
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return Echec(image, erreur, "Composantes de couleur JPEG inattendues");
    }
    const std::size_t pas = std::size_t{info.output_width} * 3;
    image.Largeur = static_cast<int>(info.output_width);
    image.Hauteur = static_cast<int>(info.output_height);
    image.Pixels.resize(pas * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW ligne = image.Pixels.data() + pas * info.output_scanline;
        jpeg_read_scanlines(&info, &ligne, 1);
    }
    jpeg_finish_decompress(&info);
    const bool abime = erreurs.jpeg.num_warnings != 0;
    jpeg_destroy_decompress(&info);
    if (abime) {
        return Echec(image, erreur, erreurs.message);
    }
    return true;
}

} // namespace sillage
