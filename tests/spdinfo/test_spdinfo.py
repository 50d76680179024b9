#!/usr/bin/env python3
"""spdinfo from the outside: its JSON must parse, its tables must have one line per row, bad input must be
reported on stderr, one line each, without stopping the other files.

Usage: test_spdinfo.py CASE SPDINFO TESTDATA_SPD VERSION
       (CASE: json, text, bad_input, options, full, refusals)
"""
import json
import os
import subprocess
import sys
import tempfile

CASE, SPDINFO, SPD_DIR, VERSION = sys.argv[1:5]

# The real images and what their bytes say about XMP (bytes 384-386).
XMP_PROFILES = {
    "kingston-khx3200c16d4-16gx.bin": 2,
    "gskill-f4-3200c14d-32gtzr.bin": 1,
    "micron-144asq16g72lsz-2s9e1.bin": 0,
    "micron-36asf8g72pz-3g2e1.bin": 0,
    "cb-samsung-m471a1g44ab0-cwe.bin": 0,
    "corsair-cmk8gx4m2a2400c16.bin": 0,
    "foxline-fl2400d4u17-16g.bin": 0,
    "samsung-m378a2k43eb1-cwe.bin": 0,
}


def image(name):
    return os.path.join(SPD_DIR, name)


def run(*args):
    return subprocess.run([SPDINFO, *args], capture_output=True, timeout=30)


def check(condition, message):
    if not condition:
        sys.exit("FAILED: " + message)


def scratch_image(folder, name, patch):
    """A copy of the Kingston image with some bytes changed."""
    data = bytearray(open(image("kingston-khx3200c16d4-16gx.bin"), "rb").read())
    for offset, value in patch.items():
        data[offset] = value
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write(data)
    return path


def case_json():
    with tempfile.TemporaryDirectory() as tmp:
        base_broken = scratch_image(tmp, "base.bin", {10: 0x55})
        module_broken = scratch_image(tmp, "module.bin", {200: 0x55})
        # A part number with control characters, quotes, a backslash and a Latin-1 byte.
        odd_text = scratch_image(tmp, "odd\ttext.bin", dict(zip(range(329, 335), b'\x01\n"\\\xe9\x7f')))
        files = [image(n) for n in XMP_PROFILES] + [base_broken, module_broken, odd_text]
        result = run("--json", *files)
        check(result.returncode == 0, f"exit {result.returncode}: {result.stderr!r}")
        document = json.loads(result.stdout.decode("utf-8"))
    check(document["columns"] == ["Field", "Value", "CL", "tRCD", "tRP", "tRAS", "tRC"], "columns")
    modules = document["modules"]
    check([m["file"] for m in modules] == files, "one module per file, in order")
    for module in modules[: len(XMP_PROFILES)]:
        name = os.path.basename(module["file"])
        check(module["xmpProfileCount"] == XMP_PROFILES[name], name + " XMP profiles")
        check(module["crc"] == {"base": True, "module": True}, name + " checksums")
        rows = module["rows"]
        check(all(len(row) == 7 for row in rows), name + " seven cells per row")
        check(rows[10][0] == "test" and rows[0][0] == "制造商", name + " labels")
        check(len(rows) >= 11 + 3 * module["xmpProfileCount"], name + " row count")
    by_name = {os.path.basename(m["file"]): m for m in modules}
    check(by_name["micron-144asq16g72lsz-2s9e1.bin"]["rows"][3][1] == "128G", "3DS capacity")
    check(by_name["base.bin"]["crc"] == {"base": False, "module": True}, "broken base section")
    check(by_name["module.bin"]["crc"] == {"base": True, "module": False}, "broken module section")
    check(by_name["odd\ttext.bin"]["rows"][1][1] == '\x01\n"\\\xe9\x7f0C16D4/16GX   ', "part number text")


