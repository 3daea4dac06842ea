#include "NotifyTable.h"

namespace qv {

bool NotifyTable::registerWindow(void* window, uint16_t id)
{
    NotifyEntry* chosen = nullptr;
    NotifyEntry* lastEmpty = nullptr;
    for (auto& e : entries_) {
        if (e.window && e.window == window) {
            chosen = &e;
            break;
        }
        if (!e.window)
            lastEmpty = &e;
    }
    if (!chosen)
        chosen = lastEmpty;
    if (!chosen)
        return id == 0;
    // A null window never takes an entry: it could not be posted to anyway.
    if (!window)
        return true;
    chosen->id = id;
    chosen->window = id ? window : nullptr;
    return true;
}

}  // namespace qv
