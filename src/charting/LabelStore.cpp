#include "charting/LabelStore.h"

#include <cstring>

void LabelStore::append(QStringView label) {
    offsets_.push_back(quint32(text_.size()));
    text_.append(label.toLatin1());
}

QLatin1String LabelStore::view(qsizetype index) const {
    if (index < 0 || index >= size())
        return {};
    const qsizetype begin = offsets_[size_t(index)];
    const qsizetype end =
        index + 1 < size() ? qsizetype(offsets_[size_t(index) + 1]) : text_.size();
    return QLatin1String(text_.constData() + begin, end - begin);
}

QString LabelStore::at(qsizetype index) const {
    return QString(view(index));
}

int LabelStore::lineCount(qsizetype index) const {
    const QLatin1String text = view(index);
    int lines = 1;
    for (const char c : text)
        lines += c == '\r';
    return lines;
}

void LabelStore::reserve(qsizetype points, qsizetype bytesPerLabel) {
    offsets_.reserve(size_t(points));
    text_.reserve(points * bytesPerLabel);
}

void LabelStore::clear() {
    text_.clear();
    offsets_.clear();
}

qsizetype LabelStore::memoryBytes() const {
    return qsizetype(sizeof(*this)) + text_.capacity() +
           qsizetype(offsets_.capacity() * sizeof(quint32));
}
