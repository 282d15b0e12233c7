#pragma once
// The coordinate file: one point a record, "Pn,X,Y,h,D", read by list input, and the
// fixed-capacity table of 401 rows into which the common points step loads it.

#include "data/list_input.h"
#include "data/value.h"

#include <array>
#include <functional>
#include <string>

namespace tavrelo {

class HandoffFiles;

struct PointRecord {
    std::string Pn;  // point number, text exactly as read
    Value X, Y, h;
    std::string D;   // description, text exactly as read
};

// Reads the next five fields into `record`. `recordNumber` (from 1) names the record in the
// Failure raised when the data ends inside it.
void readPointRecord(ListReader& reader, PointRecord& record, long recordNumber);

// Reads the five fields of record `recordNumber` at once, their texts valid until the next
// read: a Failure that names the record and the missing field when the data ends inside it.
// The fields whose bits are set in `numberFields` (X, Y and h unless told) are also read as
// numbers on the way.
void readPointFields(ListReader& reader, FieldView (&fields)[5], long recordNumber,
                     unsigned numberFields = 0b01110);

// Five parallel columns of 401 rows; row i holds the (i+1)-th record of the file, the rows
// after the last record stay empty. The table keeps no count: the loader returns it.
struct PointTable {
    static constexpr int kRows = 401;

    std::array<std::string, kRows> Pn;
    std::array<Value, kRows> X, Y, h;
    std::array<std::string, kRows> D;

    PointRecord row(int i) const { return {Pn[i], X[i], Y[i], h[i], D[i]}; }
};

struct LoadedPoints {
    PointTable table;
    int count = 0;  // records read
};

// Reads the coordinate file named in the path hand-off file into a fresh table. `onRecord`,
// when given, runs for each record as soon as it is stored (row index, record). A 402nd
// record is refused before any of it is read.
LoadedPoints loadPointTable(const HandoffFiles& handoff,
                            const std::function<void(int, const PointRecord&)>& onRecord = {});

// The name of field `index` (0 to 4) of a point record, for messages.
const char* pointFieldName(int index);

}  // namespace tavrelo
