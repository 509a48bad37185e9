// The end of each line of a table, in 4 bytes each while the table's text stays under 4 GiB and
// in 8 from the first end past it. A large array grows where it is mapped (RealloueMemoire), so a
// table of millions of rows takes rows without a second copy of its ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace sillage {

class Fins {
  public:
    Fins() = default;
    ~Fins();
    Fins(const Fins& autre);
    Fins& operator=(const Fins& autre);
    Fins(Fins&& autre) noexcept;
    Fins& operator=(Fins&& autre) noexcept;

    std::size_t size() const { return taille_; }
    bool empty() const { return taille_ == 0; }
    std::uint64_t operator[](std::size_t i) const {
        if (larges_) {
            std::uint64_t v;
            std::memcpy(&v, octets_ + 8 * i, 8);
            return v;
        }
        std::uint32_t v;
        std::memcpy(&v, octets_ + 4 * i, 4);
        return v;
    }
    std::uint64_t back() const { return (*this)[taille_ - 1]; }
    // Sets end i.
    void Fixe(std::size_t i, std::uint64_t fin) {
        if (!larges_ && fin > UINT32_MAX) {
            Elargit();
        }
        Ecrit(i, fin);
    }
    void push_back(std::uint64_t fin) {
        if (!larges_ && fin > UINT32_MAX) {
            Elargit();
        }
        if (taille_ == capacite_) {
            Realloue(capacite_ < 16 ? 16 : capacite_ + capacite_ / 2);
        }
        Ecrit(taille_++, fin);
    }
    void pop_back() { --taille_; }
    // Makes room for n ends in all.
    void reserve(std::size_t n) {
        if (n > capacite_) {
            Realloue(n);
        }
    }
    // Goes over to 8 bytes per end now if ends up to plusGrande are to be set: setting them
    // later then allocates nothing.
    void Prevoit(std::uint64_t plusGrande) {
        if (!larges_ && plusGrande > UINT32_MAX) {
            Elargit();
        }
    }
    // Keeps the first n ends, or adds ends of 0 up to n.
    void resize(std::size_t n);
    void clear() { taille_ = 0; }
    // Frees the memory beyond the ends held (all of it when empty).
    void shrink_to_fit();
    bool operator==(const Fins& autre) const;

  private:
    void Ecrit(std::size_t i, std::uint64_t fin) {
        if (larges_) {
            std::memcpy(octets_ + 8 * i, &fin, 8);
        } else {
            const auto v = static_cast<std::uint32_t>(fin);
            std::memcpy(octets_ + 4 * i, &v, 4);
        }
    }
    std::size_t Largeur() const { return larges_ ? 8 : 4; }
    void Realloue(std::size_t capacite);
    // Goes over to 8 bytes per end.
    void Elargit();

    unsigned char* octets_ = nullptr;
    std::size_t taille_ = 0;
    std::size_t capacite_ = 0;
    bool larges_ = false;
};

} // namespace sillage
