#pragma once

#include <QByteArray>

// Text between code page 1250 bytes and the UTF-8 that the notices web service speaks.

// Code page 1250 bytes to UTF-8 bytes.
QByteArray HungarianToUtf8(const QByteArray &cp1250);

// UTF-8 bytes as received to code page 1250 bytes, by a fixed byte procedure that knows the
// Hungarian letters (also a, e, i followed by a combining acute accent, except that an accent
// ending the text is dropped and leaves the plain letter), drops the ® and letter-like symbol
// lead bytes, and keeps the second byte of any other two-byte character led by C3 or C5. Plain
// ASCII passes unchanged. The replies already stored by other workstations were read this way,
// so the procedure stays byte for byte.
QByteArray Utf8ToHungarian(const QByteArray &utf8);
