#include "drops/DropTableModel.h"

#include "drops/DropStatistics.h"

namespace {

QString pair(double down, double up, int decimals) {
    return QStringLiteral("%1 / %2").arg(QString::number(down, 'f', decimals),
                                         QString::number(up, 'f', decimals));
}

QString noiseMargins(const DropSide& s) {
    return pair(s.noiseMarginDown, s.noiseMarginUp, 1);
}

QString rates(const DropSide& s) {
    return pair(double(qRound64(s.rateDown)), double(qRound64(s.rateUp)), 0);
}

} // namespace

DropTableModel::DropTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void DropTableModel::take() {
    rows_ = events_ ? int(events_->size()) : 0;
    newest_ = rows_ > 0 ? events_->back().before.time : QDateTime();
}

void DropTableModel::setEvents(const std::vector<DropEvent>* events) {
    beginResetModel();
    events_ = events;
    take();
    endResetModel();
}

bool DropTableModel::refresh() {
    const int rows = events_ ? int(events_->size()) : 0;
    const QDateTime newest = rows > 0 ? events_->back().before.time : QDateTime();
    if (rows == rows_ && newest == newest_)
        return false;
    beginResetModel();
    take();
    endResetModel();
    return true;
}

const DropEvent* DropTableModel::eventAt(int row) const {
    // Newest first; a record trimmed since the last refresh has fewer events than rows.
    if (!events_ || row < 0 || row >= rows_ || rows_ > int(events_->size()))
        return nullptr;
    return &(*events_)[size_t(rows_ - 1 - row)];
}

int DropTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int DropTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString DropTableModel::timeText(const QDateTime& time) {
    return DropSummary::timeText(time);
}

QVariant DropTableModel::data(const QModelIndex& index, int role) const {
    const DropEvent* e = index.isValid() ? eventAt(index.row()) : nullptr;
    if (!e)
        return {};
    const int column = index.column();
    if (role == Qt::TextAlignmentRole) {
        const bool number = column >= NoiseMarginBefore;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role == Qt::ToolTipRole) {
        if (column == Images && !e->images.isEmpty())
            return e->images.join(QLatin1Char('\n'));
        if ((column == Duration || column == KindColumn) && e->source != DropEvent::Source::Live)
            return DropSummary::sourceNote(e->source);
        return {};
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
    case Start:
        return timeText(e->before.time);
    case End:
        return timeText(e->after.time);
    case Duration:
        return DropSummary::lengthText(*e);
    case KindColumn:
        return DropSummary::kindText(*e);
    case NoiseMarginBefore:
        return noiseMargins(e->before);
    case NoiseMarginAfter:
        return noiseMargins(e->after);
    case SyncBefore:
        return rates(e->before);
    case SyncAfter:
        return rates(e->after);
    case Images:
        return QString::number(e->images.size());
    default:
        return {};
    }
}

QVariant DropTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kHeaders[ColumnCount] = {
        "Start",          "End",           "Duration",           "Kind",
        "NM before (dB)", "NM after (dB)", "Sync before (Kbps)", "Sync after (Kbps)",
        "Images"};
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= ColumnCount)
        return {};
    return QLatin1String(kHeaders[section]);
}
