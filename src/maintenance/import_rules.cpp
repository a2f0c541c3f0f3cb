#include "maintenance/import_rules.h"

#include "applications/application_rules.h"
#include "common/text.h"
#include "store/xdb.h"

#include <algorithm>
#include <set>

namespace {

// Names as the index compares them: upper case, trailing blanks aside.
std::string NameKey(const std::string& name) {
    std::string key = ToUpper(name);
    key.erase(key.find_last_not_of(' ') + 1);
    return key;
}

// The first reason Save would give for not storing `record`, or "".
std::string SaveRefusal(const ApplicationRecord& record) {
    if (const auto refusal = CheckApplicationForm(record))
        return refusal->text;
    XDBCLEARBUFFER(applicationTable);
    const auto refusal = AssignApplicationRecord(record);
    XDBRESETERROR();
    return refusal ? ApplicationFieldRefusal(*refusal).text : std::string();
}

} // namespace

int ImportPlan::Count(ImportVerdict verdict) const {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const ImportLine& line) {
        return line.verdict == verdict;
    }));
}

ImportPlan JudgeImport(const ImportFile& file) {
    ImportPlan plan{DescribeImportLayout(file.layout), {}};
    std::set<std::string> names;
    for (const ImportRow& row : file.rows) {
        ImportLine line{row.line, {row.name, row.code, row.email, row.request.value_or("Yes")}};
        line.reason = row.problem.empty() ? SaveRefusal(line.record) : row.problem;
        if (line.reason.empty() && !names.insert(NameKey(row.name)).second)
            line.reason = "the same name as an earlier line";
        if (!line.reason.empty()) {
            plan.lines.push_back(std::move(line));
            continue;
        }
        if (const auto stored = FindApplication(row.name)) {
            if (!row.request)
                line.record.request = stored->record.request;
            line.storedNumber = stored->number;
            line.verdict = line.record == stored->record ? ImportVerdict::Unchanged
                                                         : ImportVerdict::Overwrites;
        } else {
            line.verdict = ImportVerdict::Added;
        }
        plan.lines.push_back(std::move(line));
    }
    return plan;
}

std::string ImportLineText(const ImportLine& line) {
    const std::string start = "line " + std::to_string(line.line) + ": ";
    switch (line.verdict) {
    case ImportVerdict::Added:
        return start + "added: " + line.record.name;
    case ImportVerdict::Overwrites:
        return start + "overwrites: " + line.record.name;
    case ImportVerdict::Unchanged:
        return start + "unchanged: " + line.record.name;
    case ImportVerdict::Refused:
        break;
    }
    return start + "refused: " + line.reason;
}

bool WriteImport(const ImportPlan& plan) {
    XDBRESETERROR();
    XdbBeginBatch(applicationTable);
    for (const ImportLine& line : plan.lines) {
        if (XDBERROR() != 0)
            break;
        if (line.verdict == ImportVerdict::Added)
            WriteApplicationRecord(line.record, 0);
        else if (line.verdict == ImportVerdict::Overwrites)
            WriteApplicationRecord(line.record, line.storedNumber);
    }
    if (XDBERROR() != 0) {
        XdbAbandonBatch(applicationTable); // a call that succeeds leaves the error pending
        return false;
    }
    XdbCommitBatch(applicationTable);
    return XDBERROR() == 0;
}

LogEntry ImportLogEntry(const ImportLine& line) {
    return SavedLogEntry(line.record, line.verdict == ImportVerdict::Overwrites);
}

std::string ImportedText(const ImportPlan& plan) {
    return "Import complete:" + SignedNumber(plan.Count(ImportVerdict::Added)) +
           " applications added and" + SignedNumber(plan.Count(ImportVerdict::Overwrites)) +
           " overwritten.";
}

std::string ImportRefusedText(const std::string& fileName, const std::string& why) {
    return "Nothing was imported from the file " + fileName + "." + (why.empty() ? "" : " " + why);
}
