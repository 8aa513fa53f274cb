#pragma once
#include "app/core/profiles/ObjektZal.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kd {

// Told about every change of a ProfileList, so that a view can follow it.
class ProfileListObserver {
public:
    virtual ~ProfileListObserver() = default;
    virtual void beforeInsert(int row) = 0;
    virtual void afterInsert() = 0;
    virtual void beforeRemove(int row) = 0;
    virtual void afterRemove() = 0;
    virtual void rowChanged(int row) = 0;
    virtual void beforeReorder() = 0;
    // newRowOf[old row] is the row's index after the reorder.
    virtual void afterReorder(const std::vector<int>& newRowOf) = 0;
};

// The date and the time of day of a profile's last run; 0 when it has never run.
struct LastRun {
    TDateTime date = 0;
    TDateTime time = 0;
};

// The main window's profile list: one row per profile, each row owning its record
// and holding the texts of its eight columns. Rows stay sorted by the sort column.
class ProfileList {
public:
    using Texts = std::array<std::string, 8>;
    using LastRunReader = std::function<LastRun(const std::string& name)>;

    void setObserver(ProfileListObserver* observer) { observer_ = observer; }

    int count() const { return static_cast<int>(rows_.size()); }
    TObjektZal& record(int row) { return *rows_.at(static_cast<std::size_t>(row)).record; }
    const TObjektZal& record(int row) const {
        return *rows_.at(static_cast<std::size_t>(row)).record;
    }
    const Texts& texts(int row) const { return rows_.at(static_cast<std::size_t>(row)).texts; }
    // The row of the record, -1 when it is in no row.
    int rowOf(const TObjektZal* record) const;
    // The row whose profile name equals name in any letter case, -1 when none.
    int findByName(const std::string& name) const;
    // The names of all profiles but the one in row except (-1: all).
    std::vector<std::string> namesExcept(int except) const;

    // Adds a row holding the record, at its sorted place; returns the row.
    int add(std::unique_ptr<TObjektZal> record, const LastRun& lastRun = {});
    void remove(int row);

    // Reads <dir>/<name>.lus into the row's record and refreshes the row's texts, then
    // moves the row to its sorted place; returns the row's new index. Throws
    // kd::Exception when the file cannot be read (the row is then unchanged).
    int LoadProfileItem(int row, const std::string& dir, const std::string& name,
                        const LastRunReader& readLastRun);
    // Recomputes the row's texts from its record (the last run as given).
    void refreshTexts(int row, const LastRun& lastRun);

    int sortColumn() const { return sortColumn_; }
    // Sorts ascending by the column: 0 the name, 1-7 the other columns. Letters A-Z
    // and a-z compare equal, all else by byte value, so "10" comes before "9".
    void sortBy(int column);

private:
    struct Row {
        std::unique_ptr<TObjektZal> record;
        Texts texts;
    };
    int sortedPlace(int row);
    void sort();

    std::vector<Row> rows_;
    int sortColumn_ = 0;
    ProfileListObserver* observer_ = nullptr;
};

} // namespace kd
