// The record list: the decoder walks the file, the list box shows its lines.
#include "record_list.h"

#include "describe_record.h"
#include "record_walk.h"

bool FillRecordList(HWND list, const std::string& fileName) {
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const auto records = ListRecords(fileName);
    if (!records) {
        return false;
    }
    for (const ListedRecord& record : *records) {
        const std::string line = DescribeRecord(record.header, record.delta);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    return true;
}
