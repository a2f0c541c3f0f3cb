#!/usr/bin/env python3
# Reads a .dbf file with Python's dbfread and prints its fields and its records that are not
# deleted as JSON, in the shape read_dbf.mjs prints, for the store's interoperability test.
#   python3 read_dbf.py <file.dbf> [encoding: the one the table's language driver names]
import json
import sys

from dbfread import DBF

table = DBF(sys.argv[1], encoding=sys.argv[2] if len(sys.argv) > 2 else None,
            char_decode_errors="strict")
print(json.dumps({
    "recordCount": len(table),
    "fields": [{"name": f.name, "type": f.type, "size": f.length} for f in table.fields],
    "records": [{"deleted": False, "values": list(r.values())} for r in table],
}))
