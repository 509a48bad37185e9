#include "support/gzip.h"

#include <zlib.h>

namespace sillage::test {

std::string Gzip(const std::string& texte) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string sortie(deflateBound(&z, texte.size()) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(texte.data()));
    z.avail_in = static_cast<uInt>(texte.size());
    z.next_out = reinterpret_cast<Bytef*>(sortie.data());
    z.avail_out = static_cast<uInt>(sortie.size());
    deflate(&z, Z_FINISH);
    sortie.resize(z.total_out);
    deflateEnd(&z);
    return sortie;
}

} // namespace sillage::test
