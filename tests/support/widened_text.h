// A byte text widened to UTF-16: every byte b becomes the code unit b, in
// either byte order, behind a byte order mark or not. Every run over the
// widened text must give the widened result of the same run over the bytes.
#pragma once

#include <string>

#include "text_input.h"

std::string Widen(const std::string& bytes, TextKind kind);

// The byte order mark of a UTF-16 kind ("" for a byte file).
std::string ByteOrderMark(TextKind kind);

// Whether a byte text would itself be read as UTF-16.
bool LooksLikeUtf16(const std::string& bytes);
