#include "records/application_table.h"

#include "records/tables.h"
#include "store/xdb.h"

ApplicationRecord ReadApplicationRecord() {
    return {XDBFIELDVALUE(applicationTable, field::ApplicationName, 0),
            XDBFIELDVALUE(applicationTable, field::RegistrationCode, 0),
            XDBFIELDVALUE(applicationTable, field::VendorEmail, 0),
            XDBFIELDVALUE(applicationTable, field::Request, 0)};
}

void WriteApplicationRecord(const ApplicationRecord& record, int number) {
    XDBRESETERROR();
    XDBASSIGNFIELD(applicationTable, "", 1, record.name);
    XDBASSIGNFIELD(applicationTable, "", 2, record.code);
    XDBASSIGNFIELD(applicationTable, "", 3, record.vendorEmail);
    XDBASSIGNFIELD(applicationTable, "", 4, record.request);
    StoreBuffer(applicationTable, number);
}

void DeleteApplicationRecord(int number) {
    XDBRESETERROR();
    XDBDELETERECORD(applicationTable, number);
    if (XDBERROR() == 0)
        XDBPACK(applicationTable);
}
