// Reads a .dbf file with an independent dBASE reader (the npm package dbffile) and prints
// its fields and records as JSON, for the store's interoperability test.
//   node read_dbf.mjs <file.dbf> [encoding, utf-8 when not given]
import { DBFFile, DELETED } from 'dbffile';

const file = process.argv[2];
const encoding = process.argv[3] ?? 'utf-8';
const dbf = await DBFFile.open(file, { encoding, includeDeletedRecords: true });
const records = await dbf.readRecords(dbf.recordCount);
const out = {
    recordCount: dbf.recordCount,
    fields: dbf.fields.map((f) => ({ name: f.name, type: f.type, size: f.size })),
    records: records.map((r) => ({
        deleted: r[DELETED] === true,
        values: dbf.fields.map((f) => r[f.name]),
    })),
};
process.stdout.write(JSON.stringify(out));
