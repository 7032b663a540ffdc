#include "core/EnDeCrypt.h"

QByteArray EnDeCrypt(const QByteArray& bytes) {
    QByteArray out(bytes);
    for (char& c : out)
        c = char(255 - static_cast<unsigned char>(c));
    return out;
}
