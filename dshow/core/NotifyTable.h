#pragma once
// The two notification windows of a filter: a window handle (opaque here) and a command id each.

#include <cstdint>

namespace qv {

struct NotifyEntry {
    void* window = nullptr;
    uint16_t id = 0;
};

class NotifyTable {
public:
    static constexpr int kSize = 2;

    // Registers `window` with `id`, or removes it when `id` is 0. A known window keeps its entry.
    // False when the table is full and `id` is non-zero.
    bool registerWindow(void* window, uint16_t id);

    NotifyEntry& entry(int i) { return entries_[i]; }

private:
    NotifyEntry entries_[kSize];
};

}  // namespace qv
