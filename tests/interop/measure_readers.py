#!/usr/bin/env python3
"""Shows what other dBASE readers make of a table with non-ASCII text, with and without a
declaration of its character set. Run by hand (needs soffice, python3-dbfread, the npm
packages of this folder, and gdal-bin for GDAL's line); prints one line per reader and table.
    python3 measure_readers.py [work-folder]
"""
import json, os, shutil, struct, subprocess, sys, tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
VALUE = "Zoë Übersetzer ß € 日本"


def table(path, encoding, ldid, cpg=None):
    raw = VALUE.encode(encoding, errors="replace")
    width = 40
    header = struct.pack("<BBBBIHH", 3, 126, 1, 1, 1, 32 + 32 + 1, 1 + width)
    header += bytes(17) + bytes([ldid]) + bytes(2)
    field = b"APPNAME".ljust(11, b"\0") + b"C" + bytes(4) + bytes([width, 0]) + bytes(14)
    with open(path, "wb") as out:
        out.write(header + field + b"\r" + b" " + raw.ljust(width, b" ") + b"\x1a")
    if cpg:
        with open(path[:-4] + ".cpg", "w") as out:
            out.write(cpg)


def dbfread(path, encoding=None):
    try:
        import dbfread
        return next(iter(dbfread.DBF(path, encoding=encoding)))["APPNAME"]
    except Exception as error:
        return "error: " + type(error).__name__


def dbffile(path, encoding="ISO-8859-1"):
    script = ("import {DBFFile} from 'dbffile';"
              "const d=await DBFFile.open(process.argv[1],{encoding:process.argv[2]});"
              "process.stdout.write(JSON.stringify((await d.readRecords(1))[0].APPNAME));")
    run = subprocess.run(["node", "--input-type=module", "-e", script, path, encoding], cwd=HERE,
                         capture_output=True, text=True)
    return json.loads(run.stdout) if run.returncode == 0 else "error"


def gdal(path):
    # GDAL (QGIS and other GIS programs read through it): the value, and the character set
    # it took the table to be in.
    if not shutil.which("ogrinfo"):
        return "not installed"
    run = lambda *args: subprocess.run(["ogrinfo", *args, path], capture_output=True).stdout
    value = [l for l in run("-q", "-al").split(b"\n") if b"APPNAME (String) =" in l]
    encoding = [l.strip() for l in run("-al", "-so", "-mdd", "SHAPEFILE").split(b"\n")
                if l.strip().startswith(b"SOURCE_ENCODING")]
    shown = value[0].split(b"= ", 1)[1].decode("utf-8", "replace") if value else "error"
    return f"{shown} ({encoding[0].decode() if encoding else '?'})"


def calc(path, option):
    folder = tempfile.mkdtemp()
    infilter = ["--infilter=dBase:" + option] if option else []
    subprocess.run(["soffice", "-env:UserInstallation=file://" + folder + "/profile",
                    "--headless"] + infilter +
                   ["--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir",
                    folder, path], capture_output=True)
    csv = os.path.join(folder, os.path.basename(path)[:-4] + ".csv")
    shown = open(csv, encoding="utf-8").read().splitlines()[1] if os.path.exists(csv) else "error"
    shutil.rmtree(folder, ignore_errors=True)
    return shown.strip('"').rstrip()


def main():
    work = sys.argv[1] if len(sys.argv) > 1 else tempfile.mkdtemp()
    cases = [("utf8-ldid00", "utf-8", 0x00, None), ("utf8-ldid00-cpg", "utf-8", 0x00, "UTF-8"),
             ("utf8-ldid03", "utf-8", 0x03, None), ("utf8-ldid03-cpg", "utf-8", 0x03, "UTF-8"),
             ("cp1252-ldid03", "cp1252", 0x03, None), ("cp1252-ldid00", "cp1252", 0x00, None),
             ("cp850-ldid02", "cp850", 0x02, None)]
    print("expected:", VALUE)
    for name, encoding, ldid, cpg in cases:
        case = os.path.join(work, name)
        os.makedirs(case, exist_ok=True)
        path = os.path.join(case, "t.dbf")
        table(path, encoding, ldid, cpg)
        print(f"{name:17} dbfread        {dbfread(path)!r}")
        print(f"{name:17} dbfread utf-8  {dbfread(path, 'utf-8')!r}")
        print(f"{name:17} dbffile        {dbffile(path)!r}")
        print(f"{name:17} dbffile utf-8  {dbffile(path, 'utf-8')!r}")
        print(f"{name:17} gdal           {gdal(path)!r}")
        for option in ("", "76", "UTF8"):
            print(f"{name:17} calc {option or '(none)':9} {calc(path, option)!r}")


main()
