#include "data/point_table.h"

#include "data/handoff_files.h"
#include "text/failure.h"

namespace tavrelo {

const char* pointFieldName(int index)
{
    static const char* const names[] = {"αριθμός σημείου (Pn)", "X", "Y", "h", "περιγραφή (D)"};
    return names[index];
}

void readPointFields(ListReader& reader, FieldView (&fields)[5], long recordNumber, unsigned numberFields)
{
    const int read = reader.readFields(fields, 5, numberFields);
    if (read < 5)
        throw Failure("Το αρχείο " + inQuotes(reader.name()) + " τελειώνει μέσα στην εγγραφή " +
                      std::to_string(recordNumber) + ": λείπει το πεδίο " + pointFieldName(read) +
                      ". Κάθε σημείο θέλει πέντε πεδία: Pn,X,Y,h,D.");
}

void readPointRecord(ListReader& reader, PointRecord& record, long recordNumber)
{
    FieldView fields[5];
    readPointFields(reader, fields, recordNumber);
    record.Pn.assign(fields[0].text);
    record.X = valueOf(fields[1]);
    record.Y = valueOf(fields[2]);
    record.h = valueOf(fields[3]);
    record.D.assign(fields[4].text);
}

LoadedPoints loadPointTable(const HandoffFiles& handoff,
                            const std::function<void(int, const PointRecord&)>& onRecord)
{
    const std::string path = readHandoffPath(handoff);
    ListReader reader(path);
    LoadedPoints loaded;
    PointRecord record;
    int i = 0;
    while (!reader.atEnd()) {
        if (i >= PointTable::kRows)
            throw Failure("Το αρχείο " + inQuotes(reader.name()) + " έχει περισσότερα από " +
                          std::to_string(PointTable::kRows) + " σημεία· τα κοινά σημεία επιλέγονται από αρχείο έως " +
                          std::to_string(PointTable::kRows) + " σημείων.");
        readPointRecord(reader, record, i + 1);
        PointTable& t = loaded.table;
        t.Pn[i] = record.Pn;
        t.X[i] = record.X;
        t.Y[i] = record.Y;
        t.h[i] = record.h;
        t.D[i] = record.D;
        if (onRecord)
            onRecord(i, record);
        ++i;
    }
    loaded.count = i;
    return loaded;
}

}  // namespace tavrelo
