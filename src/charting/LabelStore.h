#pragma once
// Point labels stored once per sample and shared by the series that carry the same labels, so a
// long history costs a few bytes per label (Latin-1 text in one pooled buffer).
#include <QByteArray>
#include <QString>
#include <vector>

class LabelStore {
public:
    qsizetype size() const { return qsizetype(offsets_.size()); }
    // Appends the label of the next point index.
    void append(QStringView label);
    QString at(qsizetype index) const;
    // The stored bytes of a label, without a copy (valid until the next append).
    QLatin1String view(qsizetype index) const;
    // Lines of a label: lines are separated by a carriage return.
    int lineCount(qsizetype index) const;
    void reserve(qsizetype points, qsizetype bytesPerLabel = 20);
    void clear();
    qsizetype memoryBytes() const; // what the store holds, for the memory benchmark

private:
    QByteArray text_;              // all labels, back to back
    std::vector<quint32> offsets_; // start of label i in text_; label i ends at offsets_[i+1]
};
