"""kestrom-gen's diagnostics read by tools: the JSON document on standard error
and the SARIF log, parsed as a tool parses them and checked entry by entry.

    check_diagnostics_formats.py KESTROM_GEN
"""
import json
import os
import subprocess
import sys
import tempfile

GEN = sys.argv[1]

# No clock, a nameless state and a state named in another code page.
DIAGRAM = (b"VERSION=1.19\r\nENTITY=\"M\"\r\nOBJECTS\r\n"
           b"S 1 0 2\r\n"
           b"S 2 0 0\r\nL 3 2 0 0 .State 0 0 0 0 0 0 \"Zust\xe4nd\"\r\n"
           b"END\r\n")


def run(*args):
    done = subprocess.run([GEN, *args], capture_output=True)
    return done.returncode, json.loads(done.stderr.decode("utf-8"))


def check(what, expected, actual):
    if expected != actual:
        sys.exit(f"FAIL: {what}:\n expected {expected!r}\n      got {actual!r}")


def check_warnings(folder):
    asf = os.path.join(folder, "with space.asf")
    with open(asf, "wb") as out:
        out.write(DIAGRAM)
    sarif_path = os.path.join(folder, "out.sarif")
    status, document = run("--diagnostics-format=json", "--sarif", sarif_path, asf, "-")
    check("exit status", 0, status)
    expected = [
        (None, "K101", "no initial state: no transition from the reset port reaches a state"),
        (None, "K102", "no clock port: no port is marked as clock"),
        (4, "K104", "state 1 has no name"),
        (5, "K106", "state name 'Zust\u00e4nd' is not a valid C++ identifier"),
    ]
    check("JSON diagnostics", [{"file": asf, "line": line, "severity": "warning", "code": code,
                             "message": message} for line, code, message in expected],
          document["diagnostics"])

    with open(sarif_path, encoding="utf-8") as log:
        sarif = json.load(log)
    check("SARIF version", "2.1.0", sarif["version"])
    check("SARIF schema", "https://json.schemastore.org/sarif-2.1.0.json", sarif["$schema"])
    (run_,) = sarif["runs"]
    driver = run_["tool"]["driver"]
    check("tool", ("kestrom-gen", "1.0"), (driver["name"], driver["version"]))
    check("rules", ["K101", "K102", "K104", "K106"], [rule["id"] for rule in driver["rules"]])
    for rule in driver["rules"]:
        if not rule["shortDescription"]["text"]:
            sys.exit(f"FAIL: rule {rule['id']} has no description")
    uri = "file://" + asf.replace(" ", "%20")
    results = []
    for line, code, message in expected:
        location = {"artifactLocation": {"uri": uri}}
        if line:
            location["region"] = {"startLine": line}
        results.append({"ruleId": code, "level": "warning", "message": {"text": message},
                        "locations": [{"physicalLocation": location}]})
    check("SARIF results", results, run_["results"])


def check_errors(folder):
    missing = os.path.join(folder, "missing.asf")
    status, document = run("--diagnostics-format", "json", missing, "-")
    check("exit status of a missing file", 1, status)
    check("error", [{"file": missing, "line": None, "severity": "error", "code": "K001",
                     "message": "cannot open the file: No such file or directory"}],
          document["diagnostics"])

    # A SARIF log that cannot be written fails the run and says why.
    asf = os.path.join(folder, "with space.asf")
    unwritable = os.path.join(folder, "no-such-folder", "out.sarif")
    status, document = run("--diagnostics-format=json", "--sarif", unwritable, asf, "-")
    check("exit status of an unwritable log", 1, status)
    last = document["diagnostics"][-1]
    check("log error", (unwritable, "error", "K002"),
          (last["file"], last["severity"], last["code"]))
    if unwritable not in last["message"]:
        sys.exit(f"FAIL: the log error does not name the file: {last['message']}")


with tempfile.TemporaryDirectory() as scratch:
    check_warnings(scratch)
    check_errors(scratch)
print("diagnostics formats: all checks passed")