def case_text():
    with tempfile.TemporaryDirectory() as tmp:
        odd_text = scratch_image(tmp, "odd.bin", {329: 0x0A, 330: 0x09, 331: 0x9B})
        files = [image("kingston-khx3200c16d4-16gx.bin"), image("micron-36asf8g72pz-3g2e1.bin"), odd_text]
        result = run(*files)
    check(result.returncode == 0 and result.stderr == b"", f"exit {result.returncode}: {result.stderr!r}")
    tables = result.stdout.decode("utf-8").split("\n\n")
    check(len(tables) == 3, "three tables separated by blank lines")
    for table, name, rows in zip(tables, files, (26, 25, 26)):
        lines = table.rstrip("\n").split("\n")
        check(lines[0] == "# " + name, "header names the file: " + lines[0])
        check(len(lines) == 1 + rows, f"{name}: {len(lines) - 1} rows")
        for number, line in enumerate(lines[1:]):
            cells = line.split("\t")
            check(len(cells) == 8 and cells[0] == str(number), f"{name} row {number}: {line!r}")
    check(tables[2].split("\n")[2].split("\t")[2] == "\ufffd\ufffd\ufffd3200C16D4/16GX   ", "control characters replaced")


def case_bad_input():
    with tempfile.TemporaryDirectory() as tmp:
        short = os.path.join(tmp, "short.bin")
        with open(short, "wb") as f:
            f.write(bytes(256))
        missing = os.path.join(tmp, "missing.bin")
        good = [image("foxline-fl2400d4u17-16g.bin"), image("cb-samsung-m471a1g44ab0-cwe.bin")]
        for extra in ([], ["--json"]):
            result = run(*extra, good[0], missing, short, tmp, "--frobnicate", good[1])
            check(result.returncode != 0, "bad input gives a non-zero exit")
            errors = result.stderr.decode("utf-8").splitlines()
            check(len(errors) == 4, f"one line per bad input: {errors}")
            for error, culprit in zip(errors, ["--frobnicate", missing, short, tmp]):
                check(culprit in error, f"{error!r} names {culprit}")
            out = result.stdout.decode("utf-8")
            if extra:
                check([m["file"] for m in json.loads(out)["modules"]] == good, "the good files are still decoded")
            else:
                check(out.count("# ") == 2 and all("# " + g in out for g in good), "the good files are still decoded")


def case_options():
    result = run("--version")
    check(result.returncode == 0 and result.stdout.decode().strip() == "spdinfo " + VERSION, "version")
    result = run("--help")
    text = result.stdout.decode()
    check(result.returncode == 0 and all(o in text for o in ("--json", "--bus", "--version", "FILE")), "help")
    result = run()
    check(result.returncode != 0 and len(result.stderr.splitlines()) == 1, "nothing to decode")
    result = run("--bus")
    check(result.returncode != 0 and b"--bus" in result.stderr, "no bus in this build")


def case_full():
    """--full: the sections after each table, the XMP profiles' own timings, and in JSON numbers as numbers."""
    files = [image("kingston-khx3200c16d4-16gx.bin"), image("micron-144asq16g72lsz-2s9e1.bin")]
    result = run("--full", *files)
    check(result.returncode == 0 and result.stderr == b"", f"exit {result.returncode}: {result.stderr!r}")
    modules = result.stdout.decode("utf-8").split("\n\n")
    check(len(modules) == 2, "one block per image, blank line between")
    sections = [line[3:] for line in modules[0].splitlines() if line.startswith("## ")]
    check(sections[:7] == ["SPD EEPROM Information", "Memory Characteristics", "Timings at Standard Speeds",
                           "Timing Parameters", "Other Information", "Physical Characteristics",
                           "Manufacturer Data"] and sections[7:] == ["XMP Profile 1", "XMP Profile 2"], str(sections))
    xmp = modules[0].split("## XMP Profile 2\n")[1].splitlines()
    check("Speed\t3000 MT/s" in xmp and "AA-RCD-RP-RAS (cycles)\t15-17-17-36" in xmp, "XMP profile 2 timings")

    result = run("--json", "--full", *files)
    check(result.returncode == 0, f"exit {result.returncode}: {result.stderr!r}")
    kingston, micron = (m["full"] for m in json.loads(result.stdout.decode("utf-8"))["modules"])
    check(micron["memoryCharacteristics"]["sizeMB"] == 131072, "size as a number")
    check(micron["timingParameters"]["tAANs"] == 16.37, "times in ns")
    check(micron["otherInformation"]["dieCount"] == 4 and "xmpProfile1" not in micron, "3DS, no XMP")
    check(micron["timingsAtStandardSpeeds"]["DDR4-2400"] == {"tAACycles": 20, "tRCDCycles": 17, "tRPCycles": 17,
                                                              "tRASCycles": 39}, "cycles at a standard speed")
    check(kingston["xmpProfile1"]["speedMTs"] == 3200 and kingston["xmpProfile1"]["voltageV"] == 1.35, "XMP")
    check(kingston["manufacturerData"]["manufacturingYear"] == 2020, "date as numbers")


