// A scope in which running out of memory is the caller's to handle: operator new throws
// std::bad_alloc, as the language has it, instead of ending the program with the fatal-error box
// (FatalError.h). It is for buffers whose size comes from outside, a file or a picture, where a
// refusal is the documented result and the program can go on; the caller catches the exception
// inside the scope. Window-free, so code that also builds natively may use it.
#pragma once

#include <new>

namespace toolkit {

class AllocationMayFail {
public:
    AllocationMayFail() : m_saved(std::set_new_handler(nullptr)) {}
    ~AllocationMayFail() { std::set_new_handler(m_saved); }
    AllocationMayFail(const AllocationMayFail&) = delete;
    AllocationMayFail& operator=(const AllocationMayFail&) = delete;

private:
    std::new_handler m_saved;
};

}  // namespace toolkit
