// Gzip compression for tests of compressed logs.
#pragma once

#include <string>

namespace sillage::test {

// One gzip member holding texte.
std::string Gzip(const std::string& texte);

} // namespace sillage::test
