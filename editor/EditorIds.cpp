#include "EditorIds.h"

#include "ParameterModel.h"

namespace qv {

ControlSlot controlSlot(int id)
{
    if (id < 1000)
        return {};
    const int column = (id - 1000) / 100;
    const int offset = (id - 1000) % 100;
    if (column > 6 || offset > 6)
        return {};
    return {column, offset};
}

int slotParameter(ControlSlot slot)
{
    if (!slot.valid() || slot.offset == kOffTypeArrow)
        return -1;
    const int row = slot.offset == kOffSlider ? kRowGain : slot.offset;
    return paramIndex(row, slot.column);
}

int dataControlId(int i)
{
    if (i == 0)
        return controlId(0, kOffGain);
    return controlId(1 + (i - 1) / 5, (i - 1) % 5);
}

}  // namespace qv
