#ifndef APP_CONTROLS_FIELDLIST_H
#define APP_CONTROLS_FIELDLIST_H

#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

namespace app::controls {

// The entries of a drop-down field and the numbers an Allowed list gives them, apart from any
// widget. Positions count from 0; -1 is no entry.
class FieldList
{
public:
    // The entries of a "|"-separated list. A non-empty `allowed` ("|"-separated too) numbers
    // them in order, rounded; entries past its end are numbered 0.
    void fill(const QString &list, const QString &allowed);
    // One more entry; a numbered one takes 0.
    void append(const QString &item, bool numbered);
    void clear();

    const QStringList &entries() const { return entries_; }
    // Whether `position` holds an entry.
    bool holds(int position) const { return position >= 0 && position < entries_.size(); }
    // The number of the entry at `position`, -1 when it has none.
    int32_t numberAt(int position) const;
    // The first position numbered `number`, -1 when there is none.
    int positionOf(int32_t number) const;

private:
    QStringList entries_;
    std::vector<int32_t> numbers_;
};

} // namespace app::controls

#endif
