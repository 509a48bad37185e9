// Memory for the tables' buffers. Small blocks come from malloc. Blocks of kSeuilMemoire bytes and
// more are mapped on their own: they grow where they are mapped (the system moves their pages,
// not their bytes) and go back to the system as soon as they are freed, whatever the allocator
// would have kept.
#pragma once

#include <cstddef>

namespace sillage {

inline constexpr std::size_t kSeuilMemoire = std::size_t{1} << 20;

// A block of nouvelle bytes that holds the first bytes of p, up to the smaller of the two sizes;
// p is a block of ancienne bytes from this function (nullptr when ancienne is 0), which is gone
// afterwards. nouvelle 0 frees p and answers nullptr. Raises std::bad_alloc.
void* RealloueMemoire(void* p, std::size_t ancienne, std::size_t nouvelle);

} // namespace sillage
