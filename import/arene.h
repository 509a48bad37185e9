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

  private:
    std::vector<std::unique_ptr<char[]>> blocs_;
    char* courant_ = nullptr;
    std::size_t reste_ = 0;
};

} // namespace sillage
