#include "core/HostRecord.h"

#include "foundation/CheckedMemory.h"

namespace toolkit {

HostRecordFields* HostFromHandle(std::uint32_t hostRecord) {
    const std::uint32_t object = ReadInt32Checked(hostRecord);
    // An own handle is the address of the object-itself cell inside the object it names.
    if (object == 0 || hostRecord - object != HostFieldObjectOffset(14)) {
        return nullptr;
    }
    return reinterpret_cast<HostRecordFields*>(object + kHostFieldsOffset);
}

std::uint32_t GetControlFromWindow(HWND window) {
    return static_cast<std::uint32_t>(
        reinterpret_cast<std::uintptr_t>(GetPropA(window, kHostWindowProperty)));
}

}  // namespace toolkit
