// A fresh directory under the system's temporary directory, removed with everything in it.
#pragma once

#include <string>

namespace sillage::test {

class RepertoireTemporaire {
  public:
    // Under the system's temporary directory, or under parent.
    RepertoireTemporaire();
    explicit RepertoireTemporaire(const std::string& parent);
    ~RepertoireTemporaire();
    RepertoireTemporaire(const RepertoireTemporaire&) = delete;
    RepertoireTemporaire& operator=(const RepertoireTemporaire&) = delete;
    // The directory, ending with a separator.
    const std::string& Chemin() const { return chemin_; }
    std::string Fichier(const std::string& nom) const { return chemin_ + nom; }

  private:
    std::string chemin_;
};

// One directory for the whole run of a program that writes files on every input (a fuzz target):
// in memory when the system offers it.
const RepertoireTemporaire& RepertoireEnMemoire();

// Whole content of a file ("" when it cannot be read).
std::string Contenu(const std::string& chemin);
// Writes a file with exactly these bytes.
void Ecrit(const std::string& chemin, const std::string& octets);

} // namespace sillage::test
