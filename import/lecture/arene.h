// Copies of texts that stay at their address until the arena goes: the names and dates an import
// keeps from log lines that are gone once read.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace sillage {

class Arene {
  public:
    std::string_view Copie(std::string_view texte);
    // Forgets every copy (their views dangle), keeping the memory of the first block for the next.
    void Recommence();

  private:
    std::vector<std::unique_ptr<char[]>> blocs_;
    std::size_t taillePremier_ = 0;
    char* courant_ = nullptr;
    std::size_t reste_ = 0;
};

} // namespace sillage
