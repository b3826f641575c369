// Every memory request of the program goes through here: one that fails is a
// fatal fault, shown in the runtime error report with the size asked for.
#include "app/app.h"

#include <cstdlib>
#include <new>

namespace {

void* Allocate(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) app::ReportOutOfMemory(size);
    return block;
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
