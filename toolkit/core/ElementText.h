// Owned GBK texts of element records (text, tooltip text, class name). They live on the process
// heap; a null text is the same as an empty one.
#pragma once

namespace toolkit {

char* DuplicateText(const char* text);
// A copy with ASCII letters upper-cased; a byte of 0x80 or above starts a double-byte
// character, which is copied unchanged with the byte after it.
char* DuplicateUpperText(const char* text);
void FreeText(char** text);

}  // namespace toolkit
