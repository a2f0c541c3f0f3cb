#include "records/application_table.h"

#include "common/text.h"
#include "store/xdb.h"

ApplicationRecord ReadApplicationRecord() {
    return {XDBFIELDVALUE(applicationTable, field::ApplicationName, 0),
            XDBFIELDVALUE(applicationTable, field::RegistrationCode, 0),
            XDBFIELDVALUE(applicationTable, field::VendorEmail, 0),
            XDBFIELDVALUE(applicationTable, field::Request, 0)};
}

std::optional<FieldRefusal> AssignApplicationRecord(const ApplicationRecord& record) {
    return AssignFields(applicationTable,
                        {&record.name, &record.code, &record.vendorEmail, &record.request});
}

void WriteApplicationRecord(const ApplicationRecord& record, int number) {
    if (!AssignApplicationRecord(record))
        StoreBuffer(applicationTable, number);
}

void DeleteApplicationRecord(int number) {
    XDBRESETERROR();
    XDBDELETERECORD(applicationTable, number);
    if (XDBERROR() == 0)
        XDBPACK(applicationTable);
}

std::optional<StoredApplication> FindApplication(const std::string& name) {
    if (XDBSEEK(applicationTable, applicationIndex, ToUpper(name)) != 1)
        return std::nullopt;
    return StoredApplication{XDBRECORDNUMBER(applicationTable), ReadApplicationRecord()};
}

std::vector<ApplicationRecord> ApplicationsInRecordOrder() {
    std::vector<ApplicationRecord> records;
    const int count = XDBRECORDCOUNT(applicationTable);
    for (int number = 1; number <= count; ++number) {
        XDBGETRECORD(applicationTable, number);
        records.push_back(ReadApplicationRecord());
    }
    return records;
}

std::vector<ApplicationRecord> ApplicationsInNameOrder() {
    std::vector<ApplicationRecord> records;
    const int count = XDBRECORDCOUNT(applicationTable);
    XDBMOVEFIRST(applicationTable, applicationIndex);
    for (int row = 0; row < count && XDBEOF(applicationTable) == 0; ++row) {
        records.push_back(ReadApplicationRecord());
        XDBMOVENEXT(applicationTable, applicationIndex);
    }
    return records;
}
