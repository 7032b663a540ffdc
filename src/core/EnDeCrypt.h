#pragma once
// Scrambles the stored router password: every byte b becomes 255 - b; applying it twice gives
// the input back. Works on the bytes of the password's UTF-8 form.
#include <QByteArray>

QByteArray EnDeCrypt(const QByteArray& bytes);
