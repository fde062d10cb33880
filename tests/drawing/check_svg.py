#!/usr/bin/env python3
"""Draws ASF files with `kestrom-gen --svg` and checks the SVG with a real XML
parser: one state group per top-level state holding its ellipse and its name,
one transition group per top-level transition, the reset transition included.

usage: check_svg.py KESTROM_GEN WORK_DIR FILE.asf...  (missing files are skipped)
"""
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"


def decode(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text) and text[i + 1] in 'n"\\':
            out.append("\n" if text[i + 1] == "n" else text[i + 1])
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def top_level(path):
    """States (id -> name) and transition ids of the top-level diagram, read
    the simple way: their parent is the F frame or 0."""
    lines = open(path, "rb").read().decode("latin-1").replace("\r\n", "\n").split("\n")
    objects = [line.split(" ") for line in lines if len(line) > 2 and line[1] == " "]
    frames = {o[1] for o in objects if o[0] == "F"} | {"0"}
    states = {o[1]: "" for o in objects if o[0] == "S" and o[2] in frames}
    for line in lines:
        if line.startswith("L ") and "|" in line:
            owner = line.split(" ")[2]
            if owner in states:
                quoted = line.split("|", 1)[1].split('"', 1)[1].rsplit('"', 1)[0]
                states[owner] = decode(quoted).split("\n")[0]
    transitions = {o[1] for o in objects if o[0] == "W" and o[2] in frames}
    return states, transitions


def check(gen, work, asf):
    svg_path = os.path.join(work, os.path.basename(asf) + ".svg")
    run = subprocess.run([gen, "--svg", svg_path, asf], capture_output=True, text=True)
    assert run.returncode == 0, f"{asf}: exit {run.returncode}: {run.stderr}"
    root = ET.parse(svg_path).getroot()
    assert root.tag == SVG + "svg", root.tag
    groups = {g.get("class"): {} for g in root.iter(SVG + "g")}
    for g in root.iter(SVG + "g"):
        groups[g.get("class")][g.get("id")] = g

    states, transitions = top_level(asf)
    assert set(groups.get("state", {})) == {f"state-{i}" for i in states}, asf
    for state_id, name in states.items():
        g = groups["state"][f"state-{state_id}"]
        assert g.findall(SVG + "ellipse"), f"{asf}: state {state_id} has no ellipse"
        texts = ["".join(t.itertext()) for t in g.iter(SVG + "text")]
        assert name in texts, f"{asf}: state {state_id}: {name!r} not in {texts}"
    assert set(groups.get("transition", {})) == {f"transition-{i}" for i in transitions}, asf
    for g in groups["transition"].values():
        assert g.findall(SVG + "path") and g.findall(SVG + "polygon"), g.get("id")
    # y grows upward on the sheet: the title block stands near the top.
    height = float(root.get("viewBox").split()[3])
    for text in root.iter(SVG + "text"):
        if text.get("class") == "graphic-text" and "".join(text.itertext()).startswith(("Module:", "Entity:")):
            assert float(text.get("y")) < height / 4, f"{asf}: the title is not near the top"
    return len(states), len(transitions)


def main():
    gen, work, files = sys.argv[1], sys.argv[2], sys.argv[3:]
    os.makedirs(work, exist_ok=True)
    checked = 0
    for asf in files:
        if not os.path.exists(asf):
            print(f"skipped, not available: {asf}")
            continue
        states, transitions = check(gen, work, asf)
        print(f"{asf}: {states} states, {transitions} transitions")
        checked += 1
    assert checked > 0, "no file checked"


if __name__ == "__main__":
    main()
