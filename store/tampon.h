// A growable byte buffer for the tables' text: growth leaves the new bytes uninitialised, so a
// file is read straight into them.
#pragma once

#include <cstddef>
#include <string_view>

namespace sillage {

class Tampon {
  public:
    Tampon() = default;
    ~Tampon();
    Tampon(const Tampon& autre);
    Tampon& operator=(const Tampon& autre);
    Tampon(Tampon&& autre) noexcept;
    Tampon& operator=(Tampon&& autre) noexcept;

    char* data() { return octets_; }
    const char* data() const { return octets_; }
    std::size_t size() const { return taille_; }
    bool empty() const { return taille_ == 0; }
    // Makes room for n bytes in all.
    void reserve(std::size_t n);
    // Sets the size; bytes added are left uninitialised.
    void resize(std::size_t n);
    void append(std::string_view texte);
    void clear() { taille_ = 0; }
    // Frees the memory beyond the bytes held (all of it when empty).
    void shrink_to_fit();
    bool operator==(const Tampon& autre) const;

  private:
    void Realloue(std::size_t capacite);

    char* octets_ = nullptr;
    std::size_t taille_ = 0;
    std::size_t capacite_ = 0;
};

} // namespace sillage
