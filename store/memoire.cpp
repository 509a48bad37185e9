#include "store/memoire.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace sillage {

namespace {

bool Mappe(std::size_t taille) {
    return taille >= kSeuilMemoire;
}

std::size_t Pages(std::size_t taille) {
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (taille + page - 1) / page * page;
}

void* Mappage(std::size_t taille) {
    void* p =
        ::mmap(nullptr, Pages(taille), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        throw std::bad_alloc();
    }
    return p;
}

} // namespace

void* RealloueMemoire(void* p, std::size_t ancienne, std::size_t nouvelle) {
    if (p == nullptr) {
        ancienne = 0;
    }
    if (nouvelle == 0) {
        if (p != nullptr) {
            if (Mappe(ancienne)) {
                ::munmap(p, Pages(ancienne));
            } else {
                std::free(p);
            }
        }
        return nullptr;
    }
    if (!Mappe(ancienne) && !Mappe(nouvelle)) {
        void* q = std::realloc(p, nouvelle);
        if (q == nullptr) {
            throw std::bad_alloc();
        }
        return q;
    }
    if (Mappe(ancienne) && Mappe(nouvelle)) {
        if (Pages(ancienne) == Pages(nouvelle)) {
            return p;
        }
        void* q = ::mremap(p, Pages(ancienne), Pages(nouvelle), MREMAP_MAYMOVE);
        if (q != MAP_FAILED) {
            return q;
        }
    }
    // From one kind of block to the other (or a move the system refused): a copy.
    void* q = Mappe(nouvelle) ? Mappage(nouvelle) : std::malloc(nouvelle);
    if (q == nullptr) {
        throw std::bad_alloc();
    }
    if (p != nullptr) {
        std::memcpy(q, p, std::min(ancienne, nouvelle));
    }
    RealloueMemoire(p, ancienne, 0);
    return q;
}

} // namespace sillage
