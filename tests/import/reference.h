// A plain, slow import written line by line over the text rows, as the tables' rules state it:
// every hit reads the rows it touches, changes them and writes them back, and every look-up is a
// scan. The tests compare the real import with it.
#pragma once

#include "store/base.h"

#include <string>
#include <vector>

namespace sillage::test {

// Imports the lines into base; on an error restores base as it was and raises it again.
void ImporteReference(Base& base, const std::vector<std::string>& lignes);

} // namespace sillage::test
