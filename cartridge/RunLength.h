// The run-length form of a screen: one byte a cell below 0x80, and a run header 0x80 | c
// followed by the value for runs. There is no end marker; a screen ends at its cell count.
#pragma once

#include "cartridge/CodecResult.h"

#include <cstddef>
#include <cstdint>

// Decodes up to length bytes. A byte below 0x80 is one cell. A byte b of 0x80 or above that is
// not in the last place appends (b XOR 0x80) - 1 copies of the next byte, and that next byte is
// then read again by the same rules: below 0x80 it is one more cell, 0x80 or above (and not
// last) it starts a run of its own. A byte of 0x80 or above in the last place is one cell.
// With stop set, decoding ends as soon as target cells are out, and the cells are cut to
// target; consumed (when given) receives the bytes read, a run's value byte included.
ByteArray RleDecode(const uint8_t* bytes, size_t length, size_t target, bool stop,
                    size_t* consumed = nullptr);
ByteArray RleDecode(const ByteArray& bytes, size_t target, bool stop);

// The editor's run-length form of cells 0..127: runs of 3 to 127 as 0x80 + c and the value, a
// run of two as two literals unless it ends the cells. Cells of 0x80 and above have no form;
// callers check that the result reads back.
ByteArray RleEncode(const ByteArray& cells);