def case_refusals():
    """Images of other memory types are refused with the type named, one line each; '-' reads standard input."""
    with tempfile.TemporaryDirectory() as tmp:
        def dump(name, size, type_byte):
            path = os.path.join(tmp, name)
            with open(path, "wb") as f:
                f.write(bytes([0x30, 0x10, type_byte]) + bytes(size - 3))
            return path
        refused = {dump("lpddr5.bin", 1024, 0x13): "LPDDR5 SDRAM (0x13)",
                   dump("lpddr5x.bin", 1024, 0x15): "LPDDR5X SDRAM (0x15)", dump("ddr3.bin", 256, 0x0B): "DDR3 SDRAM (0x0B)",
                   dump("lpddr4.bin", 512, 0x10): "LPDDR4 SDRAM (0x10)", dump("noise.bin", 512, 0x42): "0x42"}
        good = image("gskill-f4-3200c14d-32gtzr.bin")
        result = run(*refused, good)
        check(result.returncode == 1, f"exit {result.returncode}")
        errors = result.stderr.decode("utf-8").splitlines()
        check(len(errors) == len(refused), f"one line per refused image: {errors}")
        for error, (path, type_name) in zip(errors, refused.items()):
            check(path in error and type_name in error and "not a DDR4" in error, f"{error!r}")
        check(result.stdout.decode("utf-8").startswith("# " + good + "\n"), "the DDR4 image is still decoded")

    with open(good, "rb") as f:
        data = f.read()
    piped = subprocess.run([SPDINFO, "--full", "-", "-"], input=data, capture_output=True, timeout=30)
    from_file = run("--full", good)
    check(piped.stdout.decode("utf-8") == from_file.stdout.decode("utf-8").replace("# " + good, "# -", 1),
          "standard input decodes like the file")
    check(piped.returncode == 1 and piped.stderr.count(b"\n") == 1 and b"read already" in piped.stderr,
          "one image from standard input")


def case_ddr5():
    """DDR4 and DDR5 images in one call: every DDR5 image of testdata/spd5 decoded, --json --full a whole document."""
    ddr5_dir = os.path.join(os.path.dirname(SPD_DIR), "spd5")
    ddr5 = sorted(os.path.join(ddr5_dir, f) for f in os.listdir(ddr5_dir) if f.endswith(".bin"))
    ddr4 = image("gskill-f4-3200c14d-32gtzr.bin")
    result = run("--json", "--full", ddr4, *ddr5)
    check(result.returncode == 0 and result.stderr == b"", f"exit {result.returncode}: {result.stderr!r}")
    modules = json.loads(result.stdout.decode("utf-8"))["modules"]
    check(len(modules) == 13 and modules[0]["rows"][4][1] == "DDR4 SDRAM", "the DDR4 image first")
    check(all(m["rows"][4][1] == "DDR5 SDRAM" and "timingParameters" in m["full"] for m in modules[1:]), "DDR5")
    kingston = next(m for m in modules if m["file"].endswith("kingston-kf552c40-16.bin"))
    check(kingston["xmpProfileCount"] == 2 and kingston["crc"]["base"] is True, "profiles and CRC verdicts")
    check(kingston["full"]["timingParameters"]["tRFC1Ns"] == 295, "times as numbers in ns")
    text = run("--full", ddr5[0]).stdout.decode("utf-8")
    check("## Timing Parameters" in text and "## On-Module Devices" in text, "--full text for DDR5")


{"json": case_json, "ddr5": case_ddr5, "text": case_text, "bad_input": case_bad_input, "options": case_options, "full": case_full,
 "refusals": case_refusals}[CASE]()
